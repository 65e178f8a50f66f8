#pragma once

#include "Controls/Button.h"
#include "Controls/Panel.h"
#include "Controls/ValueStepping.h"
#include "Notification/NotificationHandler.h"

#include <cstdint>

namespace ZV {

// A slider whose thumb travels on the straight segment between two hidden markers, "thumbStart" and "thumbEnd", on
// any line: the value is the thumb's distance from the start marker over the segment's length (squared, where the
// owner asks for it). The thumb is a button made from the start marker's skin. It is dragged, paged by a press held
// on the track (after 0.3 s, then every 0.1 s, never past the pointer), stepped by arrow keys and the wheel by one
// unit of the range (0 .. 127 unless its owner sets another); a value set from outside during a drag waits for the
// release. Looks: 0 normal, 1 focused, 2 disabled. Without a segment (a marker missing, or both at one place) the
// thumb stays where it is and the value changes only through SetValue, the keys and the wheel.
//
// The bodies: Slider.cpp (creation, the value and the thumb's place), SliderInput.cpp (the thumb's drag, the track,
// the keys, the wheel and the look of the state).
class LSlider : public LPanel {
public:
    // The normalised step of a press on the track.
    static constexpr double kPageStep = 0.1;
    static constexpr double kFirstRepeatDelay = 0.3;
    static constexpr double kRepeatInterval = 0.1;

    using LPanel::LPanel;

    // During a drag the value waits for the release; answers the value the slider has now.
    double SetValue(double value) override;
    // Finds the thumb, or places it.
    void UpdateContentExtent() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void SelectStateLook() override;
    [[nodiscard]] ZVRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& wheel) override;
    [[nodiscard]] ZVRESULT OnMouseHWheel(const RCPtr<LMouseWheelParam>& wheel) override;
    // A click on the track pages toward its point.
    void HandleLeftClick(const RCPtr<LMouseButtonParam>& click) override;
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override;
    // The arrow keys that the focused thumb passes up are the slider's; others go the panel's way.
    void ProcessHotKey(const RCPtr<LKeyParam>& key) override;
    void OnIdle(const RCPtr<LNotification>& idle) override;
    [[nodiscard]] ZVRESULT Initialize() override;
    // A thumb added later is placed as the one the slider makes.
    [[nodiscard]] ZVRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;
    [[nodiscard]] ZVRESULT OnInitialized() override;

    const RCPtr<LButton>& GetThumb() const { return mThumb; }
    bool IsDragging() const { return mDragging; }

protected:
    // From now on a double click or a click with Ctrl on the thumb sets the value.
    void SetClickValue(double value);
    // Whether a value set during a drag applies at the release (so unless changed), and whether it is then also
    // announced with a "NID_VALUE_CHANGE" of its own.
    void SetPendingValueRules(bool applyAtRelease, bool announce);
    // The value is the square of the distance ratio: the thumb moves by the square root of the value.
    void SetSquared(bool squared) { mSquared = squared; }

    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // The start marker's layout with docking off, tab stop 0, and positions from its absolute offsets alone.
    RCPtr<LLayoutDescriptor> MakeThumbLayout() const;
    void MakeThumb();
    // The children's positions in whole pixels.
    PointT<double> StartPoint() const;
    PointT<double> EndPoint() const;
    PointT<double> ThumbPoint() const;
    // 0 without a segment.
    double SegmentLength() const;
    // The distance from the start over the segment's length, squared where asked.
    double RatioOf(const PointT<double>& point) const;
    // A point of the slider's own coordinates among its children's positions.
    PointT<double> ToChildPositions(const PointT<double>& point) const;
    // Puts the thumb where the value says, unless it is being dragged.
    void PlaceThumb();
    void MoveThumbTo(const PointT<double>& position);
    // The value of the thumb's place.
    void TakeValueFromThumb();
    // One page toward the point (the slider's coordinates) that the thumb's hot spot aims at; never past it.
    void PageToward(const PointT<double>& point);

    std::int32_t OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    std::int32_t OnThumbClick(const ConstRCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);
    std::int32_t OnThumbDragConditionChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                            const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LSlider>> mHandler;
    RCPtr<LButton> mThumb;
    RCPtr<LControl> mStartMarker;
    RCPtr<LControl> mEndMarker;
    bool mDragging = false;
    // Where the thumb was grabbed, in its own coordinates.
    PointT<double> mGrabOffset;
    bool mTrackPressed = false;
    // Seconds of the application's clock.
    double mLastRepeatTime = 0;
    double mRepeatCountdown = 0;
    double mClickValue = 0;
    bool mClickSetsValue = false;
    // -1 for none.
    double mPendingValue = -1.0;
    bool mApplyPendingAtRelease = true;
    bool mAnnouncePending = false;
    bool mSquared = false;
    // The point of the thumb that follows the segment, relative to the thumb.
    PointT<double> mThumbHotSpot;
    ValueKeyRun mKeys;
};

}  // namespace ZV
