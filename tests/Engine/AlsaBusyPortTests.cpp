#include "Engine/UpdateEngine.h"

#include "EngineTestSupport.h"
#include "Platform/AlsaMidiDriver.h"
#include "Platform/ScriptedAlsaRawMidi.h"

#include <gtest/gtest.h>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;
using Simulator::DeviceState;

constexpr const char* kName = "Halvista Left";
constexpr std::uint32_t kBytesPerSecond = 1'000'000;
constexpr std::chrono::milliseconds kGoneAfter{200};

// The simulated device plugged into the stand-in for ALSA: what it takes from the computer reaches it in the
// simulation's turn, and each time it comes back from a restart it sits on a card of its own, held there by
// another program (a bridge that takes every new port) when asked.
class AlsaPluggedDevice final : public Simulator::DeviceLink {
public:
    AlsaPluggedDevice(ScriptedAlsaRawMidi& alsa, const Simulator::DeviceSettings& settings, bool heldWhenBack)
        : mAlsa(alsa), mHeldWhenBack(heldWhenBack), mDevice(settings, *this)
    {
        mAlsa.ListenToDevice(kName, [this](const Bytes& bytes) {
            mScheduler.RunAfter(std::chrono::microseconds(0), [this, bytes] {
                const auto now = Simulator::SimulatorClock::now();
                mDevice.ReceiveFromHost(Platform::MidiLongMessage::Holding(bytes), now, now);
            });
        });
    }

    ~AlsaPluggedDevice()
    {
        mAlsa.ListenToDevice(kName, nullptr);
        mScheduler.Stop();
    }

    void SendToHost(const Simulator::MidiBytes& message) override { mAlsa.SendToComputer(kName, message); }
    void SetPortsPresent(bool present) override
    {
        if (!present) {
            // The computer hears of it a moment later, after what it said last ("update done", say) was read and what
            // it was sent last was seen taken.
            mScheduler.RunAfter(kGoneAfter, [this] {
                mAlsa.WaitUntilRead(kName);
                mAlsa.Unplug(kName);
            });
            return;
        }
        const int card = mNextCard++;
        mAlsa.Plug(card, kName, kBytesPerSecond, mHeldWhenBack && card > 1);
    }
    void RunAfter(std::chrono::microseconds delay, std::function<void()> task) override
    {
        mScheduler.RunAfter(delay, std::move(task));
    }

    Simulator::SimulatedDisplayDevice& Device() { return mDevice; }

private:
    ScriptedAlsaRawMidi& mAlsa;
    const bool mHeldWhenBack;
    int mNextCard = 1;
    Simulator::Scheduler mScheduler;
    Simulator::SimulatedDisplayDevice mDevice;
};

class AlsaBusyPort : public EngineTest {};

// Another program holds a port of the device where the update meets it: when the device is asked into update mode,
// after its restart, when the update opens the ports, or when the device is back from going away before it confirmed
// the image. Each time the update ends at once with the line of a port in use, and the window's device cannot be
// used. The update holds its ports from the start, so while the device stays a port taken meanwhile changes nothing.
TEST_F(AlsaBusyPort, PortThatAnotherProgramHoldsEndsTheUpdateSayingSoWhereverTheUpdateMeetsIt)
{
    enum class Held {
        kOutputAtTheRequestIntoUpdateMode,
        kEveryPortAfterTheRestart,
        kOutputAtTheUpdate,
        kInputAtTheUpdate,
        kInputOnceTheImageGoes,
        kInputWhenTheDeviceIsBackBeforeItConfirms,
    };
    const struct {
        Held When;
        bool Busy;
    } cases[] = {
        {Held::kOutputAtTheRequestIntoUpdateMode, true},
        {Held::kEveryPortAfterTheRestart, true},
        {Held::kOutputAtTheUpdate, true},
        {Held::kInputAtTheUpdate, true},
        {Held::kInputOnceTheImageGoes, false},
        {Held::kInputWhenTheDeviceIsBackBeforeItConfirms, true},
    };
    const RCPtr<LEngineNotificationLog> log = LEngineNotificationLog::Create();
    for (const auto& [when, busy] : cases) {
        SCOPED_TRACE(static_cast<int>(when));
        // What the engine of the case before posted is not this one's.
        GetApplicationNotificationCenter()->Clear();
        log->Entries.clear();
        const auto alsa = std::make_shared<ScriptedAlsaRawMidi>();
        const bool restarts = when == Held::kEveryPortAfterTheRestart;
        const bool running = restarts || when == Held::kOutputAtTheRequestIntoUpdateMode;
        Simulator::DeviceSettings device = QuickDevice(running ? DeviceStart::Normal : DeviceStart::Update, LogPath());
        const bool back = when == Held::kInputWhenTheDeviceIsBackBeforeItConfirms;
        device.Faults.NeverDone = back;
        device.RestartTime = 2 * kGoneAfter;
        AlsaPluggedDevice plugged(*alsa, device, restarts);
        const std::shared_ptr<Platform::MidiDriver> driver = std::make_shared<Platform::AlsaMidiDriver>(alsa);
        const RCPtr<LUpdateEngine> engine(
            new LUpdateEngine([driver] { return RCPtr<LMidiCommInterface>(LMidiComm::Create(driver)); }));
        ASSERT_EQ(engine->Initialize(WideString()), ZV_S_OK);
        ASSERT_EQ(engine->SetDeviceDefinitions(StandardDefinitions()), ZV_S_OK);
        engine->SetNotificationsEnabled(true);
        ASSERT_EQ(engine->SetFirmwareFile(Wide(WriteFile("image.syx", MakeImage(20, 64)))), ZV_S_OK);
        ASSERT_EQ(engine->ScanForDevices(), ZV_S_OK);

        if (running) {
            if (!restarts) {
                alsa->HoldElsewhere(kName, false, true);
            }
            EXPECT_EQ(engine->EnterUpdateMode(), restarts ? ZV_S_OK : ZV_E_FAIL);
        }
        if (restarts) {
            ASSERT_TRUE(plugged.Device().WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
            EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
            EXPECT_EQ(engine->RefreshSelectedDevice(), ZV_S_OK);
        } else if (!running) {
            ASSERT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
            const bool atTheUpdate = when == Held::kOutputAtTheUpdate || when == Held::kInputAtTheUpdate;
            if (atTheUpdate) {
                alsa->HoldElsewhere(kName, when == Held::kInputAtTheUpdate, true);
            }
            ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
            // The first message of the image went out, or the last one (reports that wait are replaced by newer ones).
            const double reached = back ? 0.99 : 0.0;
            if (!atTheUpdate) {
                ASSERT_TRUE(ProcessNotificationsUntil([&] {
                    return std::any_of(log->Entries.begin(), log->Entries.end(), [&](const auto& entry) {
                        return entry.Id == kNidFirmwareUpdateProgress && entry.Fraction > reached;
                    });
                }));
            }
            if (back) {
                // It goes, and comes back on another card, where another program takes its ports first.
                alsa->Unplug(kName);
                alsa->Plug(9, kName, kBytesPerSecond, true);
            } else if (!atTheUpdate) {
                alsa->HoldElsewhere(kName, true, true);
            }
            ASSERT_EQ(engine->WaitForUpdate(kBoundedWaitMilliseconds), ZV_S_OK);
        }

        const std::vector<std::string> received = TextsOfKind(LogPath(), "RX");
        const bool imageReceived = std::any_of(received.begin(), received.end(), [](const std::string& text) {
            return text != StatusRequest && text != VersionRequest && text != EnterUpdateModeRequest;
        });
        if (!busy) {
            EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
            EXPECT_TRUE(plugged.Device().WaitForStateEntries(DeviceState::Done, 1, std::chrono::seconds(0)));
            continue;
        }
        EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
        std::uint32_t code = 0;
        EXPECT_EQ(engine->GetSelectedDeviceError(code), ZV_S_OK);
        EXPECT_EQ(code, LUpdateEngineInterface::kDeviceErrorNoAccess) << "the window's reason for such a device";
        EXPECT_EQ(engine->GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kPortBusy);
        EXPECT_EQ(engine->DescribeDeviceProbeFailure(),
                  "the MIDI port \"Halvista Left\" is in use by another program");
        EXPECT_EQ(imageReceived, back) << "the image went out before the device went";
    }
}

}  // namespace
}  // namespace ZV::Testing
