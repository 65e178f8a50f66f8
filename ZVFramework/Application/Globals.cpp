// The framework's process-wide objects are built here, in one translation unit and therefore in one fixed order,
// before main runs, and destroyed at exit in the reverse order. Objects that live elsewhere behind an accessor are
// built here by calling the accessor at their place in the order. Those that other threads use (the free-list pools,
// the notification lock, the intern table, the spare notifications, the distributor list, the queue mutex, the
// centre manager, the empty strings) are never destroyed: a thread can outlive main's return (a job left running
// after its stop time-out, or a thread pool let go on its own worker) and must not find them torn down.
#include "Application/Globals.h"

#include "Notification/InternTable.h"
#include "Notification/Notification.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationLock.h"
#include "Notification/NotificationQueue.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "System/KeyNames.h"
#include "Threading/Mutex.h"
#include "Threading/ReusePools.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Graphics/BitmapCache.h"

namespace ZV {

namespace {

// Builds an object that lives behind an accessor, here, at this place in the order.
struct BuiltInOrder {
    template <class Accessor>
    explicit BuiltInOrder(Accessor accessor)
    {
        accessor();
    }
};

}  // namespace

const WideString gOneSpace(L' ');
const NarrowString gEmptyNarrowString;
const WideString gEmptyString;
const std::string gBase64Alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");

namespace {
const BuiltInOrder gWorkerParamsPool([] { GetWorkerParamsPool(); });
const BuiltInOrder gNotificationLock([] { GetNotificationLock(); });
const BuiltInOrder gInternTable([] { GetInternTable(); });
const BuiltInOrder gNotificationSparePool([] { GetNotificationSparePool(); });
}  // namespace

const WideString gApplicationCenterName(L"application");
const WideString gSecondOneSpace(L' ');

DebugOutput gDebugOutput;

BitmapCache gBitmapCache;

const WideString gCursorNames[kCursorNameCount] = {
    L"UI_CURSOR_APP_STARTING", L"UI_CURSOR_ARROW",     L"UI_CURSOR_IBEAM",     L"UI_CURSOR_WAIT",
    L"UI_CURSOR_CROSS",        L"UI_CURSOR_UP_ARROW",  L"UI_CURSOR_SIZE_ALL",  L"UI_CURSOR_SIZE_NWSE",
    L"UI_CURSOR_SIZE_NESW",    L"UI_CURSOR_SIZE_WE",   L"UI_CURSOR_SIZE_NS",   L"UI_CURSOR_HAND",
    L"UI_CURSOR_HELP",         L"UI_CURSOR_NO_DROP",   L"UI_CURSOR_DROP_MOVE", L"UI_CURSOR_DROP_COPY",
    L"UI_CURSOR_SPLIT_V",      L"UI_CURSOR_SPLIT_H",   L"UI_CURSOR_ROTATE",    L"UI_CURSOR_MAG",
    L"UI_CURSOR_MAG_PLUS",     L"UI_CURSOR_MAG_MINUS", L"UI_CURSOR_ARROW",
};

namespace {
const BuiltInOrder gMidiCaptureDataPool([] { GetMidiCaptureDataPool(); });
const BuiltInOrder gNotificationDistributors([] { GetNotificationDistributors(); });
const BuiltInOrder gNotificationQueueMutex([] { GetNotificationQueueMutex(); });
}  // namespace

const WideString gProgressOneSpace(L' ');

namespace {
const BuiltInOrder gParameterPools([] {
    GetMouseButtonParamPool();
    GetMouseWheelParamPool();
    GetConditionsParamPool();
    GetValueParamPool();
    GetPointWithModifiersParamPool();
    GetMenuActivationParamPool();
});
}  // namespace

const WideString gLineSeparator(L"\n");

const KeyNameTables gKeyNameTables;

// Destroyed first at exit, the map lets go of the fonts it holds before anything else goes.
FontFamilies gFontFamilies;
FontMap gFontMap;

}  // namespace ZV
