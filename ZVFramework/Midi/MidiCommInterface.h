#pragma once

#include "Midi/MidiCaptureNotificationData.h"
#include "Notification/NotificationDistributor.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Platform/MidiLongMessage.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LMidiCapturePort;
class LMidiRenderPort;

// A long message of which the driver took nothing for the send's time-out: the output has stalled.
inline constexpr ZVRESULT kMidiOutputStalled = static_cast<ZVRESULT>(0x800705B4u);
// A port that is there but cannot be opened, because another program holds it open.
inline constexpr ZVRESULT kMidiPortBusy = static_cast<ZVRESULT>(0x800700AAu);

// The program's MIDI ports. Ports are opened by a part of their product name (any letter case), shared while
// anybody holds them, and closed with their last outside reference. Every message captured from an open input port
// is distributed as "NID_MIDI_DATA_CAPTURED" (payload LMidiCaptureNotificationData) on the MIDI object's own worker
// thread, one message at a time, in arrival order.
class LMidiCommInterface : public LNotificationDistributor {
public:
    // 0 with the port; else a null port, and kMidiPortBusy when the first device whose name contains the text is
    // held open by another program, 0x80004005 when there is none or it cannot be opened.
    [[nodiscard]] virtual ZVRESULT OpenCapturePort(const WideString& name, RCPtr<LMidiCapturePort>& port) = 0;
    [[nodiscard]] virtual ZVRESULT OpenRenderPort(const WideString& name, RCPtr<LMidiRenderPort>& port) = 0;
    // Devices of one model carry one name, each listed on its own: how many input and how many output devices whose
    // names contain the text the driver lists now.
    virtual void CountPorts(const WideString& name, std::uint32_t& captureCount, std::uint32_t& renderCount) = 0;
    // Opens the device at that place (0 the first, in the driver's order) among those whose names contain the text:
    // 0, or 0x80004005 with a null port when none stands there, it cannot be opened, or a port whose name contains
    // the text is open on this object already (ports are handed out again by name, so an object keeps to one
    // device of a name).
    [[nodiscard]] virtual ZVRESULT OpenCapturePortAt(const WideString& name, std::uint32_t place,
                                                     RCPtr<LMidiCapturePort>& port) = 0;
    [[nodiscard]] virtual ZVRESULT OpenRenderPortAt(const WideString& name, std::uint32_t place,
                                                    RCPtr<LMidiRenderPort>& port) = 0;
    // Sends one message and waits until the driver has taken it, for as long as the driver keeps taking bytes of it
    // and no more than 10,000 ms after it last took any: the number of bytes of a long message or the length of a
    // short one; 0x80004005 on a driver error or time-out; 0x80070057 when the port is not a render port or the
    // message is empty.
    [[nodiscard]] virtual ZVRESULT SendMidiMessage(const ConstRCPtr<LRefCountedObject>& port,
                                                   const MidiMessageBytes& bytes) = 0;
    // The same for a long message that the driver reads where it lies (as large as a firmware image may be), held
    // by the message's keeper for as long as the driver needs it: the number of bytes that went out, and
    // kMidiOutputStalled for the time-out.
    [[nodiscard]] virtual ZVRESULT SendLongMidiMessage(const ConstRCPtr<LRefCountedObject>& port,
                                                       Platform::MidiLongMessage message) = 0;
};

// A new MIDI object over the process's MIDI driver (ZV_MIDI_DRIVER), held by the caller.
RCPtr<LMidiCommInterface> CreateMidiComm();

}  // namespace ZV
