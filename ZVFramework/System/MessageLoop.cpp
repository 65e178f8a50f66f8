#include "System/MessageLoop.h"

#include "ControlBase/AppendItem.h"
#include "Platform/Clock.h"
#include "Platform/EventSource.h"
#include "System/WindowHost.h"

#include <algorithm>

namespace ZV {

namespace {

template <class T>
void RemoveFrom(Array<T>& array, const T& item)
{
    const std::int32_t index = array.IndexOf(item);
    if (index >= 0) {
        (void)array.RemoveRange(static_cast<std::uint32_t>(index), 1);
    }
}

bool TickDue(std::uint32_t now, std::uint32_t tick)
{
    return static_cast<std::int32_t>(now - tick) >= 0;
}

}  // namespace

LMessageLoop& GetMessageLoop()
{
    static LMessageLoop loop;
    return loop;
}

void LMessageLoop::AddSource(Platform::IEventSource* source)
{
    AppendItem(mSources, source);
}

void LMessageLoop::RemoveSource(Platform::IEventSource* source)
{
    RemoveFrom(mSources, source);
}

void LMessageLoop::AddWindow(IPendingPaint* window)
{
    AppendItem(mWindows, window);
}

void LMessageLoop::RemoveWindow(IPendingPaint* window)
{
    RemoveFrom(mWindows, window);
}

void LMessageLoop::StartTick()
{
    ++mTickUsers;
}

void LMessageLoop::StopTick()
{
    mTickUsers = std::max(0, mTickUsers - 1);
}

void LMessageLoop::PostQuit(int exitCode)
{
    mQuitting = true;
    mExitCode = exitCode;
}

void LMessageLoop::ClearQuit()
{
    mQuitting = false;
    mExitCode = 0;
}

void LMessageLoop::ReleaseLater(const RCPtr<LRefCountedObject>& object)
{
    AppendItem(mDeferred, object);
}

void LMessageLoop::ReleaseDeferred()
{
    while (mDeferred.GetCount() > 0) {
        // Taken out first: releasing may defer further objects.
        RCPtr<LRefCountedObject> object;
        (void)mDeferred.RemoveItem(mDeferred.GetCount() - 1, object);
    }
}

Platform::IEventSource* LMessageLoop::FindPendingSource()
{
    for (std::uint32_t index = 0; index < mSources.GetCount(); ++index) {
        Platform::IEventSource* source = *mSources.GetItemPointer(index);
        if (source->HasPendingEvent()) {
            return source;
        }
    }
    return nullptr;
}

bool LMessageLoop::AnyPaintPending() const
{
    for (std::uint32_t index = 0; index < mWindows.GetCount(); ++index) {
        if ((*mWindows.GetItemPointer(index))->HasPendingPaint()) {
            return true;
        }
    }
    return false;
}

void LMessageLoop::PaintWindows()
{
    // A copy: painting may close a window.
    const Array<IPendingPaint*> windows = mWindows;
    for (std::uint32_t index = 0; index < windows.GetCount(); ++index) {
        IPendingPaint* window = *windows.GetItemPointer(index);
        if (mWindows.IndexOf(window) >= 0 && window->HasPendingPaint()) {
            window->PaintPending();
        }
    }
    ReleaseDeferred();
}

int LMessageLoop::GetWaitTime(bool idle, std::uint32_t nextTick) const
{
    if (idle || AnyPaintPending()) {
        return 0;
    }
    if (mTickUsers == 0) {
        return -1;
    }
    const std::int32_t left = static_cast<std::int32_t>(nextTick - Platform::GetMillisecondTick());
    return std::max(0, static_cast<int>(left));
}

bool LMessageLoop::Run(const std::function<bool()>& keepRunning)
{
    bool idle = true;
    std::uint32_t idleCount = 0;
    std::uint32_t nextTick = Platform::GetMillisecondTick() + kTickMs;
    for (;;) {
        if (mQuitting) {
            return false;
        }
        if (!keepRunning()) {
            return true;
        }
        while (Platform::IEventSource* source = FindPendingSource()) {
            if (source->DispatchEvent()) {
                idle = true;
                idleCount = 0;
            }
            ReleaseDeferred();
            if (mQuitting) {
                return false;
            }
            if (!keepRunning()) {
                return true;
            }
        }
        PaintWindows();
        while (idle && FindPendingSource() == nullptr) {
            IWindowHost* host = GetWindowHost();
            const bool more = host != nullptr && host->ProcessIdle(idleCount == 0);
            ++idleCount;
            idle = more && idleCount < 2;
            ReleaseDeferred();
            if (mQuitting) {
                return false;
            }
            if (!keepRunning()) {
                return true;
            }
        }
        Array<int> descriptors;
        for (std::uint32_t index = 0; index < mSources.GetCount(); ++index) {
            AppendItem(descriptors, (*mSources.GetItemPointer(index))->GetDescriptor());
        }
        Platform::WaitForDescriptors(descriptors.GetData(), descriptors.GetCount(), GetWaitTime(idle, nextTick));
        const std::uint32_t now = Platform::GetMillisecondTick();
        if (mTickUsers > 0 && TickDue(now, nextTick)) {
            idle = true;
            idleCount = 0;
            // A late wake-up starts the ticks anew rather than making up for the missed ones in a burst.
            nextTick = TickDue(now, nextTick + kTickMs) ? now + kTickMs : nextTick + kTickMs;
        }
    }
}

}  // namespace ZV
