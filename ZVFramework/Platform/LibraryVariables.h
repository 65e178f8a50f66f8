#pragma once

namespace ZV::Platform {

// The font and sound libraries read variables of their own and the XDG folders from the environment when they are
// first used, and take whatever those name. Called first thing in main, before any thread reads the environment, this
// takes out of it what the program refuses of them (Platform/JudgedPaths.h), one line of debug output for each:
// - an XDG_CONFIG_HOME, XDG_DATA_HOME or XDG_CACHE_HOME that is empty or not an absolute path, which the XDG rules and
//   the program take as unset and the libraries would take from the current folder;
// - each entry of XDG_DATA_DIRS that is not absolute, or whose fonts folder is refused;
// - FONTCONFIG_FILE, FONTCONFIG_PATH and FONTCONFIG_SYSROOT, all three, when anything the font library would come to
//   through them is refused;
// - ALSA_CONFIG_DIR and ALSA_PLUGIN_DIR, each when the folder it names is refused.
// A user's own variables, naming their own files, stay as they are. The X libraries are steered here too
// (Platform/XLibraryFiles.h).
void DropRefusedLibraryVariables();

}  // namespace ZV::Platform
