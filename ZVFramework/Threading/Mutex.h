#pragma once

#include "Platform/RecursiveLock.h"
#include "Platform/ThreadingServices.h"

#include <atomic>
#include <cstddef>
#include <thread>

namespace ZV {

// How far apart to keep data that different threads change all the time, so that one thread's writes do not keep
// taking the other's cache line away.
inline constexpr std::size_t kCacheLineSize = 64;

// A re-entrant lock: a thread that holds it may take it again. The framework holds its locks for a few steps at a
// time, so a thread that finds the lock taken tries again for a moment before it sleeps: two threads that meet at a
// lock (a queue's poster and its reader) then pass each other without waking one another through the system.
//
// The mutex keeps its holder and how deep it holds itself, so that taking it again, which the framework does all the
// time (a queue's ring inside a post), costs no call into the system's lock, and so that a thread that waits can
// watch for the holder to leave by reading, without the locked operations of one try after another taking the lock's
// cache line away from the holder.
class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    virtual ~Mutex() = default;

    void Enter()
    {
        const std::thread::id self = std::this_thread::get_id();
        if (HeldBy(self)) {
            ++mDepth;
            return;
        }
        if (!mLock.TryEnter()) {
            EnterAfterWaiting();
        }
        TakeOver(self);
    }
    bool TryEnter()
    {
        const std::thread::id self = std::this_thread::get_id();
        if (HeldBy(self)) {
            ++mDepth;
            return true;
        }
        if (!mLock.TryEnter()) {
            return false;
        }
        TakeOver(self);
        return true;
    }
    void Leave()
    {
        if (--mDepth != 0) {
            return;
        }
        mHolder.store(std::thread::id(), std::memory_order_relaxed);
        mLock.Leave();
    }

private:
    static constexpr int kSpinAttempts = 100;

    // Only the holder itself can find its own id here: it clears it before it lets the lock go, and no other thread
    // writes that id.
    bool HeldBy(std::thread::id thread) const { return mHolder.load(std::memory_order_relaxed) == thread; }
    // Under the system's lock, which orders the depth between its holders.
    void TakeOver(std::thread::id self)
    {
        mHolder.store(self, std::memory_order_relaxed);
        mDepth = 1;
    }
    void EnterAfterWaiting()
    {
        if (Platform::SpinningCanHelp()) {
            for (int attempt = 0; attempt < kSpinAttempts; ++attempt) {
                Platform::PauseWhileSpinning();
                if (HeldBy(std::thread::id()) && mLock.TryEnter()) {
                    return;
                }
            }
        }
        mLock.Enter();
    }

    Platform::RecursiveLock mLock;
    std::atomic<std::thread::id> mHolder{};
    int mDepth = 0;
};

// Holds a mutex for its scope, and lets it go when an exception passes. A null mutex means no locking.
class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mMutex(&mutex) { mMutex->Enter(); }
    explicit MutexLock(Mutex* mutex) : mMutex(mutex)
    {
        if (mMutex != nullptr) {
            mMutex->Enter();
        }
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock()
    {
        if (mMutex != nullptr) {
            mMutex->Leave();
        }
    }

private:
    Mutex* mMutex;
};

// A mutex on a cache line of its own, for a process-wide lock that threads take all the time, so that what lies next
// to it in memory does not share its traffic. It is never destroyed: threads that outlive main may still take it.
inline Mutex& MakeProcessWideMutex()
{
    struct alignas(kCacheLineSize) Alone {
        Mutex mutex;
    };
    return (new Alone)->mutex;
}

}  // namespace ZV
