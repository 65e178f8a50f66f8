#include "Platform/InstanceLock.h"

#include "Platform/UserFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace ZV::Platform {

namespace {

// Why the path is not a folder of this user's alone; empty when it is. lstat: a link is refused, not followed.
std::string CheckOwnFolder(const std::string& path)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
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
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return path + " is open to other users";
    }
    return std::string();
}

// Why others than the user and root may rename or replace what lies in the folder; empty when they may not. The
// sticky bit keeps those who may write a folder to their own entries.
std::string WhyOthersMayChange(const struct stat& folder)
{
    if (folder.st_uid != getuid() && folder.st_uid != 0) {
        return "which belongs to another user";
    }
    if ((folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (folder.st_mode & S_ISVTX) == 0) {
        return "which other users may write and which has no sticky bit";
    }
    return std::string();
}

// Puts the parts of the path on the stack, the first one last.
void PushParts(std::vector<std::string>& pending, const std::string& path)
{
    const std::size_t bottom = pending.size();
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        pending.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(bottom), pending.end());
}

// Why another user could move the folder in the path away, as OpenSSH asks it of a key's path: every folder that the
// absolute path passes through is asked, links followed as the system follows them, so that the folders that hold
// the links are asked too. Empty when none lets them; a part that is missing or no folder ends the walk, and making
// the folder then says why.
std::string CheckFoldersOnTheWay(const std::string& path, const std::string& folder)
{
    constexpr int kMostLinks = 40;
    std::vector<std::string> pending;
    PushParts(pending, path);
    std::string reached = "/";
    struct stat status {};
    if (lstat(reached.c_str(), &status) != 0) {
        return std::string();
    }
    std::string why = WhyOthersMayChange(status);
    for (int links = 0; why.empty() && !pending.empty();) {
        const std::string part = std::move(pending.back());
        pending.pop_back();
        if (part == "..") {
            // The folders above the one reached have been asked already.
            reached.erase(std::max<std::size_t>(reached.rfind('/'), 1));
            continue;
        }
        if (part.empty() || part == ".") {
            continue;
        }
        const std::string next = (reached == "/" ? std::string() : reached) + "/" + part;
        if (lstat(next.c_str(), &status) != 0) {
            return std::string();
        }
        if (S_ISLNK(status.st_mode)) {
            std::string target(PATH_MAX, '\0');
            const ssize_t length = readlink(next.c_str(), target.data(), target.size());
            if (length <= 0 || ++links > kMostLinks) {
                return std::string();
            }
            target.resize(static_cast<std::size_t>(length));
            if (target.starts_with('/')) {
                reached = "/";
            }
            PushParts(pending, target);
            continue;
        }
        if (!S_ISDIR(status.st_mode)) {
            return std::string();
        }
        reached = next;
        why = WhyOthersMayChange(status);
    }
    return why.empty() ? why : folder + " lies in " + reached + ", " + why;
}

// Makes the folder when missing: the folder, or empty with why not in refusal.
std::string MakeOwnFolder(const std::string& folder, std::string& refusal)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        refusal = folder + " cannot be made: " + std::strerror(errno);
        return std::string();
    }
    refusal = CheckOwnFolder(folder);
    return refusal.empty() ? folder : std::string();
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
    (void)CreateFolderPath(state);
    const std::string folder = state + "/" + name + "-" + HostName();
    refusal = CheckFoldersOnTheWay(state, folder);
    return refusal.empty() ? MakeOwnFolder(folder, refusal) : std::string();
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
