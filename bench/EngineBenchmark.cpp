#include "Engine/UpdateEngine.h"
#include "Midi/MidiComm.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/Clock.h"
#include "Platform/PreciseSleep.h"
#include "Simulator/SimulatedMidiDriver.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBodyLength = 64;

std::vector<ZV::Simulator::MidiBytes> MakeMessages(std::size_t count)
{
    std::vector<ZV::Simulator::MidiBytes> messages;
    for (std::size_t message = 0; message < count; ++message) {
        ZV::Simulator::MidiBytes bytes{0xF0};
        for (std::size_t index = 0; index < kBodyLength; ++index) {
            bytes.push_back(static_cast<std::uint8_t>((message + index) % 0x0D));
        }
        bytes.push_back(0xF7);
        messages.push_back(bytes);
    }
    return messages;
}

// The pauses alone, as the update makes them: what this machine's sleeps add to messages x 1 ms.
double SecondsOfPausesAlone(std::size_t count)
{
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t message = 0; message < count; ++message) {
        ZV::Platform::SleepUntilMicroseconds(ZV::Platform::GetMicrosecondTime() + 1000);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// One whole update (ports, file, every image message with its 1 ms pause, the poll for "update done") of an image
// of range(0) messages against a simulated device in update mode on a cable of unlimited speed. The time per run
// set against messages x 1 ms (ratio_to_pauses) shows what the engine adds to the pauses the device asks for; the
// goal is 1.02 or less. pauses_alone is the same ratio for the pauses alone, timed in turn with the runs.
void EngineUpdateRunAgainstTheSimulatedDevice(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<ZV::Simulator::MidiBytes> messages = MakeMessages(count);
    // A name of its own, so that runs side by side do not remove each other's image.
    const std::filesystem::path imagePath =
        std::filesystem::temp_directory_path() /
        ("zv-engine-benchmark-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".syx");
    {
        std::ofstream image(imagePath, std::ios::binary);
        for (const ZV::Simulator::MidiBytes& message : messages) {
            image.write(reinterpret_cast<const char*>(message.data()), static_cast<std::streamsize>(message.size()));
        }
    }
    ZV::EnableNotificationPool(true);
    const ZV::RCPtr<ZV::LNotificationCenter> center = ZV::GetApplicationNotificationCenter();
    double totalSeconds = 0.0;
    double pauseSeconds = 0.0;
    for (auto _ : state) {
        ZV::Simulator::DeviceSettings device;
        device.Start = ZV::Simulator::DeviceStart::Update;
        device.ExpectedImage = messages;
        device.FlashTime = std::chrono::milliseconds(0);
        ZV::Simulator::SimulationSettings settings;
        settings.Devices = {device};
        settings.BytesPerSecond = 0;
        const auto driver = std::make_shared<ZV::Simulator::SimulatedMidiDriver>(
            std::make_shared<ZV::Simulator::SimulatedMidiSystem>(settings));
        const ZV::RCPtr<LUpdateEngine> engine(new LUpdateEngine(
            [driver] { return ZV::RCPtr<ZV::LMidiCommInterface>(ZV::LMidiComm::Create(driver)); }));
        engine->Initialize(ZV::WideString());
        ZV::Array<LUpdateEngineInterface::DeviceDefinition> definitions;
        LUpdateEngineInterface::DeviceDefinition definition;
        definition.NormalCapturePortName = ZV::WideString(L"Halvista Left, running");
        definition.NormalRenderPortName = ZV::WideString(L"Halvista Left, running");
        definition.UpdateCapturePortName = ZV::WideString(L"Halvista Left");
        definition.UpdateRenderPortName = ZV::WideString(L"Halvista Left");
        (void)definitions.AddItem(definition);
        engine->SetDeviceDefinitions(definitions);
        engine->SetFirmwareFile(ZV::WideString(imagePath.string().c_str()));
        engine->ScanForDevices();

        const auto started = std::chrono::steady_clock::now();
        if (ZV::Failed(engine->StartUpdate())) {
            state.SkipWithError("the update did not start: no device in update mode, or no image");
            break;
        }
        engine->WaitForUpdate(0xFFFFFFFF);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        state.SetIterationTime(seconds);
        totalSeconds += seconds;
        if (engine->GetUpdateStatus(false) != LUpdateEngineInterface::kUpdateFinished) {
            state.SkipWithError("the update did not finish");
            break;
        }
        center->Clear();
        pauseSeconds += SecondsOfPausesAlone(count);
    }
    ZV::EnableNotificationPool(false);
    std::filesystem::remove(imagePath);
    state.counters["messages"] = static_cast<double>(count);
    const double floorSeconds = static_cast<double>(state.iterations()) * static_cast<double>(count) * 0.001;
    state.counters["ratio_to_pauses"] = totalSeconds / floorSeconds;
    state.counters["pauses_alone"] = pauseSeconds / floorSeconds;
}

BENCHMARK(EngineUpdateRunAgainstTheSimulatedDevice)->Arg(3000)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
