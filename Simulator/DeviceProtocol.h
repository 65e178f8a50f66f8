#pragma once

#include "Simulator/SimulationSettings.h"

#include <cstddef>
#include <cstdint>

// The display device's side of its System Exclusive conversation with the updater.
namespace ZV::Simulator::DeviceProtocol {

enum class Request { None, Status, Version, EnterUpdateMode };

enum class Status : std::uint8_t { Running = 0x00, InUpdateMode = 0x05, UpdateDone = 0x07 };

// A request is nine bytes F0 47 xx xx 07 <command> 00 00 F7; the two bytes after the maker are not looked at.
inline constexpr std::size_t RequestLength = 9;
Request Recognize(const MidiBytes& message);

// Replies repeat the request's two bytes after the maker.
MidiBytes MakeStatusReply(const MidiBytes& request, Status status);
// 28 bytes: the build as five 7-bit groups, least significant first, at offsets 8 to 12.
MidiBytes MakeVersionReply(const MidiBytes& request, std::uint32_t build);

}  // namespace ZV::Simulator::DeviceProtocol
