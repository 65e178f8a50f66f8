#include "Platform/ThreadingServices.h"

#include <atomic>
#include <new>
#include <system_error>
#include <thread>

namespace ZV::Platform {

namespace {

class SystemThreadingServices final : public ThreadingServices {
};

// Never destroyed: threads left running at exit still ask for the services.
ThreadingServices* SystemServices()
{
    static ThreadingServices* const services = new SystemThreadingServices;
    return services;
}

std::atomic<ThreadingServices*> gInstalledServices{nullptr};

}  // namespace

ThreadingServices& ThreadingServices::Current()
{
    ThreadingServices* installed = gInstalledServices.load(std::memory_order_acquire);
    return installed != nullptr ? *installed : *SystemServices();
}

ThreadingServices* ThreadingServices::Install(ThreadingServices* services)
{
    ThreadingServices* previous = gInstalledServices.exchange(services, std::memory_order_acq_rel);
    return previous != nullptr ? previous : SystemServices();
}

std::unique_ptr<Thread> ThreadingServices::CreateSuspendedThread(ThreadRoutine routine, void* context)
{
    try {
        return std::make_unique<Thread>(routine, context);
    } catch (const std::system_error&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<Event> ThreadingServices::CreateEvent(EventReset reset)
{
    return std::unique_ptr<Event>(new (std::nothrow) Event(reset));
}

std::uint32_t ThreadingServices::WaitForAnyEvent(Event* const* events, std::uint32_t count, std::uint32_t timeout)
{
    return Event::WaitForAny(events, count, timeout);
}

bool SpinningCanHelp()
{
    static const bool severalProcessors = std::thread::hardware_concurrency() > 1;
    return severalProcessors;
}

void PauseWhileSpinning()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

}  // namespace ZV::Platform
