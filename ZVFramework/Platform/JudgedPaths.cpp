#include "Platform/JudgedPaths.h"

#include "Platform/CheckedFolder.h"
#include "Platform/PrivateGroup.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

namespace ZV::Platform {

namespace {

constexpr char kAnotherUsers[] = "belongs to another user";
constexpr char kWrittenByOthers[] = "is not its owner's alone: other users may write it";
constexpr char kWrittenByItsGroup[] = "is not its owner's alone: its group, which other users share, may write it";
constexpr char kNeitherFileNorFolder[] = "is neither a file nor a folder";
constexpr char kLinkOfAnotherUser[] = "is a link of another user";
// Deeper than any font or settings tree; each level holds a folder open while the one below is judged.
constexpr int kDeepestLevel = 64;
constexpr std::size_t kLargestFile = 16 * 1024 * 1024;

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

bool IsUsersOrRoots(uid_t owner)
{
    return owner == geteuid() || owner == 0;
}

// How others than its owner may write the file or folder; null when they may not.
const char* FindOtherWriting(const struct stat& status)
{
    switch (FindOtherWriters(status)) {
    case OtherWriters::everyone:
        return kWrittenByOthers;
    case OtherWriters::sharedGroup:
        return kWrittenByItsGroup;
    case OtherWriters::none:
        break;
    }
    return nullptr;
}

RefusedFolder CannotBeExamined(const std::string& path, int error)
{
    return {path, std::string("cannot be examined: ") + std::strerror(error)};
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return (folder == "/" ? std::string() : folder) + "/" + name;
}

// The path without empty and "." parts; "" for "/". The rest (".." among it) is left to the folder walk, which takes
// it after links as the system does.
std::string WithoutEmptyParts(std::string_view path)
{
    std::string clean;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            clean += '/';
            clean += part;
        }
        start = end + 1;
    }
    return clean;
}

class Judge {
public:
    PathJudgement Path(std::string_view path, int level)
    {
        if (!path.starts_with('/')) {
            return {false, {std::string(path), "is not an absolute path"}};
        }
        const std::string clean = WithoutEmptyParts(path);
        if (clean.empty() || clean.ends_with("/..")) {
            // A folder named by its parent's name: reached whole, then judged as what it is.
            const CheckedFolder folder =
                CheckedFolder::Open(clean.empty() ? "/" : clean, CheckedFolder::Missing::refuse);
            if (!folder.IsOpen()) {
                return Unreached(folder, clean);
            }
            return Entry(folder.GetDescriptor(), folder.GetPath(), ".", level);
        }
        std::string name;
        const CheckedFolder folder = CheckedFolder::OpenFileFolder(clean, CheckedFolder::Missing::refuse, name);
        if (!folder.IsOpen()) {
            return Unreached(folder, clean);
        }
        return Entry(folder.GetDescriptor(), folder.GetPath(), name, level);
    }

private:
    // A folder on the way is missing, or cannot be had: nothing is read there, unless another user may make it.
    static PathJudgement Unreached(const CheckedFolder& folder, const std::string& path)
    {
        if (folder.IsUnsafe()) {
            return {false, {folder.GetExposedPath(), folder.GetExposure()}};
        }
        for (std::string above = path; above.size() > 1;) {
            above = above.substr(0, std::max<std::size_t>(above.rfind('/'), 1));
            const CheckedFolder reached = CheckedFolder::Open(above, CheckedFolder::Missing::refuse);
            if (reached.IsUnsafe()) {
                return {false, {reached.GetExposedPath(), reached.GetExposure()}};
            }
            if (reached.IsOpen()) {
                return {false, Missing(reached.GetDescriptor(), reached.GetPath())};
            }
        }
        return {};
    }

    static RefusedFolder Missing(int folder, const std::string& folderPath)
    {
        struct stat status {};
        if (fstat(folder, &status) != 0) {
            return CannotBeExamined(folderPath, errno);
        }
        if (const char* writing = FindOtherWriting(status)) {
            return {folderPath, writing};
        }
        return {};
    }

    PathJudgement Entry(int folder, const std::string& folderPath, const std::string& name, int level)
    {
        const std::string path = name == "." ? folderPath : JoinPath(folderPath, name);
        struct stat status {};
        if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) {
                return {false, Missing(folder, folderPath)};
            }
            return {false, CannotBeExamined(path, errno)};
        }
        if (!IsUsersOrRoots(status.st_uid)) {
            return {true, {path, S_ISLNK(status.st_mode) ? kLinkOfAnotherUser : kAnotherUsers}};
        }
        if (S_ISLNK(status.st_mode)) {
            return Link(folder, folderPath, name, level);
        }
        if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
            return {true, {path, kNeitherFileNorFolder}};
        }
        if (const char* writing = FindOtherWriting(status)) {
            return {true, {path, writing}};
        }
        if (S_ISDIR(status.st_mode)) {
            return {true, Contents(folder, path, name, status, level)};
        }
        return {true, {}};
    }

    PathJudgement Link(int folder, const std::string& folderPath, const std::string& name, int level)
    {
        const std::string path = JoinPath(folderPath, name);
        std::string target(PATH_MAX, '\0');
        const ssize_t length = readlinkat(folder, name.c_str(), target.data(), target.size());
        if (length <= 0 || length >= PATH_MAX) {
            return {true, CannotBeExamined(path, length < 0 ? errno : ENAMETOOLONG)};
        }
        target.resize(static_cast<std::size_t>(length));
        return Path(target.starts_with('/') ? target : JoinPath(folderPath, target), level + 1);
    }

    // Each folder once: links that lead back into a folder judged, or being judged, add nothing.
    RefusedFolder Contents(int folder, const std::string& path, const std::string& name, const struct stat& status,
                           int level)
    {
        if (!mJudgedFolders.insert({status.st_dev, status.st_ino}).second) {
            return {};
        }
        if (level >= kDeepestLevel) {
            return CannotBeExamined(path, ELOOP);
        }
        const int descriptor = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const std::unique_ptr<DIR, DirectoryCloser> listing(descriptor >= 0 ? fdopendir(descriptor) : nullptr);
        if (listing == nullptr) {
            const int error = errno;
            if (descriptor >= 0) {
                close(descriptor);
            }
            return CannotBeExamined(path, error);
        }
        const int listed = dirfd(listing.get());
        while (const dirent* entry = readdir(listing.get())) {
            const std::string entryName = entry->d_name;
            if (entryName == "." || entryName == "..") {
                continue;
            }
            RefusedFolder refused = Entry(listed, path, entryName, level + 1).Refused;
            if (refused.IsRefused()) {
                return refused;
            }
        }
        return {};
    }

    std::set<std::pair<dev_t, ino_t>> mJudgedFolders;
};

}  // namespace

PathJudgement JudgeLibraryPath(std::string_view path)
{
    return Judge().Path(path, 0);
}

bool ReadJudgedFile(std::string_view path, std::string& content)
{
    std::string name;
    const CheckedFolder folder = CheckedFolder::OpenFileFolder(path, CheckedFolder::Missing::refuse, name);
    return folder.IsOpen() && ReadFileIn(folder, name, kLargestFile, content) == FileRead::done;
}

std::vector<std::string> ListJudgedFolder(std::string_view path)
{
    std::vector<std::string> names;
    const CheckedFolder folder = CheckedFolder::Open(path, CheckedFolder::Missing::refuse);
    const int descriptor =
        folder.IsOpen() ? openat(folder.GetDescriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    const std::unique_ptr<DIR, DirectoryCloser> listing(descriptor >= 0 ? fdopendir(descriptor) : nullptr);
    if (listing == nullptr) {
        if (descriptor >= 0) {
            close(descriptor);
        }
        return names;
    }
    while (const dirent* entry = readdir(listing.get())) {
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..") {
            names.emplace_back(entry->d_name);
        }
    }
    return names;
}

}  // namespace ZV::Platform
