#pragma once

#include <cstdint>

namespace ZV {

enum ValueScale : std::int32_t { kLinearScale = 0, kLogarithmicScale = 1 };

// A control's value: normalised to 0 .. 1, and scaled into its range.
struct ControlValueState {
    double value = 0;
    double minimum = 0;
    double maximum = 0;
    std::int32_t scaleMode = kLinearScale;
};

// How a control's font follows the font it is based on: its parent's, or the application's.
struct ControlFontRule {
    bool inheritsFromParent = false;
    bool nameFollows = false;
    bool sizeIsRelative = false;
    bool styleFollows = false;
    bool sizeIsFactor = false;
    float sizeFactor = 1.0f;
};

}  // namespace ZV
