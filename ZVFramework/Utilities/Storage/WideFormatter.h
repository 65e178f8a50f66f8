#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace ZV {

// printf-style formatting of wide text by the original platform's wide rules, whatever the C library says:
// %s and %ls take a wide (UTF-16) string, %S and %hs a UTF-8 char*, %c a wchar_t, %C and %hc a char; the l length
// on integers means 32 bits (ll and I64 mean 64); numbers always use '.' as the decimal point.
// The text is built in a 16384-character buffer on the stack and moves to the heap only when it grows past that,
// up to kMaxFormattedLength characters, where it is cut off; a number's width and precision count up to that length
// at most.
class WideFormatter {
public:
    static constexpr std::size_t kStackCapacity = 16384;
    static constexpr std::size_t kMaxFormattedLength = 1u << 20;

    WideFormatter() = default;
    WideFormatter(const WideFormatter&) = delete;
    WideFormatter& operator=(const WideFormatter&) = delete;
    ~WideFormatter();

    void FormatV(const wchar_t* format, va_list arguments);

    const wchar_t* GetText() const { return mText; }
    std::size_t GetLength() const { return mLength; }

private:
    void Append(wchar_t unit);
    void AppendRepeated(wchar_t unit, std::size_t count);
    void AppendAscii(const char* text, std::size_t length);
    bool Reserve(std::size_t extra);

    wchar_t mStackText[kStackCapacity];
    wchar_t* mText = mStackText;
    std::size_t mCapacity = kStackCapacity;
    std::size_t mLength = 0;

};

}  // namespace ZV
