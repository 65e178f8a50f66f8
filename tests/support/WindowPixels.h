#pragma once

#include <cstdint>
#include <vector>

namespace ZV::Platform {
struct NativeWindow;
}  // namespace ZV::Platform

namespace ZV::Testing {

// The window's pixels in the rectangle as the server has them (XGetImage), 0x00RRGGBB, rows from the top.
std::vector<std::uint32_t> ReadWindowPixels(const Platform::NativeWindow& window, int x, int y, int width,
                                            int height);
// The serial number the window's connection gives its next request: unchanged while nothing is sent.
unsigned long NextRequestSerial(const Platform::NativeWindow& window);
// Returns when the server has carried out every request sent on the window's connection.
void WaitForServer(const Platform::NativeWindow& window);

}  // namespace ZV::Testing
