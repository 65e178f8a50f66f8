#include "Platform/FontLibrary.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/FontLibraryFiles.h"
#include "Platform/HomeFolders.h"
#include "Platform/StandardError.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <string>

namespace ZV::Platform {

namespace {

// The library can leave the home out only as a whole: its configuration there, its caches and the user's fonts. Its
// own variables are judged before it can read them (Platform/LibraryVariables.h).
void KeepOutOfARefusedHome()
{
    RefusedFolder refused =
        FindRefusedFolder({GetFolderNamedBy("HOME"), GetXdgFolder("XDG_CONFIG_HOME", "/.config"),
                           GetXdgFolder("XDG_CACHE_HOME", "/.cache"), GetXdgFolder("XDG_DATA_HOME", "/.local/share")});
    if (!refused.IsRefused()) {
        refused = FindRefusedFontLibraryPath(FontLibraryReach::home, false);
    }
    if (!refused.IsRefused()) {
        return;
    }
    FcConfigEnableHome(FcFalse);
    const std::string line = EscapeForLine("The font library reads no fonts or settings from the home and keeps no "
                                           "cache there, as " +
                                           refused.Path + " " + refused.Exposure + ".") +
                             "\n";
    WriteDebuggerOutput(line.c_str());
}

}  // namespace

void StartFontLibrary()
{
    static std::once_flag started;
    std::call_once(started, KeepOutOfARefusedHome);
}

}  // namespace ZV::Platform
