#pragma once

#include "Utilities/Storage/StringArrayT.h"

#include <optional>

namespace ZV {

// The folders whose font files the font catalogue reads: fontconfig's font directories (each folder it takes fonts
// from, sub-folders listed on their own), each once, sorted; or the folders that tests set in their place. A folder
// whose name is not valid UTF-8 is left out.
WideStringArray GetFontDirectories();

// Tests: the folders to use in place of fontconfig's; nullopt goes back to fontconfig's.
void OverrideFontDirectories(std::optional<WideStringArray> folders);

}  // namespace ZV
