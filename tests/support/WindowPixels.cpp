#include "support/WindowPixels.h"

#include "Platform/NativeWindow.h"

#include <X11/Xutil.h>

namespace ZV::Testing {

std::vector<std::uint32_t> ReadWindowPixels(const Platform::NativeWindow& window, int x, int y, int width, int height)
{
    std::vector<std::uint32_t> pixels;
    XImage* image = XGetImage(window.display, window.window, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return pixels;
    }
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<std::uint32_t>((pixel >> shift & mask) * 255 / (mask == 0 ? 1 : mask));
    };
    pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            pixels.push_back(channel(pixel, image->red_mask) << 16 | channel(pixel, image->green_mask) << 8 |
                             channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return pixels;
}

unsigned long NextRequestSerial(const Platform::NativeWindow& window)
{
    return XNextRequest(window.display);
}

void WaitForServer(const Platform::NativeWindow& window)
{
    XSync(window.display, False);
}

}  // namespace ZV::Testing
