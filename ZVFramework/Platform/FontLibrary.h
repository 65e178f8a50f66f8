#pragma once

namespace ZV::Platform {

// Readies the font library (fontconfig) before anything loads its configuration; every road into it calls this first,
// and only the first call does anything. Where the program refuses the home, or anything the library would read or
// make through it (its configuration there and what that names, its caches, the user's fonts, the fonts of
// XDG_DATA_DIRS), as Platform/JudgedPaths.h judges them, the library is told to leave the home out: it neither reads
// that configuration nor makes the cache folders it names, and one line of debug output says so. A user's own run
// keeps their fonts.
void StartFontLibrary();

}  // namespace ZV::Platform
