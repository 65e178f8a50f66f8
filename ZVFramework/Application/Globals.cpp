// The order in which the program builds its process-wide objects, before main runs; at exit they go in the reverse
// order. Each object belongs to the part that uses it and is reached through its accessor; calling the accessors
// here, in one translation unit, fixes the order. Those that other threads use (the free-list pools, the
// notification lock, the intern table, the spare notifications, the distributor list, the queue mutex, the centre
// manager and its centre's name, the empty string buffers) are never destroyed: a thread can outlive main's return
// (a job left running after its stop time-out, or a thread pool let go on its own worker) and must not find them
// torn down.
#include "ControlBase/MenuParams.h"
#include "Midi/MidiCaptureNotificationData.h"
#include "Notification/ConditionsParam.h"
#include "Notification/InternTable.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationLock.h"
#include "Notification/NotificationQueue.h"
#include "Notification/ValueParam.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "System/CursorNames.h"
#include "System/KeyNames.h"
#include "Threading/ThreadPool.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Graphics/BitmapCache.h"
#include "Utilities/Storage/SharedStrings.h"

namespace ZV {
namespace {

struct BuiltInOrder {
    template <class Accessor>
    explicit BuiltInOrder(Accessor accessor)
    {
        accessor();
    }
};

const BuiltInOrder gSharedStrings([] {
    GetOneSpace();
    GetEmptyNarrowString();
    GetEmptyString();
    GetBase64Alphabet();
});
const BuiltInOrder gWorkerParamsPool([] { GetWorkerParamsPool(); });
const BuiltInOrder gNotificationLock([] { GetNotificationLock(); });
const BuiltInOrder gInternTable([] { GetInternTable(); });
const BuiltInOrder gNotificationSparePool([] { GetNotificationSparePool(); });
const BuiltInOrder gApplicationCenterName([] { GetApplicationCenterName(); });
const BuiltInOrder gDebugOutput([] { GetDebugOutput(); });
const BuiltInOrder gBitmapCache([] { GetBitmapCache(); });
const BuiltInOrder gCursorNames([] { GetCursorNames(); });
const BuiltInOrder gMidiCaptureDataPool([] { GetMidiCaptureDataPool(); });
const BuiltInOrder gNotificationDistributors([] { GetNotificationDistributors(); });
const BuiltInOrder gNotificationQueueMutex([] { GetNotificationQueueMutex(); });
const BuiltInOrder gParameterPools([] {
    GetMouseButtonParamPool();
    GetMouseWheelParamPool();
    GetConditionsParamPool();
    GetValueParamPool();
    GetPointWithModifiersParamPool();
    GetMenuActivationParamPool();
});
const BuiltInOrder gLineSeparator([] { GetLineSeparator(); });
const BuiltInOrder gKeyNameTables([] { GetKeyNameTables(); });
// Destroyed first at exit: the map lets go of the fonts it holds before anything else goes.
const BuiltInOrder gFontCatalogue([] { GetFontMap(); });

}  // namespace
}  // namespace ZV
