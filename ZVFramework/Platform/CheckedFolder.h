#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace ZV::Platform {

// A folder that nobody but this user and root can change, held open. It is reached from / a folder at a time, each
// one asked as OpenSSH asks the folders of a key's path: it belongs to the user or root, and others may write it only
// when it has the sticky bit, which keeps them to their own entries. Its owner's private group writes as its owner
// does (Platform/PrivateGroup.h). A link on the way is followed only when it is
// the user's or root's, and the folders it leads through are asked in turn. Whatever is made or written for the user
// is made relative to such a folder, so that nothing another user controls can turn it elsewhere, however long after
// the check it happens. The settings library, which is handed paths, is built with this too.
class CheckedFolder {
public:
    enum class Missing {
        refuse,
        // Made, for the user alone, inside the checked folder above it; checked like any other.
        make,
    };

    // The folder at the absolute path; not open when it cannot be had.
    static CheckedFolder Open(std::string_view path, Missing missing);
    // The folder that the file at the absolute path lies in, and the file's name there. A link at the path that is
    // the user's or root's is followed, a link at a time, into a folder checked in turn; folders are made only on
    // the path itself, never on a link's way.
    static CheckedFolder OpenFileFolder(std::string_view path, Missing missing, std::string& name);

    CheckedFolder() = default;
    CheckedFolder(CheckedFolder&& other) noexcept;
    CheckedFolder& operator=(CheckedFolder&& other) noexcept;
    CheckedFolder(const CheckedFolder&) = delete;
    CheckedFolder& operator=(const CheckedFolder&) = delete;
    ~CheckedFolder();

    bool IsOpen() const { return mDescriptor >= 0; }
    int GetDescriptor() const { return mDescriptor; }
    // The folder as reached, its links resolved.
    const std::string& GetPath() const { return mPath; }
    // Why it is not open, as the end of a sentence about the path asked: "lies in /home/ann, which belongs to
    // another user", "cannot be made: Permission denied".
    const std::string& GetRefusal() const { return mRefusal; }
    // Refused because another user could change it, rather than because it is missing or could not be made.
    bool IsUnsafe() const { return !mExposedPath.empty(); }
    // Then the folder or link on the way that another user could change, and how, said of it: "belongs to another
    // user", "has no sticky bit and other users may write it", "has no sticky bit and its group, which other users
    // share, may write it", "is a link of another user".
    const std::string& GetExposedPath() const { return mExposedPath; }
    const std::string& GetExposure() const { return mExposure; }

private:
    CheckedFolder(int descriptor, std::string path) : mDescriptor(descriptor), mPath(std::move(path)) {}
    static CheckedFolder Failed(std::string refusal);
    static CheckedFolder Exposed(std::string path, std::string exposure, std::string refusal);

    int mDescriptor = -1;
    std::string mPath;
    std::string mRefusal;
    std::string mExposedPath;
    std::string mExposure;
};

enum class FileRead {
    done,
    missing,
    // A folder, a named pipe, a device.
    notAFile,
    tooLarge,
    failed,
};

// The whole file of the name in the folder, a regular file of at most largest bytes, never through a link.
FileRead ReadFileIn(const CheckedFolder& folder, const std::string& name, std::size_t largest, std::string& content);

enum class FileWrite {
    done,
    // The file is one its user may not write: one the system does not let this process write or, for root, whom
    // the system lets write anything, one whose owner may not write it. Nothing was made.
    readOnly,
    // Nothing is left behind, and what stands at the name stays as it is.
    failed,
};

// The file of the name in the folder opened for writing, emptied, and made for the user when it is missing (with what
// the umask leaves of read and write for everyone), never through a link: a descriptor, or -1. Only a regular file or
// a device is taken; anything else at the name (a named pipe, a folder) fails at once, without waiting.
int OpenFileForWritingIn(const CheckedFolder& folder, const std::string& name);

// Writes the content to a new file beside the name in the folder, flushes it to the disk and only then gives it the
// name and the old file's owner, group and permissions (a new one is the user's alone): a crash or a full disk
// leaves the old file whole. Anything at the name but a regular file (a link, a folder, a named pipe) fails.
FileWrite ReplaceFileIn(const CheckedFolder& folder, const std::string& name, std::string_view content);

}  // namespace ZV::Platform
