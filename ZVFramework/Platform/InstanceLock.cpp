#include "Platform/InstanceLock.h"

#include "Platform/CheckedFolder.h"
#include "Platform/PrivateGroup.h"
#include "Platform/UserFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ZV::Platform {

namespace {

// Makes the folder of the name in the checked folder when missing: empty, or why it is not a folder of this user's
// alone, said of its path. Never through a link, not even one of the user's: two starts must meet at one lock.
std::string MakeOwnFolder(const CheckedFolder& above, const std::string& name, const std::string& path)
{
    if (mkdirat(above.GetDescriptor(), name.c_str(), 0700) != 0 && errno != EEXIST) {
        return path + " cannot be made: " + std::strerror(errno);
    }
    struct stat status {};
    if (fstatat(above.GetDescriptor(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return path + " cannot be examined: " + std::strerror(errno);
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
    const bool openToItsGroup = (status.st_mode & S_IRWXG) != 0 && !IsPrivateGroup(status.st_uid, status.st_gid);
    if ((status.st_mode & S_IRWXO) != 0 || openToItsGroup) {
        return path + " is open to other users";
    }
    return std::string();
}

// This machine's name, as a file name may hold it.
std::string HostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    std::string host = name;
    for (char& character : host) {
        const bool plain = (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
                           (character >= '0' && character <= '9') || character == '.' || character == '-';
        if (!plain) {
            character = '_';
        }
    }
    return host;
}

}  // namespace

std::string InstanceLock::FindFolder(const std::string& name, std::string& refusal)
{
    // Not /tmp, where any other user could make the folder first, but the user's own state folder. A home folder may
    // be shared over the network by several machines, whose locks reach across it: the folder is the machine's own.
    const std::string state = GetUserStateFolder();
    // A relative one would name another folder in every folder the program starts in.
    if (!state.starts_with('/')) {
        refusal = "cannot be found, as neither XDG_STATE_HOME nor HOME is set to an absolute path";
        return std::string();
    }
    const std::string leaf = name + "-" + HostName();
    const std::string folder = state + "/" + leaf;
    const CheckedFolder above = CheckedFolder::Open(state, CheckedFolder::Missing::make);
    refusal = above.IsOpen() ? MakeOwnFolder(above, leaf, folder) : folder + " " + above.GetRefusal();
    return refusal.empty() ? folder : std::string();
}

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const std::string& path, Outcome& outcome,
                                                       std::string& refusal)
{
    outcome = Outcome::failed;
    refusal.clear();
    // Never through a link.
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        refusal = std::string("cannot be opened: ") + std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        refusal = std::string("cannot be examined: ") + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        refusal = "is not a file";
    } else if (status.st_uid != getuid()) {
        refusal = "belongs to another user";
    }
    if (!refusal.empty()) {
        close(descriptor);
        return nullptr;
    }
    int locked;
    do {
        locked = flock(descriptor, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        close(descriptor);
        if (error == EWOULDBLOCK) {
            outcome = Outcome::heldElsewhere;
        } else {
            refusal = std::string("cannot be locked: ") + std::strerror(error);
        }
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
