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
        // The file could not be opened or locked; nobody can tell which instance is first.
        failed,
    };

    // Where the lock and the hand-over channel of the program called name live, without their endings:
    // $XDG_RUNTIME_DIR/name, else /tmp/name-<user id>.
    static std::string GetPathBase(const std::string& name);

    // Tries once, without waiting; the object holds the lock while it lives. Null unless acquired.
    static std::unique_ptr<InstanceLock> TryAcquire(const std::string& path, Outcome& outcome);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

private:
    explicit InstanceLock(int descriptor) : mDescriptor(descriptor) {}

    int mDescriptor;
};

}  // namespace ZV::Platform
