#pragma once

#include "Utilities/Graphics/PixelImage.h"

#include <memory>

namespace ZV {

// The program's icon for the desktop: the embedded resource 128 of type "ICON", a PNG. Null when the program
// embeds none or it does not decode; a window then keeps the desktop's default picture.
std::unique_ptr<PixelImage> GetApplicationIcon();

}  // namespace ZV
