#include "Utilities/Storage/StringT.h"

#include "ObjectBase/Exception.h"
#include "Platform/TextLocale.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/UTFConversion.h"
#include "Utilities/Storage/WideFormatter.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <functional>

namespace ZV {

namespace {

template <class CharT>
std::size_t BoundedLength(const CharT* text, std::size_t maxLength)
{
    std::size_t length = 0;
    while (length < maxLength && text[length] != 0) {
        ++length;
    }
    return length;
}

template <class CharT>
bool Contains(const CharT* set, CharT character)
{
    for (; *set != 0; ++set) {
        if (*set == character) {
            return true;
        }
    }
    return false;
}

template <class CharT>
CharT UpperCase(CharT character)
{
    if constexpr (std::is_same_v<CharT, wchar_t>) {
        return Platform::ToUpperUnit(character);
    } else {
        return character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A') : character;
    }
}

template <class CharT>
CharT LowerCase(CharT character)
{
    if constexpr (std::is_same_v<CharT, wchar_t>) {
        return Platform::ToLowerUnit(character);
    } else {
        return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
    }
}

// The room a string that starts a buffer of its own by appending gets beyond its text: as much as a string buffer
// keeps on shrinking, so that the buffer keeps it.
constexpr std::uint32_t kAppendRoom = 128;

[[noreturn]] void ThrowOutOfMemory()
{
    ZV_THROW_OUT_OF_MEMORY();
}

// A new string buffer of the given size, in a block with room for the reserve where the buffer keeps it; it throws
// when the memory cannot be had.
RCPtr<StringBuffer> NewStringBuffer(std::uint64_t bytes, bool zeroFill, std::uint32_t reserve = 0)
{
    if (bytes > UINT32_MAX) {
        ThrowOutOfMemory();
    }
    RCPtr<StringBuffer> buffer(StringBuffer::New(static_cast<std::uint32_t>(bytes), reserve, zeroFill), kNewObject);
    if (buffer->GetSize() != bytes) {
        ThrowOutOfMemory();
    }
    return buffer;
}

}  // namespace

template <class CharT, class OtherCharT>
const RCPtr<StringBuffer>& StringT<CharT, OtherCharT>::EmptyBuffer()
{
    // Never destroyed: strings made or dropped by threads that outlive main still share it.
    static const RCPtr<StringBuffer>& empty = *new RCPtr<StringBuffer>(CreateBuffer(1));
    return empty;
}

template <class CharT, class OtherCharT>
RCPtr<StringBuffer> StringT<CharT, OtherCharT>::CreateBuffer(std::uint64_t characters)
{
    return NewStringBuffer(characters * sizeof(CharT), true);
}

template <class CharT, class OtherCharT>
RCPtr<StringBuffer> StringT<CharT, OtherCharT>::CreateBufferWith(const CharT* text, std::uint32_t length)
{
    RCPtr<StringBuffer> buffer = NewStringBuffer((static_cast<std::uint64_t>(length) + 1) * sizeof(CharT), false);
    auto* data = static_cast<CharT*>(buffer->GetData());
    std::memcpy(data, text, length * sizeof(CharT));
    data[length] = 0;
    return buffer;
}

template <class CharT, class OtherCharT>
RCPtr<StringBuffer> StringT<CharT, OtherCharT>::CreateBufferEndedAt(std::uint64_t length)
{
    if (length >= UINT32_MAX) {
        ThrowOutOfMemory();
    }
    RCPtr<StringBuffer> buffer = NewStringBuffer((length + 1) * sizeof(CharT), false);
    static_cast<CharT*>(buffer->GetData())[length] = 0;
    return buffer;
}

template <class CharT, class OtherCharT>
RCPtr<StringBuffer> StringT<CharT, OtherCharT>::BufferHolding(const CharT* text, std::uint32_t length)
{
    return length == 0 ? EmptyBuffer() : CreateBufferWith(text, length);
}

template <class CharT, class OtherCharT>
const CharT* StringT<CharT, OtherCharT>::DefaultTrimSet()
{
    static constexpr CharT set[] = {CharT(' '), CharT('\t'), CharT('\r'), CharT('\n'), CharT(0)};
    return set;
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>::StringT() : mBuffer(EmptyBuffer())
{
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>::StringT(CharT character)
    : mBuffer(character != 0 ? CreateBufferWith(&character, 1) : CreateBuffer(1))
{
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>::StringT(const CharT* text) : mBuffer(EmptyBuffer())
{
    Assign(text, kWholeText);
}

template <class CharT, class OtherCharT>
template <class C>
StringT<CharT, OtherCharT>::StringT(const char* utf8Text)
    requires(std::is_same_v<C, wchar_t>)
    : mBuffer(EmptyBuffer())
{
    (void)AssignFromUTF8(utf8Text, -1);
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>::StringT(const OtherString& other) : mBuffer(EmptyBuffer())
{
    if constexpr (kWide) {
        (void)AssignFromUTF8(other.GetData(), -1);
    } else {
        (void)AssignFromWide(other.GetData(), -1);
    }
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>::StringT(const StringT& other)
    : mBuffer(other.IsLocked() ? BufferHolding(other.GetData(), other.GetLength()) : other.mBuffer)
{
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>::StringT(StringT&& other)
    : mBuffer(other.IsLocked() ? BufferHolding(other.GetData(), other.GetLength())
                               : std::exchange(other.mBuffer, EmptyBuffer()))
{
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>& StringT<CharT, OtherCharT>::operator=(StringT&& other)
{
    if (IsLocked() || other.IsLocked()) {
        return *this = other;
    }
    std::swap(mBuffer, other.mBuffer);
    return *this;
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>& StringT<CharT, OtherCharT>::operator=(const StringT& other)
{
    if (this == &other) {
        return *this;
    }
    if (IsLocked()) {
        Assign(other.GetData(), other.GetLength());
    } else if (mBuffer != other.mBuffer) {
        // A locked source gives only its characters, so this string stays exactly as long as its text.
        mBuffer = other.IsLocked() ? BufferHolding(other.GetData(), other.GetLength()) : other.mBuffer;
    }
    return *this;
}

template <class CharT, class OtherCharT>
void StringT<CharT, OtherCharT>::Assign(const CharT* text, std::uint32_t maxLength)
{
    if (text == nullptr || text[0] == 0 || maxLength == 0) {
        Empty();
        return;
    }
    const auto length = static_cast<std::uint32_t>(BoundedLength(text, maxLength));
    if (IsLocked()) {
        // The locked room is all there is: a longer text is cut to fit, so the writer's pointer stays valid.
        const std::uint32_t copied = std::min(length, SizeInCharacters() - 1);
        std::memmove(WritableData(), text, copied * sizeof(CharT));
        WritableData()[copied] = 0;
        return;
    }
    mBuffer = CreateBufferWith(text, length);
}

template <class CharT, class OtherCharT>
template <class C>
void StringT<CharT, OtherCharT>::Assign(const char* utf8Text, std::uint32_t maxLength)
    requires(std::is_same_v<C, wchar_t>)
{
    OtherString narrow;
    narrow.Assign(utf8Text, maxLength);
    StringT converted;
    (void)converted.AssignFromUTF8(narrow.GetData(), -1);
    if (IsLocked()) {
        Assign(converted.GetData(), kWholeText);
    } else {
        mBuffer = converted.mBuffer;
    }
}

template <class CharT, class OtherCharT>
void StringT<CharT, OtherCharT>::SettleBuffer(std::uint32_t length)
{
    if (length == 0) {
        mBuffer = EmptyBuffer();
        return;
    }
    const std::uint32_t bytes = (length + 1) * sizeof(CharT);
    if (mBuffer->Resize(bytes) != bytes) {
        mBuffer = CreateBufferWith(GetData(), length);
    }
}

template <class CharT, class OtherCharT>
template <class C>
ZVRESULT StringT<CharT, OtherCharT>::AssignFromUTF8(const char* text, int length)
    requires(std::is_same_v<C, wchar_t>)
{
    if (text == nullptr || length == 0 || text[0] == 0) {
        mBuffer = EmptyBuffer();
        return ZV_S_OK;
    }
    const std::size_t byteCount = length < 0 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
    const std::uint64_t capacity = static_cast<std::uint64_t>(byteCount) + 1;
    mBuffer = CreateBuffer(capacity);
    const auto* source = reinterpret_cast<const unsigned char*>(text);
    wchar_t* target = WritableData();
    const UTF::ConversionResult result = UTF::ConvertUTF8ToUTF16(source, source + byteCount, target, target + capacity);
    WritableData()[capacity - 1] = 0;
    SettleBuffer(static_cast<std::uint32_t>(BoundedLength(GetData(), capacity)));
    return result == UTF::ConversionResult::ok ? ZV_S_OK : ZV_E_FAIL;
}

template <class CharT, class OtherCharT>
template <class C>
ZVRESULT StringT<CharT, OtherCharT>::AssignFromWide(const wchar_t* text, int length)
    requires(!std::is_same_v<C, wchar_t>)
{
    if (text == nullptr || length == 0 || text[0] == 0) {
        mBuffer = EmptyBuffer();
        return ZV_S_OK;
    }
    const std::size_t unitCount = length < 0 ? std::wcslen(text) + 1 : static_cast<std::size_t>(length);
    const std::uint64_t capacity = static_cast<std::uint64_t>(unitCount) * 4 + 1;
    mBuffer = CreateBuffer(capacity);
    const wchar_t* source = text;
    auto* target = reinterpret_cast<unsigned char*>(WritableData());
    const UTF::ConversionResult result = UTF::ConvertUTF16ToUTF8(source, source + unitCount, target, target + capacity);
    WritableData()[capacity - 1] = 0;
    SettleBuffer(static_cast<std::uint32_t>(std::strlen(GetData())));
    return result == UTF::ConversionResult::ok ? ZV_S_OK : ZV_E_FAIL;
}

template <class CharT, class OtherCharT>
void StringT<CharT, OtherCharT>::Empty()
{
    if (IsLocked()) {
        WritableData()[0] = 0;
    } else {
        mBuffer = EmptyBuffer();
    }
}

template <class CharT, class OtherCharT>
std::uint32_t StringT<CharT, OtherCharT>::LockedLength() const
{
    return static_cast<std::uint32_t>(BoundedLength(GetData(), SizeInCharacters()));
}

template <class CharT, class OtherCharT>
CharT* StringT<CharT, OtherCharT>::Lock(std::uint32_t capacity)
{
    if (IsLocked()) {
        return nullptr;
    }
    if (capacity == 0) {
        capacity = GetLength() + 1;
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(capacity) * sizeof(CharT);
    if (bytes > UINT32_MAX) {
        ThrowOutOfMemory();
    }
    if (mBuffer->GetRefCount() > 1) {
        RCPtr<LIBuffer> copy;
        mBuffer->CreateResizedCopy(copy, static_cast<std::uint32_t>(bytes), 0);
        if (!copy) {
            ZV_THROW_IN(JoinTemplateName("ZV::StringT", TypeName<CharT>() + "," + TypeName<OtherCharT>()) + "::Lock",
                        std::runtime_error, "");
        }
        // A resized copy is of the same buffer class.
        mBuffer = static_cast<StringBuffer*>(copy.Get());
    }
    mBuffer->SetUnshareable(true);
    if (mBuffer->Resize(static_cast<std::uint32_t>(bytes)) != bytes) {
        mBuffer->SetUnshareable(false);
        ThrowOutOfMemory();
    }
    WritableData()[capacity - 1] = 0;
    return WritableData();
}

template <class CharT, class OtherCharT>
ZVRESULT StringT<CharT, OtherCharT>::Unlock()
{
    if (!IsLocked()) {
        return ZV_S_FALSE;
    }
    const std::uint32_t length = GetLength();
    mBuffer->SetUnshareable(false);
    SettleBuffer(length);
    return ZV_S_OK;
}

template <class CharT, class OtherCharT>
void StringT<CharT, OtherCharT>::AppendBeyondBlock(const CharT* text, std::uint32_t count)
{
    if (count == 0) {
        return;
    }
    const std::uint32_t length = GetLength();
    const std::uint64_t total = static_cast<std::uint64_t>(length) + count + 1;
    if (total * sizeof(CharT) > UINT32_MAX) {
        ThrowOutOfMemory();
    }
    const auto bytes = static_cast<std::uint32_t>(total * sizeof(CharT));
    const bool locked = IsLocked();
    if (!locked && mBuffer->GetRefCount() > 1) {
        // Others see this buffer (the empty one always): the joined text goes into a buffer of this string's own,
        // with room for the appends that usually follow.
        RCPtr<StringBuffer> joined = NewStringBuffer(bytes, false, bytes + kAppendRoom);
        auto* data = static_cast<CharT*>(joined->GetData());
        std::memcpy(data, GetData(), length * sizeof(CharT));
        std::memcpy(data + length, text, count * sizeof(CharT));
        data[total - 1] = 0;
        mBuffer = std::move(joined);
        return;
    }
    const std::less<const void*> before;
    if (!before(text, mBuffer->GetData()) && before(text, GetData() + SizeInCharacters())) {
        // Growing may move the block that the text lies in.
        const RCPtr<StringBuffer> held = CreateBufferWith(text, count);
        AppendBeyondBlock(static_cast<const CharT*>(held->GetData()), count);
        return;
    }
    // A locked buffer is exactly as large as asked for, since its writer sees its room; a shareable one grows in
    // place with room to spare, so that a run of appends costs amortised constant time. Its size, and so its
    // length, is still exactly its text and the NUL.
    const std::uint32_t resized = locked ? mBuffer->Resize(bytes) : mBuffer->ResizeAmortised(bytes);
    if (resized != bytes) {
        ThrowOutOfMemory();
    }
    CharT* data = WritableData();
    std::memcpy(data + length, text, count * sizeof(CharT));
    data[total - 1] = 0;
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::operator+(const StringT& other) const
{
    StringT result(*this);
    result += other;
    return result;
}

template <class CharT, class OtherCharT>
ZVRESULT StringT<CharT, OtherCharT>::InsertChars(std::uint32_t index, const CharT* text, std::uint32_t count)
{
    if (index > GetLength()) {
        return ZV_E_INVALIDARG;
    }
    StringT inserted;
    inserted.Assign(text, count < kWholeText ? count : kWholeText);
    return Insert(index, inserted);
}

template <class CharT, class OtherCharT>
ZVRESULT StringT<CharT, OtherCharT>::Insert(std::uint32_t index, const StringT& text)
{
    const std::uint32_t length = GetLength();
    if (index > length) {
        return ZV_E_INVALIDARG;
    }
    if (index == length) {
        *this += text;
    } else if (index == 0) {
        *this = text + *this;
    } else {
        *this = Left(index) + text + MidToEnd(static_cast<int>(index));
    }
    return ZV_S_OK;
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::Mid(int start, std::uint32_t count) const
{
    const std::int64_t length = GetLength();
    std::int64_t first = start;
    std::int64_t taken = count;
    if (first < 0) {
        first += length;
        if (first < 0) {
            taken += first;
            if (taken <= 0) {
                return StringT();
            }
            first = 0;
        }
    }
    if (first >= length || taken == 0) {
        return StringT();
    }
    taken = std::min(taken, length - first);
    return StringT(CreateBufferWith(GetData() + first, static_cast<std::uint32_t>(taken)));
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::MidToEnd(int start) const
{
    const std::int64_t count = static_cast<std::int64_t>(GetLength()) - start;
    return count <= 0 ? StringT() : Mid(start, static_cast<std::uint32_t>(count));
}

template <class CharT, class OtherCharT>
int StringT<CharT, OtherCharT>::Find(const StringT& text, int start) const
{
    const std::size_t from = start < 0 ? 0 : static_cast<std::size_t>(start);
    const std::size_t position = View().find(text.View(), from);
    return position == std::basic_string_view<CharT>::npos ? -1 : static_cast<int>(position);
}

template <class CharT, class OtherCharT>
int StringT<CharT, OtherCharT>::ReverseFind(CharT character) const
{
    const std::size_t position = View().rfind(character);
    return position == std::basic_string_view<CharT>::npos ? -1 : static_cast<int>(position);
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::MapCharacters(CharT (*map)(CharT)) const
{
    const std::uint32_t length = GetLength();
    if (length == 0) {
        return StringT();
    }
    StringT result;
    result.mBuffer = CreateBufferWith(GetData(), length);
    CharT* data = result.WritableData();
    for (std::uint32_t i = 0; i < length; ++i) {
        data[i] = map(data[i]);
    }
    return result;
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::ToUpper() const
{
    return MapCharacters(&UpperCase<CharT>);
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::ToLower() const
{
    return MapCharacters(&LowerCase<CharT>);
}

template <class CharT, class OtherCharT>
bool StringT<CharT, OtherCharT>::EqualsNoCase(const StringT& other) const
{
    if (mBuffer == other.mBuffer) {
        return true;
    }
    const std::basic_string_view<CharT> text = View();
    const std::basic_string_view<CharT> otherText = other.View();
    return text.size() == otherText.size() &&
           std::equal(text.begin(), text.end(), otherText.begin(),
                      [](CharT a, CharT b) { return LowerCase(a) == LowerCase(b); });
}

template <class CharT, class OtherCharT>
StringArrayT<CharT, OtherCharT> StringT<CharT, OtherCharT>::Split(const CharT* separators, int maxCount) const
{
    StringArrayT<CharT, OtherCharT> parts;
    const std::basic_string_view<CharT> text = View();
    const std::basic_string_view<CharT> separatorSet =
        separators == nullptr ? std::basic_string_view<CharT>() : std::basic_string_view<CharT>(separators);
    std::size_t start = 0;
    while (true) {
        const bool lastAllowed = maxCount > 0 && parts.GetCount() + 1 >= static_cast<std::uint32_t>(maxCount);
        const std::size_t separator =
            lastAllowed ? std::basic_string_view<CharT>::npos : text.find_first_of(separatorSet, start);
        if (separator == std::basic_string_view<CharT>::npos) {
            if (start < text.size() || parts.GetCount() == 0) {
                ZV_THROW_IF_FAILED(parts.AddItem(MidToEnd(static_cast<int>(start))));
            }
            return parts;
        }
        ZV_THROW_IF_FAILED(parts.AddItem(Mid(static_cast<int>(start), static_cast<std::uint32_t>(separator - start))));
        start = separator + 1;
    }
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::TrimLeftChars(const CharT* set) const
{
    const std::basic_string_view<CharT> text = View();
    std::size_t skipped = 0;
    while (skipped < text.size() && Contains(set, text[skipped])) {
        ++skipped;
    }
    // A text made only of characters of the set comes back unchanged.
    if (skipped == text.size()) {
        return *this;
    }
    return MidToEnd(static_cast<int>(skipped));
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::TrimRightChars(const CharT* set) const
{
    const std::basic_string_view<CharT> text = View();
    std::size_t kept = text.size();
    while (kept > 0 && Contains(set, text[kept - 1])) {
        --kept;
    }
    return kept == text.size() ? *this : Left(static_cast<std::uint32_t>(kept));
}

template <class CharT, class OtherCharT>
StringT<CharT, OtherCharT>& StringT<CharT, OtherCharT>::ReplaceAnyOf(const CharT* set, CharT replacement)
{
    const std::uint32_t length = GetLength();
    if (replacement == 0 || set == nullptr || length == 0) {
        return *this;
    }
    StringT replaced;
    replaced.mBuffer = CreateBufferWith(GetData(), length);
    CharT* data = replaced.WritableData();
    for (std::uint32_t i = 0; i < length; ++i) {
        if (Contains(set, data[i])) {
            data[i] = replacement;
        }
    }
    Assign(replaced.GetData(), kWholeText);
    return *this;
}

template <class CharT, class OtherCharT>
template <class C>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::Format(const wchar_t* format, ...)
    requires(std::is_same_v<C, wchar_t>)
{
    WideFormatter formatter;
    va_list arguments;
    va_start(arguments, format);
    formatter.FormatV(format, arguments);
    va_end(arguments);
    StringT result;
    result.Assign(formatter.GetText(), static_cast<std::uint32_t>(formatter.GetLength()));
    return result;
}

template <class CharT, class OtherCharT>
template <class C>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::FromFixedPointInt(int value, int digits)
    requires(std::is_same_v<C, wchar_t>)
{
    if (digits < 1) {
        return Format(L"%d", value);
    }
    // The sign stands before the point, not among the padded digits.
    const long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    StringT text = Format(L"%lld", magnitude);
    while (text.GetLength() < static_cast<std::uint32_t>(digits)) {
        text = StringT(L"0") + text;
    }
    const int integerDigits = static_cast<int>(text.GetLength()) - digits;
    const StringT sign(value < 0 ? L"-" : L"");
    return sign + text.Left(static_cast<std::uint32_t>(integerDigits)) + StringT(L".") + text.MidToEnd(integerDigits);
}

template <class CharT, class OtherCharT>
template <class C>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::FromFixedPointLong(zlong value, int digits)
    requires(std::is_same_v<C, wchar_t>)
{
    return FromFixedPointInt(value, digits);
}

template <class CharT, class OtherCharT>
template <class C>
StringT<CharT, OtherCharT> StringT<CharT, OtherCharT>::FromDouble(double value, int decimals)
    requires(std::is_same_v<C, wchar_t>)
{
    if (decimals >= 0) {
        const StringT format = Format(L"%%.%dlf", decimals);
        return Format(format.GetData(), value);
    }
    return Format(L"%lf", value);
}

template <class CharT, class OtherCharT>
template <class C>
typename StringT<CharT, OtherCharT>::OtherString StringT<CharT, OtherCharT>::ToUTF8() const
    requires(std::is_same_v<C, wchar_t>)
{
    OtherString utf8;
    (void)utf8.AssignFromWide(GetData(), -1);
    return utf8;
}

template <class CharT, class OtherCharT>
bool StringT<CharT, OtherCharT>::operator==(const StringT& other) const
{
    return mBuffer == other.mBuffer || View() == other.View();
}

template <class CharT, class OtherCharT>
bool StringT<CharT, OtherCharT>::operator==(const CharT* text) const
{
    if (text == nullptr || text[0] == 0) {
        return IsEmpty();
    }
    return View() == std::basic_string_view<CharT>(text);
}

template <class CharT, class OtherCharT>
template <class C>
bool StringT<CharT, OtherCharT>::operator==(const char* utf8Text) const
    requires(std::is_same_v<C, wchar_t>)
{
    return *this == StringT(utf8Text);
}

template <class CharT, class OtherCharT>
bool StringT<CharT, OtherCharT>::operator<(const StringT& other) const
{
    return mBuffer != other.mBuffer && View() < other.View();
}

template class StringT<wchar_t, char>;
template class StringT<char, wchar_t>;
// The operations of one kind of string only are member templates, so that the classes above do not make them for the
// other kind; they are made here for theirs.
template StringT<wchar_t, char>::StringT(const char*);
template void StringT<wchar_t, char>::Assign(const char*, std::uint32_t);
template ZVRESULT StringT<wchar_t, char>::AssignFromUTF8(const char*, int);
template ZVRESULT StringT<char, wchar_t>::AssignFromWide(const wchar_t*, int);
template StringT<wchar_t, char> StringT<wchar_t, char>::Format(const wchar_t*, ...);
template StringT<wchar_t, char> StringT<wchar_t, char>::FromFixedPointInt(int, int);
template StringT<wchar_t, char> StringT<wchar_t, char>::FromFixedPointLong(zlong, int);
template StringT<wchar_t, char> StringT<wchar_t, char>::FromDouble(double, int);
template StringT<char, wchar_t> StringT<wchar_t, char>::ToUTF8() const;
template bool StringT<wchar_t, char>::operator==(const char*) const;

}  // namespace ZV
