#pragma once

#include "Platform/EventSource.h"

#include <functional>
#include <memory>
#include <string_view>

namespace ZV::Platform {

// The system's polite requests to end (SIGTERM at logout or from kill, SIGINT and SIGQUIT from a terminal's keys,
// SIGHUP when the terminal goes) turned into events of the user-interface loop while the object lives, so that the
// program ends as when its window is closed: settings written, and never in the middle of an update. Outside that
// time the system's default ending stands, unless the requests are answered until the process ends. One object at a
// time.
class TerminationRequests final : public IEventSource {
public:
    // Null when another object catches them already or the wake-up pipe cannot be made.
    static std::unique_ptr<TerminationRequests> Catch(std::function<void()> onRequest);
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;
    // Gives the requests back to the system's default handling, or to the answer until the process ends.
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

// From now until the process ends, a request that no object catches is answered and the process goes on, to end by
// itself with its own outcome: the announcement (text that outlives the process's use of it) goes to the standard
// error at the first such request, as it comes, since nothing else may answer while the program works outside its
// loop. For a run that nothing may cut short, to its last instruction.
void AnswerTerminationRequestsUntilExit(std::string_view announcement);
// Whether a request was answered so.
bool WasTerminationRequestAnswered();

// Readable once a request came that the living object has not dispatched yet; -1 while no object catches them. A
// wait outside the user-interface loop (a message box) watches it to end as the loop would.
int GetTerminationRequestDescriptor();

}  // namespace ZV::Platform
