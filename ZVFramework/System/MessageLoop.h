#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>
#include <functional>

namespace ZV {

namespace Platform {
class IEventSource;
}  // namespace Platform

// A window whose invalid area the loop paints once the queued events are handled.
class IPendingPaint {
public:
    virtual bool HasPendingPaint() const = 0;
    virtual void PaintPending() = 0;

protected:
    ~IPendingPaint() = default;
};

// The one loop of the user-interface thread, run by the program and, nested, by each modal window. One round:
// handle every queued event of every source, paint the windows that wait for it, then, while no event waits, run
// the application's idle processing at most twice since the last input (first call, then a second one when the
// first wanted more), and wait on the sources' descriptors. While any window runs its timer the wait ends at least
// every tick, and a tick counts as input, so idle processing (and with it the delivery of notifications posted
// from other threads) runs about thirty times a second. A quit is seen by every loop, nested or not.
// User-interface thread only.
class LMessageLoop {
public:
    static constexpr std::uint32_t kTickMs = 33;

    LMessageLoop() = default;
    LMessageLoop(const LMessageLoop&) = delete;
    LMessageLoop& operator=(const LMessageLoop&) = delete;

    void AddSource(Platform::IEventSource* source);
    void RemoveSource(Platform::IEventSource* source);
    void AddWindow(IPendingPaint* window);
    void RemoveWindow(IPendingPaint* window);
    // Counted: the tick runs while anyone wants it.
    void StartTick();
    void StopTick();

    // Runs until keepRunning answers false (true) or the application quits (false). keepRunning is asked after each
    // event and each idle call.
    bool Run(const std::function<bool()>& keepRunning);
    // Ends every running loop; later runs end at once until the quit is taken back.
    void PostQuit(int exitCode);
    bool IsQuitting() const { return mQuitting; }
    int GetExitCode() const { return mExitCode; }
    void ClearQuit();

    // Lets the object go once the event or idle call under way has returned: a window may end itself from inside
    // its own handler.
    void ReleaseLater(const RCPtr<LRefCountedObject>& object);
    // Lets go now of what waits for it; the loop does so after each event and idle call.
    void ReleaseDeferred();

private:
    Platform::IEventSource* FindPendingSource();
    bool AnyPaintPending() const;
    void PaintWindows();
    int GetWaitTime(bool idle, std::uint32_t nextTick) const;

    Array<Platform::IEventSource*> mSources;
    Array<IPendingPaint*> mWindows;
    RCPtrArray<LRefCountedObject, 1, 0> mDeferred;
    int mTickUsers = 0;
    bool mQuitting = false;
    int mExitCode = 0;
};

// The user-interface thread's loop, made on first use.
LMessageLoop& GetMessageLoop();

}  // namespace ZV
