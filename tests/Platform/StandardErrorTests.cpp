#include "Platform/StandardError.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV::Platform {
namespace {

TEST(EscapeForLine, ControlCharactersAndBytesThatAreNotUtf8AreEscapedAndEveryOtherCharacterStaysAsItIs)
{
    // A name that would end the line, move the cursor back over it and write another in its place.
    EXPECT_EQ(EscapeForLine("fw\n\x1B[2K\rFirmwareUpdater: the update finished.syx"),
              "fw\\x0A\\x1B[2K\\x0DFirmwareUpdater: the update finished.syx");
    EXPECT_EQ(EscapeForLine(std::string("a\0b\tc\x7F", 6)), "a\\x00b\\x09c\\x7F");
    EXPECT_EQ(EscapeForLine("next\xC2\x85line \xC2\x9B" "2J"), "next\\xC2\\x85line \\xC2\\x9B2J") << "C1 controls";
    EXPECT_EQ(EscapeForLine("Gr\xC3\xBC\xC3\x9F" "e \xC2\xA0\xE2\x82\xAC \xF0\x9F\x98\x80 C:\\x \"q\""),
              "Gr\xC3\xBC\xC3\x9F" "e \xC2\xA0\xE2\x82\xAC \xF0\x9F\x98\x80 C:\\x \"q\"")
        << "letters, a no-break space, the euro sign, an emoji, backslashes and quotes";
    EXPECT_EQ(EscapeForLine("fw\xE9.syx"), "fw\\xE9.syx");
    EXPECT_EQ(EscapeForLine("\xC0\x80 \xED\xA0\x80 \xF4\x90\x80\x80 \xF5 \x80 \xE2\x82"),
              "\\xC0\\x80 \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80 \\xF5 \\x80 \\xE2\\x82")
        << "overlong, a surrogate, past U+10FFFF, bytes no sequence starts with, a sequence cut short at the end";
    EXPECT_EQ(EscapeForLine("\xE2\x82\n"), "\\xE2\\x82\\x0A") << "a sequence cut short by a control character";
    EXPECT_EQ(EscapeForLine(EscapeForLine("a\nb\xFF")), "a\\x0Ab\\xFF") << "what is escaped stays so";
}

}  // namespace
}  // namespace ZV::Platform
