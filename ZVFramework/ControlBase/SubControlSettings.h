#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// What a position is measured against: "Parent" or "Screen", "Client" or "Active Window", or a named control.
enum PositionReference : std::int32_t {
    kPositionToParent = 0,
    kPositionToClient = 1,
    kPositionToNamedControl = 2,
};

// What a size is measured against; "Self" is the absolute value alone.
enum SizeReference : std::int32_t {
    kSizeToParent = 0,
    kSizeToClient = 1,
    kSizeToSelf = 2,
    kSizeToNamedControl = 3,
};

enum TextOverflowType : std::int32_t {
    kTextOverflowClip = 0,
    kTextOverflowExpand = 1,
    kTextOverflowWrap = 2,
};

// Where a control sits on one axis: anchor is the fraction of its own extent placed on the reference point, which
// lies at rel times the reference's extent plus abs pixels.
struct PositionRule {
    float placementAnchor = 0;
    std::int32_t toControlKind = kPositionToClient;
    // The control of kPositionToNamedControl.
    WideString toControlName;
    float rel = 0;
    double abs = 0;
};

// How large a control is on one axis: rel times the reference's extent plus abs pixels.
struct SizeRule {
    std::int32_t toControlKind = kSizeToSelf;
    // The control of kSizeToNamedControl.
    WideString toControlName;
    float rel = 0;
    double abs = 0;
};

// A minimum or maximum extent on one axis; without toControl it is measured against the control itself.
struct LimitRule {
    bool toControl = false;
    // A control's name, or "Children": the extent of the control's children.
    WideString toControlName;
    float rel = 0;
    double abs = 0;
};

// The settings that the control factory reads from one SubControl element of a skin. Controls and descriptors
// reach theirs through GetSubControlSettings(); sorting children by tab, drawing and layout order reads them.
struct SubControlSettings {
    bool clipToParent = true;
    std::int32_t zOrder = 0;
    // Negative: the control takes no focus.
    std::int32_t tabStop = 0;
    bool isVisible = true;
    // Never set by a skin.
    bool isEnabled = true;
    bool xIsDocked = false;
    bool yIsDocked = false;
    PositionRule xPosition;
    PositionRule yPosition;
    SizeRule xSize{kSizeToSelf, {}, 0, 16};
    SizeRule ySize{kSizeToSelf, {}, 0, 40};
    LimitRule xMinimum;
    LimitRule yMinimum;
    LimitRule xMaximum;
    LimitRule yMaximum;
    WideString textDecoration;
    std::int32_t textOverflowXType = kTextOverflowClip;
    std::int32_t textOverflowYType = kTextOverflowClip;
    // The order of siblings in their parent's list and in layout passes.
    std::int32_t layoutOrder = 0;
};

}  // namespace ZV
