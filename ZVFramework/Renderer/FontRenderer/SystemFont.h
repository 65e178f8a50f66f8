#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The desktop's font for small interface text: fontconfig's choice for "sans-serif", 9 points, regular. 0, or
// ZV_E_FAIL when fontconfig has none.
[[nodiscard]] ZVRESULT QuerySystemFont(WideString& faceName, float& size, std::int32_t& style);

}  // namespace ZV
