#include "Platform/MidiLongMessage.h"

#include "Platform/MidiMessage.h"

#include <algorithm>

namespace ZV::Platform {

MidiLongMessage MidiLongMessage::Holding(std::vector<std::uint8_t> bytes)
{
    auto held = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    MidiLongMessage message;
    message.Bytes = held->data();
    message.Count = held->size();
    message.Keeper = std::move(held);
    return message;
}

const std::uint8_t* MidiLongMessage::GetBytesAt(std::size_t from, std::size_t count,
                                                std::vector<std::uint8_t>& staging) const
{
    const std::size_t bodyStart = IsSysExBody ? 1 : 0;
    const std::size_t bodyEnd = bodyStart + Count;
    if (from >= bodyStart && from + count <= bodyEnd) {
        return Bytes + (from - bodyStart);
    }
    // Only a framed body comes here: the bytes take in its F0, its F7 or both.
    staging.resize(std::max(staging.size(), count));
    std::uint8_t* to = staging.data();
    const std::size_t end = from + count;
    if (from == 0) {
        *to++ = MidiSysExStart;
        ++from;
    }
    const std::size_t fromBody = std::min(end, bodyEnd) - from;
    std::copy_n(Bytes + (from - bodyStart), fromBody, to);
    if (end > bodyEnd) {
        to[fromBody] = MidiSysExEnd;
    }
    return staging.data();
}

}  // namespace ZV::Platform
