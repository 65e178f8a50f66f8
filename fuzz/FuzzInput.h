#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace ZV::Fuzz {

// Reads a fuzz input front to back as the values a target needs. Past the end every value is 0 and every text
// empty, so that any input is a whole case.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}

    std::uint8_t TakeByte() { return mPosition < mSize ? mData[mPosition++] : 0; }

    // Big-endian, as the bytes stand.
    template <class Unsigned>
    Unsigned Take()
    {
        static_assert(std::is_unsigned_v<Unsigned>);
        Unsigned value = 0;
        for (std::size_t index = 0; index < sizeof(Unsigned); ++index) {
            value = static_cast<Unsigned>(value << 8 | TakeByte());
        }
        return value;
    }

    // The bytes up to the next one of the value (which is passed over), or to the end.
    std::string TakeUntil(std::uint8_t end)
    {
        std::string bytes;
        while (mPosition < mSize && mData[mPosition] != end) {
            bytes += static_cast<char>(mData[mPosition++]);
        }
        if (mPosition < mSize) {
            ++mPosition;
        }
        return bytes;
    }

    std::string TakeRest()
    {
        std::string bytes(reinterpret_cast<const char*>(mData) + mPosition, mSize - mPosition);
        mPosition = mSize;
        return bytes;
    }

    bool IsEmpty() const { return mPosition >= mSize; }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
    std::size_t mPosition = 0;
};

// Wide text from bytes: each byte is one unit (Latin-1), except that 0xFF and the two bytes after it (big-endian) are
// any one UTF-16 unit. ASCII stays as readable to the fuzzer as it is to a person, and every unit can be reached.
inline std::wstring WideTextOf(const std::string& bytes)
{
    std::wstring text;
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        const auto byte = static_cast<std::uint8_t>(bytes[index]);
        if (byte != 0xFF) {
            text += static_cast<wchar_t>(byte);
            continue;
        }
        const auto high = index + 1 < bytes.size() ? static_cast<std::uint8_t>(bytes[index + 1]) : 0;
        const auto low = index + 2 < bytes.size() ? static_cast<std::uint8_t>(bytes[index + 2]) : 0;
        text += static_cast<wchar_t>(high << 8 | low);
        index += 2;
    }
    return text;
}

}  // namespace ZV::Fuzz
