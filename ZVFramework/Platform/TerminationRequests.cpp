#include "Platform/TerminationRequests.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace ZV::Platform {

namespace {

constexpr int kCaughtSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// The handlers may only do what is safe inside a signal: one write to the pipe, or the announcement's one write.
std::atomic<int> gWakeWriteEnd{-1};
std::atomic<int> gWakeReadEnd{-1};
std::atomic<bool> gAnsweredUntilExit{false};
std::atomic<const char*> gAnnouncement{nullptr};
std::atomic<std::size_t> gAnnouncementLength{0};
std::atomic<bool> gAnswered{false};

extern "C" void WakeTheLoop(int)
{
    const int savedErrno = errno;
    const char request = 1;
    // A full pipe already holds a request that is not taken yet.
    (void)!write(gWakeWriteEnd.load(), &request, 1);
    errno = savedErrno;
}

extern "C" void AnswerAndGoOn(int)
{
    const int savedErrno = errno;
    if (!gAnswered.exchange(true)) {
        (void)!write(STDERR_FILENO, gAnnouncement.load(), gAnnouncementLength.load());
    }
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

}  // namespace

std::unique_ptr<TerminationRequests> TerminationRequests::Catch(std::function<void()> onRequest)
{
    if (gWakeWriteEnd.load() >= 0) {
        return nullptr;
    }
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return nullptr;
    }
    gWakeWriteEnd.store(ends[1]);
    gWakeReadEnd.store(ends[0]);
    SetDisposition(&WakeTheLoop);
    return std::unique_ptr<TerminationRequests>(new TerminationRequests(ends[0], std::move(onRequest)));
}

TerminationRequests::TerminationRequests(int readEnd, std::function<void()> onRequest)
    : mReadEnd(readEnd), mOnRequest(std::move(onRequest))
{
}

TerminationRequests::~TerminationRequests()
{
    SetDisposition(gAnsweredUntilExit.load() ? &AnswerAndGoOn : SIG_DFL);
    gWakeReadEnd.store(-1);
    close(gWakeWriteEnd.exchange(-1));
    close(mReadEnd);
}

void AnswerTerminationRequestsUntilExit(std::string_view announcement)
{
    gAnnouncementLength.store(announcement.size());
    gAnnouncement.store(announcement.data());
    gAnsweredUntilExit.store(true);
    // While an object catches the requests, its end hands them over.
    if (gWakeWriteEnd.load() < 0) {
        SetDisposition(&AnswerAndGoOn);
    }
}

bool WasTerminationRequestAnswered()
{
    return gAnswered.load();
}

int GetTerminationRequestDescriptor()
{
    return gWakeReadEnd.load();
}

bool TerminationRequests::HasPendingEvent()
{
    pollfd wait{mReadEnd, POLLIN, 0};
    return poll(&wait, 1, 0) > 0 && (wait.revents & POLLIN) != 0;
}

bool TerminationRequests::DispatchEvent()
{
    char requests[64];
    bool any = false;
    while (read(mReadEnd, requests, sizeof requests) > 0) {
        any = true;
    }
    if (any && mOnRequest) {
        mOnRequest();
    }
    return any;
}

}  // namespace ZV::Platform
