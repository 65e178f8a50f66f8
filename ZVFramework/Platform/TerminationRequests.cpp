#include "Platform/TerminationRequests.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>

namespace ZV::Platform {

namespace {

constexpr int kCaughtSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// The handler may only do what is safe inside a signal: one write to the pipe, the announcement's one write, or a
// flag. It runs on whichever thread the system picks, so a change of who takes the requests waits until no handler
// runs before it looks at what they left.
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
              std::atomic<std::uintptr_t>::is_always_lock_free);
std::atomic<int> gHandlersRunning{0};
std::atomic<int> gWakeWriteEnd{-1};
std::atomic<int> gWakeReadEnd{-1};
// Held by a look at the read end from any thread, and by the change of who takes the requests: a look never meets a
// descriptor that was closed and may be another file's by now.
std::mutex gReadEndLock;
std::atomic<bool> gHolding{false};
std::atomic<bool> gHeld{false};
std::atomic<bool> gAnsweredUntilExit{false};
// The announcement and whether a request was answered, in one word, so that a change of the announcement and the first
// answer come one after the other: the answer always announces what held when it came.
static_assert(alignof(std::string_view) > 1);
constexpr std::uintptr_t kAnsweredMark = 1;
std::atomic<std::uintptr_t> gAnswerState{0};

// The announcement that held when the answer came, null when this is not the first answer.
const std::string_view* TakeAnswer()
{
    const std::uintptr_t before = gAnswerState.fetch_or(kAnsweredMark);
    if ((before & kAnsweredMark) != 0) {
        return nullptr;
    }
    return reinterpret_cast<const std::string_view*>(before);
}

// Outside the count of running handlers: a standard error that nobody reads may hold it.
void Announce(const std::string_view* announcement)
{
    if (announcement != nullptr) {
        (void)!write(STDERR_FILENO, announcement->data(), announcement->size());
    }
}

// Replaces the announcement, keeping the mark of an answer: false, changing nothing, when an answer came first and
// only a change before any answer is wanted.
bool ReplaceAnnouncement(const std::string_view* announcement, bool unlessAnswered)
{
    std::uintptr_t state = gAnswerState.load();
    std::uintptr_t wanted = 0;
    do {
        if (unlessAnswered && (state & kAnsweredMark) != 0) {
            return false;
        }
        wanted = reinterpret_cast<std::uintptr_t>(announcement) | (state & kAnsweredMark);
    } while (!gAnswerState.compare_exchange_weak(state, wanted));
    return true;
}

bool IsReadable(int descriptor)
{
    pollfd wait{descriptor, POLLIN, 0};
    return poll(&wait, 1, 0) > 0 && (wait.revents & POLLIN) != 0;
}

extern "C" void TakeRequest(int)
{
    const int savedErrno = errno;
    const std::string_view* announcement = nullptr;
    gHandlersRunning.fetch_add(1);
    if (const int wakeWriteEnd = gWakeWriteEnd.load(); wakeWriteEnd >= 0) {
        const char request = 1;
        // A full pipe already holds a request that is not taken yet.
        (void)!write(wakeWriteEnd, &request, 1);
    } else if (gAnsweredUntilExit.load()) {
        announcement = TakeAnswer();
    } else {
        gHeld.store(true);
    }
    gHandlersRunning.fetch_sub(1);
    Announce(announcement);
    errno = savedErrno;
}

void SetDisposition(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kCaughtSignals) {
        sigaction(signal, &action, nullptr);
    }
}

// A handler on another thread may have read the state from before the change.
void WaitForRunningHandlers()
{
    while (gHandlersRunning.load() != 0) {
    }
}

}  // namespace

void HoldTerminationRequests()
{
    gHolding.store(true);
    SetDisposition(&TakeRequest);
    sigset_t requests;
    sigemptyset(&requests);
    for (const int signal : kCaughtSignals) {
        sigaddset(&requests, signal);
    }
    pthread_sigmask(SIG_UNBLOCK, &requests, nullptr);
}

std::unique_ptr<TerminationRequests> TerminationRequests::Catch(std::function<void()> onRequest)
{
    if (gWakeWriteEnd.load() >= 0) {
        return nullptr;
    }
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return nullptr;
    }
    {
        const std::lock_guard lock(gReadEndLock);
        gWakeReadEnd.store(ends[0]);
    }
    gWakeWriteEnd.store(ends[1]);
    SetDisposition(&TakeRequest);
    WaitForRunningHandlers();
    if (gHeld.exchange(false)) {
        const char request = 1;
        (void)!write(ends[1], &request, 1);
    }
    return std::unique_ptr<TerminationRequests>(new TerminationRequests(ends[0], std::move(onRequest)));
}

TerminationRequests::TerminationRequests(int readEnd, std::function<void()> onRequest)
    : mReadEnd(readEnd), mOnRequest(std::move(onRequest))
{
}

TerminationRequests::~TerminationRequests()
{
    if (!gHolding.load() && !gAnsweredUntilExit.load()) {
        SetDisposition(SIG_DFL);
    }
    {
        const std::lock_guard lock(gReadEndLock);
        gWakeReadEnd.store(-1);
    }
    const int writeEnd = gWakeWriteEnd.exchange(-1);
    WaitForRunningHandlers();
    close(writeEnd);
    close(mReadEnd);
}

void AnswerTerminationRequestsUntilExit(const std::string_view* announcement)
{
    (void)ReplaceAnnouncement(announcement, false);
    gAnsweredUntilExit.store(true);
    SetDisposition(&TakeRequest);
    WaitForRunningHandlers();
    if (gHeld.exchange(false)) {
        Announce(TakeAnswer());
    }
}

bool ChangeAnnouncementUnlessAnswered(const std::string_view* announcement)
{
    return !gHeld.load() && ReplaceAnnouncement(announcement, true);
}

bool WasTerminationRequestAnswered()
{
    return (gAnswerState.load() & kAnsweredMark) != 0;
}

int GetTerminationRequestDescriptor()
{
    return gWakeReadEnd.load();
}

bool IsTerminationRequestWaiting()
{
    const std::lock_guard lock(gReadEndLock);
    const int readEnd = gWakeReadEnd.load();
    return readEnd >= 0 && IsReadable(readEnd);
}

bool TerminationRequests::HasPendingEvent()
{
    return IsReadable(mReadEnd);
}

bool TerminationRequests::DispatchEvent()
{
    if (!HasPendingEvent()) {
        return false;
    }
    if (mOnRequest) {
        mOnRequest();
    }
    // A request that came during the report is taken with the others: what the report decided holds for it too.
    char requests[64];
    while (read(mReadEnd, requests, sizeof requests) > 0) {
    }
    return true;
}

}  // namespace ZV::Platform
