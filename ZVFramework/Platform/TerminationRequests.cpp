#include "Platform/TerminationRequests.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

namespace ZV::Platform {

namespace {

constexpr int kCaughtSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler may only do what is safe inside a signal: one write to the pipe, and the announcement's one write.
std::atomic<int> gWakeWriteEnd{-1};
std::atomic<int> gWakeReadEnd{-1};
std::atomic<const char*> gAnnouncement{nullptr};
std::atomic<std::size_t> gAnnouncementLength{0};
std::atomic<bool> gAnnounced{false};

extern "C" void WakeTheLoop(int)
{
    const int savedErrno = errno;
    const char request = 1;
    // A full pipe already holds a request that is not taken yet.
    (void)!write(gWakeWriteEnd.load(), &request, 1);
    if (const char* announcement = gAnnouncement.load(); announcement != nullptr && !gAnnounced.exchange(true)) {
        (void)!write(STDERR_FILENO, announcement, gAnnouncementLength.load());
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

std::unique_ptr<TerminationRequests> TerminationRequests::Catch(std::function<void()> onRequest,
                                                              std::string_view announcement)
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
    gAnnounced.store(false);
    gAnnouncementLength.store(announcement.size());
    gAnnouncement.store(announcement.empty() ? nullptr : announcement.data());
    SetDisposition(&WakeTheLoop);
    return std::unique_ptr<TerminationRequests>(new TerminationRequests(ends[0], std::move(onRequest)));
}

TerminationRequests::TerminationRequests(int readEnd, std::function<void()> onRequest)
    : mReadEnd(readEnd), mOnRequest(std::move(onRequest))
{
}

TerminationRequests::~TerminationRequests()
{
    SetDisposition(SIG_DFL);
    gAnnouncement.store(nullptr);
    gWakeReadEnd.store(-1);
    close(gWakeWriteEnd.exchange(-1));
    close(mReadEnd);
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
