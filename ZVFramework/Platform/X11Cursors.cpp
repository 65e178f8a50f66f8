#include "Platform/X11Cursors.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>

#include <cstring>

namespace ZV::Platform {

namespace {

struct CursorChoice {
    const char* name;
    // Theme names, the most specific first, then the core font's shape.
    const char* themeNames[3];
    unsigned int fontShape;
};

constexpr CursorChoice kArrow = {"UI_CURSOR_ARROW", {"default", "left_ptr", nullptr}, XC_left_ptr};

constexpr CursorChoice kCursors[] = {
    kArrow,
    {"UI_CURSOR_APP_STARTING", {"progress", "left_ptr_watch", nullptr}, XC_watch},
    {"UI_CURSOR_IBEAM", {"text", "xterm", nullptr}, XC_xterm},
    {"UI_CURSOR_WAIT", {"wait", "watch", nullptr}, XC_watch},
    {"UI_CURSOR_CROSS", {"crosshair", "cross", nullptr}, XC_crosshair},
    {"UI_CURSOR_UP_ARROW", {"up-arrow", "center_ptr", nullptr}, XC_sb_up_arrow},
    {"UI_CURSOR_SIZE_ALL", {"move", "fleur", nullptr}, XC_fleur},
    {"UI_CURSOR_SIZE_NWSE", {"nwse-resize", "bottom_right_corner", nullptr}, XC_bottom_right_corner},
    {"UI_CURSOR_SIZE_NESW", {"nesw-resize", "bottom_left_corner", nullptr}, XC_bottom_left_corner},
    {"UI_CURSOR_SIZE_WE", {"ew-resize", "sb_h_double_arrow", nullptr}, XC_sb_h_double_arrow},
    {"UI_CURSOR_SIZE_NS", {"ns-resize", "sb_v_double_arrow", nullptr}, XC_sb_v_double_arrow},
    {"UI_CURSOR_HAND", {"pointer", "hand2", nullptr}, XC_hand2},
    {"UI_CURSOR_HELP", {"help", "question_arrow", nullptr}, XC_question_arrow},
    {"UI_CURSOR_NO_DROP", {"no-drop", "dnd-no-drop", "not-allowed"}, XC_X_cursor},
    {"UI_CURSOR_DROP_MOVE", {"dnd-move", "move", nullptr}, XC_fleur},
    {"UI_CURSOR_DROP_COPY", {"dnd-copy", "copy", nullptr}, XC_plus},
    {"UI_CURSOR_SPLIT_V", {"row-resize", "sb_v_double_arrow", nullptr}, XC_sb_v_double_arrow},
    {"UI_CURSOR_SPLIT_H", {"col-resize", "sb_h_double_arrow", nullptr}, XC_sb_h_double_arrow},
    {"UI_CURSOR_ROTATE", {"exchange", nullptr, nullptr}, XC_exchange},
    {"UI_CURSOR_MAG", {"zoom-in", nullptr, nullptr}, XC_sizing},
    {"UI_CURSOR_MAG_PLUS", {"zoom-in", nullptr, nullptr}, XC_plus},
    {"UI_CURSOR_MAG_MINUS", {"zoom-out", nullptr, nullptr}, XC_sizing},
};

const CursorChoice& FindChoice(const char* name)
{
    for (const CursorChoice& choice : kCursors) {
        if (std::strcmp(choice.name, name) == 0) {
            return choice;
        }
    }
    return kArrow;
}

Cursor MakeCursor(Display* display, const CursorChoice& choice)
{
    for (const char* themeName : choice.themeNames) {
        if (themeName == nullptr) {
            break;
        }
        if (const Cursor cursor = XcursorLibraryLoadCursor(display, themeName); cursor != None) {
            return cursor;
        }
    }
    return XCreateFontCursor(display, choice.fontShape);
}

}  // namespace

Cursor LoadNamedCursor(Display* display, const char* name)
{
    return MakeCursor(display, FindChoice(name == nullptr ? "" : name));
}

const char* GetCursorKey(const char* name)
{
    return FindChoice(name == nullptr ? "" : name).name;
}

Cursor CreateBlankCursor(Display* display)
{
    const char noBits[1] = {0};
    const Pixmap empty = XCreateBitmapFromData(display, DefaultRootWindow(display), noBits, 1, 1);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

}  // namespace ZV::Platform
