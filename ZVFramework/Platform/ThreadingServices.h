#pragma once

#include "Platform/Event.h"
#include "Platform/Thread.h"

#include <cstdint>
#include <memory>

namespace ZV::Platform {

// How the framework makes its threads and events and waits on them. These defaults are the system's; a test
// installs a derived object that fails where it wants to, and does so only while no framework thread runs.
class ThreadingServices {
public:
    static ThreadingServices& Current();
    // Installs the services to use from now on (null: the system's) and returns the ones used until now.
    static ThreadingServices* Install(ThreadingServices* services);

    // Null when the system cannot make one.
    virtual std::unique_ptr<Thread> CreateSuspendedThread(ThreadRoutine routine, void* context);
    virtual std::unique_ptr<Event> CreateEvent(EventReset reset);
    virtual std::uint32_t WaitForAnyEvent(Event* const* events, std::uint32_t count, std::uint32_t timeout);

protected:
    ThreadingServices() = default;
    ThreadingServices(const ThreadingServices&) = delete;
    ThreadingServices& operator=(const ThreadingServices&) = delete;
    virtual ~ThreadingServices() = default;
};

// Whether a thread may spin a moment before it sleeps: only when another processor can run the thread it waits for.
bool SpinningCanHelp();
// Lets a thread that spins on a value another thread will change wait a moment without giving up its processor.
void PauseWhileSpinning();

}  // namespace ZV::Platform
