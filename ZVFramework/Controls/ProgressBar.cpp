#include "Controls/ProgressBar.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/ControlServices.h"
#include "Controls/Label.h"
#include "Controls/Panel.h"

#include <cmath>
#include <limits>

namespace ZV {

namespace {

constexpr const wchar_t* kUnitWordIds[] = {L"HOURS_SINGULAR",  L"HOURS_PLURAL",     L"MINUTES_SINGULAR",
                                           L"MINUTES_PLURAL",  L"SECONDS_SINGULAR", L"SECONDS_PLURAL",
                                           L"REMAINING"};
// Samples of the estimate are taken at most this often, in seconds.
constexpr double kSampleInterval = 1.0;

}  // namespace

ZVRESULT LProgressBar::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    mOverlay = dynamic_cast<LPanel*>(FindChildByName(L"activeOverlay").Get());
    mTimeLabel = dynamic_cast<LLabel*>(FindChildByName(L"timeRemainingLabel").Get());
    mPercentLabel = dynamic_cast<LLabel*>(FindChildByName(L"percentCompleteLabel").Get());
    if (mTimeLabel) {
        (void)mTimeLabel->SetVisible(false);
    }
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    // A word the table lacks stays empty.
    if (const RCPtr<LStringTable> table = factory ? factory->GetFrameworkStringTable() : nullptr) {
        for (int word = 0; word < kUnitWordCount; ++word) {
            (void)table->GetString(kUnitWordIds[word], mUnitWords[word]);
        }
    }
    (void)SetValue(0.0);
    (void)SetValueRange(0.0, 100.0, kLinearScale);
    return result;
}

ZVRESULT LProgressBar::OnInitialized()
{
    FixNotFocusable(true);
    // Looks start without weight: without a weighted look the bar would show neither itself nor its parts.
    if (GetLookCount() > 0) {
        (void)SelectLook(0);
    }
    OnValueChanged();
    return ZV_S_OK;
}

void LProgressBar::OnValueChanged()
{
    const double percent = GetValue() * 100;
    UpdateOverlay(GetValue());
    if (mPercentLabel) {
        (void)mPercentLabel->SetText(WideString::FromDouble(percent, 0));
    }
    if (mEstimateOn) {
        UpdateTimeEstimate();
    }
}

void LProgressBar::UpdateOverlay(double fraction)
{
    if (!mOverlay || !mOverlay->GetLayoutDescriptor()) {
        return;
    }
    const double width = RoundCoordinate(GetSize().x * fraction);
    if (width < 1) {
        (void)mOverlay->SetVisible(false);
        return;
    }
    (void)mOverlay->SetVisible(true);
    const LLayoutDescriptor& layout = *mOverlay->GetLayoutDescriptor();
    SizeRule size = layout.xSize;
    size.toControlKind = kSizeToSelf;
    size.abs = width;
    // The rules read back are the ones given.
    (void)mOverlay->SetAxisPlacement(0, layout.xPosition, layout.xIsDocked, size);
}

void LProgressBar::UpdateTimeEstimate()
{
    const double now = GetControlServices().GetTimeSeconds();
    const double value = GetValue();
    // A rise over less than a sample interval, as when the first messages fill a buffer at once, says nothing of the
    // rate: the time it gave would be close to nothing however much is left.
    const bool measured = now - mStartTime >= kSampleInterval || value >= 1.0;
    if (value > mLastValue && now > mLastTime && measured) {
        // The average rate since the start: the last sample only says whether the value has risen since.
        const double rate = (value - mStartValue) / (now - mStartTime);
        if (now - mLastTime > kSampleInterval) {
            mLastValue = value;
            mLastTime = now;
        }
        // A value that hardly moves would leave more seconds than a time can hold.
        const double remaining = std::round((1.0 - value) / rate);
        constexpr double kLongest = std::numeric_limits<std::int32_t>::max();
        SetTimeRemaining(remaining < kLongest ? static_cast<std::int32_t>(remaining)
                                              : std::numeric_limits<std::int32_t>::max());
        // Past that time, and a sample interval more, a value that has not risen again has stopped.
        mEstimateRunsOut = now + remaining + kSampleInterval;
        WatchForStop(value < 1.0);
    }
    if (value >= 1.0) {
        mEstimateOn = false;
        WatchForStop(false);
    }
}

void LProgressBar::WatchForStop(bool watch)
{
    if (watch == mWatchingForStop) {
        return;
    }
    mWatchingForStop = watch;
    if (watch) {
        (void)BeginIdleNotifications();
    } else {
        (void)EndIdleNotifications();
    }
}

void LProgressBar::OnIdle(const RCPtr<LNotification>&)
{
    if (mWatchingForStop && GetControlServices().GetTimeSeconds() > mEstimateRunsOut) {
        HideTimeRemaining();
        WatchForStop(false);
    }
}

void LProgressBar::HideTimeRemaining()
{
    if (mTimeLabel) {
        (void)mTimeLabel->SetVisible(false);
    }
}

void LProgressBar::SetTimeEstimateEnabled(bool on)
{
    if (on == mEstimateOn) {
        return;
    }
    mEstimateOn = on;
    WatchForStop(false);
    if (on) {
        mStartTime = mLastTime = GetControlServices().GetTimeSeconds();
        mStartValue = mLastValue = GetValue();
        // A time shown before (the owner's, or an earlier run's) is not this estimate's; until it has measured a
        // rise, there is none.
        HideTimeRemaining();
    }
}

void LProgressBar::SetTimeRemaining(std::int32_t seconds)
{
    if (!mTimeLabel) {
        return;
    }
    (void)mTimeLabel->SetVisible(true);
    const std::int32_t hours = seconds >= 3600 ? seconds / 3600 : 0;
    const std::int32_t minutes = seconds >= 60 ? (seconds - seconds / 3600 * 3600) / 60 : 0;
    const std::int32_t rest = seconds > 0 ? (seconds - seconds / 3600 * 3600) % 60 : 0;
    const auto part = [&](std::int32_t count, UnitWord singular, UnitWord plural) {
        return WideString::Format(L"%d ", count) + mUnitWords[count == 1 ? singular : plural] + WideString(L" ");
    };
    WideString text;
    if (hours > 0) {
        text += part(hours, kHour, kHours);
        if (minutes == 0) {
            text += part(0, kMinute, kMinutes);
        }
    }
    if (minutes > 0) {
        text += part(minutes, kMinute, kMinutes);
    }
    text += part(rest, kSecond, kSeconds) + mUnitWords[kRemaining];
    (void)mTimeLabel->SetText(text);
}

}  // namespace ZV
