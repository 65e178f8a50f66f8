#pragma once

#include <string>

namespace ZV::Platform {

// The per-user application data folder: $XDG_DATA_HOME, else ~/.local/share; empty when neither can be found.
std::string GetUserDataFolder();

// Makes the folder and the folders above it that are missing; true when it exists afterwards.
bool CreateFolderPath(const std::string& path);

}  // namespace ZV::Platform
