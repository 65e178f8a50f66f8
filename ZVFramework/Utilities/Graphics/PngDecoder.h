#pragma once

#include "Utilities/Graphics/PixelImage.h"

#include <cstddef>
#include <memory>
#include <string>

namespace ZV {

// The image that the PNG bytes hold, interlaced or not, in straight 0xAARRGGBB pixels: each sample as the file holds
// it (16-bit ones cut to 8 bits) unless a gAMA chunk gives the samples another meaning. Null, with the reason, for
// bytes that are not a whole, sound PNG or that hold an image larger than PixelImage makes.
std::unique_ptr<PixelImage> DecodePng(const void* data, std::size_t size, std::string& reason);

}  // namespace ZV
