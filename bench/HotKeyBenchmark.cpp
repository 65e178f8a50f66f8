#include "SideBySide.h"

#include "ControlBase/StringTable.h"
#include "Notification/NotificationReceiver.h"
#include "System/GlobalHotKeyManager.h"
#include "System/ShortcutText.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace ZV;

// Takes the posted notifications and lets them go.
class LIgnoringReceiver : public LNotificationReceiver {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override {}
    ZVRESULT UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>&, const wchar_t*) override
    {
        return ZV_S_OK;
    }
};

// A string table of that many hot keys, each a character of its own written as its number ("[1]", "[2]", ...).
RCPtr<LStringTable> MakeHotKeyTable(int count)
{
    RCPtr<LStringTable> table(new LStringTable());
    for (int i = 1; i <= count; ++i) {
        const std::string number = std::to_string(i);
        (void)table->SetString(WideString(("GHK.NID_HOT_KEY_" + number).c_str()),
                               WideString(("[" + number + "]").c_str()));
    }
    return table;
}

RCPtr<LGlobalHotKeyManager> LoadHotKeys(const RCPtr<LStringTable>& table)
{
    RCPtr<LGlobalHotKeyManager> manager =
        LGlobalHotKeyManager::Create(RCPtr<LIgnoringReceiver>(new LIgnoringReceiver()));
    static_cast<void>(manager->LoadHotKeys(table, L"GHK"));
    return manager;
}

constexpr int kFewHotKeys = 4000;
constexpr int kManyHotKeys = 16000;

// Loads 16,000 hot keys, and side by side 4,000: a ratio of 4 is linear time, 16 quadratic.
void LoadManyHotKeysAgainstAQuarterAsMany(benchmark::State& state)
{
    const RCPtr<LStringTable> many = MakeHotKeyTable(kManyHotKeys);
    const RCPtr<LStringTable> few = MakeHotKeyTable(kFewHotKeys);
    bench::RunRoundsSideBySide(
        state, kManyHotKeys, [&] { benchmark::DoNotOptimize(LoadHotKeys(many)); },
        [&] { benchmark::DoNotOptimize(LoadHotKeys(few)); });
}
BENCHMARK(LoadManyHotKeysAgainstAQuarterAsMany)->UseManualTime()->Unit(benchmark::kMillisecond);

// Key presses, half of them hot keys, among 16,000 hot keys and side by side among 4,000: a ratio near 1 is a
// press that costs the same however many hot keys there are.
void PressKeysAmongManyHotKeysAgainstAQuarterAsMany(benchmark::State& state)
{
    const RCPtr<LGlobalHotKeyManager> many = LoadHotKeys(MakeHotKeyTable(kManyHotKeys));
    const RCPtr<LGlobalHotKeyManager> few = LoadHotKeys(MakeHotKeyTable(kFewHotKeys));
    constexpr int kPresses = 1000;
    const auto press = [](LGlobalHotKeyManager& manager) {
        for (int i = 0; i < kPresses; ++i) {
            // Every other press is the character of a hot key among the first 4,000.
            const std::uint16_t character = static_cast<std::uint16_t>(i % 2 == 0 ? 1 + i : 40000 + i);
            benchmark::DoNotOptimize(manager.ProcessKey(KeyCode(character, 0)));
        }
    };
    bench::RunRoundsSideBySide(state, kPresses, [&] { press(*many); }, [&] { press(*few); });
}
BENCHMARK(PressKeysAmongManyHotKeysAgainstAQuarterAsMany)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
