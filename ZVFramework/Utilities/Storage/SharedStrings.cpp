#include "Utilities/Storage/SharedStrings.h"

namespace ZV {

const WideString& GetOneSpace()
{
    static const WideString oneSpace(L' ');
    return oneSpace;
}

const NarrowString& GetEmptyNarrowString()
{
    static const NarrowString empty;
    return empty;
}

const WideString& GetEmptyString()
{
    static const WideString empty;
    return empty;
}

const std::string& GetBase64Alphabet()
{
    static const std::string alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    return alphabet;
}

const WideString& GetLineSeparator()
{
    static const WideString separator(L"\n");
    return separator;
}

}  // namespace ZV
