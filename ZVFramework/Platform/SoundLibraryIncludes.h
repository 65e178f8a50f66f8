#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ZV::Platform {

// The names of the files that an ALSA configuration text includes ("<name>", wherever ALSA's parser looks for one:
// between its tokens, outside quotations and comments), decoded as ALSA decodes them. Where the text leaves room for
// doubt, a name is found that ALSA would not take as one, never the other way round. False when the text ends inside a
// quotation or an include, or, when it is itself included, inside a comment: ALSA would go on with what follows where
// it was included as part of that, so what the rest holds could not be told.
bool FindSoundLibraryIncludes(std::string_view text, bool included, std::vector<std::string>& names);

}  // namespace ZV::Platform
