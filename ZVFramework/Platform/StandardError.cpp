#include "Platform/StandardError.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace ZV::Platform {

void WriteToStandardError(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

StandardErrorRedirection::StandardErrorRedirection(const char* path)
{
    const int file = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) {
        return;
    }
    std::fflush(stderr);
    mSavedDescriptor = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (mSavedDescriptor >= 0 && ::dup2(file, STDERR_FILENO) < 0) {
        ::close(mSavedDescriptor);
        mSavedDescriptor = -1;
    }
    ::close(file);
}

StandardErrorRedirection::~StandardErrorRedirection()
{
    if (mSavedDescriptor < 0) {
        return;
    }
    std::fflush(stderr);
    ::dup2(mSavedDescriptor, STDERR_FILENO);
    ::close(mSavedDescriptor);
}

}  // namespace ZV::Platform
