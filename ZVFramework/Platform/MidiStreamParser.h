#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ZV::Platform {

// What one byte of an incoming MIDI stream turned out to be.
struct MidiParsedByte {
    bool CutsSysExShort = false;  // a status byte ended a System Exclusive message before its F7
    bool IsSysExByte = false;     // the byte belongs to a System Exclusive message (F0 and F7 included)
    bool CompletesShortMessage = false;
    std::uint32_t ShortMessage = 0;  // packed, when CompletesShortMessage
};

// Splits a MIDI byte stream into short messages (running status included) and System Exclusive bytes.
// Real-time bytes F8 to FF are messages of their own wherever they come, also inside System Exclusive.
class MidiStreamParser {
public:
    MidiParsedByte Feed(std::uint8_t byte);
    void Reset();

private:
    MidiParsedByte TakeStatus(std::uint8_t status, bool cutsSysEx);
    MidiParsedByte TakeData(std::uint8_t data);

    bool mInSysEx = false;
    std::uint8_t mRunningStatus = 0;
    std::array<std::uint8_t, 3> mPending{};
    std::size_t mPendingCount = 0;
    std::size_t mPendingLength = 0;
};

}  // namespace ZV::Platform
