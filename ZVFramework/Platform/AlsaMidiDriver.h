#pragma once

#include "Platform/MidiDriver.h"

#include <mutex>
#include <string>
#include <vector>

namespace ZV::Platform {

struct AlsaMidiDevice {
    std::string Address;  // "hw:card,device,subdevice"
    std::string Name;
};

// ALSA raw MIDI: every subdevice of every card is a device, named by its subdevice name (or its device's name
// when that is empty). Raw MIDI rather than the sequencer, which is known to drop large System Exclusive.
// Input is read by a thread per open input; output is written by a thread per open output, and a long message
// is done once drained, when its bytes have left the computer. Without any card there are simply no devices.
class AlsaMidiDriver final : public MidiDriver {
public:
    std::vector<std::string> ListInputDevices() override;
    std::vector<std::string> ListOutputDevices() override;
    std::unique_ptr<MidiInput> OpenInput(std::size_t device, MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutput> OpenOutput(std::size_t device, MidiOutputCallback& callback) override;

private:
    std::vector<std::string> List(bool input);
    bool FindListed(bool input, std::size_t device, std::string& address);

    std::mutex mMutex;
    std::vector<AlsaMidiDevice> mInputs;
    std::vector<AlsaMidiDevice> mOutputs;
};

}  // namespace ZV::Platform
