#include "Platform/MidiDriver.h"

#include "Platform/AlsaMidiDriver.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>

namespace ZV::Platform {

namespace {

constexpr const char* kAlsaMidiDriverName = "alsa";

struct MidiDriverRegistry {
    std::mutex Mutex;
    std::map<std::string, MidiDriverFactory, std::less<>> Factories{
        {kAlsaMidiDriverName, [] { return std::make_shared<AlsaMidiDriver>(); }}};
};

MidiDriverRegistry& GetMidiDriverRegistry()
{
    static MidiDriverRegistry registry;
    return registry;
}

// "alsa", "alsa or simulated", "alsa, jack or simulated".
std::string ListOfNames(const std::map<std::string, MidiDriverFactory, std::less<>>& factories)
{
    std::string names;
    std::size_t index = 0;
    for (const auto& [name, factory] : factories) {
        if (index > 0) {
            names += index + 1 == factories.size() ? " or " : ", ";
        }
        names += name;
        ++index;
    }
    return names;
}

}  // namespace

void RegisterMidiDriver(std::string name, MidiDriverFactory factory)
{
    MidiDriverRegistry& registry = GetMidiDriverRegistry();
    std::lock_guard lock(registry.Mutex);
    registry.Factories.insert_or_assign(std::move(name), std::move(factory));
}

std::shared_ptr<MidiDriver> CreateMidiDriver(std::string_view name)
{
    MidiDriverFactory factory;
    {
        MidiDriverRegistry& registry = GetMidiDriverRegistry();
        std::lock_guard lock(registry.Mutex);
        const auto found = registry.Factories.find(name);
        if (found == registry.Factories.end()) {
            throw std::invalid_argument("ZV_MIDI_DRIVER is \"" + std::string(name) + "\"; expected " +
                                        ListOfNames(registry.Factories));
        }
        factory = found->second;
    }
    return factory();
}

std::shared_ptr<MidiDriver> GetSystemMidiDriver()
{
    static const std::shared_ptr<MidiDriver> driver = [] {
        const char* name = std::getenv("ZV_MIDI_DRIVER");
        return CreateMidiDriver(name != nullptr && *name != '\0' ? name : kAlsaMidiDriverName);
    }();
    return driver;
}

}  // namespace ZV::Platform
