#include "Platform/CheckedFolder.h"

#include "Platform/PrivateGroup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ZV::Platform {

namespace {

constexpr int kMostLinks = 40;
constexpr int kMostTemporaryNames = 100;
constexpr char kLinkOfAnotherUser[] = "is a link of another user";

class OwnedDescriptor {
public:
    explicit OwnedDescriptor(int descriptor) : mDescriptor(descriptor) {}
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
    ~OwnedDescriptor()
    {
        if (mDescriptor >= 0) {
            close(mDescriptor);
        }
    }

    int Get() const { return mDescriptor; }
    // Closing is where some file systems report a failed write.
    bool Close() { return close(std::exchange(mDescriptor, -1)) == 0; }
    // The descriptor, which the object no longer closes.
    int Release() { return std::exchange(mDescriptor, -1); }

private:
    int mDescriptor;
};

bool IsUsersOrRoots(uid_t owner)
{
    return owner == geteuid() || owner == 0;
}

// How others than the user and root may rename or replace what lies in the folder: said of the folder, and as the
// end of a sentence about a path in it; null when they may not.
struct Exposure {
    const char* ofFolder;
    const char* clause;
};

const Exposure* FindExposure(const struct stat& folder)
{
    static constexpr Exposure kAnotherUsers{"belongs to another user", "which belongs to another user"};
    static constexpr Exposure kOpenToOthers{"has no sticky bit and other users may write it",
                                            "which other users may write and which has no sticky bit"};
    static constexpr Exposure kOpenToItsGroup{
        "has no sticky bit and its group, which other users share, may write it",
        "which has no sticky bit and whose group, which other users share, may write it"};
    if (!IsUsersOrRoots(folder.st_uid)) {
        return &kAnotherUsers;
    }
    if ((folder.st_mode & S_ISVTX) != 0) {
        return nullptr;
    }
    switch (FindOtherWriters(folder)) {
    case OtherWriters::everyone:
        return &kOpenToOthers;
    case OtherWriters::sharedGroup:
        return &kOpenToItsGroup;
    case OtherWriters::none:
        break;
    }
    return nullptr;
}

// Puts the parts of the path on the stack, the first one last.
void PushParts(std::vector<std::string>& pending, std::string_view path)
{
    const std::size_t bottom = pending.size();
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        pending.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(bottom), pending.end());
}

// Where the link leads; empty when it cannot be read.
std::string ReadLink(int folder, const std::string& name)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlinkat(folder, name.c_str(), target.data(), target.size());
    if (length <= 0 || length >= PATH_MAX) {
        return std::string();
    }
    target.resize(static_cast<std::size_t>(length));
    return target;
}

// The folders from / down to the one reached, each held open; each is checked before a folder in it is opened.
class FolderChain {
public:
    FolderChain() = default;
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;
    ~FolderChain()
    {
        for (const Level& level : mLevels) {
            if (level.descriptor >= 0) {
                close(level.descriptor);
            }
        }
    }

    int GetTop() const { return mLevels.back().descriptor; }
    const std::string& GetTopPath() const { return mLevels.back().path; }
    std::string GetPathBelow(const std::string& part) const
    {
        return (GetTopPath() == "/" ? std::string() : GetTopPath()) + "/" + part;
    }
    void Push(int descriptor, std::string path) { mLevels.push_back({descriptor, std::move(path)}); }
    // To the folder above; / stays.
    void GoUp()
    {
        if (mLevels.size() > 1) {
            close(mLevels.back().descriptor);
            mLevels.pop_back();
        }
    }
    void GoToRoot()
    {
        while (mLevels.size() > 1) {
            GoUp();
        }
    }
    // The descriptor of the folder reached, which the chain no longer closes.
    int TakeTop()
    {
        const int descriptor = mLevels.back().descriptor;
        mLevels.back().descriptor = -1;
        return descriptor;
    }

private:
    struct Level {
        int descriptor;
        std::string path;
    };
    std::vector<Level> mLevels;
};

// The folder of the name in the folder, opened to walk on, made first when it is missing and that is asked; -1 with
// the error.
int EnterFolder(int folder, const std::string& name, CheckedFolder::Missing missing, int& error)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int descriptor = openat(folder, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor >= 0) {
            return descriptor;
        }
        error = errno;
        if (error != ENOENT || missing == CheckedFolder::Missing::refuse) {
            return -1;
        }
        // The user's alone, as the XDG base directories ask; one that somebody else made first is refused by the
        // check that follows.
        if (mkdirat(folder, name.c_str(), 0700) != 0 && errno != EEXIST) {
            error = errno;
            return -1;
        }
    }
    return -1;
}

std::string SplitName(std::string_view path, std::string& name)
{
    const std::size_t slash = path.rfind('/');
    name = path.substr(slash + 1);
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

bool IsFolderName(const std::string& name)
{
    return name.empty() || name == "." || name == "..";
}

// A name of its own beside the file, for a new file that then takes the file's name: its descriptor, or -1.
int MakeTemporaryFile(int folder, const std::string& name, std::string& temporary)
{
    static std::atomic<std::uint64_t> counter{0};
    timespec now{};
    (void)clock_gettime(CLOCK_REALTIME, &now);
    const std::uint64_t seed =
        static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(getpid()) << 32);
    for (int attempt = 0; attempt < kMostTemporaryNames; ++attempt) {
        std::uint64_t value = seed + counter.fetch_add(1) * 0x9E3779B97F4A7C15u;
        temporary = name + ".";
        for (int digit = 0; digit < 6; ++digit, value /= 36) {
            temporary += "0123456789abcdefghijklmnopqrstuvwxyz"[value % 36];
        }
        const int descriptor =
            openat(folder, temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    return -1;
}

// The user's own word on the file: what the system says for this process or, for root, whom the system lets write
// anything, the owner's write bit, so that a file that its owner made read-only stays so whoever runs the program.
bool MayReplace(int folder, const std::string& name, const struct stat& status)
{
    if (geteuid() == 0) {
        return (status.st_mode & S_IWUSR) != 0;
    }
    return faccessat(folder, name.c_str(), W_OK, AT_EACCESS) == 0;
}

bool WriteAll(int descriptor, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = write(descriptor, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Where the file's name lives, so that the new name survives a power cut. A folder that refuses costs only that.
void SyncFolder(int folder)
{
    const OwnedDescriptor descriptor(openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.Get() >= 0) {
        (void)fsync(descriptor.Get());
    }
}

}  // namespace

CheckedFolder CheckedFolder::Open(std::string_view path, Missing missing)
{
    if (!path.starts_with('/')) {
        return Failed("is not an absolute path");
    }
    FolderChain chain;
    const int root = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
        return Failed(std::string("cannot be opened: ") + std::strerror(errno));
    }
    chain.Push(root, "/");
    std::vector<std::string> pending;
    PushParts(pending, path);
    for (int links = 0;;) {
        struct stat status {};
        if (fstat(chain.GetTop(), &status) != 0) {
            return Failed(std::string("cannot be examined: ") + std::strerror(errno));
        }
        if (const Exposure* exposure = FindExposure(status)) {
            return Exposed(chain.GetTopPath(), exposure->ofFolder,
                           "lies in " + chain.GetTopPath() + ", " + exposure->clause);
        }
        std::string part;
        while (!pending.empty() && IsFolderName(part)) {
            part = std::move(pending.back());
            pending.pop_back();
            if (part == "..") {
                // The folders above the one reached have been asked already.
                chain.GoUp();
            }
        }
        if (IsFolderName(part)) {
            return CheckedFolder(chain.TakeTop(), chain.GetTopPath());
        }
        int error = 0;
        if (const int descriptor = EnterFolder(chain.GetTop(), part, missing, error); descriptor >= 0) {
            chain.Push(descriptor, chain.GetPathBelow(part));
            continue;
        }
        struct stat entry {};
        if (fstatat(chain.GetTop(), part.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(entry.st_mode)) {
            return Failed(std::string(missing == Missing::make ? "cannot be made: " : "cannot be opened: ") +
                          std::strerror(error));
        }
        if (!IsUsersOrRoots(entry.st_uid)) {
            const std::string link = chain.GetPathBelow(part);
            return Exposed(link, kLinkOfAnotherUser, "lies behind " + link + ", a link of another user");
        }
        const std::string target = ReadLink(chain.GetTop(), part);
        if (target.empty() || ++links > kMostLinks) {
            return Failed(std::string("cannot be opened: ") + std::strerror(ELOOP));
        }
        if (target.starts_with('/')) {
            chain.GoToRoot();
        }
        PushParts(pending, target);
    }
}

CheckedFolder CheckedFolder::OpenFileFolder(std::string_view path, Missing missing, std::string& name)
{
    if (!path.starts_with('/')) {
        return Failed("is not an absolute path");
    }
    std::string current(path);
    for (int links = 0;;) {
        CheckedFolder folder = Open(SplitName(current, name), links == 0 ? missing : Missing::refuse);
        if (!folder.IsOpen()) {
            return folder;
        }
        if (IsFolderName(name)) {
            return Failed("is a folder");
        }
        struct stat status {};
        if (fstatat(folder.mDescriptor, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(status.st_mode)) {
            return folder;
        }
        if (!IsUsersOrRoots(status.st_uid)) {
            return Exposed(folder.mPath + (folder.mPath == "/" ? "" : "/") + name, kLinkOfAnotherUser,
                           kLinkOfAnotherUser);
        }
        const std::string target = ReadLink(folder.mDescriptor, name);
        if (target.empty() || ++links > kMostLinks) {
            return Failed(std::string("cannot be opened: ") + std::strerror(ELOOP));
        }
        current = target.starts_with('/') ? target : folder.mPath + "/" + target;
    }
}

CheckedFolder CheckedFolder::Failed(std::string refusal)
{
    CheckedFolder folder;
    folder.mRefusal = std::move(refusal);
    return folder;
}

CheckedFolder CheckedFolder::Exposed(std::string path, std::string exposure, std::string refusal)
{
    CheckedFolder folder = Failed(std::move(refusal));
    folder.mExposedPath = std::move(path);
    folder.mExposure = std::move(exposure);
    return folder;
}

CheckedFolder::CheckedFolder(CheckedFolder&& other) noexcept
    : mDescriptor(std::exchange(other.mDescriptor, -1)),
      mPath(std::move(other.mPath)),
      mRefusal(std::move(other.mRefusal)),
      mExposedPath(std::move(other.mExposedPath)),
      mExposure(std::move(other.mExposure))
{
}

CheckedFolder& CheckedFolder::operator=(CheckedFolder&& other) noexcept
{
    if (this != &other) {
        if (mDescriptor >= 0) {
            close(mDescriptor);
        }
        mDescriptor = std::exchange(other.mDescriptor, -1);
        mPath = std::move(other.mPath);
        mRefusal = std::move(other.mRefusal);
        mExposedPath = std::move(other.mExposedPath);
        mExposure = std::move(other.mExposure);
    }
    return *this;
}

CheckedFolder::~CheckedFolder()
{
    if (mDescriptor >= 0) {
        close(mDescriptor);
    }
}

FileRead ReadFileIn(const CheckedFolder& folder, const std::string& name, std::size_t largest, std::string& content)
{
    content.clear();
    // Not blocking while it opens: a named pipe would wait for a writer for ever.
    const OwnedDescriptor descriptor(
        openat(folder.GetDescriptor(), name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW));
    if (descriptor.Get() < 0) {
        return errno == ENOENT ? FileRead::missing : FileRead::failed;
    }
    struct stat status {};
    if (fstat(descriptor.Get(), &status) != 0) {
        return FileRead::failed;
    }
    if (!S_ISREG(status.st_mode)) {
        return FileRead::notAFile;
    }
    if (static_cast<std::uint64_t>(status.st_size) > largest) {
        return FileRead::tooLarge;
    }
    // The file may grow while it is read: the limit holds for what is read, not for what the size said.
    std::string whole;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t count = read(descriptor.Get(), chunk, sizeof chunk);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FileRead::failed;
        }
        whole.append(chunk, static_cast<std::size_t>(count));
        if (whole.size() > largest) {
            return FileRead::tooLarge;
        }
    }
    content = std::move(whole);
    return FileRead::done;
}

int OpenFileForWritingIn(const CheckedFolder& folder, const std::string& name)
{
    OwnedDescriptor descriptor(openat(folder.GetDescriptor(), name.c_str(),
                                      O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC,
                                      0666));
    struct stat status {};
    if (descriptor.Get() < 0 || fstat(descriptor.Get(), &status) != 0 ||
        !(S_ISREG(status.st_mode) || S_ISCHR(status.st_mode))) {
        return -1;
    }
    // Open, writes wait as they would for any file.
    const int flags = fcntl(descriptor.Get(), F_GETFL);
    if (flags < 0 || fcntl(descriptor.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return -1;
    }
    return descriptor.Release();
}

FileWrite ReplaceFileIn(const CheckedFolder& folder, const std::string& name, std::string_view content)
{
    const int at = folder.GetDescriptor();
    struct stat existing {};
    const bool replacing = fstatat(at, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (replacing && !S_ISREG(existing.st_mode)) {
        return FileWrite::failed;
    }
    if (replacing && !MayReplace(at, name, existing)) {
        return FileWrite::readOnly;
    }
    std::string temporary;
    OwnedDescriptor descriptor(MakeTemporaryFile(at, name, temporary));
    if (descriptor.Get() < 0) {
        return FileWrite::failed;
    }
    if (replacing) {
        // So that root writing a user's file leaves it the user's. What the file granted its group and others is not
        // handed to a group of the user's choosing instead.
        const bool sameOwners = fchown(descriptor.Get(), existing.st_uid, existing.st_gid) == 0;
        (void)fchmod(descriptor.Get(), existing.st_mode & (sameOwners ? 07777 : S_IRWXU));
    }
    const bool written = WriteAll(descriptor.Get(), content) && fsync(descriptor.Get()) == 0;
    if (!descriptor.Close() || !written || renameat(at, temporary.c_str(), at, name.c_str()) != 0) {
        (void)unlinkat(at, temporary.c_str(), 0);
        return FileWrite::failed;
    }
    SyncFolder(at);
    return FileWrite::done;
}

}  // namespace ZV::Platform
