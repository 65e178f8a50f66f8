#pragma once

#include "ControlBase/Control.h"
#include "Controls/ScrollBar.h"

#include <cstdint>

namespace ZV {

// A control whose content may be larger than its client area: it keeps the content's size (the client extent, set
// by a subclass or measured from the children) and couples its scroll offset to the scroll bars among its children,
// "hBar" and "vBar", which show only while the content does not fit; an optional "corner" child gives their
// thickness. Moving a bar scrolls the content, scrolling moves the bars, and the wheel moves them.
//
// The bodies: ScrollView.cpp (creation, the extent, the hooks of the control base), ScrollViewBars.cpp (which bars
// show, their ranges, and the coupling both ways).
class LScrollView : public LControl {
public:
    // Flags of SetAutoClientExtent.
    static constexpr std::uint32_t kAutoWidth = 1;
    static constexpr std::uint32_t kAutoHeight = 2;

    using LControl::LControl;

    // 0 when the extent changed, 1 when both sizes are within 2.220446049250313e-15 of the stored ones. A change
    // refits the bars (OnClientExtentChanged) and sends "NID_CLIENT_EXTENT_CHANGE".
    [[nodiscard]] ZVRESULT SetClientExtent(double width, double height);
    const PointT<double>& GetClientExtent() const { return mClientExtent; }
    // Measures the extent from the children on the axes flagged, adding the margins. 0.
    [[nodiscard]] ZVRESULT SetAutoClientExtent(std::uint32_t flags, std::int32_t marginX, std::int32_t marginY);
    // 1 without a flag, else SetClientExtent's result.
    [[nodiscard]] ZVRESULT UpdateAutoClientExtent();
    // An axis with a step above 0 scrolls in whole steps of that many pixels (a list box scrolls by rows); any
    // other step scrolls it pixel by pixel.
    void SetScrollStep(int axis, std::int32_t step);
    const RCPtr<LScrollbar>& GetHorizontalBar() const { return mHorizontalBar; }
    const RCPtr<LScrollbar>& GetVerticalBar() const { return mVerticalBar; }

    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT ProcessCreateParams() override;
    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    void SaveLookBounds() override;
    void UpdateContentExtent() override;
    void SetScrollOffset(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
    void InvalidateChildArea(const RCPtr<LControl>& child) override;
    PointT<double> GetDescriptorSize() const override;
    const PointT<double>& ScrollTo(const PointT<double>& offset) override;
    // From 0 up to the extent less the client area on each axis; unlimited on an axis of no extent.
    RectT<double> GetScrollRange(const RCPtr<LControl>& child) override;
    // The client area less the bars that show.
    RectT<double> GetLookClientRect() override;
    // The part of the content in view.
    RectT<double> GetLookMargins() override;
    void OnChildRemoved(const RCPtr<LControl>& child, std::uint32_t index) override;
    // Shift pages, Alt turns the vertical wheel into the horizontal one while both bars show. 1 while no bar shows,
    // so that an enclosing view scrolls instead.
    [[nodiscard]] ZVRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& wheel) override;
    [[nodiscard]] ZVRESULT OnMouseHWheel(const RCPtr<LMouseWheelParam>& wheel) override;

protected:
    // The extent changed: the bars are fitted again.
    virtual void OnClientExtentChanged();
    // Showing or hiding a bar changed the client area.
    virtual void OnClientAreaChanged();
    // A bar appeared or went: 1 the vertical one, 0 the horizontal one.
    virtual void OnScrollBarVisibilityChanged(int axis);

    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // The bar of an axis: 0 the horizontal one.
    const RCPtr<LScrollbar>& BarOf(int axis) const { return axis == 0 ? mHorizontalBar : mVerticalBar; }
    // The thicknesses the bars show with, and the coupling from the bars to the view. 0.
    ZVRESULT AttachScrollBars();
    // Shows the bars that the content needs, then fits their ranges; re-entry does nothing.
    void UpdateScrollBars();
    // The bar's extent across the axis becomes its thickness, or 0 to hide it.
    void ShowScrollBar(int axis, bool show);
    void UpdateScrollBarRanges();
    void UpdateScrollBarRange(int axis);
    // The largest far edges of the children not docked on each axis, in whole pixels.
    PointT<double> GetChildrenExtent() const;
    bool IsStepScrolling(int axis) const { return mScrollStep[axis] > 0; }
    // An offset in the units of the axis's bar (steps or pixels), and back to the offset that a bar value gives.
    double ToBarUnits(int axis, double offset) const;
    double FromBarUnits(int axis, double value) const;
    // The handler of the bars' "NID_VALUE_CHANGE". 1.
    std::int32_t OnScrollBarValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification);
    // Moves the bar that the wheel turns by a line, or a page with Shift. 1 while no bar shows.
    ZVRESULT TurnWheel(const LMouseWheelParam& wheel, bool horizontalWheel);

    RCPtr<LNotificationHandler<LScrollView>> mHandler;
    bool mUpdatingBars = false;
    bool mScrolling = false;
    bool mLayoutPending = false;
    RCPtr<LScrollbar> mHorizontalBar;
    RCPtr<LScrollbar> mVerticalBar;
    RCPtr<LControl> mCorner;
    PointT<double> mClientExtent;
    // The vertical bar's width and the horizontal bar's height while they show.
    PointT<double> mBarThickness;
    std::int32_t mScrollStep[2] = {};
    std::uint32_t mAutoClientExtent = 0;
    PointT<double> mAutoExtentMargin;
};

}  // namespace ZV
