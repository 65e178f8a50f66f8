#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace ZV::Platform {

// Lets one driver thread at a time run an owner's callbacks while the owner may shut them off at any moment:
// once Shut returns, no callback runs or will run. Shut called from inside a callback cannot wait for it; that
// callback finishes and no other starts.
class CallbackGate {
public:
    explicit CallbackGate(bool open) : mOpen(open) {}
    CallbackGate(const CallbackGate&) = delete;
    CallbackGate& operator=(const CallbackGate&) = delete;

    // false while shut: the callback must not run.
    bool Enter();
    void Leave();

    void Shut();
    void Open();

private:
    std::mutex mMutex;
    std::condition_variable mLeft;
    bool mOpen;
    bool mInside = false;
    std::thread::id mInsideThread;
};

// Runs the callback only while the gate is open.
template <typename Callback>
void RunThroughGate(CallbackGate& gate, Callback&& callback)
{
    if (gate.Enter()) {
        callback();
        gate.Leave();
    }
}

}  // namespace ZV::Platform
