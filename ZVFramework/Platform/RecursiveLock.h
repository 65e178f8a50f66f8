#pragma once

#include <mutex>

namespace ZV::Platform {

// A lock that its holder may take again, as the framework's critical sections are.
class RecursiveLock {
public:
    void Enter() { mMutex.lock(); }
    bool TryEnter() { return mMutex.try_lock(); }
    void Leave() { mMutex.unlock(); }

private:
    std::recursive_mutex mMutex;
};

}  // namespace ZV::Platform
