#include "System/CursorNames.h"

namespace ZV {

const WideString* GetCursorNames()
{
    static const WideString names[kCursorNameCount] = {
        L"UI_CURSOR_APP_STARTING", L"UI_CURSOR_ARROW",     L"UI_CURSOR_IBEAM",     L"UI_CURSOR_WAIT",
        L"UI_CURSOR_CROSS",        L"UI_CURSOR_UP_ARROW",  L"UI_CURSOR_SIZE_ALL",  L"UI_CURSOR_SIZE_NWSE",
        L"UI_CURSOR_SIZE_NESW",    L"UI_CURSOR_SIZE_WE",   L"UI_CURSOR_SIZE_NS",   L"UI_CURSOR_HAND",
        L"UI_CURSOR_HELP",         L"UI_CURSOR_NO_DROP",   L"UI_CURSOR_DROP_MOVE", L"UI_CURSOR_DROP_COPY",
        L"UI_CURSOR_SPLIT_V",      L"UI_CURSOR_SPLIT_H",   L"UI_CURSOR_ROTATE",    L"UI_CURSOR_MAG",
        L"UI_CURSOR_MAG_PLUS",     L"UI_CURSOR_MAG_MINUS", L"UI_CURSOR_ARROW",
    };
    return names;
}

}  // namespace ZV
