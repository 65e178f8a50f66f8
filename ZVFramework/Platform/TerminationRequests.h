#pragma once

#include "Platform/EventSource.h"

#include <functional>
#include <memory>
#include <string_view>

namespace ZV::Platform {

// The system's polite requests to end (SIGTERM at logout or from kill, SIGINT from a terminal, SIGHUP when the
// terminal goes) turned into events of the user-interface loop while the object lives, so that the program ends as
// when its window is closed: settings written, and never in the middle of an update. Outside that time the system's
// default ending stands. One object at a time.
class TerminationRequests final : public IEventSource {
public:
    // Null when another object catches them already or the wake-up pipe cannot be made. An announcement (text that
    // outlives the object) is written to the standard error at the first request, as it comes: nothing else may
    // answer at once while the program waits outside its loop.
    static std::unique_ptr<TerminationRequests> Catch(std::function<void()> onRequest,
                                                      std::string_view announcement = {});
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;
    // Gives the requests back to the system's default handling.
    ~TerminationRequests();

    int GetDescriptor() const override { return mReadEnd; }
    bool HasPendingEvent() override;
    // Takes every request that came since the last time and reports them once.
    bool DispatchEvent() override;

private:
    TerminationRequests(int readEnd, std::function<void()> onRequest);

    int mReadEnd;
    std::function<void()> mOnRequest;
};

// Readable once a request came that the living object has not dispatched yet; -1 while no object catches them. A
// wait outside the user-interface loop (a message box) watches it to end as the loop would.
int GetTerminationRequestDescriptor();

}  // namespace ZV::Platform
