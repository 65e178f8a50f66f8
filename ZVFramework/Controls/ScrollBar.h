#pragma once

#include "ControlBase/Control.h"
#include "Controls/Button.h"

#include <cstdint>

namespace ZV {

// A scroll bar: its value is the position, reported in the range 0 .. 100 unless the owner sets another. The skin
// gives it the buttons "dec" and "inc" (a step back and forth, repeated while held; their places decide whether the
// bar runs along x or y), a "channel" to page in, and inside it a "thumb" to drag. Keys that reach its parent move it
// too. A missing part switches its feature off.
//
// The bodies: ScrollBar.cpp (creation, value, thumb, keys), ScrollBarPaging.cpp (presses in the channel).
class LScrollbar : public LControl {
public:
    // Paging zones of HitTestChannel.
    static constexpr std::int32_t kNoZone = 0;
    static constexpr std::int32_t kBeforeThumb = 1;
    static constexpr std::int32_t kAfterThumb = 2;

    LScrollbar(const RCPtr<LControl>& parent, const WideString& name);

    // Held back while the thumb is dragged, and applied at the release when it lies in 0 .. 1.
    double SetValue(double value) override;
    // The position in the owner's units stays where it was, as far as the new range reaches.
    [[nodiscard]] ZVRESULT SetValueRange(double minimum, double maximum, std::int32_t scaleMode) override;
    // Takes the track from the channel's client area and places the thumb on it.
    void UpdateContentExtent() override;
    void OnIdle(const RCPtr<LNotification>& idle) override;
    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;

    // Which keys move the bar, one bit each: Up, Down, Left, Right, Page Up, Page Down, Home, End. The first mask
    // that is not 0 lets the bar hear its parent's keys. ZV_E_INVALIDARG for bits above the low 8, which are kept.
    [[nodiscard]] ZVRESULT SetKeyMask(std::uint32_t mask);
    // The zone of a point of the channel's content: before the thumb (edge included), after it, or neither.
    std::int32_t HitTestChannel(const PointT<double>& point) const;
    // A bar that hears keys hears the new parent's.
    void OnParentChanged() override;
    bool IsVertical() const { return mVertical; }

    // Set by the owner, normalised: what a step button or an arrow key moves, what a page moves, and how much of
    // the track the thumb covers.
    double GetLineStep() const { return mLineStep; }
    void SetLineStep(double step) { mLineStep = step; }
    double GetPageStep() const { return mPageStep; }
    void SetPageStep(double step) { mPageStep = step; }
    void SetThumbFraction(double fraction);
    double GetThumbLength() const { return mThumbLength; }

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    int Axis() const { return mVertical ? 1 : 0; }
    void UpdateThumbSize();
    void UpdateThumbPosition();
    // Puts the thumb at a position along the track.
    void MoveThumb(double position);
    // The value without holding it back, and the thumb at it.
    void SetValueNow(double value);
    void OnThumbMoved();
    // A point of the channel's own coordinates in its content, where the thumb lies.
    PointT<double> ChannelContentPoint(const PointT<double>& channelPoint) const;
    // The zone under the window's pointer.
    std::int32_t GetPointerZone() const;
    bool IsPointerInPagingZone() const;
    void Page();
    void UpdatePagingHighlight();
    void ClearPagingHighlight();

    // Handlers of the parts' notifications.
    std::int32_t OnChannelDragCondition(const ConstRCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification);
    std::int32_t OnChannelHoverCondition(const ConstRCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification);
    std::int32_t OnThumbDragCondition(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification);
    std::int32_t OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    std::int32_t OnStepButtonRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    std::int32_t OnSiblingKey(const ConstRCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LScrollbar>> mHandler;
    bool mVertical = true;
    RCPtr<LControl> mChannel;
    RCPtr<LButton> mThumb;
    double mLineStep = 0.02;
    double mPageStep = 0.2;
    double mThumbFraction = 0.1;
    double mMinimumThumbLength = 10.0;
    double mThumbLength = 0;
    // Along the axis, in the channel's content; the track starts at 0.
    double mTrackStart = 0;
    double mTrackEnd = 0;
    bool mDragging = false;
    // Where in the thumb the drag took hold.
    PointT<zlong> mGrabOffset;
    std::int32_t mPagingZone = kNoZone;
    double mPagingRepeatInterval = 0.2;
    double mFirstPagingDelay = 0.4;
    double mLastPagingTick = 0;
    double mTimeToNextPage = 0;
    // A value set while the thumb is dragged; -1 for none.
    double mPendingValue = -1.0;
    std::uint32_t mKeyMask = 0;
    bool mHearsSiblingKeys = false;
};

}  // namespace ZV
