#pragma once

#include <string>

namespace ZV::Platform {

// The per-user application data folder: $XDG_DATA_HOME, else ~/.local/share; empty when neither can be found.
std::string GetUserDataFolder();

// The per-user settings folder: $XDG_CONFIG_HOME, else ~/.config; empty when neither can be found.
std::string GetUserConfigFolder();

// The user's documents folder: XDG_DOCUMENTS_DIR of the user's folder list (~/.config/user-dirs.dirs, read only when
// it is the user's or root's and nobody else could have written it, as Platform/JudgedPaths.h judges), else
// ~/Documents; empty without a home folder.
std::string GetDocumentsFolder();

// The per-user folder for state that outlives a session but is not worth keeping: $XDG_STATE_HOME, else
// ~/.local/state; empty when neither can be found.
std::string GetUserStateFolder();

}  // namespace ZV::Platform
