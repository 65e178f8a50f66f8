#include "Platform/SoundLibraryIncludes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV::Platform {
namespace {

using ::testing::ElementsAre;

// ALSA takes "<...>" as an include only between tokens; a name missed would be opened unjudged, so doubt finds one.
TEST(SoundLibraryIncludes, IncludesAreFoundBetweenTokensDecodedAndAnOpenEndIsRefused)
{
    std::vector<std::string> names;
    ASSERT_TRUE(FindSoundLibraryIncludes("a 1 </x/one>\nb \"<no> \\\" <no>\" # <no>\n"
                                         "!c.<conf\\x64ir:two>{<\\/th\\162ee>}d<no> 1.<four> <\\x2ff\\x2Dve>",
                                         false, names));
    // ALSA counts a hexadecimal letter from "a": "\x2f" is "%".
    EXPECT_THAT(names, ElementsAre("/x/one", "confdir:two", "/three", "four", "%f#ve"));
    EXPECT_TRUE(FindSoundLibraryIncludes("a 1 # the last line", false, names));
    EXPECT_FALSE(FindSoundLibraryIncludes("a 1 # the last line", true, names)) << "included, it goes on where it was";
    EXPECT_FALSE(FindSoundLibraryIncludes("a 'open", false, names));
    EXPECT_FALSE(FindSoundLibraryIncludes("a </x/open", false, names));
}

}  // namespace
}  // namespace ZV::Platform
