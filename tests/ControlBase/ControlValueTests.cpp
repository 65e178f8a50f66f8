#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/SkinnedControlSupport.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/ValueParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LSkinnedControl;

// Logs the values that "NID_VALUE_CHANGE" carries, as events beside the control's own.
class LValueSpy : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        const ConstRCPtr<LValueParam> value(notification->GetParameter());
        ASSERT_TRUE(value);
        ControlEvents().push_back("NID_VALUE_CHANGE " + std::to_string(value->GetNormalizedValue()) + " " +
                                  std::to_string(value->GetScaledValue()));
    }
};

class ControlValueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        spy->RegisterForNotification(ConstRCPtr<LNotificationDistributor>(control), L"NID_VALUE_CHANGE", 0);
        ControlEvents().clear();
    }

    void TearDown() override { (void)spy->UnregisterAllNotifications(); }

    ControlHarness harness;
    RCPtr<LSkinnedControl> control{new LSkinnedControl(nullptr, L"slider")};
    RCPtr<LValueSpy> spy{new LValueSpy()};
};

using Events = std::vector<std::string>;

TEST_F(ControlValueTest, AValueIsClampedAnnouncedOnceAfterTheHookAndNeitherTheSameValueNorNoNumberAnnouncesAnything)
{
    ASSERT_EQ(control->SetValueRange(0, 200, 0), 0);
    EXPECT_EQ(control->SetValue(1.5), 1.0);
    EXPECT_EQ(ControlEvents(), (Events{"slider OnValueChanged 1.000000", "NID_VALUE_CHANGE 1.000000 200.000000"}))
        << "the hook first, then the subscribers, before SetValue returns";
    ControlEvents().clear();
    EXPECT_EQ(control->SetValue(1.0), 1.0);
    EXPECT_EQ(control->SetValue(std::numeric_limits<double>::quiet_NaN()), 1.0);
    EXPECT_EQ(control->GetValue(), 1.0);
    EXPECT_TRUE(ControlEvents().empty()) << "the same value, and a value that is no number, change nothing";
    EXPECT_EQ(control->SetValue(-std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_EQ(control->SetValue(0.25), 0.25);
    EXPECT_EQ(ControlEvents(), (Events{"slider OnValueChanged 0.000000", "NID_VALUE_CHANGE 0.000000 0.000000",
                                       "slider OnValueChanged 0.250000", "NID_VALUE_CHANGE 0.250000 50.000000"}));
}

TEST_F(ControlValueTest, RangesAreLinearOrLogarithmicInEitherOrderAndABadRangeIsRefusedWithNothingChanged)
{
    ASSERT_EQ(control->SetValueRange(10, 1000, 1), 0);
    EXPECT_DOUBLE_EQ(control->NormalizedToValue(0.5), 100);
    EXPECT_DOUBLE_EQ(control->NormalizedToValue(0), 10);
    EXPECT_DOUBLE_EQ(control->NormalizedToValue(1), 1000);
    EXPECT_DOUBLE_EQ(control->ValueToNormalized(100), 0.5);
    EXPECT_DOUBLE_EQ(control->ValueToNormalized(5000), 1) << "clamped into the range";
    EXPECT_DOUBLE_EQ(control->ValueToNormalized(1), 0);
    EXPECT_EQ(control->SetValue(0.5), 0.5);
    EXPECT_EQ(ControlEvents().back(), "NID_VALUE_CHANGE 0.500000 100.000000");

    EXPECT_EQ(control->SetValueRange(0, 100, 1), ZV_E_INVALIDARG) << "no logarithm of 0";
    EXPECT_EQ(control->SetValueRange(10, -5, 1), ZV_E_INVALIDARG);
    EXPECT_EQ(control->SetValueRange(0, 100, 2), ZV_E_INVALIDARG) << "no such scale";
    EXPECT_DOUBLE_EQ(control->NormalizedToValue(0.5), 100) << "the range is as it was";
    EXPECT_EQ(control->GetValue(), 0.5);

    ASSERT_EQ(control->SetValueRange(100, 0, 0), 0);
    EXPECT_DOUBLE_EQ(control->ValueToNormalized(25), 0.75) << "a range may run downwards";
    EXPECT_DOUBLE_EQ(control->ValueToNormalized(-50), 1);
    EXPECT_DOUBLE_EQ(control->NormalizedToValue(0.25), 75);
    EXPECT_EQ(control->GetValue(), 0.5) << "a new range leaves the normalised value";

    ASSERT_EQ(control->SetValueRange(7, 7, 0), 0);
    EXPECT_EQ(control->ValueToNormalized(7), 0) << "an empty range";
}

}  // namespace
}  // namespace ZV
