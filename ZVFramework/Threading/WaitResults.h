#pragma once

#include "Platform/WaitResults.h"

namespace ZV {

using Platform::kMaximumWaitEvents;
using Platform::kWaitAbandoned;
using Platform::kWaitFailed;
using Platform::kWaitInfinite;
using Platform::kWaitSignalled;
using Platform::kWaitTimedOut;

}  // namespace ZV
