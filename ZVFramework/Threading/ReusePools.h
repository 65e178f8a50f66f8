#pragma once

#include "Threading/ReuseAllocator.h"
#include "Threading/ThreadPool.h"

// The process's free-list pools, one per pooled record class, each reached through its accessor. A pool is made on
// first use and never destroyed: a thread that outlived its stop time-out may still let a pooled record go while
// the program exits.
namespace ZV {

class LMidiCaptureNotificationData;
class LMouseButtonParam;
class LMouseWheelParam;
class LConditionsParam;
class LValueParam;
class LPointWithModifiersParam;
class LMenuActivationParam;

// Locked: records are made on the threads that queue jobs and let go on the pool's queue thread.
ReuseAllocator<LThreadPool::LWorkerParams, 1>& GetWorkerParamsPool();
// Locked: records are made on the MIDI callback threads and let go on the MIDI pool's worker thread.
ReuseAllocator<LMidiCaptureNotificationData, 4>& GetMidiCaptureDataPool();

// The parameter records' pools have no lock: those records are made and let go on the user-interface thread only.
ReuseAllocator<LMouseButtonParam, 4>& GetMouseButtonParamPool();
ReuseAllocator<LMouseWheelParam, 4>& GetMouseWheelParamPool();
ReuseAllocator<LConditionsParam, 4>& GetConditionsParamPool();
ReuseAllocator<LValueParam, 4>& GetValueParamPool();
ReuseAllocator<LPointWithModifiersParam, 4>& GetPointWithModifiersParamPool();
ReuseAllocator<LMenuActivationParam, 4>& GetMenuActivationParamPool();

}  // namespace ZV
