#include "Simulator/DeviceProtocol.h"

namespace ZV::Simulator::DeviceProtocol {

namespace {

constexpr std::uint8_t Maker = 0x47;
constexpr std::uint8_t Family = 0x07;
constexpr std::size_t VersionReplyLength = 28;
constexpr std::size_t BuildOffset = 8;
constexpr int BuildGroups = 5;

enum Command : std::uint8_t {
    EnterUpdateModeCommand = 0x00,
    StatusCommand = 0x02,
    StatusReplyCommand = 0x03,
    VersionCommand = 0x05,
    VersionReplyCommand = 0x06,
};

MidiBytes MakeReplyHead(const MidiBytes& request, std::uint8_t command, std::uint8_t payloadLength)
{
    return {SysExStart, Maker, request.at(2), request.at(3), Family, command, 0x00, payloadLength};
}

}  // namespace

Request Recognize(const MidiBytes& message)
{
    if (message.size() != RequestLength || message[0] != SysExStart || message[1] != Maker || message[4] != Family ||
        message[6] != 0x00 || message[7] != 0x00 || message[8] != SysExEnd) {
        return Request::None;
    }
    switch (message[5]) {
    case StatusCommand:
        return Request::Status;
    case VersionCommand:
        return Request::Version;
    case EnterUpdateModeCommand:
        return Request::EnterUpdateMode;
    default:
        return Request::None;
    }
}

MidiBytes MakeStatusReply(const MidiBytes& request, Status status)
{
    MidiBytes reply = MakeReplyHead(request, StatusReplyCommand, 0x01);
    reply.push_back(static_cast<std::uint8_t>(status));
    reply.push_back(SysExEnd);
    return reply;
}

MidiBytes MakeVersionReply(const MidiBytes& request, std::uint32_t build)
{
    MidiBytes reply = MakeReplyHead(request, VersionReplyCommand, VersionReplyLength - BuildOffset - 1);
    for (int group = 0; group < BuildGroups; ++group) {
        reply.push_back(static_cast<std::uint8_t>((build >> (7 * group)) & 0x7F));
    }
    reply.resize(VersionReplyLength - 1, 0x00);
    reply.push_back(SysExEnd);
    return reply;
}

}  // namespace ZV::Simulator::DeviceProtocol
