#include "Utilities/Debug/ConsoleStream.h"
#include "Utilities/Debug/DebugOutput.h"

#include "Platform/StandardError.h"
#include "TestFiles.h"
#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

namespace ZV {
namespace {

using Testing::ContentOf;

TEST(DebugConsole, WideTextWithAccentsAndAnEmojiReachesStandardErrorAsUtf8)
{
    Testing::TemporaryFolder folder;
    const std::string captured = folder / "stderr.txt";
    DebugOutput output;
    output.OpenDebugConsole();
    EXPECT_EQ(&output.GetNarrowTarget(), &std::cerr);
    EXPECT_EQ(&output.GetWideTarget(), &GetWideErrorStream());

    const WideString mixed("Gr\xC3\xBC\xC3\x9F" "e, Zo\xC3\xAB \xE2\x80\x94 \xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC");
    const WideString emoji("\xF0\x9F\x8E\xB9");
    {
        Platform::StandardErrorRedirection redirection(captured.c_str());
        ASSERT_TRUE(redirection.IsActive());
        output.GetWideTarget() << mixed.GetData() << L'\n';
        // A surrogate pair split over two writes still becomes one character.
        output.GetWideTarget() << emoji.GetData()[0];
        output.GetWideTarget() << emoji.GetData()[1] << L" " << 1.5 << std::endl;
        output.GetNarrowTarget() << "narrow \xE2\x9C\x93" << std::endl;
    }
    EXPECT_EQ(ContentOf(captured),
              "Gr\xC3\xBC\xC3\x9F"
              "e, Zo\xC3\xAB \xE2\x80\x94 \xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC\n"
              "\xF0\x9F\x8E\xB9 1.5\n"
              "narrow \xE2\x9C\x93\n");
}

}  // namespace
}  // namespace ZV
