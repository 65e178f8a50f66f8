#include "Platform/MidiDriver.h"

#include "Platform/AlsaMidiDriver.h"
#include "Platform/SimulatedMidiDriver.h"

#include <cstdlib>
#include <stdexcept>

namespace ZV::Platform {

std::shared_ptr<MidiDriver> CreateMidiDriver(std::string_view name)
{
    if (name == "alsa") {
        return std::make_shared<AlsaMidiDriver>();
    }
    if (name == "simulated") {
        return std::make_shared<SimulatedMidiDriver>(
            std::make_shared<Simulator::SimulatedMidiSystem>(Simulator::ReadSimulationSettingsFromEnvironment()));
    }
    throw std::invalid_argument("ZV_MIDI_DRIVER is \"" + std::string(name) + "\"; expected alsa or simulated");
}

std::shared_ptr<MidiDriver> GetSystemMidiDriver()
{
    static const std::shared_ptr<MidiDriver> driver = [] {
        const char* name = std::getenv("ZV_MIDI_DRIVER");
        return CreateMidiDriver(name != nullptr && *name != '\0' ? name : "alsa");
    }();
    return driver;
}

}  // namespace ZV::Platform
