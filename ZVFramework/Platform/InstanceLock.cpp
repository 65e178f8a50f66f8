#include "Platform/InstanceLock.h"

#include "Platform/UserFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ZV::Platform {

namespace {

// Why the path is not a folder of this user's alone; empty when it is. lstat: a link is refused, not followed.
std::string CheckOwnFolder(const std::string& path)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        return path + " cannot be examined";
    }
    if (S_ISLNK(status.st_mode)) {
        return path + " is a link";
    }
    if (!S_ISDIR(status.st_mode)) {
        return path + " is not a folder";
    }
    if (status.st_uid != getuid()) {
        return path + " belongs to another user";
    }
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return path + " is open to other users";
    }
    return std::string();
}

}  // namespace

std::string InstanceLock::FindFolder(const std::string& name, std::string& refusal)
{
    const std::string runtime = GetRuntimeFolder();
    // /tmp is shared by every user: the name says whose it is, and the check below who made it.
    const std::string folder = !runtime.empty() && CheckOwnFolder(runtime).empty()
                                   ? runtime + "/" + name
                                   : "/tmp/" + name + "-" + std::to_string(getuid());
    (void)mkdir(folder.c_str(), 0700);
    refusal = CheckOwnFolder(folder);
    return refusal.empty() ? folder : std::string();
}

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const std::string& path, Outcome& outcome)
{
    outcome = Outcome::failed;
    // Never through a link.
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != getuid()) {
        close(descriptor);
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
