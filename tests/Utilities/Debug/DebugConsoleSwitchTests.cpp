#include "Utilities/Debug/DebugConsoleSwitch.h"

#include <gtest/gtest.h>

#include <iostream>

namespace ZV {
namespace {

TEST(DebugConsoleSwitch, SwitchInAnyCaseStartingAnArgumentOpensTheConsoleOrSetsTheUdpPortAndUpperCasedHost)
{
    const auto usesOwnStreams = [](const DebugOutput& output) { return &output.GetNarrowTarget() != &std::cerr; };
    DebugOutput console;
    ApplyDebugConsoleSwitch("FirmwareUpdater.exe -debug_console", console);
    EXPECT_FALSE(usesOwnStreams(console));
    EXPECT_EQ(console.GetPort(), -1);

    DebugOutput udp;
    ApplyDebugConsoleSwitch("app -DEBUG_CONSOLE:5000:support-pc.local -SILENT", udp);
    EXPECT_TRUE(usesOwnStreams(udp));
    EXPECT_EQ(udp.GetPort(), 5000);
    EXPECT_EQ(udp.GetHost(), "SUPPORT-PC.LOCAL");

    DebugOutput later;
    ApplyDebugConsoleSwitch("-Debug_Console:6000 -FILE:C:x.syx", later);
    EXPECT_EQ(later.GetPort(), 6000);
    EXPECT_EQ(later.GetHost(), "") << "a colon in a later argument is not the host's";

    DebugOutput single;
    ApplyDebugConsoleSwitch("-DEBUG_CONSOLE:5", single);
    EXPECT_EQ(single.GetPort(), -1) << "a port text of one character sets nothing";
    DebugOutput letters;
    ApplyDebugConsoleSwitch("-DEBUG_CONSOLE:ab:host", letters);
    EXPECT_EQ(letters.GetPort(), 0) << "no digits read as 0, which sends no datagrams";
    EXPECT_EQ(letters.GetHost(), "HOST");
    // Inside a path or another argument, quoted or not, the name is text.
    for (const char* line : {"-SILENT -DEBUG", "-ABSOLUTE_FIRMWARE_FILE_PATH=/x/a-DEBUG_CONSOLE:5000:host.syx",
                             "-ABSOLUTE_FIRMWARE_FILE_PATH=\"/x/a -DEBUG_CONSOLE:5000:host b.syx\"",
                             "-DEBUG_CONSOLES", R"(-SILENT "a\" -DEBUG_CONSOLE:5000 \"b")"}) {
        DebugOutput none;
        ApplyDebugConsoleSwitch(line, none);
        EXPECT_EQ(none.GetPort(), -1) << line;
        EXPECT_TRUE(usesOwnStreams(none)) << line;
    }
    DebugOutput afterPath;
    ApplyDebugConsoleSwitch("-ABSOLUTE_FIRMWARE_FILE_PATH=\"/x/a -DEBUG_CONSOLE:1 b\" -DEBUG_CONSOLE:7000", afterPath);
    EXPECT_EQ(afterPath.GetPort(), 7000);
}

}  // namespace
}  // namespace ZV
