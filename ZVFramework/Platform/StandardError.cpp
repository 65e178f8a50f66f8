#include "Platform/StandardError.h"

#include "Platform/Utf8Sequence.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <initializer_list>
#include <string>
#include <unistd.h>

namespace ZV::Platform {

namespace {

bool IsControlCharacter(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1) {
        return lead < 0x20 || lead == 0x7F;
    }
    // U+0080 to U+009F.
    return lead == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0;
}

void AppendEscaped(std::string& shown, std::string_view bytes)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (const char character : bytes) {
        const auto byte = static_cast<unsigned char>(character);
        shown += "\\x";
        shown += kDigits[byte >> 4];
        shown += kDigits[byte & 0xF];
    }
}

}  // namespace

std::string EscapeForLine(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t index = 0; index < text.size();) {
        const std::size_t length = GetUtf8SequenceLength(text, index);
        // A byte that starts no sequence is escaped alone; what follows it is looked at afresh.
        const std::string_view sequence = text.substr(index, length == 0 ? 1 : length);
        if (length == 0 || IsControlCharacter(sequence)) {
            AppendEscaped(shown, sequence);
        } else {
            shown += sequence;
        }
        index += sequence.size();
    }
    return shown;
}

void WriteLineToStandardError(std::string_view text)
{
    const std::string line = EscapeForLine(text) + "\n";
    WriteToStandardError(line.data(), line.size());
}

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
