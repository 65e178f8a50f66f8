#pragma once

#include "Platform/RecursiveLock.h"
#include "Platform/ThreadingServices.h"

#include <cstddef>

namespace ZV {

// How far apart to keep data that different threads change all the time, so that one thread's writes do not keep
// taking the other's cache line away.
inline constexpr std::size_t kCacheLineSize = 64;

// A re-entrant lock: a thread that holds it may take it again. The framework holds its locks for a few steps at a
// time, so a thread that finds the lock taken tries again for a moment before it sleeps: two threads that meet at a
// lock (a queue's poster and its reader) then pass each other without waking one another through the system.
class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    virtual ~Mutex() = default;

    void Enter()
    {
        if (mLock.TryEnter()) {
            return;
        }
        if (Platform::SpinningCanHelp()) {
            for (int attempt = 0; attempt < kSpinAttempts; ++attempt) {
                Platform::PauseWhileSpinning();
                if (mLock.TryEnter()) {
                    return;
                }
            }
        }
        mLock.Enter();
    }
    bool TryEnter() { return mLock.TryEnter(); }
    void Leave() { mLock.Leave(); }

private:
    static constexpr int kSpinAttempts = 100;

    Platform::RecursiveLock mLock;
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
