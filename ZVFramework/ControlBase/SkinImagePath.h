#pragma once

#include "Utilities/Storage/StringT.h"

namespace ZV {

// The image name of a skin part: the image prefix followed by the file name. A prefix of "::" names resources,
// whose names match in any letter case anyway. Any other non-empty prefix is a skin folder; when it holds no file of
// exactly that name, the first file whose name matches in another letter case is taken, if there is one, since skins
// are written for file systems that ignore letter case.
WideString ResolveSkinImagePath(const WideString& prefix, const WideString& fileName);

}  // namespace ZV
