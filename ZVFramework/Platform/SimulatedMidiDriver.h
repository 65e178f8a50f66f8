#pragma once

#include "Platform/MidiDriver.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <memory>
#include <mutex>
#include <vector>

namespace ZV::Platform {

// The MIDI service of a simulated system: its ports are the devices, in its order. Callbacks run where the system
// runs its transfers: on its scheduler thread, or, for a message that its cable carries at once, on the sending
// thread before the send returns (the done, and whatever the device answers).
class SimulatedMidiDriver final : public MidiDriver {
public:
    explicit SimulatedMidiDriver(std::shared_ptr<Simulator::SimulatedMidiSystem> system);

    std::vector<std::string> ListInputDevices() override;
    std::vector<std::string> ListOutputDevices() override;
    std::unique_ptr<MidiInput> OpenInput(std::size_t device, MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutput> OpenOutput(std::size_t device, MidiOutputCallback& callback) override;

private:
    std::vector<std::string> List(std::vector<Simulator::PortKey>& listed);
    bool FindListed(const std::vector<Simulator::PortKey>& listed, std::size_t device, Simulator::PortKey& port);

    std::shared_ptr<Simulator::SimulatedMidiSystem> mSystem;
    std::mutex mMutex;
    std::vector<Simulator::PortKey> mListedInputs;
    std::vector<Simulator::PortKey> mListedOutputs;
};

}  // namespace ZV::Platform
