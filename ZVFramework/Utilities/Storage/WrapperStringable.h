#pragma once

#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

inline StringT<wchar_t, char> StringToString(const StringT<wchar_t, char>& text)
{
    return text;
}

// A value that is also a counted, taggable object (a string as a control's tag or as clipboard text).
template <class Value, StringT<wchar_t, char> (*ValueToString)(const Value&), class Base>
class LWrapperStringable : public Value, public virtual Base {
public:
    explicit LWrapperStringable(const Value& value) : Value(value) {}

    static RCPtr<LWrapperStringable> Create(const Value& value)
    {
        return RCPtr<LWrapperStringable>(new LWrapperStringable(value));
    }

    StringT<wchar_t, char> ToString() const override { return ValueToString(*this); }
};

using LStringWrapper = LWrapperStringable<StringT<wchar_t, char>, &StringToString, LTaggableObject>;

}  // namespace ZV
