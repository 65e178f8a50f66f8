#include "Midi/MidiCaptureNotificationData.h"


namespace ZV {

LMidiCaptureNotificationData::LMidiCaptureNotificationData(const WideString& portName, std::uint32_t timeStamp)
    : mPortName(portName), mTimeStamp(timeStamp)
{
}

RCPtr<LMidiCaptureNotificationData> LMidiCaptureNotificationData::Create(const WideString& portName,
                                                                         std::uint32_t timeStamp)
{
    return RCPtr<LMidiCaptureNotificationData>(new LMidiCaptureNotificationData(portName, timeStamp));
}

void* LMidiCaptureNotificationData::operator new(std::size_t size)
{
    return GetMidiCaptureDataPool().Allocate(size);
}

void LMidiCaptureNotificationData::operator delete(void* block)
{
    GetMidiCaptureDataPool().Free(block);
}

ReuseAllocator<LMidiCaptureNotificationData, 4>& GetMidiCaptureDataPool()
{
    return LastingReusePool<LMidiCaptureNotificationData, 4, true>();
}

}  // namespace ZV
