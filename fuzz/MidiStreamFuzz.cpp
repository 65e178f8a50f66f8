// The MIDI input stream parser, fed bytes as a device sends them: every short message it completes is whole, and the
// messages and System Exclusive bytes it finds, sent again as plain bytes, are found again the same.
#include "FuzzTarget.h"
#include "Platform/MidiMessage.h"
#include "Platform/MidiStreamParser.h"

#include <vector>

namespace {

using ZV::Platform::GetShortMessageLength;
using ZV::Platform::MidiParsedByte;
using ZV::Platform::MidiStreamParser;

// A short message, packed, or one System Exclusive byte.
struct Found {
    bool isSysExByte;
    std::uint32_t value;
    bool operator==(const Found&) const = default;
};

void CheckShortMessage(std::uint32_t packed, std::uint8_t lastByte)
{
    const auto status = static_cast<std::uint8_t>(packed & 0xFF);
    const std::size_t length = GetShortMessageLength(status);
    ZV_FUZZ_CHECK(length >= 1 && length <= 3);
    ZV_FUZZ_CHECK((packed >> (8 * length)) == 0);
    for (std::size_t index = 1; index < length; ++index) {
        ZV_FUZZ_CHECK(((packed >> (8 * index)) & 0x80) == 0);
    }
    // A message is complete at its last byte, and not before.
    ZV_FUZZ_CHECK(static_cast<std::uint8_t>(packed >> (8 * (length - 1))) == lastByte);
}

std::vector<Found> Parse(MidiStreamParser& parser, const std::uint8_t* bytes, std::size_t size)
{
    std::vector<Found> found;
    for (std::size_t index = 0; index < size; ++index) {
        const std::uint8_t byte = bytes[index];
        const MidiParsedByte parsed = parser.Feed(byte);
        ZV_FUZZ_CHECK(!(parsed.IsSysExByte && parsed.CompletesShortMessage));
        if (parsed.IsSysExByte) {
            ZV_FUZZ_CHECK(byte < 0x80 || byte == ZV::Platform::MidiSysExStart || byte == ZV::Platform::MidiSysExEnd);
            found.push_back({true, byte});
        }
        if (parsed.CompletesShortMessage) {
            CheckShortMessage(parsed.ShortMessage, byte);
            found.push_back({false, parsed.ShortMessage});
        }
    }
    return found;
}

std::vector<std::uint8_t> PlainBytesOf(const std::vector<Found>& found)
{
    std::vector<std::uint8_t> bytes;
    for (const Found& item : found) {
        if (item.isSysExByte) {
            bytes.push_back(static_cast<std::uint8_t>(item.value));
        } else {
            const std::vector<std::uint8_t> message = ZV::Platform::UnpackShortMessage(item.value);
            bytes.insert(bytes.end(), message.begin(), message.end());
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MidiStreamParser parser;
    const std::vector<Found> found = Parse(parser, data, size);
    ZV_FUZZ_CHECK(found.size() <= size);

    // Without running status, and with real-time bytes already where they took effect, the same comes out.
    const std::vector<std::uint8_t> plain = PlainBytesOf(found);
    MidiStreamParser fresh;
    ZV_FUZZ_CHECK(Parse(fresh, plain.data(), plain.size()) == found);

    parser.Reset();
    ZV_FUZZ_CHECK(Parse(parser, data, size) == found);
    return 0;
}
