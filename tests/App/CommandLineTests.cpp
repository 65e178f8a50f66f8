#include "App/CommandLine.h"
#include "Engine/UpdateProcessor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ZV::WideString Join(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "/opt/updater/FirmwareUpdater");
    return JoinCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

std::string Narrow(const ZV::WideString& text)
{
    return text.ToUTF8().GetData();
}

TEST(CommandLine, ArgumentsAreJoinedByBlanksAndOneWithABlankStaysOneSoThatASwitchKeepsItsWholeValue)
{
    EXPECT_EQ(Narrow(Join({})), "");
    EXPECT_EQ(Narrow(Join({"-SILENT", "-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/Grüße.syx"})),
              "-SILENT -ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/Grüße.syx");
    EXPECT_EQ(Narrow(Join({"-ABSOLUTE_FIRMWARE_FILE_PATH=/tmp/my images/a b.syx", "-SILENT"})),
              "-ABSOLUTE_FIRMWARE_FILE_PATH=\"/tmp/my images/a b.syx\" -SILENT");

    const ZV::WideString commandLine = Join({"-silent", "-firmware_image_name=Image One.syx", "-ALWAYS_UPDATE"});
    ZV::WideString value;
    ASSERT_TRUE(LUpdateProcessor::FindSwitch(commandLine, ZV::WideString(L"-FIRMWARE_IMAGE_NAME="), value));
    EXPECT_EQ(Narrow(value), "Image One.syx");
    EXPECT_TRUE(LUpdateProcessor::FindSwitch(commandLine, ZV::WideString(L"-ALWAYS_UPDATE"), value));
}

}  // namespace
