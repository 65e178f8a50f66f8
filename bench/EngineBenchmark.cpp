#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/Clock.h"
#include "Platform/PreciseSleep.h"
#include "ProcessMemory.h"
#include "SimulatedEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

// A name of its own, so that runs side by side do not remove each other's image.
std::filesystem::path ImagePath()
{
    return std::filesystem::temp_directory_path() /
           ("zv-engine-benchmark-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
            ".syx");
}

// An engine whose MIDI object runs over a simulated device in update mode on a cable of unlimited speed, with the
// image file chosen and the device found.
ZV::RCPtr<LUpdateEngine> MakeEngineForDeviceInUpdateMode(ZV::Simulator::DeviceSettings device,
                                                        const std::filesystem::path& imagePath)
{
    device.Start = ZV::Simulator::DeviceStart::Update;
    device.FlashTime = std::chrono::milliseconds(0);
    ZV::Simulator::SimulationSettings settings;
    settings.Devices = {device};
    settings.BytesPerSecond = 0;
    const ZV::RCPtr<LUpdateEngine> engine = bench::MakeEngineOverSimulation(settings);
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
    return engine;
}

// Runs the update to its end: false, with the benchmark skipped, when it did not start or did not finish.
bool RunUpdateToItsEnd(benchmark::State& state, LUpdateEngine& engine)
{
    if (ZV::Failed(engine.StartUpdate())) {
        state.SkipWithError("the update did not start: no device in update mode, or no image");
        return false;
    }
    engine.WaitForUpdate(0xFFFFFFFF);
    if (engine.GetUpdateStatus(false) != LUpdateEngineInterface::kUpdateFinished) {
        state.SkipWithError("the update did not finish");
        return false;
    }
    return true;
}

// One whole update (ports, file, every image message with its 1 ms pause, the poll for "update done") of an image
// of range(0) messages against a simulated device in update mode on a cable of unlimited speed. The time per run
// set against messages x 1 ms (ratio_to_pauses) shows what the engine adds to the pauses the device asks for; the
// goal is 1.02 or less. pauses_alone is the same ratio for the pauses alone, timed in turn with the runs.
void EngineUpdateRunAgainstTheSimulatedDevice(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<ZV::Simulator::MidiBytes> messages = MakeMessages(count);
    const std::filesystem::path imagePath = ImagePath();
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
        device.ExpectedImage = messages;
        const ZV::RCPtr<LUpdateEngine> engine = MakeEngineForDeviceInUpdateMode(device, imagePath);
        const auto started = std::chrono::steady_clock::now();
        if (!RunUpdateToItsEnd(state, *engine)) {
            break;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        state.SetIterationTime(seconds);
        totalSeconds += seconds;
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

// A whole update of an image that is one System Exclusive message of range(0) MiB, against a simulated device that
// keeps no log and checks no expected image, so that the memory is the program's. peak_over_file is how far the peak
// resident memory grew during the update, set against the file's size: the goal is 1.2 or less, the image held once.
void EngineUpdateOfOneMessageAsLargeAsTheImageAgainstTheFileSize(benchmark::State& state)
{
    const auto bodyLength = static_cast<std::size_t>(state.range(0)) * 1024 * 1024 - 2;
    const std::filesystem::path imagePath = ImagePath();
    {
        std::ofstream image(imagePath, std::ios::binary);
        image.put(static_cast<char>(0xF0));
        const std::string body(bodyLength, '\x01');
        image.write(body.data(), static_cast<std::streamsize>(body.size()));
        image.put(static_cast<char>(0xF7));
    }
    const double fileKiB = static_cast<double>(std::filesystem::file_size(imagePath)) / 1024.0;
    double largestPeakOverFile = 0.0;
    for (auto _ : state) {
        const ZV::RCPtr<LUpdateEngine> engine = MakeEngineForDeviceInUpdateMode({}, imagePath);
        bench::ResetPeakMemory();
        const std::uint64_t residentBefore = bench::ProcessFigure("/proc/self/status", "VmRSS:");
        const auto started = std::chrono::steady_clock::now();
        if (!RunUpdateToItsEnd(state, *engine)) {
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        const std::uint64_t residentPeak = bench::ProcessFigure("/proc/self/status", "VmHWM:");
        largestPeakOverFile =
            std::max(largestPeakOverFile, static_cast<double>(residentPeak - residentBefore) / fileKiB);
        ZV::GetApplicationNotificationCenter()->Clear();
    }
    std::filesystem::remove(imagePath);
    state.counters["file_MiB"] = fileKiB / 1024.0;
    state.counters["peak_over_file"] = largestPeakOverFile;
}

BENCHMARK(EngineUpdateOfOneMessageAsLargeAsTheImageAgainstTheFileSize)->Arg(256)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
