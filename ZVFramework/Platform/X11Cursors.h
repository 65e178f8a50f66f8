#pragma once

#include <X11/Xlib.h>

namespace ZV::Platform {

// A new cursor for a framework cursor name ("UI_CURSOR_HAND"): the first of its names that the user's cursor theme
// has, else a shape of the core cursor font; the arrow for a name the table does not know.
Cursor LoadNamedCursor(Display* display, const char* name);
// The name whose cursor LoadNamedCursor makes for the name: names without a cursor of their own share the arrow's.
const char* GetCursorKey(const char* name);
// A new cursor that shows nothing: the pointer hidden.
Cursor CreateBlankCursor(Display* display);

}  // namespace ZV::Platform
