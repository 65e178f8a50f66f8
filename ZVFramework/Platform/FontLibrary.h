#pragma once

namespace ZV::Platform {

// Readies the font library (fontconfig) before anything loads its configuration; every road into it calls this first,
// and only the first call does anything. Where the program refuses the home, or a folder the library would read or
// write there (its configuration, its caches, the user's fonts), because another user could change it (as
// Platform/CheckedFolder.h asks), the library is told to leave the home out: it neither reads that user's font
// configuration nor makes the cache folders it names, and one line of debug output says so. A user's own run keeps
// their fonts.
void StartFontLibrary();

}  // namespace ZV::Platform
