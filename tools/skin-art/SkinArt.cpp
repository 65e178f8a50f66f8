// Draws the images of the program's skin and its icon with Cairo, so that the committed PNGs can be made again:
//
//     skin-art <skin folder> <icon file>            writes them
//     skin-art --check <skin folder> <icon file>    says which of them differ from what it draws, and fails then
//
// The skin names its image pieces by position, so a piece that moves here must move in Skins.xml too. Each sheet's
// layout is written above the function that draws it. Colours are straight sRGB; every edge that should be crisp
// lies on a pixel boundary.

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>

namespace {

struct Color {
    double red;
    double green;
    double blue;
    double alpha = 1.0;
};

constexpr Color FromHex(std::uint32_t rgb, double alpha = 1.0)
{
    return {static_cast<double>(rgb >> 16 & 0xFF) / 255.0, static_cast<double>(rgb >> 8 & 0xFF) / 255.0,
            static_cast<double>(rgb & 0xFF) / 255.0, alpha};
}

// The palette: a deep blue header, quiet grey surfaces, one blue accent.
constexpr Color kHeaderTop = FromHex(0x284B72);
constexpr Color kHeaderBottom = FromHex(0x1C3A5D);
constexpr Color kHeaderEdge = FromHex(0x142D4A);
constexpr Color kHeaderGleam = FromHex(0x3A5F88);
constexpr Color kContent = FromHex(0xF5F7FA);
constexpr Color kCard = FromHex(0xFFFFFF);
constexpr Color kCardEdge = FromHex(0xD9DFE7);
constexpr Color kFooter = FromHex(0xEAEEF3);
constexpr Color kFooterEdge = FromHex(0xD0D7E0);
constexpr Color kFooterGleam = FromHex(0xF8FAFC);
constexpr Color kAccent = FromHex(0x2F6DB5);
constexpr Color kAccentLight = FromHex(0x4F8FD8);
constexpr Color kAccentDark = FromHex(0x245A98);
constexpr Color kInk = FromHex(0x243040);
constexpr Color kMutedInk = FromHex(0x5B6878);
constexpr Color kFaintInk = FromHex(0xAAB3BE);
constexpr Color kWhite = FromHex(0xFFFFFF);

// The main window's background; its size is the window's.
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 311;
constexpr int kHeaderHeight = 58;
constexpr int kFooterTop = 256;
constexpr int kMargin = 16;
// The card behind the status sentences and the progress bar.
constexpr int kCardTop = 70;
constexpr int kCardBottom = 184;

constexpr double kPi = std::numbers::pi;

using Painter = std::function<void(cairo_t*)>;

// Two drawings of one image may differ this much per channel where Cairo's versions round edges differently.
constexpr int kChannelTolerance = 2;

// Cairo stores an opaque image without its alpha, and reads it back as RGB24.
bool SamePixels(cairo_surface_t* drawn, cairo_surface_t* stored)
{
    const int width = cairo_image_surface_get_width(drawn);
    const int height = cairo_image_surface_get_height(drawn);
    const cairo_format_t format = cairo_image_surface_get_format(stored);
    if (cairo_surface_status(stored) != CAIRO_STATUS_SUCCESS || cairo_image_surface_get_width(stored) != width ||
        cairo_image_surface_get_height(stored) != height ||
        (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)) {
        return false;
    }
    const std::uint32_t storedAlpha = format == CAIRO_FORMAT_RGB24 ? 0xFF000000u : 0;
    cairo_surface_flush(drawn);
    cairo_surface_flush(stored);
    for (int y = 0; y < height; ++y) {
        const auto* left = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(drawn) +
                                                                  y * cairo_image_surface_get_stride(drawn));
        const auto* right = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(stored) +
                                                                   y * cairo_image_surface_get_stride(stored));
        for (int x = 0; x < width; ++x) {
            for (int shift = 0; shift < 32; shift += 8) {
                const int drawnChannel = static_cast<int>(left[x] >> shift & 0xFF);
                const int storedChannel = static_cast<int>((right[x] | storedAlpha) >> shift & 0xFF);
                if (std::abs(drawnChannel - storedChannel) > kChannelTolerance) {
                    return false;
                }
            }
        }
    }
    return true;
}

// Draws an image and writes it to the path, or, when checking, compares it with the image stored there.
bool MakeImage(bool check, const std::string& path, int width, int height, const Painter& paint)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    paint(cr);
    cairo_destroy(cr);
    bool made = true;
    if (check) {
        cairo_surface_t* stored = cairo_image_surface_create_from_png(path.c_str());
        made = SamePixels(surface, stored);
        cairo_surface_destroy(stored);
        if (!made) {
            std::fprintf(stderr, "skin-art: %s is not what skin-art draws; draw it again\n", path.c_str());
        }
    } else if (const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
               status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "skin-art: cannot write %s: %s\n", path.c_str(), cairo_status_to_string(status));
        made = false;
    }
    cairo_surface_destroy(surface);
    return made;
}

void SetColor(cairo_t* cr, const Color& color)
{
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

void FillRect(cairo_t* cr, double x, double y, double width, double height, const Color& color)
{
    SetColor(cr, color);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double width, double height, double radius)
{
    const double right = x + width;
    const double bottom = y + height;
    cairo_new_sub_path(cr);
    cairo_arc(cr, right - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, right - radius, bottom - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, bottom - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void SetVerticalGradient(cairo_t* cr, double top, double bottom, const Color& from, const Color& to)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgba(gradient, 0, from.red, from.green, from.blue, from.alpha);
    cairo_pattern_add_color_stop_rgba(gradient, 1, to.red, to.green, to.blue, to.alpha);
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient);
}

// A box of one state: a rounded body with a vertical gradient and a one-pixel border, optionally a second ring
// inside the border (the keyboard focus).
struct BoxStyle {
    Color top;
    Color bottom;
    Color border;
    Color ring = {0, 0, 0, 0};
};

void DrawBox(cairo_t* cr, double x, double y, double width, double height, double radius, const BoxStyle& style)
{
    RoundedRect(cr, x + 0.5, y + 0.5, width - 1, height - 1, radius);
    SetVerticalGradient(cr, y, y + height, style.top, style.bottom);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    SetColor(cr, style.border);
    cairo_stroke(cr);
    if (style.ring.alpha > 0) {
        RoundedRect(cr, x + 1.5, y + 1.5, width - 3, height - 3, radius - 1);
        SetColor(cr, style.ring);
        cairo_stroke(cr);
    }
}

// The device as the icon shows it: a body with three screens and an arrow rising from the middle one, drawn in a
// square of the given size at (x, y).
void DrawDeviceGlyph(cairo_t* cr, double x, double y, double size, const Color& body, const Color& screen)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size / 64.0, size / 64.0);
    RoundedRect(cr, 6, 34, 52, 22, 4);
    SetColor(cr, body);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i) {
        RoundedRect(cr, 10 + i * 16, 38, 12, 14, 1.5);
        SetColor(cr, screen);
        cairo_fill(cr);
    }
    SetColor(cr, body);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, 32, 27);
    cairo_line_to(cr, 32, 9);
    cairo_move_to(cr, 23, 17);
    cairo_line_to(cr, 32, 8);
    cairo_line_to(cr, 41, 17);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Icon.png, 64 x 64: the device glyph in white on a rounded square of the accent.
void DrawIcon(cairo_t* cr)
{
    RoundedRect(cr, 2, 2, 60, 60, 12);
    SetVerticalGradient(cr, 2, 62, kAccentLight, kAccentDark);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.5);
    SetColor(cr, FromHex(0x1D4A80));
    cairo_stroke(cr);
    DrawDeviceGlyph(cr, 6, 6, 52, kWhite, FromHex(0x2A62A6));
}

// Background.png, 400 x 311: the whole window. Header 0..57 with the device glyph at (16, 13); content 58..255 with
// a white card at 16..383 x 70..183 behind the status sentences; footer 256..310 behind the buttons.
void DrawBackground(cairo_t* cr)
{
    SetVerticalGradient(cr, 0, kHeaderHeight, kHeaderTop, kHeaderBottom);
    cairo_rectangle(cr, 0, 0, kWindowWidth, kHeaderHeight);
    cairo_fill(cr);
    FillRect(cr, 0, 0, kWindowWidth, 1, kHeaderGleam);
    FillRect(cr, 0, kHeaderHeight - 1, kWindowWidth, 1, kHeaderEdge);
    RoundedRect(cr, 16, 13, 32, 32, 7);
    SetVerticalGradient(cr, 13, 45, kAccentLight, kAccent);
    cairo_fill(cr);
    DrawDeviceGlyph(cr, 18, 15, 28, kWhite, kAccent);

    FillRect(cr, 0, kHeaderHeight, kWindowWidth, kFooterTop - kHeaderHeight, kContent);
    DrawBox(cr, kMargin, kCardTop, kWindowWidth - 2 * kMargin, kCardBottom - kCardTop, 6, {kCard, kCard, kCardEdge});

    FillRect(cr, 0, kFooterTop, kWindowWidth, kWindowHeight - kFooterTop, kFooter);
    FillRect(cr, 0, kFooterTop, kWindowWidth, 1, kFooterEdge);
    FillRect(cr, 0, kFooterTop + 1, kWindowWidth, 1, kFooterGleam);
}

// Buttons.png, 20 x 210: seven rows of 30 pixels, one per state (normal, hover, pressed, focused, focused and
// hover, focused and pressed, disabled). Each row is a button 20 wide: a left cap 0..5, a middle 6..13 that
// stretches, a right cap 14..19.
constexpr int kButtonHeight = 30;

void DrawButtons(cairo_t* cr)
{
    const BoxStyle normal{kWhite, FromHex(0xECF0F4), FromHex(0xA7B2C0)};
    const BoxStyle hover{kWhite, FromHex(0xE2ECF8), FromHex(0x6E94C4)};
    const BoxStyle pressed{FromHex(0xD3DCE7), FromHex(0xE3E9F0), FromHex(0x7A8CA3)};
    const Color ring = FromHex(0x9DBEE6);
    const BoxStyle states[] = {
        normal,
        hover,
        pressed,
        {normal.top, normal.bottom, kAccent, ring},
        {hover.top, hover.bottom, kAccent, ring},
        {pressed.top, pressed.bottom, kAccentDark, ring},
        {FromHex(0xF1F3F6), FromHex(0xF1F3F6), FromHex(0xCDD4DD)},
    };
    int row = 0;
    for (const BoxStyle& state : states) {
        DrawBox(cr, 0, row * kButtonHeight, 20, kButtonHeight, 4, state);
        ++row;
    }
}

// Progress.png, 20 x 32: the track (row 0..15) and the fill (row 16..31), each a left cap 0..5, a middle 6..13
// that stretches and a right cap 14..19.
void DrawProgress(cairo_t* cr)
{
    DrawBox(cr, 0, 0, 20, 16, 4, {FromHex(0xDDE3EA), FromHex(0xE9EDF2), FromHex(0xB9C3CF)});
    DrawBox(cr, 0, 16, 20, 16, 4, {kAccentLight, kAccent, kAccentDark});
    RoundedRect(cr, 2, 18, 16, 5, 2);
    SetColor(cr, FromHex(0xFFFFFF, 0.22));
    cairo_fill(cr);
}

void DrawCheckMark(cairo_t* cr, double x, double y, const Color& color)
{
    SetColor(cr, color);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, x + 3.5, y + 8.5);
    cairo_line_to(cr, x + 6.5, y + 11.5);
    cairo_line_to(cr, x + 12.5, y + 4.5);
    cairo_stroke(cr);
}

// A chevron pointing along (dx, dy), centred in a cell of the given size.
void DrawChevron(cairo_t* cr, double x, double y, double size, int dx, int dy, const Color& color)
{
    const double cx = x + size / 2;
    const double cy = y + size / 2;
    const double reach = size / 6;
    SetColor(cr, color);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, cx - dx * reach - dy * 2 * reach, cy - dy * reach - dx * 2 * reach);
    cairo_line_to(cr, cx + dx * reach, cy + dy * reach);
    cairo_line_to(cr, cx - dx * reach + dy * 2 * reach, cy - dy * reach + dx * 2 * reach);
    cairo_stroke(cr);
}

// Menu.png, 48 x 92:
//   0..11 x 0..21    row highlight under the pointer: left cap 0..3, middle 4..7, right cap 8..11
//   0..11 x 22..43   row highlight while pressed
//   0..11 x 44..67   menu title under the pointer, 24 high, cut the same way
//   0..11 x 68..91   menu title while its menu is open
//   16..31 x 0..15   check mark on a plain row; 16..31 x 16..31 on a highlighted row
//   32..39 x 0..15   submenu arrow on a plain row; y 16..31 on a highlighted row; y 32..47 disabled
void DrawMenu(cairo_t* cr)
{
    const Color noBorder{0, 0, 0, 0};
    DrawBox(cr, 1, 1, 10, 20, 3, {FromHex(0xDDE7F4), FromHex(0xDDE7F4), noBorder});
    DrawBox(cr, 1, 23, 10, 20, 3, {FromHex(0xC9D9EE), FromHex(0xC9D9EE), noBorder});
    DrawBox(cr, 0, 44, 12, 24, 3, {FromHex(0xE6EDF6), FromHex(0xDCE6F3), FromHex(0xC3D3E8)});
    DrawBox(cr, 0, 68, 12, 24, 3, {FromHex(0xD0DEF0), FromHex(0xC6D7EE), FromHex(0x9FB9DB)});
    DrawCheckMark(cr, 16, 0, kInk);
    DrawCheckMark(cr, 16, 16, kAccentDark);
    DrawChevron(cr, 30, 2, 12, 1, 0, kMutedInk);
    DrawChevron(cr, 30, 18, 12, 1, 0, kAccentDark);
    DrawChevron(cr, 30, 34, 12, 1, 0, kFaintInk);
}

// ScrollBar.png, 48 x 72:
//   0..47 x 0..47    arrow buttons of 12 x 12: columns normal, hover, pressed, disabled; rows up, down, left, right
//   0..35 x 48..59   vertical thumb 12 x 12 for normal, hover, pressed: top cap 0..4, middle 5..6, bottom cap 7..11
//   0..35 x 60..71   horizontal thumb, cut the same way from left to right
void DrawScrollBar(cairo_t* cr)
{
    const Color track = FromHex(0xEEF1F4);
    const Color backgrounds[] = {track, FromHex(0xE1E7EE), FromHex(0xD2DAE4), track};
    const Color arrows[] = {kMutedInk, kAccent, kInk, FromHex(0xC2C9D2)};
    const int directions[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    for (int row = 0; row < 4; ++row) {
        for (int state = 0; state < 4; ++state) {
            FillRect(cr, state * 12, row * 12, 12, 12, backgrounds[state]);
            DrawChevron(cr, state * 12, row * 12, 12, directions[row][0], directions[row][1], arrows[state]);
        }
    }
    const Color thumbs[] = {FromHex(0xB9C2CD), FromHex(0x9EAABA), FromHex(0x8594A7)};
    for (int state = 0; state < 3; ++state) {
        for (int orientation = 0; orientation < 2; ++orientation) {
            const double y = 48 + orientation * 12;
            FillRect(cr, state * 12, y, 12, 12, track);
            RoundedRect(cr, state * 12 + 2, y + 2, 8, 8, 3);
            SetColor(cr, thumbs[state]);
            cairo_fill(cr);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const bool check = argc == 4 && std::string(argv[1]) == "--check";
    if (argc != 3 && !check) {
        std::fprintf(stderr, "usage: skin-art [--check] <skin folder> <icon file>\n");
        return 2;
    }
    const std::string skin = argv[argc - 2];
    const std::string icon = argv[argc - 1];
    bool made = MakeImage(check, skin + "/Background.png", kWindowWidth, kWindowHeight, DrawBackground);
    made = MakeImage(check, skin + "/Buttons.png", 20, 7 * kButtonHeight, DrawButtons) && made;
    made = MakeImage(check, skin + "/Progress.png", 20, 32, DrawProgress) && made;
    made = MakeImage(check, skin + "/Menu.png", 48, 92, DrawMenu) && made;
    made = MakeImage(check, skin + "/ScrollBar.png", 48, 72, DrawScrollBar) && made;
    made = MakeImage(check, icon, 64, 64, DrawIcon) && made;
    return made ? 0 : 1;
}
