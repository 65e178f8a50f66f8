#pragma once

#include "ObjectBase/ResultCodes.h"

namespace ZV {

class LControlFactory;

// Registers the skin class names of the framework's controls ("Framework.Button", "Framework.Label", ...) with the
// factory. 0, or the first registration's failure.
[[nodiscard]] ZVRESULT RegisterFrameworkControlClasses(LControlFactory& factory);

}  // namespace ZV
