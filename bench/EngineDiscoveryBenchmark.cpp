#include "SimulatedEngine.h"

#include <benchmark/benchmark.h>

namespace {

// A scan for the two device types against one simulated device that starts as given, on a cable of the default
// speed. A running device answers its status and version requests; a device in update mode answers the status
// request on its normal ports with "in update mode", which ends that probe at once, and is then asked again. The
// running device's scan is the baseline: the ratio shows that a device in update mode costs no time-out.
double ScanMilliseconds(benchmark::State& state, ZV::Simulator::DeviceStart start)
{
    ZV::Simulator::DeviceSettings device;
    device.Start = start;
    ZV::Simulator::SimulationSettings settings;
    settings.Devices = {device};
    const ZV::RCPtr<LUpdateEngine> engine = bench::MakeEngineOverSimulation(settings);
    ZV::Array<LUpdateEngineInterface::DeviceDefinition> definitions;
    for (const wchar_t* name : {L"Halvista Left", L"VT5 Display Left"}) {
        LUpdateEngineInterface::DeviceDefinition definition;
        definition.NormalCapturePortName = ZV::WideString(name);
        definition.NormalRenderPortName = ZV::WideString(name);
        definition.UpdateCapturePortName = ZV::WideString(name);
        definition.UpdateRenderPortName = ZV::WideString(name);
        (void)definitions.AddItem(definition);
    }
    engine->SetDeviceDefinitions(definitions);

    const auto started = std::chrono::steady_clock::now();
    engine->ScanForDevices();
    const double milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    const std::int32_t expected = start == ZV::Simulator::DeviceStart::Update
                                      ? LUpdateEngineInterface::kDeviceInUpdateMode
                                      : LUpdateEngineInterface::kDeviceRunning;
    if (engine->GetDeviceState() != expected) {
        state.SkipWithError("the device was not found");
    }
    return milliseconds;
}

void EngineDiscoveryOfADeviceInUpdateModeAgainstARunningOne(benchmark::State& state)
{
    double inUpdateMode = 0.0;
    double running = 0.0;
    for (auto _ : state) {
        inUpdateMode += ScanMilliseconds(state, ZV::Simulator::DeviceStart::Update);
        running += ScanMilliseconds(state, ZV::Simulator::DeviceStart::Normal);
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["update_mode_ms"] = inUpdateMode / iterations;
    state.counters["running_ms"] = running / iterations;
    state.counters["ratio_to_running"] = inUpdateMode / running;
}

BENCHMARK(EngineDiscoveryOfADeviceInUpdateModeAgainstARunningOne)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
