#pragma once

#include "Platform/MidiLongMessage.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ZV::Platform {

// An output that takes what it can of the bytes offered and never blocks a write.
struct PartialOutput {
    // Bytes taken, from 1 up to count; 0 when it can take none now; negative when it has failed.
    std::function<std::int64_t(const std::uint8_t* bytes, std::size_t count)> Write;
    // Blocks until the output can take bytes again: false when it never will (it is closing, or has failed).
    std::function<bool()> WaitUntilReady;
};

// Hands the whole message, framing included, to the output, part after part as it takes them; after each part
// onTaken, when given, hears how many of the message's bytes the output has taken so far. false when the output
// failed or gave up before the last byte.
bool WriteLongMessage(const MidiLongMessage& message, const PartialOutput& output,
                      const std::function<void(std::size_t taken)>& onTaken);

}  // namespace ZV::Platform
