#pragma once

#include <memory>
#include <string>

namespace ZV::Platform {

// Which process of a program is its first instance: the one that holds an exclusive lock on a file. The system lets
// go of the lock when its holder ends, however it ends, so a first instance that was killed leaves no stale lock
// behind: its file may stay, its lock does not.
class InstanceLock {
public:
    enum class Outcome {
        acquired,
        // Another process holds the lock: this one is not the first.
        heldElsewhere,
        // The file could not be opened or locked, or it is not this user's; nobody can tell which instance is first.
        failed,
    };

    // The folder, this user's alone, where the lock and the hand-over channel of the program called name live:
    // <state folder>/name-<host name>, the state folder being $XDG_STATE_HOME or ~/.local/state; made when missing.
    // Not $XDG_RUNTIME_DIR: a start without one (from cron, or sudo -u) must meet a start with one. Empty when there
    // is no such folder or it is not a folder of the user's alone (another user's, a link, open to others), or a
    // folder above it lets another user move it away (one neither the user's nor root's, or one others may write
    // without the sticky bit), with why in refusal: whoever could change it could keep this user's starts from
    // running, read their command lines, or start a second instance beside a running one. Each folder on the way is
    // asked before anything in it is made (Platform/CheckedFolder.h), so nothing is made under one refused.
    static std::string FindFolder(const std::string& name, std::string& refusal);

    // Tries once, without waiting; the object holds the lock while it lives. Null unless acquired; when it failed,
    // why in refusal.
    static std::unique_ptr<InstanceLock> TryAcquire(const std::string& path, Outcome& outcome, std::string& refusal);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

private:
    explicit InstanceLock(int descriptor) : mDescriptor(descriptor) {}

    int mDescriptor;
};

}  // namespace ZV::Platform
