#include "Utilities/Debug/DebugConsoleSwitch.h"

#include <gtest/gtest.h>

#include <iostream>

namespace ZV {
namespace {

bool UsesOwnStreams(const DebugOutput& output)
{
    return &output.GetNarrowTarget() != &std::cerr;
}

TEST(DebugConsoleSwitch, SwitchInAnyCaseWithoutATargetOpensTheConsole)
{
    DebugOutput output;
    ApplyDebugConsoleSwitch("FirmwareUpdater.exe -debug_console", output);
    EXPECT_FALSE(UsesOwnStreams(output));
    EXPECT_EQ(output.GetPort(), -1);
}

TEST(DebugConsoleSwitch, PortAndHostSetTheUdpTargetWithTheHostUpperCased)
{
    DebugOutput output;
    ApplyDebugConsoleSwitch("app -DEBUG_CONSOLE:5000:support-pc.local -SILENT", output);
    EXPECT_TRUE(UsesOwnStreams(output));
    EXPECT_EQ(output.GetPort(), 5000);
    EXPECT_EQ(output.GetHost(), "SUPPORT-PC.LOCAL");
}

TEST(DebugConsoleSwitch, PortAloneSetsNoHostAndAColonInALaterArgumentIsNotTheHosts)
{
    DebugOutput alone;
    ApplyDebugConsoleSwitch("-DEBUG_CONSOLE:5000", alone);
    EXPECT_EQ(alone.GetPort(), 5000);
    EXPECT_EQ(alone.GetHost(), "");

    DebugOutput later;
    ApplyDebugConsoleSwitch("-Debug_Console:6000 -FILE:C:x.syx", later);
    EXPECT_EQ(later.GetPort(), 6000);
    EXPECT_EQ(later.GetHost(), "");
}

TEST(DebugConsoleSwitch, ShortPortTextSetsNothingAndAPortWithoutDigitsIsZero)
{
    DebugOutput single;
    ApplyDebugConsoleSwitch("-DEBUG_CONSOLE:5", single);
    EXPECT_EQ(single.GetPort(), -1);
    EXPECT_TRUE(UsesOwnStreams(single));

    DebugOutput letters;
    ApplyDebugConsoleSwitch("-DEBUG_CONSOLE:ab:host", letters);
    EXPECT_EQ(letters.GetPort(), 0) << "no digits read as 0, which sends no datagrams";
    EXPECT_EQ(letters.GetHost(), "HOST");

    DebugOutput none;
    ApplyDebugConsoleSwitch("-SILENT -DEBUG", none);
    EXPECT_EQ(none.GetPort(), -1);
    EXPECT_TRUE(UsesOwnStreams(none));
}

}  // namespace
}  // namespace ZV
