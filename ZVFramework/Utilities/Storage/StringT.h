#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Buffer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <utility>

namespace ZV {

template <class CharT, class OtherCharT>
class StringArrayT;

// The framework's string: wide (UTF-16 code units, one per wchar_t) or narrow (UTF-8 bytes). The characters live in
// a counted buffer that copies share until one of them writes.
//
// A buffer is either shareable, holding exactly the characters and one NUL (so the length needs no scan), or locked
// by one writer between Lock and Unlock, when its size is the capacity asked for and the text ends at the first NUL.
// A shared buffer is never written; a string that alone holds its shareable buffer appends to it in place, in a
// block with room to spare so that building a string costs amortised constant time. A locked buffer is never
// shared.
template <class CharT, class OtherCharT>
class StringT {
    static constexpr bool kWide = std::is_same_v<CharT, wchar_t>;

public:
    using CharType = CharT;
    using OtherString = StringT<OtherCharT, CharT>;

    // Passed as a maximum length, it means the whole text.
    static constexpr std::uint32_t kWholeText = 0x7FFFFFFE;

    StringT();
    explicit StringT(CharT character);
    StringT(const CharT* text);
    template <class C = CharT>
    StringT(const char* utf8Text)
        requires(std::is_same_v<C, wchar_t>);
    StringT(const OtherString& other);
    StringT(const StringT& other);
    // Takes the other's buffer, leaving it empty; a locked other keeps its buffer and gives a copy of its text.
    StringT(StringT&& other);
    virtual ~StringT() = default;

    StringT& operator=(const StringT& other);
    // Trades buffers with the other, which then holds what this string held; a locked string on either side is
    // copied instead, so that its writer's room stays where it is.
    StringT& operator=(StringT&& other);

    void Assign(const CharT* text, std::uint32_t maxLength);
    template <class C = CharT>
    void Assign(const char* utf8Text, std::uint32_t maxLength)
        requires(std::is_same_v<C, wchar_t>);
    template <class C = CharT>
    [[nodiscard]] ZVRESULT AssignFromUTF8(const char* text, int length)
        requires(std::is_same_v<C, wchar_t>);
    template <class C = CharT>
    [[nodiscard]] ZVRESULT AssignFromWide(const wchar_t* text, int length)
        requires(!std::is_same_v<C, wchar_t>);

    void Empty();
    bool IsEmpty() const { return GetData()[0] == 0; }
    std::uint32_t GetLength() const { return IsLocked() ? LockedLength() : SizeInCharacters() - 1; }
    const CharT* GetData() const { return static_cast<const CharT*>(mBuffer->GetData()); }
    // How many strings (and other holders) share this string's buffer; for diagnostics.
    std::int32_t GetBufferReferenceCount() const { return mBuffer->GetRefCount(); }

    // Writable room for capacity - 1 characters and the NUL (0: the present length + 1); null when already locked.
    CharT* Lock(std::uint32_t capacity);
    // 1 when nothing was locked, else 0; the string is shareable again.
    [[nodiscard]] ZVRESULT Unlock();

    StringT& operator+=(const StringT& other)
    {
        Append(other.GetData(), other.GetLength());
        return *this;
    }
    StringT operator+(const StringT& other) const;
    // A NUL ends the one-character text before it begins: nothing is appended.
    void AppendChar(CharT character)
    {
        if (character == 0) {
            return;
        }
        CharT* end;
        if (GrowInOwnBlock(1, end)) {
            end[0] = character;
            end[1] = 0;
            return;
        }
        const CharT text[] = {character};
        AppendBeyondBlock(text, 1);
    }
    [[nodiscard]] ZVRESULT InsertChars(std::uint32_t index, const CharT* text, std::uint32_t count);
    [[nodiscard]] ZVRESULT Insert(std::uint32_t index, const StringT& text);

    StringT Mid(int start, std::uint32_t count) const;
    StringT Left(std::uint32_t count) const { return Mid(0, count); }
    StringT MidToEnd(int start) const;
    // The first index at or after start where the text begins, or -1.
    int Find(const StringT& text, int start = 0) const;
    // The index of the last occurrence of the character, or -1.
    int ReverseFind(CharT character) const;
    StringT ToUpper() const;
    StringT ToLower() const;
    // Equal letter for letter when both are lower-cased; the same buffer is equal at once.
    bool EqualsNoCase(const StringT& other) const;
    // The parts between any of the separators. Empty parts between separators are kept, a trailing separator
    // gives no empty last part, and a text without separators is one part. With maxCount above 0 the last part
    // holds the rest of the text, separators and all. (The result's type is in StringArrayT.h.)
    StringArrayT<CharT, OtherCharT> Split(const CharT* separators, int maxCount = -1) const;

    StringT Trim() const { return TrimLeft().TrimRight(); }
    StringT TrimLeft() const { return TrimLeftChars(DefaultTrimSet()); }
    StringT TrimRight() const { return TrimRightChars(DefaultTrimSet()); }
    StringT TrimLeftChars(const CharT* set) const;
    StringT TrimRightChars(const CharT* set) const;
    StringT& ReplaceAnyOf(const CharT* set, CharT replacement);

    // A string of length characters that write fills in, given the room for them: straight into the string's own
    // buffer, without a copy from elsewhere. It writes every one of them and no NUL; the NUL after them is there.
    template <class Write>
    static StringT Build(std::size_t length, Write write)
    {
        if (length == 0) {
            return StringT();
        }
        RCPtr<StringBuffer> buffer = CreateBufferEndedAt(length);
        write(static_cast<CharT*>(buffer->GetData()));
        return StringT(std::move(buffer));
    }

    template <class C = CharT>
    static StringT Format(const wchar_t* format, ...)
        requires(std::is_same_v<C, wchar_t>);
    template <class C = CharT>
    static StringT FromFixedPointInt(int value, int digits)
        requires(std::is_same_v<C, wchar_t>);
    template <class C = CharT>
    static StringT FromFixedPointLong(zlong value, int digits)
        requires(std::is_same_v<C, wchar_t>);
    template <class C = CharT>
    static StringT FromDouble(double value, int decimals)
        requires(std::is_same_v<C, wchar_t>);
    template <class C = CharT>
    OtherString ToUTF8() const
        requires(std::is_same_v<C, wchar_t>);

    bool operator==(const StringT& other) const;
    bool operator==(const CharT* text) const;
    template <class C = CharT>
    bool operator==(const char* utf8Text) const
        requires(std::is_same_v<C, wchar_t>);
    bool operator!=(const StringT& other) const { return !(*this == other); }
    bool operator!=(const char* text) const { return !(*this == text); }
    bool operator<(const StringT& other) const;

private:
    explicit StringT(RCPtr<StringBuffer> buffer) : mBuffer(std::move(buffer)) {}

    static const RCPtr<StringBuffer>& EmptyBuffer();
    // Zero-filled.
    static RCPtr<StringBuffer> CreateBuffer(std::uint64_t characters);
    // The characters and a NUL.
    static RCPtr<StringBuffer> CreateBufferWith(const CharT* text, std::uint32_t length);
    // Room for length characters, not filled, and a NUL after them.
    static RCPtr<StringBuffer> CreateBufferEndedAt(std::uint64_t length);
    // A shareable buffer with the text; the shared empty buffer for no text.
    static RCPtr<StringBuffer> BufferHolding(const CharT* text, std::uint32_t length);
    static const CharT* DefaultTrimSet();

    bool IsLocked() const { return !mBuffer->IsShareable(); }
    CharT* WritableData() const { return static_cast<CharT*>(mBuffer->GetData()); }
    std::uint32_t SizeInCharacters() const { return mBuffer->GetSize() / sizeof(CharT); }
    // The characters before the first NUL, within the locked room.
    std::uint32_t LockedLength() const;
    std::basic_string_view<CharT> View() const { return {GetData(), GetLength()}; }
    StringT MapCharacters(CharT (*map)(CharT)) const;
    // Appends count characters of the text, which may lie in this string's own buffer. The usual case of a string
    // being built costs no call.
    void Append(const CharT* text, std::uint32_t count)
    {
        CharT* end;
        if (GrowInOwnBlock(count, end)) {
            // The block did not move, so a text from this very string is still there to copy.
            std::memmove(end, text, count * sizeof(CharT));
            end[count] = 0;
            return;
        }
        AppendBeyondBlock(text, count);
    }
    // When only this string holds its shareable buffer and the block has room for count more characters: makes the
    // size count them (and the NUL after them), sets end to where they go and returns true; the caller writes them
    // and the NUL. False in every other case.
    bool GrowInOwnBlock(std::uint32_t count, CharT*& end)
    {
        StringBuffer& buffer = *mBuffer.Get();
        // The count first: its read orders every later read of the buffer after it, so the sizes are read once.
        if (buffer.GetRefCount() != 1 || !buffer.IsShareable()) {
            return false;
        }
        const std::uint32_t size = buffer.GetSize();
        const std::uint64_t grown = size + std::uint64_t{count} * sizeof(CharT);
        if (grown > buffer.GetCapacity()) {
            return false;
        }
        buffer.GrowWithinBlock(static_cast<std::uint32_t>(grown));
        end = reinterpret_cast<CharT*>(buffer.GetTypedData() + size) - 1;
        return true;
    }
    // Append for every other case: a locked or shared buffer, or a block too small.
    void AppendBeyondBlock(const CharT* text, std::uint32_t count);
    // Makes a shareable buffer exactly as long as its text again (an empty text takes the shared empty buffer).
    void SettleBuffer(std::uint32_t length);

    // The string buffer class itself, not its interface, so that the string's calls on it need no virtual dispatch.
    RCPtr<StringBuffer> mBuffer;
};

extern template class StringT<wchar_t, char>;
extern template class StringT<char, wchar_t>;

using WideString = StringT<wchar_t, char>;
using NarrowString = StringT<char, wchar_t>;

}  // namespace ZV
