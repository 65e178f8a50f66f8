#include "Utilities/Storage/CommandLineArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

std::vector<std::string> Split(std::string_view line)
{
    CommandLineSplitter<char> splitter(line);
    std::vector<std::string> arguments;
    NarrowString argument;
    while (splitter.Next(argument)) {
        arguments.emplace_back(argument.GetData(), argument.GetLength());
    }
    return arguments;
}

std::string Join(const std::vector<std::string>& arguments)
{
    NarrowString line;
    for (const std::string& argument : arguments) {
        AppendCommandLineArgument(line, std::string_view(argument));
    }
    return {line.GetData(), line.GetLength()};
}

using Arguments = std::vector<std::string>;

TEST(CommandLineArguments, LineTypedAsOneStringSplitsAtBlanksOutsideQuotesWithBackslashesLiteralUnlessBeforeAQuote)
{
    EXPECT_EQ(Split(""), Arguments{});
    EXPECT_EQ(Split(" \t "), Arguments{});
    EXPECT_EQ(Split("  -SILENT\t -ABSOLUTE_FIRMWARE_FILE_PATH=\"/tmp/my images/a b.syx\"  \"two words\" \"\" "),
              (Arguments{"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/my images/a b.syx", "two words", ""}))
        << "as an older build hands its command line over";
    EXPECT_EQ(Split("a\"b c\"d \"no end"), (Arguments{"ab cd", "no end"})) << "an open group runs to the line's end";
    EXPECT_EQ(Split(R"(C:\dir\ a\\b "c\"d" e\\\"f "g h\\" i\\\\"j k")"),
              (Arguments{R"(C:\dir\)", R"(a\\b)", R"(c"d)", R"(e\"f)", R"(g h\)", R"(i\\j k)"}));
    EXPECT_EQ(Split(R"("a\" -ALWAYS_UPDATE \"b")"), Arguments{R"(a" -ALWAYS_UPDATE "b)"});
}

TEST(CommandLineArguments, ArgumentsAreWrittenPlainWhenTheyCanBeAndOtherwiseQuotedSoThatTheySplitBackWhole)
{
    const Arguments plain{"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/Grüße.syx", R"(C:\dir\)"};
    EXPECT_EQ(Join(plain), R"(-SILENT -ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/Grüße.syx C:\dir\)");
    const Arguments quoted{"", "a b", "tab\there", R"(a" -ALWAYS_UPDATE "b)", R"(end\ )", R"(my dir\)", R"(x \\" y)"};
    EXPECT_EQ(Join(quoted), "\"\" \"a b\" \"tab\there\" "
                            R"("a\" -ALWAYS_UPDATE \"b" "end\ " "my dir\\" "x \\\\\" y")");
    const Arguments switches{R"(-ABSOLUTE_FIRMWARE_FILE_PATH=/my images/q"uote\)", "-FIRMWARE_IMAGE_NAME=",
                             R"(-A"B=x y)"};
    EXPECT_EQ(Join(switches),
              R"(-ABSOLUTE_FIRMWARE_FILE_PATH="/my images/q\"uote\\" -FIRMWARE_IMAGE_NAME= "-A\"B=x y")")
        << "a switch's value is quoted from its \"=\" on";
    for (const Arguments& arguments : {plain, quoted, switches}) {
        EXPECT_EQ(Split(Join(arguments)), arguments);
    }
}

}  // namespace
}  // namespace ZV
