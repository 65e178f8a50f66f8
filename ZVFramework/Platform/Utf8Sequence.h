#pragma once

#include <cstddef>
#include <string_view>

namespace ZV::Platform {

// The length of the UTF-8 sequence that starts at the index of the text, or 0 when none does: a stray continuation
// byte, a lead byte without its continuation bytes, an overlong form, a surrogate or a code point above U+10FFFF.
std::size_t GetUtf8SequenceLength(std::string_view text, std::size_t index);

}  // namespace ZV::Platform
