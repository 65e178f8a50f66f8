#pragma once

#include "Platform/HomeFolders.h"

namespace ZV::Platform {

// How the font library (fontconfig) comes to a file or folder: through the system's configuration alone; through one
// of its own variables (FONTCONFIG_FILE, FONTCONFIG_PATH, FONTCONFIG_SYSROOT); or through the home (its files, the XDG
// folders, XDG_DATA_DIRS when it is set). Whatever a file names comes the way that file came, or the home's way when it
// names a place of the home.
enum class FontLibraryReach { system, variables, home };

// The first file or folder that the font library, started with the environment as it is now, would read or make
// through the way judged, and that the program refuses (Platform/JudgedPaths.h). Its configuration is followed as the
// library follows it (<include>, <dir>, <remap-dir>, <cachedir>), each file read without waiting on whatever stands
// there. With the home left out, as the library then leaves it out, nothing is followed into it. Empty when nothing
// is refused.
RefusedFolder FindRefusedFontLibraryPath(FontLibraryReach judged, bool homeLeftOut);

}  // namespace ZV::Platform
