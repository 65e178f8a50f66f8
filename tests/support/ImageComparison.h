#pragma once

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ZV::Testing {

// Pixels as Cairo keeps them: 0xAARRGGBB, premultiplied, rows from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A copy of an image surface's pixels.
Image ReadSurface(cairo_surface_t* surface);
// False when the file is missing or not a PNG.
bool ReadPng(const std::string& path, Image& image);
bool WritePng(const std::string& path, const Image& image);

struct ImageDifference {
    // Pixels with a channel that differs by more than the tolerance; every pixel when the sizes differ.
    int differingPixels = 0;
    // The largest difference of one channel, 256 when the sizes differ.
    int largestDifference = 0;
};

ImageDifference CompareImages(const Image& actual, const Image& expected, int tolerance);
// White where the pixels agree within the tolerance, red where they do not.
Image DiffImage(const Image& actual, const Image& expected, int tolerance);

// Whether the image matches the golden PNG of that name (tests/data/Golden) with at most that many pixels
// differing by more than the tolerance. On failure the actual, expected and diff images are written to the test
// output folder. With ZV_UPDATE_GOLDEN_IMAGES=1 in the environment the golden is written from the image instead
// (tests/data/make-golden-images.sh).
::testing::AssertionResult MatchesGoldenImage(const Image& actual, const std::string& name, int tolerance,
                                              int maxDifferingPixels);

}  // namespace ZV::Testing
