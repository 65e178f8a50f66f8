#pragma once

#include <cstddef>

// Lenient UTF-8 <-> UTF-16 conversion in the manner of the Unicode Consortium's reference converter. Wide text holds
// one UTF-16 code unit per wchar_t. Both functions advance the pointers past what they converted, so after a failure
// the text converted before the fault is in the target.
namespace ZV::UTF {

enum class ConversionResult {
    ok,
    // The input ends inside a sequence (or with a high surrogate).
    sourceExhausted,
    targetExhausted,
    // A sequence that the legality check rejects: overlong forms, bad continuation bytes, lead bytes C0, C1 and
    // F5-FF, encoded surrogates, values above 10FFFF.
    sourceIllegal,
};

ConversionResult ConvertUTF8ToUTF16(const unsigned char*& source, const unsigned char* sourceEnd, wchar_t*& target,
                                    wchar_t* targetEnd);

// Valid surrogate pairs become one 4-byte sequence; an unpaired surrogate is written as the 3-byte form of its own
// value.
ConversionResult ConvertUTF16ToUTF8(const wchar_t*& source, const wchar_t* sourceEnd, unsigned char*& target,
                                    unsigned char* targetEnd);

}  // namespace ZV::UTF
