#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/PointT.h"

#include <cstdint>

namespace ZV {

class LControl;

// What a left drag does with the pointer's travel (SetDragMode), with the argument that each mode reads.
inline constexpr std::int32_t kDragNothing = 0;
// The control follows the pointer and looks for a control to drop on; argument: axis bits.
inline constexpr std::int32_t kDragAndDrop = 1;
// The control moves along the axis bits of the argument.
inline constexpr std::int32_t kDragMove = 2;
// As kDragMove, and the parent scrolls while the pointer is near its edges.
inline constexpr std::int32_t kDragMoveScrollingParent = 3;
// The control is resized by the edge bits of the argument.
inline constexpr std::int32_t kDragResize = 4;
inline constexpr std::int32_t kDragResizeScrollingParent = 5;
// The content follows the pointer along the axis bits, and coasts after a fast release.
inline constexpr std::int32_t kDragScroll = 6;

// Axis bits of a drag's argument.
inline constexpr std::int32_t kDragAxisX = 1;
inline constexpr std::int32_t kDragAxisY = 2;
// Edge bits of a resize's argument, and of the edges near which a drop target scrolls.
inline constexpr std::int32_t kDragRightEdge = 4;
inline constexpr std::int32_t kDragLeftEdge = 8;
inline constexpr std::int32_t kDragTopEdge = 0x10;
inline constexpr std::int32_t kDragBottomEdge = 0x20;

// What a control keeps while a left drag moves, resizes or scrolls it.
struct ControlDragState {
    // How far the pointer had travelled from the press at the last step.
    PointT<double> travel;
    PointT<double> sizeAtStart;
    PointT<double> parentScrollAtStart;
    // The layout's absolute position x, position y, size x and size y when the drag began.
    double layoutAtStart[4] = {};
    // The control that a dragged control would be dropped on.
    RCPtr<LControl> dropTarget;
    bool wasUnclipped = false;
    bool xWasDocked = false;
    bool yWasDocked = false;
    // Pixels per second, measured while the drag scrolls.
    PointT<double> velocity;
};

// One axis of coasting content.
struct KineticAxis {
    bool running = false;
    // Seconds of the application's clock.
    double lastStepTime = 0;
    // Pixels of scroll offset per second.
    double velocity = 0;
    double lowerLimit = 0;
    double upperLimit = 0;
    // The part of a pixel that the steps so far owe: slow content moves a pixel once enough has gathered, instead of
    // never.
    double remainder = 0;
    // A control whose tracking is fed the pointer at every step.
    RCPtr<LControl> target;
    // The axis coasts after a release and slows down after a second.
    bool startedByRelease = false;
};

struct ControlKineticState {
    KineticAxis axes[2];
    // Pixels per second per second.
    double deceleration = 1000.0;
};

}  // namespace ZV
