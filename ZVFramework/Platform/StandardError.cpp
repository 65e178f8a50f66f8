#include "Platform/StandardError.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <initializer_list>
#include <string>
#include <unistd.h>

namespace ZV::Platform {

namespace {

// The length of the UTF-8 sequence that starts at the index, or 0 when none does: overlong forms, surrogates and code
// points above U+10FFFF are no UTF-8.
std::size_t SequenceLength(std::string_view text, std::size_t index)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(index);
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;
        secondHigh = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - index < length || byte(index + 1) < secondLow || byte(index + 1) > secondHigh) {
        return 0;
    }
    for (std::size_t next = index + 2; next < index + length; ++next) {
        if (byte(next) < 0x80 || byte(next) > 0xBF) {
            return 0;
        }
    }
    return length;
}

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
        const std::size_t length = SequenceLength(text, index);
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
