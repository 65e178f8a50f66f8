#include "App/CommandLine.h"
#include "Engine/UpdateProcessor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The joined line, or "refused: " and the refusal.
std::string Join(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "/opt/updater/FirmwareUpdater");
    ZV::WideString commandLine;
    std::string refusal;
    if (!JoinCommandLine(static_cast<int>(arguments.size()), arguments.data(), commandLine, refusal)) {
        return "refused: " + refusal;
    }
    return commandLine.ToUTF8().GetData();
}

std::string PathOf(const std::string& commandLine)
{
    ZV::WideString value;
    if (!LUpdateProcessor::FindSwitch(ZV::WideString(commandLine.c_str()),
                                      ZV::WideString(L"-ABSOLUTE_FIRMWARE_FILE_PATH="), value)) {
        return "(not found)";
    }
    return value.ToUTF8().GetData();
}

TEST(CommandLine, ArgumentsAreJoinedByBlanksAndEachSwitchKeepsItsWholeValueWhateverBlanksOrQuotesItHolds)
{
    EXPECT_EQ(Join({}), "");
    EXPECT_EQ(Join({"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/Grüße.syx"}),
              "-SILENT -ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/Grüße.syx");
    const std::string blank = Join({"-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/my images/a b.syx", "-SILENT"});
    EXPECT_EQ(blank, "-ABSOLUTE_FIRMWARE_FILE_PATH=\"/tmp/my images/a b.syx\" -SILENT");
    EXPECT_EQ(PathOf(blank), "/tmp/my images/a b.syx");
    EXPECT_EQ(PathOf(Join({"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=\"/x/with blank.syx\""})), "/x/with blank.syx")
        << "a value in quotes of its own loses them";
    EXPECT_EQ(PathOf(Join({"-ABSOLUTE_FIRMWARE_FILE_PATH=", "-ABSOLUTE_FIRMWARE_FILE_PATH=/x/b.syx"})), "")
        << "an empty value names no file, and the next argument is not its value";
}

TEST(CommandLine, ArgumentThatIsNotUTF8IsRefusedWholeRatherThanCutToAnotherName)
{
    EXPECT_EQ(Join({"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/fw\xE9.syx"}),
              "refused: Argument 2 is not UTF-8 text, so it cannot name a file: "
              "-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/fw\\xE9.syx");
    EXPECT_EQ(Join({"\xC3\xA9t\xC3"}),
              "refused: Argument 1 is not UTF-8 text, so it cannot name a file: \xC3\xA9t\\xC3")
        << "a sequence cut short at the end, after a letter that is shown as it is";
    EXPECT_EQ(Join({"-SILENT", "a\nb\r\x1B\xFF"}),
              "refused: Argument 2 is not UTF-8 text, so it cannot name a file: a\\x0Ab\\x0D\\x1B\\xFF")
        << "one line, whatever else the argument holds";
    EXPECT_EQ(Join({"\xED\xA0\x80"}),
              "refused: Argument 1 is not UTF-8 text, so it cannot name a file: \\xED\\xA0\\x80")
        << "an encoded surrogate";
}

}  // namespace
