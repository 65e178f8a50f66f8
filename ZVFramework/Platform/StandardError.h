#pragma once

#include <cstddef>

namespace ZV::Platform {

// Writes the bytes to the process's standard error as they are, past partial writes and interruptions.
void WriteToStandardError(const char* data, std::size_t size);

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
