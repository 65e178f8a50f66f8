#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace ZV::Platform {

// A long message as a driver reads it, in place: Count bytes at Bytes, framed by F0 before and F7 after when they are
// a System Exclusive body, so that a body is sent from where it lies without a copy of it. Keeper holds the bytes for
// as long as a driver may still read them: a sender that stops waiting for the driver may let its own hold go.
struct MidiLongMessage {
    std::shared_ptr<const void> Keeper;
    const std::uint8_t* Bytes = nullptr;
    std::size_t Count = 0;
    bool IsSysExBody = false;

    // A message that holds the bytes itself.
    static MidiLongMessage Holding(std::vector<std::uint8_t> bytes);

    // The bytes that go out, framing included.
    std::size_t GetSize() const { return IsSysExBody ? Count + 2 : Count; }
    // Something goes out, and the bytes it names are there.
    bool IsSendable() const { return GetSize() > 0 && (Bytes != nullptr || Count == 0); }

    // The count bytes that go out from offset from on (framing included; from + count at most GetSize()): where they
    // lie when the body holds them all, else copied into staging, which grows to hold them. So the framing and the
    // body go out together without a copy of more than count bytes of the body.
    const std::uint8_t* GetBytesAt(std::size_t from, std::size_t count, std::vector<std::uint8_t>& staging) const;

    // Hands the parts that go out, in order, to write(bytes, count) while it answers true; false when one did not.
    template <class Write>
    bool WriteParts(Write&& write) const
    {
        static constexpr std::uint8_t kStart = 0xF0;
        static constexpr std::uint8_t kEnd = 0xF7;
        if (!IsSysExBody) {
            return write(Bytes, Count);
        }
        return write(&kStart, std::size_t{1}) && (Count == 0 || write(Bytes, Count)) && write(&kEnd, std::size_t{1});
    }
};

}  // namespace ZV::Platform
