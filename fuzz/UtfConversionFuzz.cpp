// The UTF-8 and UTF-16 conversions, raw and through the framework's strings: UTF-8 is taken exactly when it is
// well-formed, as an independent reading decodes it, and text that comes through whole goes back unchanged; a
// target too small is never written past and holds the start of the whole result.
#include "FuzzTarget.h"
#include "Utf8Reference.h"
#include "Utilities/Storage/StringT.h"
#include "Utilities/Storage/UTFConversion.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

using ZV::UTF::ConversionResult;

struct Converted {
    ConversionResult result;
    std::wstring units;
    std::size_t bytesRead;
};

// Converts into a block of exactly capacity units, so that a write past it is caught.
Converted FromUtf8(const std::uint8_t* bytes, std::size_t size, std::size_t capacity)
{
    const auto block = std::make_unique<wchar_t[]>(capacity);
    const std::uint8_t* source = bytes;
    wchar_t* target = block.get();
    const ConversionResult result = ZV::UTF::ConvertUTF8ToUTF16(source, bytes + size, target, block.get() + capacity);
    ZV_FUZZ_CHECK(source >= bytes && source <= bytes + size && target >= block.get());
    return {result, std::wstring(block.get(), target), static_cast<std::size_t>(source - bytes)};
}

struct ConvertedBack {
    ConversionResult result;
    std::string bytes;
};

ConvertedBack ToUtf8(const std::wstring& units, std::size_t capacity)
{
    const auto block = std::make_unique<unsigned char[]>(capacity);
    const wchar_t* source = units.data();
    unsigned char* target = block.get();
    const ConversionResult result =
        ZV::UTF::ConvertUTF16ToUTF8(source, units.data() + units.size(), target, block.get() + capacity);
    ZV_FUZZ_CHECK(target >= block.get());
    return {result,
            std::string(reinterpret_cast<const char*>(block.get()), static_cast<std::size_t>(target - block.get()))};
}

bool IsHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool HasUnpairedSurrogate(const std::wstring& units)
{
    for (std::size_t index = 0; index < units.size(); ++index) {
        if (IsHighSurrogate(units[index]) && index + 1 < units.size() && IsLowSurrogate(units[index + 1])) {
            ++index;
        } else if (IsHighSurrogate(units[index]) || IsLowSurrogate(units[index])) {
            return true;
        }
    }
    return false;
}

void CheckUtf8Input(const std::uint8_t* data, std::size_t size)
{
    const ZV::Fuzz::Utf8Reading reading = ZV::Fuzz::ReadUtf8(data, size);
    const Converted whole = FromUtf8(data, size, size + 1);
    ZV_FUZZ_CHECK((whole.result == ConversionResult::ok) == reading.IsWhole(size));
    ZV_FUZZ_CHECK(whole.result != ConversionResult::targetExhausted);
    // After a fault the target holds what came before it.
    ZV_FUZZ_CHECK(whole.units == reading.units && whole.bytesRead == reading.validBytes);
    if (whole.result == ConversionResult::ok) {
        const ConvertedBack back = ToUtf8(whole.units, 3 * whole.units.size());
        ZV_FUZZ_CHECK(back.result == ConversionResult::ok);
        ZV_FUZZ_CHECK(back.bytes == std::string(reinterpret_cast<const char*>(data), size));
    }

    const std::size_t small = whole.units.size() / 2;
    const Converted cut = FromUtf8(data, size, small);
    ZV_FUZZ_CHECK(cut.units.size() <= small && whole.units.starts_with(cut.units));
    if (whole.result == ConversionResult::ok && whole.units.size() > small) {
        ZV_FUZZ_CHECK(cut.result == ConversionResult::targetExhausted);
    }

    // The string takes the text up to its first NUL, or up to the fault, whichever comes first.
    ZV::WideString string;
    const ZV::ZVRESULT assigned = string.AssignFromUTF8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    if (std::memchr(data, 0, size) == nullptr) {
        ZV_FUZZ_CHECK((assigned == ZV::ZV_S_OK) == reading.IsWhole(size));
    }
    const std::wstring kept = reading.units.substr(0, reading.units.find(L'\0'));
    ZV_FUZZ_CHECK(std::wstring(string.GetData(), string.GetLength()) == kept);
    const ZV::NarrowString narrow = string.ToUTF8();
    const std::string keptBytes(reinterpret_cast<const char*>(data), reading.validBytes);
    ZV_FUZZ_CHECK(std::string(narrow.GetData(), narrow.GetLength()) == keptBytes.substr(0, keptBytes.find('\0')));
}

// The same bytes as UTF-16 units, two bytes each, low byte first.
void CheckUtf16Input(const std::uint8_t* data, std::size_t size)
{
    std::wstring units;
    for (std::size_t index = 0; index + 1 < size; index += 2) {
        units += static_cast<wchar_t>(data[index] | data[index + 1] << 8);
    }
    const ConvertedBack bytes = ToUtf8(units, 3 * units.size());
    // Unpaired surrogates are written as the three bytes of their value; only a high one at the very end waits
    // for more.
    const bool endsInHighSurrogate = !units.empty() && IsHighSurrogate(units.back());
    ZV_FUZZ_CHECK(bytes.result ==
                  (endsInHighSurrogate ? ConversionResult::sourceExhausted : ConversionResult::ok));
    ZV_FUZZ_CHECK(bytes.bytes.size() <= 3 * units.size());

    const auto* encoded = reinterpret_cast<const std::uint8_t*>(bytes.bytes.data());
    const Converted back = FromUtf8(encoded, bytes.bytes.size(), bytes.bytes.size() + 1);
    if (bytes.result == ConversionResult::ok && !HasUnpairedSurrogate(units)) {
        ZV_FUZZ_CHECK(back.result == ConversionResult::ok && back.units == units);
    } else {
        ZV_FUZZ_CHECK(units.starts_with(back.units));
    }

    const std::size_t small = bytes.bytes.size() / 2;
    const ConvertedBack cut = ToUtf8(units, small);
    ZV_FUZZ_CHECK(cut.bytes.size() <= small && bytes.bytes.starts_with(cut.bytes));

    ZV::NarrowString narrow;
    const ZV::ZVRESULT assigned = narrow.AssignFromWide(units.data(), static_cast<int>(units.size()));
    if (units.find(L'\0') == std::wstring::npos) {
        ZV_FUZZ_CHECK((assigned == ZV::ZV_S_OK) == (bytes.result == ConversionResult::ok));
    }
    const std::string expected = bytes.bytes.substr(0, bytes.bytes.find('\0'));
    ZV_FUZZ_CHECK(std::string(narrow.GetData(), narrow.GetLength()) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckUtf8Input(data, size);
    CheckUtf16Input(data, size);
    return 0;
}
