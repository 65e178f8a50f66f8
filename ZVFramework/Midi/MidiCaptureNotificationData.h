#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Threading/ReuseAllocator.h"
#include "Utilities/Storage/ArrayBufferM.h"
#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <cstdint>

namespace ZV {

// The bytes of one MIDI message: short messages and requests stay inside the array object.
using MidiMessageBytes = ArrayBufferM<std::int8_t, 16, 4>;

// One complete message captured from an input port: the payload of "NID_MIDI_DATA_CAPTURED". One is made for every
// incoming message on the driver's thread, so they come from a recycling pool.
class LMidiCaptureNotificationData : public virtual LRefCountedObject {
public:
    static RCPtr<LMidiCaptureNotificationData> Create(const WideString& portName, std::uint32_t timeStamp);

    MidiMessageBytes& GetBytes() { return mBytes; }
    const MidiMessageBytes& GetBytes() const { return mBytes; }
    const WideString& GetPortName() const { return mPortName; }
    // The driver's time in milliseconds for a short message, 0 for a System Exclusive one.
    std::uint32_t GetTimeStamp() const { return mTimeStamp; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

private:
    LMidiCaptureNotificationData(const WideString& portName, std::uint32_t timeStamp);

    MidiMessageBytes mBytes;
    WideString mPortName;
    std::uint32_t mTimeStamp;
};

// Locked: records are made on the MIDI callback threads and let go on the MIDI pool's worker thread.
ReuseAllocator<LMidiCaptureNotificationData, 4>& GetMidiCaptureDataPool();

}  // namespace ZV
