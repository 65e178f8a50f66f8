#pragma once

#include <string>
#include <vector>

namespace ZV::Platform {

// The folder an environment variable names, as the libraries that read it take it: a relative one from the current
// folder. Empty when the variable is unset or empty.
std::string GetFolderNamedBy(const char* variable);

// The home folder of an account, the user's own when no name is given; empty when the account database does not know
// it.
std::string GetAccountHome(const char* name = nullptr);

// The home as the libraries take it for "~/" and for their files there: $HOME when it is set, else the account's;
// empty when neither is known.
std::string GetLibraryHome();

// The folder an XDG variable names, else its usual folder under the home ("/.config"). Empty when neither is named.
std::string GetXdgFolder(const char* variable, const char* underHome);

// A folder of the home that the program refuses because another user could change it (as Platform/CheckedFolder.h
// asks): the folder or link on its way that is exposed, and how. Empty when none is.
struct RefusedFolder {
    std::string Path;
    std::string Exposure;

    bool IsRefused() const { return !Path.empty(); }
};

// Why a file is refused, said as the end of a line about it: "it is neither a file nor a folder", "/home/x belongs to
// another user".
std::string DescribeRefusal(const std::string& file, const RefusedFolder& refused);

// The first of the folders that the program refuses; a missing one only when a folder above it is refused.
RefusedFolder FindRefusedFolder(const std::vector<std::string>& folders);

}  // namespace ZV::Platform
