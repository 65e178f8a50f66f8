#include "ControlBase/XMLAttributes.h"

#include "ControlBase/SkinValueSyntax.h"

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

// Attribute names are short and mostly differ in their first bytes, where a library call costs more than the
// comparison.
bool IsSameName(const char* name, const char* other)
{
    while (*name == *other) {
        if (*name == 0) {
            return true;
        }
        ++name;
        ++other;
    }
    return false;
}

WideString ParseString(const char* text)
{
    return WideString(text);
}

}  // namespace

const char* XMLAttributes::GetUTF8Attribute(const char* name) const
{
    for (const char* const* pair = mPairs; pair[0] != nullptr; pair += 2) {
        if (IsSameName(pair[0], name)) {
            return pair[1];
        }
    }
    return nullptr;
}

bool XMLAttributes::GetStringAttribute(const char* name, WideString& value) const
{
    return Read(GetUTF8Attribute(name), value, &ParseString);
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
