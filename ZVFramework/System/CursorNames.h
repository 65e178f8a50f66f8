#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstddef>

namespace ZV {

inline constexpr std::size_t kCursorNameCount = 23;

// The names by which skins and controls ask for cursors, in the order of the cursor table ("UI_CURSOR_ARROW" comes
// first and again last). Made on first use and destroyed at exit.
const WideString* GetCursorNames();

}  // namespace ZV
