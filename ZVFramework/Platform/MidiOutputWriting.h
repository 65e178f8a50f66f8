#pragma once

#include "Platform/MidiLongMessage.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ZV::Platform {

// An output as its writer sees it: a buffer that takes bytes without blocking, and that the device empties at its
// own pace.
struct BufferedOutput {
    // The most bytes the buffer holds, and so the most one write can take.
    std::size_t BufferSize = 0;
    // Bytes the buffer took, from 1 up to count; 0 when it takes none now; negative when the output has failed.
    std::function<std::int64_t(const std::uint8_t* bytes, std::size_t count)> Write;
    // Bytes the buffer holds that the device has not taken yet; negative when the output has failed.
    std::function<std::int64_t()> GetUnsent;
    // Blocks until the buffer is empty or a short while has passed: false when the output is closing or has failed.
    std::function<bool()> Wait;
};

// Hands the whole message, framing included, to the buffer as it makes room: each write offers as much of the message
// as the buffer holds, framing and body together, so that a buffer that takes bytes only when it is empty is waited
// for once per bufferful, not once per part. false when the output failed or closed before the last byte.
bool WriteMessage(const MidiLongMessage& message, const BufferedOutput& output);

// The same, then waits until the device has taken the whole message from the buffer. Whenever the device has
// taken more of it, onSent hears how many of the message's bytes it has taken so far, so that a message that moves
// at any pace is told from one that does not. false when the output failed or closed first.
bool SendMessage(const MidiLongMessage& message, const BufferedOutput& output,
                 const std::function<void(std::size_t sent)>& onSent);

}  // namespace ZV::Platform
