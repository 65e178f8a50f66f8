#include "IniFileStore.h"

#include "IniFileManager.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Ini {

namespace {

class Descriptor {
public:
    explicit Descriptor(int descriptor) : mDescriptor(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (mDescriptor >= 0) {
            ::close(mDescriptor);
        }
    }

    int Get() const { return mDescriptor; }
    // Closing is where some file systems report a failed write.
    bool Close() { return ::close(std::exchange(mDescriptor, -1)) == 0; }

private:
    int mDescriptor;
};

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool WriteAll(int descriptor, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Where the file's name lives, so that the new name survives a power cut. A folder that refuses costs only that.
void SyncFolder(const std::string& folder)
{
    const Descriptor descriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.Get() >= 0) {
        ::fsync(descriptor.Get());
    }
}

// A link is followed, so that writing replaces the file it leads to and the link stays.
std::string ResolvedPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved != nullptr ? std::string(resolved.get()) : path;
}

// The user's own word on the file: what the system says for this process or, for root, whom the system lets write
// anything, the owner's write bit, so that a file that its owner made read-only stays so whoever runs the program.
bool MayReplace(const std::string& path, const struct stat& status)
{
    if (::geteuid() == 0) {
        return (status.st_mode & S_IWUSR) != 0;
    }
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

std::int32_t ReadSettingsFile(const std::string& path, std::string& text)
{
    text.clear();
    // Not blocking while it opens: a named pipe would wait for a writer for ever.
    Descriptor descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (descriptor.Get() < 0) {
        return errno == ENOENT && IsFolder(FolderOf(path)) ? kIniDone : kIniFileError;
    }
    struct stat status {};
    if (::fstat(descriptor.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return kIniFileError;
    }
    if (status.st_size > kIniMaxFileSize) {
        return kIniTooLarge;
    }
    // The file may grow while it is read: the limit holds for what is read, not for what the size said.
    std::string content;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(descriptor.Get(), chunk, sizeof chunk);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return kIniFileError;
        }
        content.append(chunk, static_cast<std::size_t>(count));
        if (content.size() > static_cast<std::size_t>(kIniMaxFileSize)) {
            return kIniTooLarge;
        }
    }
    if (content.find('\0') != std::string::npos || !IsUtf8Text(content)) {
        return kIniNotText;
    }
    text = std::move(content);
    return kIniDone;
}

std::int32_t WriteSettingsFile(const std::string& path, std::string_view text)
{
    const std::string target = ResolvedPath(path);
    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    if (replacing && !MayReplace(target, existing)) {
        return kIniReadOnly;
    }
    std::string temporary = target + ".XXXXXX";
    // Made readable and writable by the user alone; a file that is replaced passes its own owner and permissions on,
    // so that root writing a user's file leaves it the user's.
    Descriptor descriptor(::mkostemp(temporary.data(), O_CLOEXEC));
    if (descriptor.Get() < 0) {
        return kIniFileError;
    }
    if (replacing) {
        // What the file granted its group and others is not handed to a group of the user's choosing instead.
        const bool sameOwners = ::fchown(descriptor.Get(), existing.st_uid, existing.st_gid) == 0;
        ::fchmod(descriptor.Get(), existing.st_mode & (sameOwners ? 07777 : S_IRWXU));
    }
    const bool written = WriteAll(descriptor.Get(), text) && ::fsync(descriptor.Get()) == 0;
    if (!descriptor.Close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return kIniFileError;
    }
    SyncFolder(FolderOf(target));
    return kIniDone;
}

bool IsUtf8Text(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        // The range the byte after the lead byte must lie in: it rules out overlong forms, surrogates and values
        // beyond U+10FFFF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (size - i < length || bytes[i + 1] < low || bytes[i + 1] > high) {
            return false;
        }
        for (std::size_t k = 2; k < length; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

}  // namespace Ini
