#include "Platform/InstanceLock.h"

#include "Platform/UserFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace ZV::Platform {

std::string InstanceLock::GetPathBase(const std::string& name)
{
    if (const std::string runtime = GetRuntimeFolder(); !runtime.empty()) {
        return runtime + "/" + name;
    }
    // /tmp is shared by every user: the name says whose it is.
    return "/tmp/" + name + "-" + std::to_string(getuid());
}

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const std::string& path, Outcome& outcome)
{
    // Never through a link: in a shared folder it could point at another user's file.
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        outcome = Outcome::failed;
        return nullptr;
    }
    int locked;
    do {
        locked = flock(descriptor, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        outcome = errno == EWOULDBLOCK ? Outcome::heldElsewhere : Outcome::failed;
        close(descriptor);
        return nullptr;
    }
    outcome = Outcome::acquired;
    return std::unique_ptr<InstanceLock>(new InstanceLock(descriptor));
}

InstanceLock::~InstanceLock()
{
    close(mDescriptor);
}

}  // namespace ZV::Platform
