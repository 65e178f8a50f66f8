#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/PointT.h"

#include <cstdint>

namespace ZV {

class LControl;

// Mouse buttons as indexes of the per-button flags.
enum MouseButtonIndex : int { kLeftButtonIndex = 0, kMiddleButtonIndex = 1, kRightButtonIndex = 2 };

// What a control keeps of the mouse between events.
struct ControlMouseState {
    bool hover = false;
    // A press on the control is tracked, and the control holds the window's mouse capture.
    bool captured = false;
    // Per button: it went down on the control and has not yet travelled the drag threshold.
    bool pressed[3] = {};
    // Per button: its press has become a drag.
    bool dragging[3] = {};
    // Hides the control from hit tests while a search looks past it.
    bool excluded = false;
    // Where the press went down, in the parent's coordinates.
    PointT<double> pressPoint;
    // How a left drag is tracked; 0 tracks nothing.
    std::int32_t dragMode = 0;
    std::int32_t dragArgument = 0;
    // In pixels, never negative.
    std::int32_t dragThreshold = 1;
    // Milliseconds of the application's clock.
    std::uint32_t moveTime = 0;
    std::uint32_t previousMoveTime = 0;
    std::uint32_t releaseTime = 0;
};

// The last control that a hit test found below this one; written only while enabled.
struct ControlHitCache {
    RCPtr<LControl> control;
    PointT<zlong> point;
    std::int32_t zOrder = 0;
    bool enabled = false;
};

}  // namespace ZV
