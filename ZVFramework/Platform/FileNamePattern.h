#pragma once

#include <string>
#include <string_view>

namespace ZV::Platform {

// Whether a file name matches a wildcard pattern the way the original platform's folder search matches it: '*' stands
// for any run of characters, '?' for exactly one, and letters match in either case (Unicode case mapping). A pattern
// that ends in ".*" also matches the name without that extension, so "*.*" matches every name. Both are UTF-8; a
// byte that is not valid UTF-8 counts as a character of its own.
bool MatchesFileNamePattern(std::string_view name, std::string_view pattern);

// The name's characters with letters in one case, by which names that differ only in case compare equal.
std::u32string FoldFileNameCase(std::string_view name);

}  // namespace ZV::Platform
