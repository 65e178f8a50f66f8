#include "Application/SingleInstance.h"

#include "Platform/StandardError.h"
#include "System/MessageLoop.h"
#include "ControlBase/DebugLine.h"

namespace ZV {

namespace {

constexpr char kLockName[] = "/lock";
constexpr char kChannelName[] = "/socket";

}  // namespace

LSingleInstance::~LSingleInstance()
{
    StopListening();
}

LSingleInstance::Role LSingleInstance::Claim(const WideString& name, const NarrowString& commandLine)
{
    std::string refusal;
    mFolder = Platform::InstanceLock::FindFolder(name.ToUTF8().GetData(), refusal);
    if (mFolder.empty()) {
        Platform::WriteLineToStandardError("The single-instance folder " + refusal +
                                           "; this start goes on without the single-instance check.");
        mRole = Role::kUnchecked;
        return mRole;
    }
    Platform::InstanceLock::Outcome outcome = Platform::InstanceLock::Outcome::failed;
    mLock = Platform::InstanceLock::TryAcquire(mFolder + kLockName, outcome, refusal);
    if (outcome == Platform::InstanceLock::Outcome::acquired) {
        return BecomeFirst();
    }
    if (outcome == Platform::InstanceLock::Outcome::failed) {
        Platform::WriteLineToStandardError("The instance lock " + mFolder + kLockName + " " + refusal +
                                           "; this start goes on without the single-instance check.");
        mRole = Role::kUnchecked;
        return mRole;
    }
    const bool fits = commandLine.GetLength() <= Platform::InstanceChannelListener::kLargestMessage;
    const bool empty = commandLine.IsEmpty() || !fits;
    std::string found;
    const Platform::HandOver handOver = Platform::SendToFirstInstance(
        mFolder + kChannelName, empty ? kRaiseOnlyTag : kCommandLineTag,
        empty ? std::string() : std::string(commandLine.GetData(), commandLine.GetLength()), kHandOverTimeoutMs,
        &found);
    if (handOver == Platform::HandOver::delivered) {
        // Whoever started this one learns why nothing else happens here.
        if (!fits) {
            Platform::WriteLineToStandardError(
                "The program is running already; its window was brought to the front, but this command line is "
                "too long to hand over to it.");
        } else if (empty) {
            Platform::WriteLineToStandardError(
                "The program is running already and was asked to come to the front; this start ends.");
        } else {
            Platform::WriteLineToStandardError(
                "The program is running already and took this command line; this start ends.");
        }
        mRole = Role::kHandedOver;
        return mRole;
    }
    // Not even when the first has ended meanwhile: a start that met a busy first never runs after it, whatever that
    // first did (an update, as a silent run does). Whoever started this one starts it again.
    Platform::WriteLineToStandardError(handOver == Platform::HandOver::foreign
                                           ? "The program is running already, but its hand-over channel " + mFolder +
                                                 kChannelName + " " + found +
                                                 "; this start ends without handing its command line over."
                                           : "The program is running already but does not answer; this start ends.");
    mRole = Role::kUnanswered;
    return mRole;
}

LSingleInstance::Role LSingleInstance::BecomeFirst()
{
    mRole = Role::kFirst;
    // At once, so that a later start meets a channel (answered as soon as the loop reads it) rather than nobody.
    mListener = Platform::InstanceChannelListener::Listen(mFolder + kChannelName);
    if (!mListener) {
        WriteDebugLine("The hand-over channel could not be opened; later starts end without handing over.");
    }
    return mRole;
}

bool LSingleInstance::Listen(Platform::InstanceChannelListener::Receiver receiver)
{
    if (mRole != Role::kFirst || !mListener || mInLoop) {
        return false;
    }
    mListener->SetReceiver(std::move(receiver));
    GetMessageLoop().AddSource(mListener.get());
    mInLoop = true;
    return true;
}

void LSingleInstance::StopListening()
{
    if (mInLoop) {
        GetMessageLoop().RemoveSource(mListener.get());
        mInLoop = false;
    }
    mListener = nullptr;
}

}  // namespace ZV
