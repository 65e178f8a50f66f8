#include "Platform/MidiLongMessage.h"

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

}  // namespace ZV::Platform
