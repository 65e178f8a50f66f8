#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/PointT.h"

namespace ZV {

class LControl;

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
