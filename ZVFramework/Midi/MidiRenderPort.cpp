#include "Midi/MidiRenderPort.h"

#include "Midi/MidiComm.h"
#include "Platform/MidiMessage.h"
#include "Threading/WaitResults.h"

#include <algorithm>
#include <vector>

namespace ZV {

LMidiRenderPort::LMidiRenderPort(const WideString& name, std::unique_ptr<Platform::MidiOutput> output,
                                 LMidiComm& owner)
    : mName(name), mOutput(std::move(output)), mOwner(&owner)
{
    mOwner->AddInternalReferences(1);
    mIdle.Set();
}

LMidiRenderPort::~LMidiRenderPort()
{
    // Closing waits for a callback under way, which takes the owner's lock: the lock is not held here.
    mOutput.reset();
    // Lowered first, so that the owner counts the reference going now as an outside one.
    mOwner->AddInternalReferences(-1);
    mOwner = nullptr;
}

ZVRESULT LMidiRenderPort::ReleaseInternalReferences()
{
    mOwner->RemoveUnusedPort(mOwner->mRenderPorts, *this);
    return LRefCountedObject::ReleaseInternalReferences();
}

ZVRESULT LMidiRenderPort::Send(const MidiMessageBytes& bytes)
{
    const std::uint8_t first = static_cast<std::uint8_t>(bytes.GetData()[0]);
    // F0, F7 and data bytes begin no short message: they go out as they are.
    if (Platform::GetShortMessageLength(first) == 0) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.GetData());
        const ZVRESULT result = SendLongMessage(
            Platform::MidiLongMessage::Holding(std::vector<std::uint8_t>(data, data + bytes.GetCount())));
        // A stalled output is one more time-out to the senders of plain messages.
        return result == kMidiOutputStalled ? ZV_E_FAIL : result;
    }
    return SendShortMessage(bytes);
}

ZVRESULT LMidiRenderPort::SendShortMessage(const MidiMessageBytes& bytes)
{
    // A short message must not land inside a long one: it claims the port as a long one does.
    std::uint64_t token = 0;
    if (!Claim(token)) {
        return ZV_E_FAIL;
    }
    const std::uint8_t* data = reinterpret_cast<const std::uint8_t*>(bytes.GetData());
    const std::size_t length = Platform::GetShortMessageLength(data[0]);
    // Bytes the message lacks are sent as zero.
    const std::uint32_t packed = Platform::PackShortMessage(data, std::min<std::size_t>(length, bytes.GetCount()));
    const bool sent = mOutput->SendShortMessage(packed);
    Unclaim();
    return sent ? static_cast<ZVRESULT>(length) : ZV_E_FAIL;
}

ZVRESULT LMidiRenderPort::SendLongMessage(Platform::MidiLongMessage message)
{
    std::uint64_t token = 0;
    if (!Claim(token)) {
        return ZV_E_FAIL;
    }
    const std::size_t size = message.GetSize();
    bool stalled = false;
    if (mOutput->SendLongMessage(std::move(message), token)) {
        stalled = !WaitWhileMoving();
    }
    // Whether it finished, failed or timed out, the port is free for the next message; a done that comes later is
    // ignored, and the driver still holds the bytes it may read.
    const bool delivered = Unclaim();
    if (delivered) {
        return static_cast<ZVRESULT>(size);
    }
    return stalled ? kMidiOutputStalled : ZV_E_FAIL;
}

bool LMidiRenderPort::WaitWhileMoving()
{
    // A message can take far longer than the time-out on a slow cable; only one that stops moving is given up.
    const std::uint32_t waitStart = mOwner->GetTick();
    for (;;) {
        const std::uint32_t still = GetStillTime(waitStart);
        if (still >= kSendTimeout) {
            return false;
        }
        if (mDone.Wait(kSendTimeout - still) == kWaitSignalled) {
            return true;
        }
    }
}

std::uint32_t LMidiRenderPort::GetStillTime(std::uint32_t waitStart) const
{
    const std::uint32_t lastMoved = mLastMoved.load();
    const std::uint32_t now = mOwner->GetTick();
    return std::min(TicksSince(waitStart, now), TicksSince(lastMoved, now));
}

std::uint32_t LMidiRenderPort::TicksSince(std::uint32_t then, std::uint32_t now)
{
    // The driver's thread may mark the message as moved after the tick was read here: a time after now is no time
    // ago, never most of the tick's range.
    const auto elapsed = static_cast<std::int32_t>(now - then);
    return elapsed > 0 ? static_cast<std::uint32_t>(elapsed) : 0;
}

bool LMidiRenderPort::Claim(std::uint64_t& token)
{
    const std::uint32_t waitStart = mOwner->GetTick();
    for (;;) {
        // The message of another sender may keep the port busy for long, as long as it moves.
        const std::uint32_t still = GetStillTime(waitStart);
        if (still >= kSendTimeout) {
            return false;
        }
        const std::uint32_t waited = mIdle.Wait(kSendTimeout - still);
        if (waited == kWaitTimedOut) {
            continue;
        }
        if (waited != kWaitSignalled) {
            return false;
        }
        MutexLock lock(mOwner->mLock);
        // Another sender may have claimed the port between the wait and the lock.
        if (mClaimToken == 0) {
            token = ++mLastToken;
            mClaimToken = token;
            mLongMessageDelivered = false;
            mLastMoved.store(mOwner->GetTick());
            mIdle.Reset();
            mDone.Reset();
            return true;
        }
    }
}

bool LMidiRenderPort::Unclaim()
{
    MutexLock lock(mOwner->mLock);
    mClaimToken = 0;
    mIdle.Set();
    return mLongMessageDelivered;
}

void LMidiRenderPort::OnLongMessageDone(std::uint64_t token, bool delivered)
{
    if (token == mClaimToken) {
        mLongMessageDelivered = delivered;
        mDone.Set();
    }
}

void LMidiRenderPort::OnLongMessageProgress(std::uint64_t token)
{
    if (token == mClaimToken) {
        mLastMoved.store(mOwner->GetTick());
    }
}

}  // namespace ZV
