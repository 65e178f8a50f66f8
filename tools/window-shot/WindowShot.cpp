// Writes a PNG of a program's top-level window as the X server shows it, once the window is mapped and its pixels
// have stopped changing. Usage: window-shot <window class> <output.png>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kGiveUpAfter = 30s;
constexpr auto kPollEvery = 50ms;
// The window counts as drawn when this many reads in a row are the same.
constexpr int kSettledReads = 5;

bool HasClass(Display* display, Window window, const std::string& className)
{
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint) == 0) {
        return false;
    }
    const bool matches = (hint.res_class != nullptr && className == hint.res_class) ||
                         (hint.res_name != nullptr && className == hint.res_name);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return matches;
}

Window FindMappedWindow(Display* display, const std::string& className)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return 0;
    }
    for (unsigned int index = 0; index < count && found == 0; ++index) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[index], &attributes) != 0 && attributes.map_state == IsViewable &&
            HasClass(display, children[index], className)) {
            found = children[index];
        }
    }
    XFree(children);
    return found;
}

// 0x00RRGGBB pixels of the whole window, rows from the top; empty when it cannot be read.
std::vector<std::uint32_t> ReadPixels(Display* display, Window window, int& width, int& height)
{
    std::vector<std::uint32_t> pixels;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0) {
        return pixels;
    }
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return pixels;
    }
    width = attributes.width;
    height = attributes.height;
    pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0x00FFFFFF);
        }
    }
    XDestroyImage(image);
    return pixels;
}

bool WritePng(const std::string& path, std::vector<std::uint32_t> pixels, int width, int height)
{
    for (std::uint32_t& pixel : pixels) {
        pixel |= 0xFF000000;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: window-shot <window class> <output.png>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window-shot: no X display\n");
        return 1;
    }
    const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    std::vector<std::uint32_t> last;
    int width = 0;
    int height = 0;
    int sameReads = 0;
    while (sameReads < kSettledReads && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kPollEvery);
        const Window window = FindMappedWindow(display, argv[1]);
        std::vector<std::uint32_t> pixels = window != 0 ? ReadPixels(display, window, width, height)
                                                        : std::vector<std::uint32_t>();
        sameReads = !pixels.empty() && pixels == last ? sameReads + 1 : 0;
        last = std::move(pixels);
    }
    XCloseDisplay(display);
    if (sameReads < kSettledReads) {
        std::fprintf(stderr, "window-shot: no settled window of class %s within %lld s\n", argv[1],
                     static_cast<long long>(kGiveUpAfter.count()));
        return 1;
    }
    if (!WritePng(argv[2], last, width, height)) {
        std::fprintf(stderr, "window-shot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
