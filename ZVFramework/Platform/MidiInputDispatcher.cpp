#include "Platform/MidiInputDispatcher.h"

#include "Platform/Clock.h"
#include "Platform/MidiMessage.h"

namespace ZV::Platform {

MidiInputDispatcher::MidiInputDispatcher(MidiInput& input, MidiInputCallback& callback)
    : mInput(input), mCallback(callback)
{
}

bool MidiInputDispatcher::AddSysExBuffer(MidiSysExBuffer& buffer)
{
    if (buffer.Data == nullptr || buffer.Size == 0) {
        return false;
    }
    std::lock_guard lock(mMutex);
    if (mClosed) {
        return false;
    }
    buffer.Recorded = 0;
    mFreeBuffers.push_back(&buffer);
    return true;
}

bool MidiInputDispatcher::Start()
{
    std::lock_guard lock(mMutex);
    if (mClosed) {
        return false;
    }
    if (!mStarted) {
        mStarted = true;
        mStartTick = GetMillisecondTick();
        mParser.Reset();
    }
    mGate.Open();
    return true;
}

void MidiInputDispatcher::Stop()
{
    {
        std::lock_guard lock(mMutex);
        mStarted = false;
    }
    mGate.Shut();
    std::lock_guard lock(mMutex);
    mFreeBuffers.clear();
    mFilling = nullptr;
    mDroppingMessage = false;
    mInterruptionOwed = false;
}

void MidiInputDispatcher::Close()
{
    {
        std::lock_guard lock(mMutex);
        mClosed = true;
    }
    Stop();
}

void MidiInputDispatcher::Deliver(const std::uint8_t* bytes, std::size_t count)
{
    if (!mGate.Enter()) {
        return;
    }
    Lock lock(mMutex);
    for (std::size_t index = 0; index < count && mStarted; ++index) {
        const std::uint8_t byte = bytes[index];
        const MidiParsedByte parsed = mParser.Feed(byte);
        if (parsed.CutsSysExShort) {
            EndMessageEarly(lock);
        }
        if (parsed.IsSysExByte && mStarted) {
            StoreSysExByte(lock, byte);
        }
        if (parsed.CompletesShortMessage && mStarted) {
            const std::uint32_t timeStamp = GetMillisecondTick() - mStartTick;
            lock.unlock();
            mCallback.OnShortMessage(mInput, parsed.ShortMessage, timeStamp);
            lock.lock();
        }
    }
    lock.unlock();
    mGate.Leave();
}

void MidiInputDispatcher::StoreSysExByte(Lock& lock, std::uint8_t byte)
{
    if (byte == MidiSysExStart) {
        mDroppingMessage = false;
        if (mInterruptionOwed && !HandBackOwedInterruption(lock)) {
            mDroppingMessage = true;
        }
        if (!mStarted) {
            return;
        }
    }
    if (mDroppingMessage) {
        mDroppingMessage = byte != MidiSysExEnd;
        return;
    }
    if (mFilling == nullptr) {
        if (mFreeBuffers.empty()) {
            mDroppingMessage = byte != MidiSysExEnd;
            mInterruptionOwed = true;
            return;
        }
        mFilling = mFreeBuffers.front();
        mFreeBuffers.pop_front();
    }
    mFilling->Data[mFilling->Recorded++] = byte;
    if (byte == MidiSysExEnd || mFilling->Recorded == mFilling->Size) {
        HandBack(lock, MidiSysExFill::Filled);
    }
}

void MidiInputDispatcher::EndMessageEarly(Lock& lock)
{
    if (mDroppingMessage) {
        mDroppingMessage = false;
    } else if (mFilling != nullptr) {
        HandBack(lock, MidiSysExFill::Interrupted);
    } else {
        // The owner holds the message's first buffers and must learn that no end will come.
        mInterruptionOwed = true;
        HandBackOwedInterruption(lock);
    }
}

bool MidiInputDispatcher::HandBackOwedInterruption(Lock& lock)
{
    if (mFreeBuffers.empty()) {
        return false;
    }
    mInterruptionOwed = false;
    mFilling = mFreeBuffers.front();
    mFreeBuffers.pop_front();
    HandBack(lock, MidiSysExFill::Interrupted);
    return true;
}

void MidiInputDispatcher::HandBack(Lock& lock, MidiSysExFill fill)
{
    MidiSysExBuffer& buffer = *mFilling;
    mFilling = nullptr;
    lock.unlock();
    mCallback.OnSysExBuffer(mInput, buffer, fill);
    lock.lock();
}

}  // namespace ZV::Platform
