#pragma once

#include "Platform/EventSource.h"

#include <functional>
#include <memory>
#include <string_view>

namespace ZV::Platform {

// The system's polite requests to end (SIGTERM at logout or from kill, SIGINT and SIGQUIT from a terminal's keys,
// SIGHUP when the terminal goes). Once HoldTerminationRequests has run, a request never ends the process by the
// system's default: it is held back until an object catches the requests or they are answered until the exit, and
// dropped when neither ever comes (the program ends by itself then, its shut-down done).

// Called first thing in main, before any thread starts: from now until the process ends, every request is held back,
// caught or answered. A process started with the requests blocked takes them all the same.
void HoldTerminationRequests();

// While the object lives, the requests are events of the user-interface loop, so that the program ends as when its
// window is closed: settings written, and never in the middle of an update. A request held back before it is its
// first event. One object at a time.
class TerminationRequests final : public IEventSource {
public:
    // Null when another object catches them already or the wake-up pipe cannot be made.
    static std::unique_ptr<TerminationRequests> Catch(std::function<void()> onRequest);
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;
    // The requests are held back or answered again; without either, the system's default ending stands again. A
    // request not dispatched yet counts as taken.
    ~TerminationRequests();

    int GetDescriptor() const override { return mReadEnd; }
    bool HasPendingEvent() override;
    // Reports every request that came since the last time once, then takes them: until its report has run, a request
    // is still waiting (IsTerminationRequestWaiting), so that what the report decides holds for whatever looks
    // meanwhile.
    bool DispatchEvent() override;

private:
    TerminationRequests(int readEnd, std::function<void()> onRequest);

    int mReadEnd;
    std::function<void()> mOnRequest;
};

// From now until the process ends, a request that no object catches is answered and the process goes on, to end by
// itself with its own outcome: the announcement (an object that outlives the process's use of it) goes to the standard
// error at the first such request, as it comes or at once for one held back, since nothing else may answer while the
// program works outside its loop. For a run that nothing may cut short, to its last instruction. Called again, it
// changes the announcement for the answers to come.
void AnswerTerminationRequestsUntilExit(const std::string_view* announcement);
// Changes the announcement for the answers to come, unless a request was answered already: false then, changing
// nothing. A request that comes meanwhile on another thread is answered with the one of the two that its answer finds,
// and this answer tells which: true, the new one.
bool ChangeAnnouncementUnlessAnswered(const std::string_view* announcement);
// Whether a request was answered so.
bool WasTerminationRequestAnswered();

// Readable once a request came that the living object has not dispatched yet; -1 while no object catches them. A
// wait outside the user-interface loop (a message box) watches it to end as the loop would.
int GetTerminationRequestDescriptor();
// Whether a request came that the living object has not reported yet; false while no object catches them. Any thread.
bool IsTerminationRequestWaiting();

}  // namespace ZV::Platform
