#pragma once

#include "Platform/HomeFolders.h"

#include <string>
#include <string_view>
#include <vector>

namespace ZV::Platform {

// What a library would read, or make, at a path of a user-level place (a variable of its own, the home, an XDG
// folder), judged by what the path holds and not by its folders alone. The path is reached as Platform/CheckedFolder.h
// reaches folders; what stands there must be a file, or a folder and everything in it, each belonging to the user or
// root and writable by nobody else (its owner's private group writes as its owner does, Platform/PrivateGroup.h),
// never a named pipe, a socket or a device; links the user's or root's, followed into what is judged in turn. A
// missing path passes only when nobody else may make it: the folder it would be in is written by the user and root
// alone. Whatever passes, no other user can change afterwards, however long after the judgement the library comes to
// it. A relative path is refused: the libraries would take it from the current folder.
struct PathJudgement {
    bool Exists = false;
    RefusedFolder Refused;
};
PathJudgement JudgeLibraryPath(std::string_view path);

// The whole regular file at a path, read without waiting on whatever stands there (a named pipe is not read) and
// without following another user's links; false when it cannot be read.
bool ReadJudgedFile(std::string_view path, std::string& content);

// The names in the folder at a path, reached the same way; none when it cannot be listed.
std::vector<std::string> ListJudgedFolder(std::string_view path);

}  // namespace ZV::Platform
