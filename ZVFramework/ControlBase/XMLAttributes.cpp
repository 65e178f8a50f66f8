#include "ControlBase/XMLAttributes.h"

#include "ControlBase/SkinValueSyntax.h"

#include <algorithm>
#include <cstddef>

namespace ZV {

namespace {

// Reads the attribute through the syntax when it is present.
template <class Value, class Syntax>
bool Read(const char* text, Value& value, Syntax syntax)
{
    if (text == nullptr) {
        return false;
    }
    value = syntax(text);
    return true;
}

}  // namespace

// Most values are ASCII, which widens unit for unit: they are widened straight into the string's buffer, without
// the general conversion's scratch buffer.
WideString XMLAttributes::ConvertString(const char* text)
{
    std::size_t length = 0;
    for (; text[length] != 0; ++length) {
        if (static_cast<unsigned char>(text[length]) >= 0x80) {
            return WideString(text);
        }
    }
    return WideString::Build(length, [&](wchar_t* wide) {
        std::copy_n(reinterpret_cast<const unsigned char*>(text), length, wide);
    });
}

bool XMLAttributes::GetStringAttribute(const char* name, WideString& value) const
{
    const char* text = GetUTF8Attribute(name);
    if (text == nullptr) {
        return false;
    }
    ConvertString(text, value);
    return true;
}

bool XMLAttributes::GetBoolAttribute(const char* name, bool& value) const
{
    return Read(GetUTF8Attribute(name), value, &SkinValueSyntax::ParseFlag);
}

bool XMLAttributes::GetFloatAttribute(const char* name, float& value) const
{
    return Read(GetUTF8Attribute(name), value, &SkinValueSyntax::ParseFloat);
}

bool XMLAttributes::GetIntAttribute(const char* name, std::int32_t& value) const
{
    return Read(GetUTF8Attribute(name), value, &SkinValueSyntax::ParseInteger);
}

bool XMLAttributes::GetPlainIntAttribute(const char* name, std::int32_t& value) const
{
    return Read(GetUTF8Attribute(name), value, &SkinValueSyntax::ParsePlainInteger);
}

bool XMLAttributes::GetColorAttribute(const char* name, LColor& value) const
{
    return Read(GetUTF8Attribute(name), value, &SkinValueSyntax::ParseColor);
}

}  // namespace ZV
