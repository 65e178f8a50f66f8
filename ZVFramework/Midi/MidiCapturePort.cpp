#include "Midi/MidiCapturePort.h"

#include "Midi/MidiComm.h"
#include "Platform/MidiMessage.h"

#include <cstring>

namespace ZV {

namespace {

bool AppendBytes(MidiMessageBytes& bytes, const std::uint8_t* data, std::uint32_t count)
{
    const std::uint32_t start = bytes.GetCount();
    if (Failed(bytes.SetCount(start + count))) {
        return false;
    }
    std::memcpy(bytes.GetData() + start, data, count);
    return true;
}

}  // namespace

LMidiCapturePort::LMidiCapturePort(const WideString& name, std::unique_ptr<Platform::MidiInput> input,
                                   LMidiComm& owner)
    : mName(name), mInput(std::move(input)), mOwner(&owner)
{
    mOwner->AddInternalReferences(1);
    for (CaptureBuffer& buffer : mBuffers) {
        buffer.Header.Data = buffer.Data;
        buffer.Header.Size = kBufferSize;
    }
}

LMidiCapturePort::~LMidiCapturePort()
{
    // Closing waits for a callback under way, which takes the owner's lock: the lock is not held here.
    mInput->Stop();
    mInput.reset();
    mPending = nullptr;
    // Lowered first, so that the owner counts the reference going now as an outside one.
    mOwner->AddInternalReferences(-1);
    mOwner = nullptr;
}

ZVRESULT LMidiCapturePort::ReleaseInternalReferences()
{
    mOwner->RemoveUnusedPort(mOwner->mCapturePorts, *this);
    return LRefCountedObject::ReleaseInternalReferences();
}

bool LMidiCapturePort::Start()
{
    for (CaptureBuffer& buffer : mBuffers) {
        if (!mInput->AddSysExBuffer(buffer.Header)) {
            return false;
        }
    }
    return mInput->Start();
}

RCPtr<LMidiCaptureNotificationData> LMidiCapturePort::TakeShortMessage(std::uint32_t packedMessage,
                                                                       std::uint32_t timeStamp) const
{
    const std::uint32_t length =
        static_cast<std::uint32_t>(Platform::GetShortMessageLength(static_cast<std::uint8_t>(packedMessage)));
    if (length == 0) {
        return nullptr;
    }
    RCPtr<LMidiCaptureNotificationData> message = LMidiCaptureNotificationData::Create(mName, timeStamp);
    MidiMessageBytes& bytes = message->GetBytes();
    if (Failed(bytes.SetCount(length))) {
        return nullptr;
    }
    for (std::uint32_t index = 0; index < length; ++index) {
        bytes.GetData()[index] = static_cast<std::int8_t>(packedMessage >> (8 * index));
    }
    return message;
}

RCPtr<LMidiCaptureNotificationData> LMidiCapturePort::TakeSysExBuffer(Platform::MidiSysExBuffer& buffer,
                                                                      Platform::MidiSysExFill fill)
{
    RCPtr<LMidiCaptureNotificationData> complete;
    if (fill == Platform::MidiSysExFill::Interrupted) {
        // The message lost bytes: what was collected of it must not be joined to the next one.
        mPending = nullptr;
    } else {
        complete = CollectSysEx(buffer);
    }
    mInput->AddSysExBuffer(buffer);
    return complete;
}

RCPtr<LMidiCaptureNotificationData> LMidiCapturePort::CollectSysEx(const Platform::MidiSysExBuffer& buffer)
{
    const std::uint32_t count = buffer.Recorded;
    if (count == 0) {
        return nullptr;
    }
    if (buffer.Data[0] == Platform::MidiSysExStart) {
        // A new message; one whose end never came is dropped.
        mPending = LMidiCaptureNotificationData::Create(mName, 0);
    } else if (mPending.IsNull()) {
        // The rest of a message that was dropped.
        return nullptr;
    }
    if (mPending->GetBytes().GetCount() + static_cast<std::uint64_t>(count) > kMaximumMessageBytes ||
        !AppendBytes(mPending->GetBytes(), buffer.Data, count)) {
        mPending = nullptr;
        return nullptr;
    }
    if (buffer.Data[count - 1] != Platform::MidiSysExEnd) {
        return nullptr;
    }
    return std::move(mPending);
}

}  // namespace ZV
