#pragma once

#include "Platform/InstanceChannel.h"
#include "Platform/InstanceLock.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ZV {

// One instance of the program per user and machine. The first start holds the instance lock for its whole life;
// from the moment it has the lock it listens on the hand-over channel beside it, where connections wait until its
// loop reads them. A later start hands its command line over the channel (the first instance raises its window and
// hears the command line) and ends, saying so; when the first does not take it in time, the later start ends all the
// same, saying so, even when the first has ended by then: two instances never run side by side while one holds the
// lock, and a start that met a busy first never runs after it. The lock and the channel live in a folder of the
// user's alone; when that folder cannot be had, the start goes on without the check, saying why. The system drops the
// lock of a process that ends in any way, so a killed first instance is followed by a new first one. User-interface
// thread only.
class LSingleInstance {
public:
    enum class Role {
        // This process holds the lock.
        kFirst,
        // The first instance took the command line: this process ends, having said so on the standard error.
        kHandedOver,
        // Another process held the lock but did not take the command line in time (however it ended meanwhile), or
        // its channel is not this user's: this process ends, having said so on the standard error.
        kUnanswered,
        // Nobody can tell which instance is first (the folder is not the user's alone, or the lock cannot be
        // taken): this process goes on without the lock, having said so on the standard error.
        kUnchecked,
    };

    // The tag of a message that carries a command line; one with an empty text only raises the window.
    static constexpr std::int32_t kCommandLineTag = 0x465;
    static constexpr std::int32_t kRaiseOnlyTag = 0;
    // How long a second start waits for the first instance to take its command line, all told.
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
    // user-interface loop. False when it is not the first, listens already, or the channel could not be opened.
    bool Listen(Platform::InstanceChannelListener::Receiver receiver);
    // Leaves the loop and the channel; the lock stays until the object goes.
    void StopListening();

    Role GetRole() const { return mRole; }

private:
    Role BecomeFirst();

    Role mRole = Role::kUnchecked;
    std::string mFolder;
    std::unique_ptr<Platform::InstanceLock> mLock;
    std::unique_ptr<Platform::InstanceChannelListener> mListener;
    bool mInLoop = false;
};

}  // namespace ZV
