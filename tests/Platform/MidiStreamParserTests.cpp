#include "Platform/MidiStreamParser.h"

#include "Platform/MidiMessage.h"
#include "Platform/MidiTestSupport.h"

#include <gtest/gtest.h>

namespace ZV::Platform {
namespace {

using Testing::ParseHex;

// Feeds the bytes and describes what came out: "S:<hex>" for a short message, "X:<byte>" for a System
// Exclusive byte, "cut" where a status byte ended System Exclusive early.
std::vector<std::string> Parse(const std::string& hex)
{
    MidiStreamParser parser;
    std::vector<std::string> events;
    for (const std::uint8_t byte : ParseHex(hex)) {
        const MidiParsedByte parsed = parser.Feed(byte);
        if (parsed.CutsSysExShort) {
            events.push_back("cut");
        }
        if (parsed.IsSysExByte) {
            events.push_back("X:" + Testing::ToHex({byte}));
        }
        if (parsed.CompletesShortMessage) {
            events.push_back("S:" + Testing::ToHex(UnpackShortMessage(parsed.ShortMessage)));
        }
    }
    return events;
}

using Events = std::vector<std::string>;

TEST(MidiStreamParser, ShortMessagesTakeTheirLengthAndRunningStatusRepeatsTheLastChannelStatus)
{
    EXPECT_EQ(Parse("90 3C 7F 3E 40 C0 05 06 F8"),
              (Events{"S:90 3C 7F", "S:90 3E 40", "S:C0 05", "S:C0 06", "S:F8"}));
    EXPECT_EQ(Parse("F2 01 02 03 04"), (Events{"S:F2 01 02"})) << "system common messages end running status";
    EXPECT_EQ(Parse("F6 F1 05 F3 07 01 02"), (Events{"S:F6", "S:F1 05", "S:F3 07"}));
    EXPECT_EQ(Parse("3C 7F F7 90 3C"), Events{}) << "data without a status, a lone F7 and half a message give nothing";
}

TEST(MidiStreamParser, RealTimeBytesInsideSystemExclusiveAreMessagesOfTheirOwnAndNeverPartOfTheBody)
{
    EXPECT_EQ(Parse("F0 01 F8 02 FE F7"), (Events{"X:F0", "X:01", "S:F8", "X:02", "S:FE", "X:F7"}));
    EXPECT_EQ(Parse("90 3C F8 7F"), (Events{"S:F8", "S:90 3C 7F"})) << "nor do they break a short message";
}

TEST(MidiStreamParser, StatusByteInsideSystemExclusiveEndsItEarly)
{
    EXPECT_EQ(Parse("F0 01 90 3C 7F"), (Events{"X:F0", "X:01", "cut", "S:90 3C 7F"}));
    EXPECT_EQ(Parse("F0 01 F0 02 F7"), (Events{"X:F0", "X:01", "cut", "X:F0", "X:02", "X:F7"}));
    EXPECT_EQ(Parse("90 3C 7F F0 F7 40 41"), (Events{"S:90 3C 7F", "X:F0", "X:F7"}))
        << "System Exclusive ends running status";
}

}  // namespace
}  // namespace ZV::Platform
