#include "Platform/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ZV::Platform {

int OpenFile(const char* path, FileOpenOptions options)
{
    int flags = O_CLOEXEC | (options.readWrite ? O_RDWR : O_RDONLY);
    if (options.create) {
        flags |= O_CREAT;
        if (options.exclusive) {
            flags |= O_EXCL;
        }
    }
    // Not blocking while it opens: a named pipe would wait for a writer for ever. Only regular files are files here.
    int descriptor;
    do {
        descriptor = ::open(path, flags | O_NONBLOCK, 0666);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return descriptor;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : ENXIO;
        ::close(descriptor);
        errno = error;
        return -1;
    }
    return descriptor;
}

bool CloseFile(int descriptor)
{
    // Retrying close after EINTR could close a descriptor that another thread has just been given.
    return ::close(descriptor) == 0 || errno == EINTR;
}

std::int64_t SeekFile(int descriptor, std::int64_t offset, int origin)
{
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) {
        errno = EINVAL;
        return -1;
    }
    return ::lseek(descriptor, static_cast<off_t>(offset), kWhence[origin]);
}

namespace {

template <class Transfer, class Byte>
std::int64_t TransferAll(int descriptor, Byte* buffer, std::size_t count, Transfer transfer)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t moved = transfer(descriptor, buffer + done, count - done);
        if (moved < 0) {
            if (errno == EINTR) {
                continue;
            }
            return done > 0 ? static_cast<std::int64_t>(done) : -1;
        }
        if (moved == 0) {
            break;
        }
        done += static_cast<std::size_t>(moved);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace

std::int64_t ReadFile(int descriptor, void* buffer, std::size_t count)
{
    return TransferAll(descriptor, static_cast<unsigned char*>(buffer), count, ::read);
}

std::int64_t WriteFile(int descriptor, const void* buffer, std::size_t count)
{
    return TransferAll(descriptor, static_cast<const unsigned char*>(buffer), count, ::write);
}

bool GetFileSize(int descriptor, std::uint64_t& size)
{
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool DeleteFile(const char* path)
{
    return ::unlink(path) == 0;
}

PathKind GetPathKind(const char* path)
{
    struct stat status {};
    if (::stat(path, &status) != 0) {
        return PathKind::missing;
    }
    return S_ISDIR(status.st_mode) ? PathKind::folder : PathKind::file;
}

bool CreateFolder(const char* path)
{
    return ::mkdir(path, 0777) == 0;
}

}  // namespace ZV::Platform
