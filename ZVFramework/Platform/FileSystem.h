#pragma once

#include <cstddef>
#include <cstdint>

// Files and folders. Paths are UTF-8 and use '/' between their elements.
namespace ZV::Platform {

inline constexpr char kPathSeparator = '/';

struct FileOpenOptions {
    bool readWrite = false;
    bool create = false;
    // Fails when the file exists already; only together with create.
    bool exclusive = false;
};

// A descriptor opened in binary mode, shared with other openers, never truncated; -1 on failure, and for anything but
// a regular file (a folder, a named pipe, a device), without waiting. A created file gets read and write permission
// for everyone the umask allows.
int OpenFile(const char* path, FileOpenOptions options);
bool CloseFile(int descriptor);

// Origin 0 the start, 1 the current position, 2 the end. The new position, or -1.
std::int64_t SeekFile(int descriptor, std::int64_t offset, int origin);

// Read until count bytes, the end of the file or an error; the bytes moved, or -1 when an error came before any byte.
std::int64_t ReadFile(int descriptor, void* buffer, std::size_t count);
std::int64_t WriteFile(int descriptor, const void* buffer, std::size_t count);

bool GetFileSize(int descriptor, std::uint64_t& size);

bool DeleteFile(const char* path);

enum class PathKind {
    missing,
    file,
    folder,
};

// Follows symbolic links: a link to a folder is a folder.
PathKind GetPathKind(const char* path);
bool CreateFolder(const char* path);

}  // namespace ZV::Platform
