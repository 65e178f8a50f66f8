#pragma once

#include "Platform/AlsaRawMidi.h"
#include "Platform/MidiDriver.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ZV::Platform {

// ALSA raw MIDI: every subdevice of every card is a device, named by its subdevice name (or its device's name
// when that is empty). Raw MIDI rather than the sequencer, which is known to drop large System Exclusive.
// Input is read by a thread per open input; output is written by a thread per open output, and a long message
// is done once the device has taken all of it from the kernel's buffer. Without any card there are simply no devices.
class AlsaMidiDriver final : public MidiDriver {
public:
    AlsaMidiDriver();
    // Over another raw MIDI layer than the machine's: for tests.
    explicit AlsaMidiDriver(std::shared_ptr<AlsaRawMidi> rawMidi);

    std::vector<std::string> ListInputDevices() override;
    std::vector<std::string> ListOutputDevices() override;
    std::unique_ptr<MidiInput> OpenInput(std::size_t device, MidiInputCallback& callback,
                                         MidiOpenFailure& failure) override;
    std::unique_ptr<MidiOutput> OpenOutput(std::size_t device, MidiOutputCallback& callback,
                                           MidiOpenFailure& failure) override;

private:
    std::vector<std::string> List(bool input);
    // The listed device opened in that direction, or null with the reason.
    std::unique_ptr<AlsaRawMidiStream> OpenListed(bool input, std::size_t device, MidiOpenFailure& failure);

    std::shared_ptr<AlsaRawMidi> mRawMidi;
    std::mutex mMutex;
    std::vector<AlsaMidiDevice> mInputs;
    std::vector<AlsaMidiDevice> mOutputs;
};

}  // namespace ZV::Platform
