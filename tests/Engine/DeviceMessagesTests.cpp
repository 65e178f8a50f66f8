#include "Engine/DeviceMessages.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

namespace ZV::Testing {
namespace {

// A captured message written in hex.
struct Message {
    explicit Message(const std::string& hex)
    {
        std::istringstream words(hex);
        for (std::string word; words >> word;) {
            const std::uint32_t index = bytes.GetCount();
            EXPECT_TRUE(Succeeded(bytes.SetCount(index + 1)));
            bytes.GetData()[index] = static_cast<std::int8_t>(std::stoul(word, nullptr, 16));
        }
    }

    MidiMessageBytes bytes;
};

TEST(DeviceMessages, RepliesAreRecognisedByLengthAndBytesWhateverTheTwoBytesAfterTheMaker)
{
    using DeviceMessages::Reply;
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("F0 47 00 37 07 03 00 01 00 F7").bytes), Reply::Running);
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("F0 47 55 66 07 03 00 01 05 F7").bytes), Reply::InUpdateMode);
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("F0 47 00 37 07 03 00 01 07 F7").bytes), Reply::UpdateDone);
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message(VersionReply("66 67 04 00 00")).bytes), Reply::Version);

    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("F0 47 00 37 07 03 00 01 00 00 F7").bytes), Reply::None)
        << "a status reply one byte too long";
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("F0 47 00 37 07 03 00 01 06 F7").bytes), Reply::None)
        << "an unknown status";
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("F0 41 00 37 07 03 00 01 00 F7").bytes), Reply::None)
        << "another maker";
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("").bytes), Reply::None);
    EXPECT_EQ(DeviceMessages::RecognizeReply(Message("F8").bytes), Reply::None);
}

TEST(DeviceMessages, BuildNumberIsFiveSevenBitGroupsLeastSignificantFirstKeptToThirtyTwoBits)
{
    EXPECT_EQ(DeviceMessages::DecodeBuildNumber(Message(VersionReply("66 67 04 00 00")).bytes), 78822u);
    EXPECT_EQ(DeviceMessages::DecodeBuildNumber(Message(VersionReply("24 65 04 00 00")).bytes), 78500u);
    EXPECT_EQ(DeviceMessages::DecodeBuildNumber(Message(VersionReply("7F 7F 7F 7F 7F")).bytes), 0xFFFFFFFFu)
        << "the top three bits of the fifth group fall outside 32 bits";
    EXPECT_EQ(DeviceMessages::DecodeBuildNumber(Message(VersionReply("00 00 00 00 01")).bytes), 0x10000000u);
}

TEST(DeviceMessages, UnpackingPacksGroupsOfAnyWidthIntoWholeBytesOnly)
{
    const std::uint8_t nibbles[] = {0x1, 0x2, 0x3, 0xF};
    std::uint8_t unpacked[2] = {};
    DeviceMessages::UnpackBitGroups(nibbles, 4, 4, unpacked);
    EXPECT_EQ(unpacked[0], 0x21);
    EXPECT_EQ(unpacked[1], 0xF3);

    const std::uint8_t threeBitGroups[] = {0x7, 0x7, 0x7};
    std::uint8_t one[2] = {0, 0xAA};
    DeviceMessages::UnpackBitGroups(threeBitGroups, 3, 3, one);
    EXPECT_EQ(one[0], 0xFF) << "nine bits give one byte; the ninth is dropped";
    EXPECT_EQ(one[1], 0xAA) << "nothing is written past the whole bytes";
}

}  // namespace
}  // namespace ZV::Testing
