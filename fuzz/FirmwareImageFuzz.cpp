// The firmware image check: whatever the file holds, the walk ends, every message it hands out is a message of the
// file, a refusal points at a byte that the fault names, and the walk finds the same fed in blocks as fed whole.
#include "Engine/FirmwareImage.h"
#include "FuzzTarget.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint8_t kStart = 0xF0;
constexpr std::uint8_t kEnd = 0xF7;
constexpr std::uint8_t kSplit = 0x0D;

bool IsDataByte(std::uint8_t byte)
{
    return byte < 0x80;
}

// Whether the byte at the fault's offset is one that the fault speaks of.
bool FaultFitsItsByte(const ImageCheck& check, const std::uint8_t* bytes, std::uint32_t count)
{
    if (check.Fault == ImageFault::kNone) {
        return true;
    }
    if (check.Fault == ImageFault::kNoMessage) {
        return check.Offset == 0 && count == 0;
    }
    if (check.Offset >= count) {
        return false;
    }
    const std::uint8_t byte = bytes[check.Offset];
    const std::uint8_t* after = bytes + check.Offset + 1;
    const std::uint8_t* end = bytes + count;
    switch (check.Fault) {
    case ImageFault::kByteOutsideMessages:
        return byte != kStart;
    case ImageFault::kStatusByteInMessage:
        return !IsDataByte(byte) && byte != kStart && byte != kEnd;
    case ImageFault::kMessageInsideMessage:
        return byte == kStart;
    case ImageFault::kEmptyMessage:
        return (byte == kEnd || byte == kSplit) && check.Offset > 0 && bytes[check.Offset - 1] == kStart;
    case ImageFault::kUnfinishedMessage:
        return (byte == kStart || byte == kSplit) &&
               std::all_of(after, end, [](std::uint8_t next) { return IsDataByte(next) && next != kSplit; });
    default:
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0xFFFFFFFFu) {
        return 0;
    }
    FirmwareImageBytes image;
    ZV_FUZZ_CHECK(image.SetCount(static_cast<std::uint32_t>(size)) == static_cast<ZV::ZVRESULT>(size));
    if (size != 0) {
        std::memcpy(image.GetData(), data, size);
    }
    const std::uint8_t* bytes = image.GetData();
    const auto count = static_cast<std::uint32_t>(size);

    FirmwareImageWalker walker;
    ImageMessage message;
    std::uint32_t messages = 0;
    std::uint32_t nextBodyMayStart = 0;
    std::vector<std::uint32_t> ends;
    walker.Feed(bytes, count);
    while (walker.Next(message)) {
        ++messages;
        ends.push_back(message.EndOffset);
        ZV_FUZZ_CHECK(message.Length > 0 && message.EndOffset < count);
        ZV_FUZZ_CHECK(message.BodyOffset + message.Length == message.EndOffset);
        const std::uint8_t ending = bytes[message.EndOffset];
        ZV_FUZZ_CHECK(ending == kEnd || ending == kSplit);
        // A body holds data bytes only; a split byte only as the first of the message that it begins.
        const std::uint8_t* const bodyBytes = bytes + message.BodyOffset;
        const std::string_view body(reinterpret_cast<const char*>(bodyBytes), message.Length);
        const bool beganAtSplit = static_cast<std::uint8_t>(body[0]) == kSplit;
        ZV_FUZZ_CHECK(std::all_of(body.begin() + (beganAtSplit ? 1 : 0), body.end(), [](char byte) {
            return IsDataByte(static_cast<std::uint8_t>(byte)) && static_cast<std::uint8_t>(byte) != kSplit;
        }));
        // Messages follow one another: a split one right at the byte that ended the last, another after an F0.
        if (beganAtSplit) {
            ZV_FUZZ_CHECK(messages > 1 && message.BodyOffset == nextBodyMayStart - 1);
        } else {
            ZV_FUZZ_CHECK(message.BodyOffset > nextBodyMayStart && bodyBytes[-1] == kStart);
        }
        nextBodyMayStart = message.EndOffset + 1;
    }
    ZV_FUZZ_CHECK(!walker.Next(message));
    walker.Finish();
    ZV_FUZZ_CHECK(walker.GetMessageCount() == messages);

    // As a file is read: blocks of a size the input chooses.
    FirmwareImageWalker blockWalker;
    const std::uint32_t blockSize = count == 0 ? 1 : 1 + bytes[0] % 13;
    std::vector<std::uint32_t> blockEnds;
    for (std::uint32_t start = 0; start < count && blockWalker.GetFault() == ImageFault::kNone; start += blockSize) {
        blockWalker.Feed(bytes + start, std::min(blockSize, count - start));
        while (blockWalker.Next(message)) {
            blockEnds.push_back(message.EndOffset);
        }
    }
    blockWalker.Finish();
    ZV_FUZZ_CHECK(blockEnds == ends);
    ZV_FUZZ_CHECK(blockWalker.GetFault() == walker.GetFault() &&
                  blockWalker.GetFaultOffset() == walker.GetFaultOffset());

    const ImageCheck check = CheckFirmwareImage(image);
    ZV_FUZZ_CHECK(check.Fault == walker.GetFault() && check.Offset == walker.GetFaultOffset());
    ZV_FUZZ_CHECK(check.MessageCount == messages);
    ZV_FUZZ_CHECK(check.Fault != ImageFault::kNone || messages > 0);
    ZV_FUZZ_CHECK(FaultFitsItsByte(check, bytes, count));
    ZV_FUZZ_CHECK(std::string_view(DescribeImageFault(check.Fault)) != "unknown fault");
    return 0;
}
