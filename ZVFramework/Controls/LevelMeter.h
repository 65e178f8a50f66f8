#pragma once

#include "ControlBase/Control.h"
#include "Controls/Panel.h"
#include "Notification/NotificationHandler.h"

#include <cstdint>

namespace ZV {

// A bar meter, vertical when taller than wide: the child "activeOverlay" is sized along the meter's axis from the
// level (on a horizontal meter it is the lit part from the left, on a vertical one it covers the part above the
// level); the child "peakLo" is a peak marker that travels from where the skin puts it to where the skin puts the
// child "peakHi"; the child "clipButton" is a clip light, lit when the caller's clip counter changes, and while
// latching is on kept lit until the user clicks it ("NID_CLIPLIGHT_UNLATCHED"). The overlay and the marker are
// panels, the light any control. Any of them may be missing; a child of another class counts as missing.
class LLevelMeter : public LControl {
public:
    using LControl::LControl;

    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // A value set from outside shows as the level, without a peak.
    void OnValueChanged() override;
    // The axis follows the meter's shape, and the overlay its length along it.
    void SizeLooks(const PointT<zlong>& size) override;
    // The marker's travel follows the children's places, once they are laid out.
    void UpdateContentExtent() override;

    // With the clip counter as it is. 0.
    [[nodiscard]] virtual ZVRESULT SetLevels(double level, double peak);
    // Level and peak from 0 to 1; a counter other than the last one lights the clip light. 0.
    [[nodiscard]] virtual ZVRESULT SetLevelsAndClip(double level, double peak, std::int32_t clipCounter);
    // Latching on or off; the light goes dark either way. 0; ZV_E_FAIL without a clip light.
    [[nodiscard]] virtual ZVRESULT SetClipLatch(bool on);
    virtual bool IsClipLit() const;
    virtual std::int32_t GetClipCounter() const { return mClipCounter; }
    // Stores the counter and changes nothing else; answers it.
    virtual std::int32_t SetClipCounter(std::int32_t counter);

    // 1 for a vertical meter (taller than wide), 0 for a horizontal one.
    int GetAxis() const { return mAxis; }

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    std::int32_t OnClipButtonClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification);
    // Null for a child that is missing or no panel.
    RCPtr<LPanel> PanelNamed(const wchar_t* name) const;
    void SizeOverlay(double level);
    // Where "peakHi" stands, and where the marker stands without a peak.
    void TakePeakEnds();
    void PlacePeakMarker(double peak);

    RCPtr<LNotificationHandler<LLevelMeter>> mHandler;
    std::int32_t mClipCounter = 0;
    bool mClipLatchOn = false;
    // The ends of the marker's travel at the meter's current size.
    PointT<double> mPeakLowPosition;
    PointT<double> mPeakHighPosition;
    // The peak the marker shows, 0 to 1.
    double mPeak = 0;
    // The marker's own offsets on both axes as the skin gave them: its travel starts there.
    PointT<double> mPeakLowOffset;
    RCPtr<LPanel> mPeakMarker;
    RCPtr<LPanel> mOverlay;
    RCPtr<LControl> mClipLight;
    // While the meter sets its own value, so that OnValueChanged does not show it a second time.
    bool mUpdating = false;
    int mAxis = 0;
};

}  // namespace ZV
