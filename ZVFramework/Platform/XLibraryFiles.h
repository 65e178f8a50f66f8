#pragma once

namespace ZV::Platform {

// The X libraries read files of the home, and of the places their variables name, when the first window opens, by
// their names, and wait on a named pipe there for ever. Called with the environment's other libraries' variables
// (Platform/LibraryVariables.h), before any thread reads the environment, this steers them through their own
// variables to what the program judges (Platform/JudgedPaths.h), one line of debug output for each file or folder
// left out:
// - XLOCALEDIR, the locales' folders that libX11 reads before its own, is taken out when one of them is refused;
// - the compose table that libX11 would read (XCOMPOSEFILE, else ~/.XCompose), with the tables it includes: when one
//   is refused, XCOMPOSEFILE names a table of the program's own that includes the locale's table alone;
// - the folders of cursor themes that libXcursor would read (XCURSOR_PATH, else its own list, "~" the home): those
//   refused are left out of XCURSOR_PATH; an XCURSOR_THEME that names a folder rather than a theme is taken out.
// The resources, which Xlib reads when a connection is first asked for one, are judged as each connection opens
// (Platform/X11Resources.h). A user's own files, and root's own, are read as the libraries read them.
void KeepXLibrariesToJudgedFiles();

}  // namespace ZV::Platform
