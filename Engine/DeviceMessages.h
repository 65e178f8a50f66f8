#pragma once

#include "Midi/MidiCaptureNotificationData.h"

#include <cstdint>

// The System Exclusive messages that the updater and the display device exchange.
namespace DeviceMessages {

inline constexpr std::uint8_t kSysExStart = 0xF0;
inline constexpr std::uint8_t kSysExEnd = 0xF7;

enum class Request {
    Status,           // F0 47 00 37 07 02 00 00 F7
    EnterUpdateMode,  // F0 47 00 37 07 00 00 00 F7
    Version,          // F0 47 10 33 07 05 00 00 F7
    Identity,         // F0 7E 7F 06 01 F7, the MIDI standard's Identity Request to all devices
};

enum class Reply {
    None,
    Version,       // 28 bytes, the build at offsets 8 to 12
    InUpdateMode,  // F0 47 .. .. 07 03 00 01 05 F7
    Running,       // F0 47 .. .. 07 03 00 01 00 F7
    UpdateDone,    // F0 47 .. .. 07 03 00 01 07 F7
};

// Replaces the message with the request, built fresh.
void BuildRequest(Request request, ZV::MidiMessageBytes& message);

// What a complete captured message (F0 through F7) answers. The two bytes after the maker are never looked at.
Reply RecognizeReply(const ZV::MidiMessageBytes& message);

// Whether the message is a System Exclusive one (F0 through F7): a device's reply, readable or not.
bool IsSystemExclusive(const ZV::MidiMessageBytes& message);

// Packs groupCount groups of groupWidth bits each, the first group the least significant, into
// groupCount * groupWidth / 8 bytes (rounded down; bits beyond them are dropped), least significant byte first.
void UnpackBitGroups(const std::uint8_t* groups, std::uint32_t groupCount, std::uint32_t groupWidth,
                     std::uint8_t* unpacked);

// The build number of a version reply: five 7-bit groups at offsets 8 to 12, kept to 32 bits.
std::uint32_t DecodeBuildNumber(const ZV::MidiMessageBytes& versionReply);

}  // namespace DeviceMessages
