#pragma once

#include "Platform/MidiDriver.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <memory>
#include <mutex>
#include <vector>

namespace ZV::Simulator {

// The MIDI service of a simulated system: its ports are the devices, in its order. Callbacks run where the system
// runs its transfers: on its scheduler thread, or, for a message that its cable carries at once, on the sending
// thread before the send returns (the done, and whatever the device answers).
class SimulatedMidiDriver final : public Platform::MidiDriver {
public:
    explicit SimulatedMidiDriver(std::shared_ptr<SimulatedMidiSystem> system);

    std::vector<std::string> ListInputDevices() override;
    std::vector<std::string> ListOutputDevices() override;
    std::unique_ptr<Platform::MidiInput> OpenInput(std::size_t device, Platform::MidiInputCallback& callback,
                                                   Platform::MidiOpenFailure& failure) override;
    std::unique_ptr<Platform::MidiOutput> OpenOutput(std::size_t device, Platform::MidiOutputCallback& callback,
                                                     Platform::MidiOpenFailure& failure) override;

private:
    std::vector<std::string> List(std::vector<PortKey>& listed);
    // The listed port, when it is there and free to open; else false with the reason.
    bool FindOpenable(const std::vector<PortKey>& listed, std::size_t device, PortKey& port,
                      Platform::MidiOpenFailure& failure);

    std::shared_ptr<SimulatedMidiSystem> mSystem;
    std::mutex mMutex;
    std::vector<PortKey> mListedInputs;
    std::vector<PortKey> mListedOutputs;
};

inline constexpr const char* kSimulatedMidiDriverName = "simulated";

// Offers the simulated display device to the platform's MIDI service as the driver "simulated", set up from the
// ZV_SIM_* environment variables each time one is made.
void RegisterSimulatedMidiDriver();

}  // namespace ZV::Simulator
