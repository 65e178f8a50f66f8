#include "Engine/DeviceMessages.h"

#include "ObjectBase/Exception.h"

#include <cstring>

namespace DeviceMessages {

namespace {

constexpr std::uint8_t kStatusRequest[] = {0xF0, 0x47, 0x00, 0x37, 0x07, 0x02, 0x00, 0x00, 0xF7};
constexpr std::uint8_t kEnterUpdateModeRequest[] = {0xF0, 0x47, 0x00, 0x37, 0x07, 0x00, 0x00, 0x00, 0xF7};
constexpr std::uint8_t kVersionRequest[] = {0xF0, 0x47, 0x10, 0x33, 0x07, 0x05, 0x00, 0x00, 0xF7};
constexpr std::uint8_t kIdentityRequest[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};

constexpr std::uint8_t kMaker = 0x47;
constexpr std::uint8_t kDeviceFamily = 0x07;
constexpr std::uint8_t kVersionReplyCommand = 0x06;
constexpr std::uint8_t kStatusReplyCommand = 0x03;
constexpr std::uint32_t kVersionReplyLength = 28;
constexpr std::uint32_t kStatusReplyLength = 10;
constexpr std::uint8_t kStatusRunning = 0x00;
constexpr std::uint8_t kStatusInUpdateMode = 0x05;
constexpr std::uint8_t kStatusUpdateDone = 0x07;

constexpr std::uint32_t kBuildOffset = 8;
constexpr std::uint32_t kBuildGroups = 5;
constexpr std::uint32_t kBuildGroupWidth = 7;

template <std::size_t N>
void Assign(const std::uint8_t (&bytes)[N], ZV::MidiMessageBytes& message)
{
    ZV_THROW_IF_FAILED(message.SetCount(N));
    std::memcpy(message.GetData(), bytes, N);
}

Reply RecognizeStatus(std::uint8_t status)
{
    switch (status) {
    case kStatusRunning:
        return Reply::Running;
    case kStatusInUpdateMode:
        return Reply::InUpdateMode;
    case kStatusUpdateDone:
        return Reply::UpdateDone;
    default:
        return Reply::None;
    }
}

}  // namespace

void BuildRequest(Request request, ZV::MidiMessageBytes& message)
{
    switch (request) {
    case Request::Status:
        Assign(kStatusRequest, message);
        return;
    case Request::EnterUpdateMode:
        Assign(kEnterUpdateModeRequest, message);
        return;
    case Request::Version:
        Assign(kVersionRequest, message);
        return;
    case Request::Identity:
        Assign(kIdentityRequest, message);
        return;
    }
}

Reply RecognizeReply(const ZV::MidiMessageBytes& message)
{
    const std::uint32_t length = message.GetCount();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(message.GetData());
    if (length == kVersionReplyLength && bytes[0] == kSysExStart && bytes[1] == kMaker && bytes[4] == kDeviceFamily &&
        bytes[5] == kVersionReplyCommand) {
        return Reply::Version;
    }
    if (length == kStatusReplyLength && bytes[0] == kSysExStart && bytes[1] == kMaker && bytes[4] == kDeviceFamily &&
        bytes[5] == kStatusReplyCommand && bytes[6] == 0x00 && bytes[7] == 0x01 && bytes[9] == kSysExEnd) {
        return RecognizeStatus(bytes[8]);
    }
    return Reply::None;
}

bool IsSystemExclusive(const ZV::MidiMessageBytes& message)
{
    const std::uint32_t length = message.GetCount();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(message.GetData());
    return length >= 2 && bytes[0] == kSysExStart && bytes[length - 1] == kSysExEnd;
}

void UnpackBitGroups(const std::uint8_t* groups, std::uint32_t groupCount, std::uint32_t groupWidth,
                     std::uint8_t* unpacked)
{
    const std::uint32_t unpackedBits = groupCount * groupWidth / 8 * 8;
    std::memset(unpacked, 0, unpackedBits / 8);
    for (std::uint32_t group = 0; group < groupCount; ++group) {
        for (std::uint32_t bit = 0; bit < groupWidth; ++bit) {
            const std::uint32_t position = group * groupWidth + bit;
            if (position < unpackedBits && ((groups[group] >> bit) & 1) != 0) {
                unpacked[position / 8] |= static_cast<std::uint8_t>(1u << (position % 8));
            }
        }
    }
}

std::uint32_t DecodeBuildNumber(const ZV::MidiMessageBytes& versionReply)
{
    if (versionReply.GetCount() < kBuildOffset + kBuildGroups) {
        return 0;
    }
    std::uint8_t unpacked[kBuildGroups * kBuildGroupWidth / 8];
    UnpackBitGroups(reinterpret_cast<const std::uint8_t*>(versionReply.GetData()) + kBuildOffset, kBuildGroups,
                    kBuildGroupWidth, unpacked);
    std::uint32_t build = 0;
    for (std::uint32_t index = sizeof unpacked; index > 0; --index) {
        build = build << 8 | unpacked[index - 1];
    }
    return build;
}

}  // namespace DeviceMessages
