#pragma once

#include <string>
#include <vector>

namespace ZV::Platform {

// What an ALSA configuration text makes ALSA read by name beyond its includes, as ALSA works it out when it runs the
// text's hooks and functions: the files (or folders of ".conf" files) that a hook's list names, with "~/" taken from
// the home and each alternative of "|||" on its own; the file that a "refer" function reads; a library named by its
// path. A name is made as ALSA makes it from text, "concat", "getenv" and "datadir"; of a name that ALSA makes from
// anything else at run time (the card a hook runs for, say), only its folder can be told.
struct SoundLibraryName {
    enum class Kind {
        // A configuration file, or a folder of them, that ALSA reads and works out in turn.
        settings,
        // A library that ALSA loads.
        library,
        // A folder that holds the file ALSA makes the name of.
        folder,
        // A name of which not even the folder can be told.
        untold,
    };
    Kind kind;
    std::string path;
};

// "~/" as ALSA expands it in a name that a hook lists.
std::string ExpandSoundLibraryHome(const std::string& name);

// The names in the text, included files and all (they are read as ALSA reads them, and must have been judged); the
// hooks at the top of the text are left out when the program runs those itself.
std::vector<SoundLibraryName> FindSoundLibraryNames(const std::string& text, bool withTopLevelHooks);

}  // namespace ZV::Platform
