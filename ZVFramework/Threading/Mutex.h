#pragma once

#include "Platform/RecursiveLock.h"

namespace ZV {

// A re-entrant lock: a thread that holds it may take it again.
class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    virtual ~Mutex() = default;

    void Enter() { mLock.Enter(); }
    bool TryEnter() { return mLock.TryEnter(); }
    void Leave() { mLock.Leave(); }

private:
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

}  // namespace ZV
