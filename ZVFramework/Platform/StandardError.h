#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ZV::Platform {

// Writes the bytes to the process's standard error as they are, past partial writes and interruptions. What cannot
// be written (a pipe whose reader has gone, a full disk) is dropped.
void WriteToStandardError(const char* data, std::size_t size);

// Outside text (a file name, a port name, an argument) as a line of the standard error may quote it: every control
// character (C0, DEL, C1) and every byte that is not part of UTF-8 text written as \xNN, byte by byte, so that the
// text can neither end the line, nor start another, nor steer the terminal; the rest stays as it is.
std::string EscapeForLine(std::string_view text);
// The text, escaped so, as one line of the standard error.
void WriteLineToStandardError(std::string_view text);

// From now on a write to a pipe or socket whose reader has gone fails with an error instead of ending the process
// (SIGPIPE is ignored), so that a standard error or debug output nobody reads any more never decides how the program
// ends. Called first thing in main, before any thread starts.
void IgnoreClosedPipes();

// Opens the null device on a standard stream (input, output, error) that the process was started without, so that no
// file opened later takes its number and, with it, the text meant for the stream. Called first thing in main.
void KeepStandardStreamsOpen();

// Sends what the process writes to its standard error into a file (created or emptied) while the object lives, and
// puts the old standard error back afterwards. Tests read what a program part wrote this way.
class StandardErrorRedirection {
public:
    explicit StandardErrorRedirection(const char* path);
    StandardErrorRedirection(const StandardErrorRedirection&) = delete;
    StandardErrorRedirection& operator=(const StandardErrorRedirection&) = delete;
    ~StandardErrorRedirection();

    bool IsActive() const { return mSavedDescriptor >= 0; }

private:
    int mSavedDescriptor = -1;
};

}  // namespace ZV::Platform
