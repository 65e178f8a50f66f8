#include "Platform/StandardError.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <initializer_list>
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

void IgnoreClosedPipes()
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

void KeepStandardStreamsOpen()
{
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(stream, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        const int nullDevice = ::open("/dev/null", stream == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (nullDevice >= 0 && nullDevice != stream) {
            ::dup2(nullDevice, stream);
            ::close(nullDevice);
        }
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
