#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace ZV {

class LLabel;
class LPanel;

// How far something has come, 0 .. 1: the skin's "activeOverlay" panel fills that share of the bar's width, the
// "percentCompleteLabel" shows the percentage and the "timeRemainingLabel" the time left, in the unit words of the
// framework's string table. The time comes from the owner, or from the bar's own estimate of the rate at which the
// value rises. A missing part is left out. The value is reported in the range 0 .. 100; the bar takes no focus.
class LProgressBar : public LControl {
public:
    using LControl::LControl;

    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    void OnValueChanged() override;

    // Shows the time label with the hours (when there are any, then with the minutes too), the minutes (when there
    // are any) and always the seconds. A negative time shows as 0 seconds.
    virtual void SetTimeRemaining(std::int32_t seconds);
    // With the estimate on, every rise of the value shows the time left at the average rate since the estimate was
    // switched on, once that rate has been measured over a second or more; it goes off by itself at the end. A value
    // that stops rising shows no time left once the time shown (and a second more) has passed: nothing the bar knows
    // tells how long is left then. Switching the estimate on hides the time shown until it has one of its own.
    virtual void SetTimeEstimateEnabled(bool on);
    bool IsTimeEstimateEnabled() const { return mEstimateOn; }
    void OnIdle(const RCPtr<LNotification>& idle) override;

private:
    void UpdateOverlay(double fraction);
    void UpdateTimeEstimate();
    // While the estimate shows a time with work left, idle passes look whether that time has run out.
    void WatchForStop(bool watch);
    void HideTimeRemaining();

    // Hours, minutes and seconds, each singular and plural, then the word that ends the text.
    enum UnitWord { kHour, kHours, kMinute, kMinutes, kSecond, kSeconds, kRemaining, kUnitWordCount };

    RCPtr<LPanel> mOverlay;
    RCPtr<LLabel> mTimeLabel;
    RCPtr<LLabel> mPercentLabel;
    WideString mUnitWords[kUnitWordCount];
    // The samples of the estimate: seconds of the application's clock, and values.
    double mStartTime = 0;
    double mStartValue = 0;
    double mLastTime = 0;
    double mLastValue = 0;
    // When the time shown by the estimate, and a sample interval more, has passed.
    double mEstimateRunsOut = 0;
    bool mEstimateOn = false;
    bool mWatchingForStop = false;
};

}  // namespace ZV
