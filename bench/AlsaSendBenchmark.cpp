#include "Engine/UpdateEngine.h"
#include "Midi/MidiComm.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/AlsaMidiDriver.h"
#include "Platform/Clock.h"
#include "Platform/PreciseSleep.h"
#include "Platform/ScriptedAlsaRawMidi.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

namespace {

constexpr const char* kDeviceName = "Halvista Left";
constexpr std::uint32_t kBytesPerSecond = 250000;
// 127 bytes a message with its F0 and F7, as a firmware image has them.
constexpr std::size_t kBodyLength = 125;

// Null when there is no room for it.
SharedFirmwareImage MakeImage(std::size_t messages)
{
    constexpr std::size_t kMessageLength = kBodyLength + 2;
    auto image = std::make_shared<FirmwareImageBytes>();
    if (ZV::Failed(image->SetCount(static_cast<std::uint32_t>(messages * kMessageLength)))) {
        return nullptr;
    }
    std::uint8_t* byte = image->GetData();
    for (std::size_t message = 0; message < messages; ++message) {
        *byte++ = 0xF0;
        for (std::size_t index = 0; index < kBodyLength; ++index) {
            *byte++ = static_cast<std::uint8_t>((message + index) % 0x0D);
        }
        *byte++ = 0xF7;
    }
    return image;
}

// The update's own sender (every message, its wait for the device, its progress and its pause) through the ALSA
// driver, to a device of the tests' stand-in for ALSA that takes the bytes at the cable's pace in real time.
bool SendThroughAlsa(const SharedFirmwareImage& image)
{
    using ZV::Testing::ScriptedAlsaRawMidi;
    const auto alsa = std::make_shared<ScriptedAlsaRawMidi>(ScriptedAlsaRawMidi::Pace::RealTime);
    alsa->Plug(1, kDeviceName, kBytesPerSecond);
    const std::shared_ptr<ZV::Platform::MidiDriver> driver = std::make_shared<ZV::Platform::AlsaMidiDriver>(alsa);
    const ZV::RCPtr<LUpdateEngine> engine(
        new LUpdateEngine([driver] { return ZV::RCPtr<ZV::LMidiCommInterface>(ZV::LMidiComm::Create(driver)); }));
    const bool sent = engine->Initialize(ZV::WideString()) == ZV::ZV_S_OK &&
                      engine->SendFileMessages(image, ZV::WideString(kDeviceName)) == ZV::ZV_S_OK &&
                      alsa->GetReceived(kDeviceName).size() == image->GetCount();
    ZV::GetApplicationNotificationCenter()->Clear();
    return sent;
}

// The floor run: each message's time on the cable, then the pause, slept as the update sleeps its pause.
void SleepTheCableAndThePauses(std::size_t messages)
{
    constexpr std::int64_t kMessageMicroseconds = (kBodyLength + 2) * 1'000'000 / kBytesPerSecond;
    for (std::size_t message = 0; message < messages; ++message) {
        ZV::Platform::SleepUntilMicroseconds(ZV::Platform::GetMicrosecondTime() + kMessageMicroseconds);
        ZV::Platform::SleepUntilMicroseconds(ZV::Platform::GetMicrosecondTime() +
                                             LUpdateEngine::kPauseAfterMessageMicroseconds);
    }
}

// An image of range(0) messages sent through the ALSA driver at 250 kB/s, side by side with the floor run (ratio,
// per message: ours_ns and base_ns). ratio_to_floor sets the send against bytes / rate + messages x 1 ms.
void AlsaImageSendAgainstTheCableAndThePausesAlone(benchmark::State& state)
{
    const auto messages = static_cast<std::size_t>(state.range(0));
    const SharedFirmwareImage image = MakeImage(messages);
    if (!image) {
        state.SkipWithError("no room for the image");
        return;
    }
    bool sent = true;
    bench::RunRoundsSideBySide(
        state, static_cast<double>(messages), [&] { sent = SendThroughAlsa(image) && sent; },
        [&] { SleepTheCableAndThePauses(messages); });
    if (!sent) {
        state.SkipWithError("the image did not reach the device whole");
        return;
    }
    const double floorSeconds = static_cast<double>(image->GetCount()) / kBytesPerSecond +
                                static_cast<double>(messages) * LUpdateEngine::kPauseAfterMessageMicroseconds * 1e-6;
    const double oursSeconds = state.counters["ours_ns"] * 1e-9 * static_cast<double>(messages);
    state.counters["ratio_to_floor"] = oursSeconds / floorSeconds;
    state.counters["image_MiB"] = static_cast<double>(image->GetCount()) / (1024.0 * 1024.0);
}

// 2 MiB; two rounds, so that each way goes first once.
BENCHMARK(AlsaImageSendAgainstTheCableAndThePausesAlone)->Arg(16512)->UseManualTime()->Unit(benchmark::kSecond)
    ->Iterations(2);

}  // namespace
