#include "Simulator/SimulatedDisplayDevice.h"

#include <cstdio>
#include <utility>

namespace ZV::Simulator {

namespace {

constexpr std::uint8_t FirstRealTimeByte = 0xF8;
constexpr std::uint8_t StatusBit = 0x80;
// How often a held device looks whether the test released it.
constexpr std::chrono::milliseconds kReleaseLook{5};

DeviceState InitialState(DeviceStart start)
{
    switch (start) {
    case DeviceStart::Update:
        return DeviceState::Update;
    case DeviceStart::Absent:
        return DeviceState::Absent;
    case DeviceStart::Normal:
    case DeviceStart::Silent:
        break;
    }
    return DeviceState::Normal;
}

std::string HexByte(std::uint8_t byte)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

const char* GetRequestName(DeviceProtocol::Request request)
{
    switch (request) {
    case DeviceProtocol::Request::Status:
        return "status";
    case DeviceProtocol::Request::Version:
        return "version";
    case DeviceProtocol::Request::EnterUpdateMode:
        return "enter-update";
    case DeviceProtocol::Request::None:
        break;
    }
    return "";
}

const char* GetStatusName(DeviceProtocol::Status status)
{
    switch (status) {
    case DeviceProtocol::Status::InUpdateMode:
        return "update";
    case DeviceProtocol::Status::UpdateDone:
        return "done";
    case DeviceProtocol::Status::Running:
        break;
    }
    return "running";
}

std::int64_t Microseconds(SimulatorClock::duration duration)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
}

}  // namespace

const char* GetStateName(DeviceState state)
{
    switch (state) {
    case DeviceState::Normal:
        return "normal";
    case DeviceState::Update:
        return "update";
    case DeviceState::Restarting:
        return "restarting";
    case DeviceState::Absent:
        return "absent";
    case DeviceState::Done:
        return "done";
    }
    return "unknown";
}

SimulatedDisplayDevice::SimulatedDisplayDevice(DeviceSettings settings, DeviceLink& link)
    : mSettings(std::move(settings)),
      mLink(link),
      mLog(mSettings.LogPath, SimulatorClock::now()),
      mState(InitialState(mSettings.Start)),
      mBuild(mSettings.Build),
      mKeepWholeMessages(mLog.IsWriting() || mSettings.ExpectedImage.has_value())
{
    if (mState != DeviceState::Absent && mSettings.Faults.PlugInOnCue) {
        mWaitingToPlugIn = mState;
        EnterState(DeviceState::Absent);
        return;
    }
    if (mState != DeviceState::Absent && mSettings.Faults.PlugInAfter.count() > 0) {
        mWaitingToPlugIn = mState;
        EnterState(DeviceState::Absent);
        After(mSettings.Faults.PlugInAfter, [this] { PlugInIfWaiting(); });
        return;
    }
    if (mState != DeviceState::Absent) {
        mLink.SetPortsPresent(true);
    }
    EnterState(mState);
}

void SimulatedDisplayDevice::ReceiveFromHost(const Platform::MidiLongMessage& message,
                                             SimulatorClock::time_point transferStart,
                                             SimulatorClock::time_point transferEnd)
{
    if (mHold != 0) {
        // It reached the device, which takes it once released.
        mHeldSteps.push_back(
            [this, message, transferStart, transferEnd] { ReceiveFromHost(message, transferStart, transferEnd); });
        return;
    }
    mTransferEnd = transferEnd;
    const bool taken = message.WriteParts([&](const std::uint8_t* bytes, std::size_t count) {
        for (std::size_t index = 0; index < count; ++index) {
            if (mState == DeviceState::Restarting || mState == DeviceState::Absent) {
                return false;
            }
            ReceiveByte(bytes[index], transferStart);
        }
        return true;
    });
    if (!taken) {
        return;
    }
    // Short messages come whole from the computer's driver, so one ends with its transfer.
    FinishShortMessage();
}

void SimulatedDisplayDevice::ReceiveByte(std::uint8_t byte, SimulatorClock::time_point transferStart)
{
    if (byte >= FirstRealTimeByte) {
        return;
    }
    if (byte == SysExStart) {
        FinishShortMessage();
        if (mInSysEx) {
            Note("a message began before the previous one ended; the unfinished one was dropped");
        }
        mInSysEx = true;
        mSysEx = {byte};
        mMessageStart = transferStart;
        return;
    }
    if (mInSysEx) {
        if ((byte & StatusBit) == 0) {
            // A message cut short here is longer than any request, and F7 still ends it.
            if (mKeepWholeMessages || mSysEx.size() < DeviceProtocol::RequestLength) {
                mSysEx.push_back(byte);
            }
            return;
        }
        mInSysEx = false;
        if (byte == SysExEnd) {
            mSysEx.push_back(byte);
            HandleMessage(mSysEx);
            return;
        }
        Note("status byte " + HexByte(byte) + " inside a message body; the message was dropped");
    } else if (byte == SysExEnd) {
        Note("F7 without a message before it");
        return;
    }
    if ((byte & StatusBit) != 0) {
        FinishShortMessage();
        mShortMessage = {byte};
    } else if (mShortMessage.empty()) {
        Note("data byte " + HexByte(byte) + " outside any message");
    } else {
        mShortMessage.push_back(byte);
    }
}

void SimulatedDisplayDevice::FinishShortMessage()
{
    if (!mShortMessage.empty()) {
        const MidiBytes message = std::move(mShortMessage);
        mShortMessage.clear();
        HandleMessage(message);
    }
}

void SimulatedDisplayDevice::HandleMessage(const MidiBytes& message)
{
    const bool isSysEx = message.front() == SysExStart;
    const DeviceProtocol::Request request = DeviceProtocol::Recognize(message);
    if (isSysEx && mState == DeviceState::Update && request != DeviceProtocol::Request::Status) {
        HandleImageMessage(message);
        return;
    }
    mLog.Received(message);
    if (!isSysEx || mSettings.Start == DeviceStart::Silent) {
        return;
    }
    if (request != DeviceProtocol::Request::None) {
        Meet(Moment::Kind::Asked, GetRequestName(request));
    }
    Then([this, request, message] { Act(request, message); });
}

void SimulatedDisplayDevice::Act(DeviceProtocol::Request request, const MidiBytes& message)
{
    switch (request) {
    case DeviceProtocol::Request::Status:
        Answer(message);
        Then([this] {
            if (mState == DeviceState::Done) {
                Restart(DeviceState::Normal);
            }
        });
        return;
    case DeviceProtocol::Request::Version:
        if (mState == DeviceState::Normal && !mSettings.Faults.NoVersion) {
            Answer(message);
        }
        return;
    case DeviceProtocol::Request::EnterUpdateMode:
        if (mState == DeviceState::Normal) {
            Restart(DeviceState::Update);
        }
        return;
    case DeviceProtocol::Request::None:
        break;
    }
    Note(mState == DeviceState::Done ? "a message came after the image was taken; it was ignored"
                                     : "a message that is no request came outside update mode; it was ignored");
}

void SimulatedDisplayDevice::HandleImageMessage(const MidiBytes& message)
{
    ++mImageMessagesArrived;
    if (mImageMessagesArrived == mSettings.Faults.DropImageMessage) {
        return;
    }
    mLog.Received(message);
    if (mHaveImageEnd) {
        std::lock_guard lock(mObserved);
        mImageGaps.push_back(Microseconds(mMessageStart - mLastImageEnd));
    }
    mHaveImageEnd = true;
    mLastImageEnd = mTransferEnd;
    ++mImageMessagesTaken;
    if (mSettings.ExpectedImage) {
        CheckAgainstExpectedImage(message);
    } else {
        StartFlashing();
    }
    if (mImageMessagesArrived == mSettings.Faults.VanishAfterImageMessages) {
        Vanish();
    }
    Meet(Moment::Kind::TookImageMessage, "");
}

void SimulatedDisplayDevice::CheckAgainstExpectedImage(const MidiBytes& message)
{
    if (mImageSpoilt) {
        return;
    }
    const std::vector<MidiBytes>& expected = *mSettings.ExpectedImage;
    const std::size_t index = mImageMessagesTaken - 1;
    const std::string number = std::to_string(mImageMessagesTaken);
    if (index >= expected.size()) {
        Note("image message " + number + " is more than the expected image holds (" +
             std::to_string(expected.size()) + " messages); the image is spoilt");
        mImageSpoilt = true;
    } else if (message != expected[index]) {
        Note("image message " + number + " differs from the expected image; the image is spoilt");
        mImageSpoilt = true;
    } else if (mImageMessagesTaken == expected.size()) {
        StartFlashing();
    }
}

void SimulatedDisplayDevice::StartFlashing()
{
    const std::uint64_t generation = ++mFlashGeneration;
    After(mSettings.FlashTime, [this, generation] {
        if (generation == mFlashGeneration && mState == DeviceState::Update && !mImageSpoilt &&
            !mSettings.Faults.NeverDone) {
            EnterState(DeviceState::Done);
        }
    });
}

void SimulatedDisplayDevice::Answer(const MidiBytes& request)
{
    if (DeviceProtocol::Recognize(request) == DeviceProtocol::Request::Version) {
        Send(DeviceProtocol::MakeVersionReply(request, mBuild));
        return;
    }
    DeviceProtocol::Status status = DeviceProtocol::Status::Running;
    if (mState == DeviceState::Update) {
        status = DeviceProtocol::Status::InUpdateMode;
    } else if (mState == DeviceState::Done) {
        status = DeviceProtocol::Status::UpdateDone;
    }
    Send(DeviceProtocol::MakeStatusReply(request, status));
    Meet(Moment::Kind::Answered, GetStatusName(status));
}

void SimulatedDisplayDevice::Send(MidiBytes message)
{
    if (mSettings.Faults.GarbageReplies) {
        message.insert(message.end() - 1, 0x00);
    }
    mLog.Sent(message);
    mLink.SendToHost(message);
}

void SimulatedDisplayDevice::Restart(DeviceState comeBackIn)
{
    const bool updated = mState == DeviceState::Done;
    mLink.SetPortsPresent(false);
    EnterState(DeviceState::Restarting);
    mInSysEx = false;
    mShortMessage.clear();
    ++mFlashGeneration;
    const std::chrono::milliseconds restartTime =
        mSettings.RestartTime * (mSettings.Faults.SlowRestart ? SlowRestartFactor : 1);
    After(restartTime, [this, comeBackIn, updated] {
        if (updated) {
            mBuild = mSettings.NewBuild;
        }
        mImageMessagesArrived = 0;
        mImageMessagesTaken = 0;
        mImageSpoilt = false;
        mHaveImageEnd = false;
        mLink.SetPortsPresent(true);
        EnterState(comeBackIn);
    });
}

void SimulatedDisplayDevice::Unplug()
{
    mLink.RunAfter(std::chrono::microseconds(0), [this] { Vanish(); });
}

void SimulatedDisplayDevice::PlugIn()
{
    mLink.RunAfter(std::chrono::microseconds(0), [this] { PlugInIfWaiting(); });
}

void SimulatedDisplayDevice::PlugInIfWaiting()
{
    if (const std::optional<DeviceState> pluggedIn = std::exchange(mWaitingToPlugIn, std::nullopt)) {
        mLink.SetPortsPresent(true);
        EnterState(*pluggedIn);
    }
}

void SimulatedDisplayDevice::Vanish()
{
    mLink.SetPortsPresent(false);
    ++mFlashGeneration;
    EnterState(DeviceState::Absent);
}

void SimulatedDisplayDevice::EnterState(DeviceState state)
{
    mState = state;
    mLog.State(GetStateName(state));
    {
        std::lock_guard lock(mObserved);
        ++mStateEntries.at(static_cast<std::size_t>(state));
        mStateEntered.notify_all();
    }
    Meet(Moment::Kind::EnteredState, GetStateName(state));
}

void SimulatedDisplayDevice::Meet(Moment::Kind kind, std::string name)
{
    Moment moment;
    moment.What = kind;
    moment.Count = ++mMomentCounts[{kind, name}];
    moment.Name = std::move(name);
    std::vector<std::string> cueTexts;
    const std::uint32_t hold = mLink.MeetMoment(moment, cueTexts);
    for (const std::string& text : cueTexts) {
        mLog.Mark("CUE", text);
    }
    if (hold == 0) {
        return;
    }
    mLog.Mark("HOLD", std::to_string(hold));
    if (mHold != 0) {
        mLaterHolds.push_back(hold);
        return;
    }
    mHold = hold;
    WaitForRelease();
}

void SimulatedDisplayDevice::Then(std::function<void()> step)
{
    if (mHold != 0) {
        mHeldSteps.push_back(std::move(step));
    } else {
        step();
    }
}

void SimulatedDisplayDevice::After(std::chrono::microseconds delay, std::function<void()> step)
{
    mLink.RunAfter(delay, [this, step = std::move(step)]() mutable { Then(std::move(step)); });
}

void SimulatedDisplayDevice::WaitForRelease()
{
    mLink.RunAfter(kReleaseLook, [this] {
        if (!mLink.IsReleased(mHold)) {
            WaitForRelease();
            return;
        }
        mLog.Mark("RELEASE", std::to_string(std::exchange(mHold, 0)));
        if (!mLaterHolds.empty()) {
            mHold = mLaterHolds.front();
            mLaterHolds.pop_front();
            WaitForRelease();
            return;
        }
        // A step may hold the device again: the rest then waits for that release.
        while (mHold == 0 && !mHeldSteps.empty()) {
            const std::function<void()> step = std::move(mHeldSteps.front());
            mHeldSteps.pop_front();
            step();
        }
    });
}

void SimulatedDisplayDevice::Note(std::string finding)
{
    std::fprintf(stderr, "simulated device \"%s\": %s\n", mSettings.PortName.c_str(), finding.c_str());
    std::lock_guard lock(mObserved);
    mFindings.push_back(std::move(finding));
}

bool SimulatedDisplayDevice::WaitForStateEntries(DeviceState state, std::size_t count,
                                                 std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mObserved);
    return mStateEntered.wait_for(lock, timeout,
                                  [&] { return mStateEntries.at(static_cast<std::size_t>(state)) >= count; });
}

std::vector<std::string> SimulatedDisplayDevice::GetFindings() const
{
    std::lock_guard lock(mObserved);
    return mFindings;
}

std::vector<std::int64_t> SimulatedDisplayDevice::GetImageGapsMicroseconds() const
{
    std::lock_guard lock(mObserved);
    return mImageGaps;
}

}  // namespace ZV::Simulator
