#pragma once

#include "Platform/MidiLongMessage.h"
#include "Simulator/Cues.h"
#include "Simulator/DeviceLog.h"
#include "Simulator/DeviceProtocol.h"
#include "Simulator/Scheduler.h"
#include "Simulator/SimulationSettings.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ZV::Simulator {

enum class DeviceState { Normal, Update, Restarting, Absent, Done };

const char* GetStateName(DeviceState state);

// What a device needs of the MIDI system it is plugged into.
class DeviceLink {
public:
    virtual void SendToHost(const MidiBytes& message) = 0;
    virtual void SetPortsPresent(bool present) = 0;
    virtual void RunAfter(std::chrono::microseconds delay, std::function<void()> task) = 0;
    // The device met a moment (its Device is left to the link): the cues at it are done, and their texts and the hold
    // they put the device in (0 for none) come back. A link without cues does nothing.
    virtual std::uint32_t MeetMoment(const Moment&, std::vector<std::string>&) { return 0; }
    virtual bool IsReleased(std::uint32_t) { return true; }

protected:
    ~DeviceLink() = default;
};

// A model of the display device: it answers status and version requests, restarts into update mode on request,
// takes the image message by message, reports "update done" after flashing, and comes back running the new
// build after a further restart. It checks what a device would care about (framing, image only in update mode,
// the image against the expected one), records the gaps between image messages and writes its log.
// Everything but the observers runs on the scheduler's thread. A cue can hold it where it is: until the test
// releases it, what it receives and what it was to do next wait, in order.
class SimulatedDisplayDevice {
public:
    SimulatedDisplayDevice(DeviceSettings settings, DeviceLink& link);
    SimulatedDisplayDevice(const SimulatedDisplayDevice&) = delete;
    SimulatedDisplayDevice& operator=(const SimulatedDisplayDevice&) = delete;

    const std::string& GetPortName() const { return mSettings.PortName; }

    // A message that reached the device, with the times its transfer began and ended.
    void ReceiveFromHost(const Platform::MidiLongMessage& message, SimulatorClock::time_point transferStart,
                         SimulatorClock::time_point transferEnd);

    // From any thread: the device is unplugged, for good, in the simulation's next turn (it enters Absent).
    void Unplug();
    // From any thread: a device still waiting to be plugged in (Faults.PlugInAfter) is plugged in in the simulation's
    // next turn, as it would be once its time has passed.
    void PlugIn();
    // In the simulation's turn (a cue of another device): the same at once.
    void UnplugNow() { Vanish(); }
    void PlugInNow() { PlugInIfWaiting(); }

    // Observers, safe from any thread.
    // Waits until the device has entered the state `count` times in all (its first state counts).
    bool WaitForStateEntries(DeviceState state, std::size_t count, std::chrono::milliseconds timeout) const;
    // What the device found wrong in what it received, one sentence each.
    std::vector<std::string> GetFindings() const;
    // For each image message after the first: microseconds from the end of the previous one to its start.
    std::vector<std::int64_t> GetImageGapsMicroseconds() const;

private:
    void ReceiveByte(std::uint8_t byte, SimulatorClock::time_point transferStart);
    void FinishShortMessage();
    void HandleMessage(const MidiBytes& message);
    void HandleImageMessage(const MidiBytes& message);
    void CheckAgainstExpectedImage(const MidiBytes& message);
    void StartFlashing();
    void Answer(const MidiBytes& request);
    void Send(MidiBytes message);
    void Restart(DeviceState comeBackIn);
    void PlugInIfWaiting();
    void Vanish();
    void EnterState(DeviceState state);
    void Act(DeviceProtocol::Request request, const MidiBytes& message);
    void Note(std::string finding);
    void Meet(Moment::Kind kind, std::string name);
    // Runs the step now, or once the device is released.
    void Then(std::function<void()> step);
    // Runs the step after the delay, or once the device is released when it holds by then.
    void After(std::chrono::microseconds delay, std::function<void()> step);
    void WaitForRelease();

    DeviceSettings mSettings;
    DeviceLink& mLink;
    DeviceLog mLog;
    DeviceState mState;
    std::uint32_t mBuild;
    // The state it is plugged in in, while it waits to be.
    std::optional<DeviceState> mWaitingToPlugIn;

    // The System Exclusive message under way: all of it while the log or the expected image needs its bytes, else
    // its first bytes only, enough to tell a request (an image message can be as large as an image).
    MidiBytes mSysEx;
    bool mInSysEx = false;
    const bool mKeepWholeMessages;
    MidiBytes mShortMessage;
    SimulatorClock::time_point mMessageStart;
    SimulatorClock::time_point mTransferEnd;

    std::uint32_t mImageMessagesArrived = 0;
    std::uint32_t mImageMessagesTaken = 0;
    bool mImageSpoilt = false;
    bool mHaveImageEnd = false;
    SimulatorClock::time_point mLastImageEnd;
    std::uint64_t mFlashGeneration = 0;

    // How often each moment came, by kind and name.
    std::map<std::pair<Moment::Kind, std::string>, std::uint32_t> mMomentCounts;
    std::uint32_t mHold = 0;
    // Holds met while it held, each its turn.
    std::deque<std::uint32_t> mLaterHolds;
    std::deque<std::function<void()>> mHeldSteps;

    mutable std::mutex mObserved;
    mutable std::condition_variable mStateEntered;
    std::array<std::size_t, 5> mStateEntries{};
    std::vector<std::string> mFindings;
    std::vector<std::int64_t> mImageGaps;
};

}  // namespace ZV::Simulator
