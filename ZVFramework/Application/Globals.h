#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <string>

// The process-wide values built before the program's main function runs (see Globals.cpp for the order).
namespace ZV {

extern const WideString gOneSpace;
extern const NarrowString gEmptyNarrowString;
// Passed wherever an empty folder or name is meant.
extern const WideString gEmptyString;
extern const std::string gBase64Alphabet;
extern const WideString gApplicationCenterName;
// Label texts are split into lines at it.
extern const WideString gLineSeparator;

inline constexpr std::size_t kCursorNameCount = 23;
// The names by which skins and controls ask for cursors, in the order of the cursor table.
extern const WideString gCursorNames[kCursorNameCount];

}  // namespace ZV
