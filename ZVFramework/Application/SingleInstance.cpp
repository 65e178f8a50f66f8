#include "Application/SingleInstance.h"

#include "Platform/StandardError.h"
#include "System/MessageLoop.h"
#include "ControlBase/DebugLine.h"

namespace ZV {

namespace {

constexpr char kLockEnding[] = ".lock";
constexpr char kChannelEnding[] = ".socket";

void SayCommandLineTooLong()
{
    static constexpr char kLine[] =
        "The program is running already; its window was brought to the front, but this command line is too long "
        "to hand over to it.\n";
    Platform::WriteToStandardError(kLine, sizeof kLine - 1);
}

}  // namespace

LSingleInstance::~LSingleInstance()
{
    StopListening();
}

LSingleInstance::Role LSingleInstance::Claim(const WideString& name, const NarrowString& commandLine)
{
    mPathBase = Platform::InstanceLock::GetPathBase(name.ToUTF8().GetData());
    Platform::InstanceLock::Outcome outcome = Platform::InstanceLock::Outcome::failed;
    mLock = Platform::InstanceLock::TryAcquire(mPathBase + kLockEnding, outcome);
    if (outcome == Platform::InstanceLock::Outcome::acquired) {
        mRole = Role::kFirst;
        return mRole;
    }
    if (outcome == Platform::InstanceLock::Outcome::failed) {
        WriteDebugLine("The instance lock could not be taken; this instance starts without it.");
        mRole = Role::kUnchecked;
        return mRole;
    }
    const bool fits = commandLine.GetLength() <= Platform::InstanceChannelListener::kLargestMessage;
    const bool empty = commandLine.IsEmpty() || !fits;
    const bool delivered = Platform::SendToFirstInstance(
        mPathBase + kChannelEnding, empty ? kRaiseOnlyTag : kCommandLineTag,
        empty ? std::string() : std::string(commandLine.GetData(), commandLine.GetLength()), kHandOverTimeoutMs);
    if (delivered && !fits) {
        SayCommandLineTooLong();
    }
    mRole = delivered ? Role::kHandedOver : Role::kUnchecked;
    return mRole;
}

bool LSingleInstance::Listen(Platform::InstanceChannelListener::Receiver receiver)
{
    if (mRole != Role::kFirst || mListener) {
        return false;
    }
    mListener = Platform::InstanceChannelListener::Listen(mPathBase + kChannelEnding);
    if (!mListener) {
        WriteDebugLine("The hand-over channel could not be opened; later starts run as instances of their own.");
        return false;
    }
    mListener->SetReceiver(std::move(receiver));
    GetMessageLoop().AddSource(mListener.get());
    return true;
}

void LSingleInstance::StopListening()
{
    if (mListener) {
        GetMessageLoop().RemoveSource(mListener.get());
        mListener = nullptr;
    }
}

}  // namespace ZV
