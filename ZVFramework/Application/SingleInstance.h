#pragma once

#include "Platform/InstanceChannel.h"
#include "Platform/InstanceLock.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ZV {

// One instance of the program per user. The first start holds the instance lock for its whole life and, once its
// main window is up, listens on the hand-over channel beside the lock; a later start hands its command line over
// the channel (the first instance raises its window and hears the command line) and ends. A later start that finds
// nobody listening, because the first has no window yet, starts as a normal instance, without the lock. The system
// drops the lock of a process that ends in any way, so a killed first instance is followed by a new first one.
// User-interface thread only.
class LSingleInstance {
public:
    enum class Role {
        // This process holds the lock.
        kFirst,
        // The first instance took the command line: this process ends.
        kHandedOver,
        // Another process holds the lock but did not take the command line, or the lock could not be had: this
        // process goes on, without the lock.
        kUnchecked,
    };

    // The tag of a message that carries a command line; one with an empty text only raises the window.
    static constexpr std::int32_t kCommandLineTag = 0x465;
    static constexpr std::int32_t kRaiseOnlyTag = 0;
    // How long a second start waits for the first instance to take its command line.
    static constexpr int kHandOverTimeoutMs = 5000;

    LSingleInstance() = default;
    LSingleInstance(const LSingleInstance&) = delete;
    LSingleInstance& operator=(const LSingleInstance&) = delete;
    ~LSingleInstance();

    // Claims the first place for the program known by the name (a file name), handing the command line (UTF-8) to
    // the first instance when another holds it. A command line longer than the channel carries is not handed over:
    // the first instance's window is only raised, and standard error says why.
    Role Claim(const WideString& name, const NarrowString& commandLine);

    // While this process is the first: hands each message of a later start to the receiver, read by the
    // user-interface loop. False when it is not the first or the channel cannot be opened.
    bool Listen(Platform::InstanceChannelListener::Receiver receiver);
    // Leaves the loop and the channel; the lock stays until the object goes.
    void StopListening();

    Role GetRole() const { return mRole; }

private:
    Role mRole = Role::kUnchecked;
    std::string mPathBase;
    std::unique_ptr<Platform::InstanceLock> mLock;
    std::unique_ptr<Platform::InstanceChannelListener> mListener;
};

}  // namespace ZV
