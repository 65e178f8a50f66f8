#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace ZV {

// A bar that the user drags to resize the control that it is placed after (its anchor: the sibling that its
// position rule names) and to move the controls placed after it. It works through the layout rules: while it is
// dragged it stands on its own (placed against the client area) and the anchor's size follows it; at the release it
// is placed after the anchor again. Its travel is held so that neither the anchor nor the later siblings that follow
// it leave their minimum and maximum sizes.
//
// Looks: 0 normal, 1 hover, 2 pressed, 3 to 5 the same with the focus, 6 disabled.
class LSplitterBase : public LControl {
public:
    // A horizontal bar moves along Y, a vertical one along X.
    enum Orientation : std::int32_t { kHorizontal = 0, kVertical = 1 };

    LSplitterBase(const RCPtr<LControl>& parent, const WideString& name, Orientation orientation);

    Orientation GetOrientation() const { return mOrientation; }
    // The axis the bar moves along: 0 X, 1 Y.
    int GetAxis() const { return mOrientation == kHorizontal ? 1 : 0; }

    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    void ProcessRootWindowAquired() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void SelectStateLook() override;
    void BeginDrag() override;
    void OnTrackingMoved(const RCPtr<LPointWithModifiersParam>& pointer) override;
    void EndDrag() override;
    // Narrows the bounds along the bar's axis to the range that the pointer may take; the other axis stays.
    void GetSplitterBounds(RectT<double>& bounds) override;
    // After the layout, a bar that the new size has left where a later sibling cannot keep its limits moves to the
    // nearest place where it can.
    [[nodiscard]] ZVRESULT ProcessRelayout(const PointT<zlong>& size) override;

private:
    // The range of the bar's position along its axis.
    struct Travel {
        double low;
        double high;
    };

    // The sibling that the bar's position rule names on its axis, or null.
    RCPtr<LControl> FindAnchor() const;
    // The range in which the bar at the position keeps the anchor and the later siblings within their limits. For
    // a relayout, only siblings that the layout cuts to their limits count, each at the size the layout gave it.
    Travel ComputeTravel(const RCPtr<LControl>& anchor, double position, bool afterRelayout);
    void NarrowByAnchor(LControl& anchor, double position, Travel& travel);
    void NarrowBySiblings(double position, bool afterRelayout, Travel& travel);
    void TakeCursorFrom(IRootWindow& window);

    Orientation mOrientation;
    Travel mTravel;
    // The bar's own position rule along its axis before the drag made it stand on its own.
    double mSavedPositionAbs = 0;
    float mSavedPositionRel = 0;
    // The absolute part of the anchor's size rule along the axis that gives the size it showed when the drag began.
    double mAnchorSizeAbs = 0;
    // Held while a drag runs.
    RCPtr<LControl> mAnchor;
};

}  // namespace ZV
