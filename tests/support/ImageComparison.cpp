#include "support/ImageComparison.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace ZV::Testing {

namespace {

int ChannelDifference(std::uint32_t a, std::uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        largest =
            std::max(largest, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
    }
    return largest;
}

cairo_surface_t* ToSurface(const Image& image)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride,
                    &image.pixels[static_cast<std::size_t>(y) * image.width],
                    static_cast<std::size_t>(image.width) * 4);
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::string GoldenPath(const std::string& name)
{
    return std::string(ZV_TEST_DATA_DIR) + "/Golden/" + name;
}

}  // namespace

Image ReadSurface(cairo_surface_t* surface)
{
    cairo_surface_flush(surface);
    Image image;
    image.width = cairo_image_surface_get_width(surface);
    image.height = cairo_image_surface_get_height(surface);
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(&image.pixels[static_cast<std::size_t>(y) * image.width],
                    data + static_cast<std::ptrdiff_t>(y) * stride, static_cast<std::size_t>(image.width) * 4);
    }
    return image;
}

bool ReadPng(const std::string& path, Image& image)
{
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        return false;
    }
    // An opaque image comes back without alpha; copied into ARGB it is opaque again.
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(png),
                                                       cairo_image_surface_get_height(png));
    cairo_t* copy = cairo_create(argb);
    cairo_set_source_surface(copy, png, 0, 0);
    cairo_set_operator(copy, CAIRO_OPERATOR_SOURCE);
    cairo_paint(copy);
    cairo_destroy(copy);
    image = ReadSurface(argb);
    cairo_surface_destroy(argb);
    cairo_surface_destroy(png);
    return true;
}

bool WritePng(const std::string& path, const Image& image)
{
    cairo_surface_t* surface = ToSurface(image);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

ImageDifference CompareImages(const Image& actual, const Image& expected, int tolerance)
{
    ImageDifference difference;
    if (actual.width != expected.width || actual.height != expected.height) {
        difference.differingPixels = std::max(actual.width * actual.height, expected.width * expected.height);
        difference.largestDifference = 256;
        return difference;
    }
    for (std::size_t index = 0; index < actual.pixels.size(); ++index) {
        const int channel = ChannelDifference(actual.pixels[index], expected.pixels[index]);
        difference.largestDifference = std::max(difference.largestDifference, channel);
        difference.differingPixels += channel > tolerance ? 1 : 0;
    }
    return difference;
}

Image DiffImage(const Image& actual, const Image& expected, int tolerance)
{
    Image diff;
    diff.width = std::max(actual.width, expected.width);
    diff.height = std::max(actual.height, expected.height);
    diff.pixels.assign(static_cast<std::size_t>(diff.width) * diff.height, 0xFFFF0000u);
    for (int y = 0; y < std::min(actual.height, expected.height); ++y) {
        for (int x = 0; x < std::min(actual.width, expected.width); ++x) {
            if (ChannelDifference(actual.At(x, y), expected.At(x, y)) <= tolerance) {
                diff.pixels[static_cast<std::size_t>(y) * diff.width + x] = 0xFFFFFFFFu;
            }
        }
    }
    return diff;
}

::testing::AssertionResult MatchesGoldenImage(const Image& actual, const std::string& name, int tolerance,
                                              int maxDifferingPixels)
{
    const char* update = std::getenv("ZV_UPDATE_GOLDEN_IMAGES");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        return WritePng(GoldenPath(name), actual)
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure() << "cannot write " << GoldenPath(name);
    }
    Image expected;
    if (!ReadPng(GoldenPath(name), expected)) {
        return ::testing::AssertionFailure() << "no golden image " << GoldenPath(name);
    }
    const ImageDifference difference = CompareImages(actual, expected, tolerance);
    if (difference.differingPixels <= maxDifferingPixels) {
        return ::testing::AssertionSuccess();
    }
    const std::filesystem::path folder = ZV_TEST_OUTPUT_DIR;
    std::filesystem::create_directories(folder);
    const std::string stem = (folder / std::filesystem::path(name).stem()).string();
    WritePng(stem + "-actual.png", actual);
    WritePng(stem + "-expected.png", expected);
    WritePng(stem + "-diff.png", DiffImage(actual, expected, tolerance));
    return ::testing::AssertionFailure() << difference.differingPixels << " pixels of " << name
                                         << " differ by more than " << tolerance << " (at most " << maxDifferingPixels
                                         << " may; largest difference " << difference.largestDifference << "); see "
                                         << stem << "-{actual,expected,diff}.png";
}

}  // namespace ZV::Testing
