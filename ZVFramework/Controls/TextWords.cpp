#include "Controls/TextWords.h"

#include "Platform/TextLocale.h"

#include <algorithm>

namespace ZV {

namespace {

bool IsSpaceAt(const WideString& text, std::int32_t index)
{
    return Platform::IsSpaceUnit(text.GetData()[index]);
}

std::int32_t LengthOf(const WideString& text)
{
    return static_cast<std::int32_t>(text.GetLength());
}

}  // namespace

std::int32_t FindNextWordStart(const WideString& text, std::int32_t position)
{
    const std::int32_t length = LengthOf(text);
    std::int32_t index = std::clamp(position, 0, length);
    while (index < length && IsSpaceAt(text, index)) {
        ++index;
    }
    while (index < length && !IsSpaceAt(text, index)) {
        ++index;
    }
    while (index < length && IsSpaceAt(text, index)) {
        ++index;
    }
    return index;
}

std::int32_t FindPreviousWordStart(const WideString& text, std::int32_t position)
{
    std::int32_t index = std::clamp(position, 0, LengthOf(text));
    while (index > 0 && IsSpaceAt(text, index - 1)) {
        --index;
    }
    while (index > 0 && !IsSpaceAt(text, index - 1)) {
        --index;
    }
    return index;
}

bool IsWordStart(const WideString& text, std::int32_t position)
{
    return position >= 0 && position < LengthOf(text) && !IsSpaceAt(text, position) &&
           (position == 0 || IsSpaceAt(text, position - 1));
}

}  // namespace ZV
