#include "ControlBase/Harness/NotificationSpy.h"
#include "Controls/ScrollView.h"
#include "Controls/ScrollSkin.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"
#include "Notification/ValueParam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::LNotificationSpy;
using Testing::Wearing;
using Lines = std::vector<std::string>;

constexpr std::uint32_t kShift = 0x8;
constexpr std::uint32_t kAlt = 0x40;

// A bar 10 pixels thick along one edge of its view, with its buttons at its ends and a channel between them.
std::string Bar(const std::string& name, bool vertical)
{
    const std::string across = vertical ? "X" : "Y";
    const std::string along = vertical ? "Y" : "X";
    const std::string button = across + R"(SizeAbs="10" )" + along + R"(SizeAbs="10")";
    return Wearing("Framework.ScrollBar", name, "panel",
                   R"(XIsDocked="True" YIsDocked="True" )" + across + R"(PositionToControl="Parent" )" + across +
                       R"(PositionRel="1" )" + across + R"(PlacementAnchor="1" )" + across + R"(SizeAbs="10" )" +
                       along + R"(SizeToControl="Parent" )" + along + R"(SizeRel="1" )" + along + R"(SizeAbs="0")",
                   Wearing("Framework.Button", "dec", "button", button) +
                       Wearing("Framework.Button", "inc", "button",
                               button + " " + along + R"(PositionToControl="Parent" )" + along +
                                   R"(PositionRel="1" )" + along + R"(PlacementAnchor="1")") +
                       Wearing("Framework.ScrollChannel", "channel", "channel",
                               across + R"(SizeAbs="10" )" + along + R"(PositionAbs="10" )" + along +
                                   R"(SizeToControl="Parent" )" + along + R"(SizeRel="1" )" + along +
                                   R"(SizeAbs="-20")",
                               Wearing("Framework.Button", "thumb", "button", button)));
}

// A view of 100 x 80 whose extent follows its children: "content", and any more given, with both bars.
std::string View(const std::string& name, const std::string& attributes, const std::string& content,
                 const std::string& more = "")
{
    return Wearing("Framework.Panel", name, "panel", attributes,
                   Testing::Panel("content", content, "") + more + Bar("vBar", true) + Bar("hBar", false),
                   Testing::CreateParams({{"AUTO_CLIENT_EXTENT_X", "true"}, {"AUTO_CLIENT_EXTENT_Y", " True "}}));
}

struct ViewFixture {
    ControlsHarness harness;
    RCPtr<LControl> main;
    RCPtr<LScrollView> view;
    RCPtr<LControl> content;

    explicit ViewFixture(const std::string& contentSize)
    {
        main = harness.CreateMain(Testing::ScrollSkin(View("view", R"(XSizeAbs="100" YSizeAbs="80")", contentSize)));
        view = dynamic_cast<LScrollView*>(main->FindChildByName(L"view").Get());
        content = view ? view->FindChildByName(L"content") : nullptr;
    }

    void ResizeContent(double width, double height)
    {
        const LLayoutDescriptor& layout = *content->GetLayoutDescriptor();
        for (const int axis : {0, 1}) {
            SizeRule size;
            size.abs = axis == 0 ? width : height;
            (void)content->SetAxisPlacement(axis, axis == 0 ? layout.xPosition : layout.yPosition,
                                            axis == 0 ? layout.xIsDocked : layout.yIsDocked, size);
        }
    }

    // Which bars show: "v", "h", "vh" or "".
    std::string BarsShown() const
    {
        return std::string(view->GetVerticalBar()->IsVisible(false) ? "v" : "") +
               (view->GetHorizontalBar()->IsVisible(false) ? "h" : "");
    }
};

TEST(ScrollView, ABarShowsOnlyOnceTheContentPassesTheViewAndOneBarCanMakeTheOtherNecessary)
{
    ViewFixture fixture(R"(XSizeAbs="50" YSizeAbs="80")");
    ASSERT_TRUE(fixture.view && fixture.content);
    LScrollView& view = *fixture.view;
    EXPECT_EQ(view.GetClientExtent(), PointT<double>(50, 80));
    EXPECT_EQ(fixture.BarsShown(), "") << "exactly as tall as the view";
    EXPECT_EQ(view.GetLookClientRect(), RectT<double>(0, 0, 100, 80));

    fixture.ResizeContent(50, 81);
    EXPECT_EQ(fixture.BarsShown(), "v") << "one pixel taller";
    EXPECT_EQ(view.GetLookClientRect(), RectT<double>(0, 0, 90, 80));
    EXPECT_EQ(view.GetVerticalBar()->GetSize(), PointT<double>(10, 80));
    EXPECT_EQ(view.GetScrollRange(nullptr), RectT<double>(0, 0, 0, 1));

    fixture.ResizeContent(91, 81);
    EXPECT_EQ(fixture.BarsShown(), "vh") << "the vertical bar leaves the content too little width";
    EXPECT_EQ(view.GetLookClientRect(), RectT<double>(0, 0, 90, 70));

    fixture.ResizeContent(90, 70);
    EXPECT_EQ(fixture.BarsShown(), "") << "everything fits again";
    fixture.ResizeContent(120, 75);
    EXPECT_EQ(fixture.BarsShown(), "vh") << "the horizontal bar leaves the content too little height";
    EXPECT_EQ(view.GetScrollRange(nullptr), RectT<double>(0, 0, 30, 5));

    // An extent set by the owner.
    EXPECT_EQ(view.SetAutoClientExtent(0, 0, 0), ZV_S_OK);
    const RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    spy->Watch(fixture.view, {L"NID_CLIENT_EXTENT_CHANGE"});
    EXPECT_EQ(view.SetClientExtent(120 + 1e-15, 75), ZV_S_FALSE) << "a change too small to count";
    EXPECT_EQ(spy->TakeLines(), Lines{});
    EXPECT_EQ(view.SetClientExtent(80, 200), ZV_S_OK);
    EXPECT_EQ(spy->TakeLines(), (Lines{"view NID_CLIENT_EXTENT_CHANGE"}));
    EXPECT_EQ(fixture.BarsShown(), "v");
    (void)spy->UnregisterAllNotifications();
}

TEST(ScrollView, ScrollingMovesTheBarsWithoutAnEchoAndTheBarsScrollTheContent)
{
    ViewFixture fixture(R"(XSizeAbs="50" YSizeAbs="180")");
    ASSERT_TRUE(fixture.view);
    LScrollView& view = *fixture.view;
    const RCPtr<LScrollbar> bar = view.GetVerticalBar();
    ASSERT_EQ(fixture.BarsShown(), "v");
    EXPECT_EQ(bar->NormalizedToValue(1.0), 100) << "the bar's range is the content's overhang";
    EXPECT_FLOAT_EQ(bar->GetPageStep(), 0.8f) << "the part of the content in view, of the overhang";
    EXPECT_FLOAT_EQ(bar->GetLineStep(), 0.08f);

    const RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    spy->Watch(fixture.view, {L"NID_SCROLL_OFFSET_CHANGE"});
    spy->Watch(bar, {L"NID_VALUE_CHANGE"});
    std::vector<double> reported;
    spy->OnEach(L"NID_VALUE_CHANGE", [&](const LNotification& notification) {
        reported.push_back(dynamic_cast<const LValueParam&>(*notification.GetParameter()).GetScaledValue());
    });

    EXPECT_EQ(view.ScrollTo({0, 40}), PointT<double>(0, 40));
    EXPECT_EQ(spy->TakeLines(), (Lines{"vBar NID_VALUE_CHANGE", "view NID_SCROLL_OFFSET_CHANGE"}))
        << "the bar follows once, and its change does not scroll again";
    EXPECT_EQ(reported, (std::vector<double>{40}));
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.4);

    (void)bar->SetValue(0.375);
    EXPECT_EQ(view.GetScrollOffset(), PointT<double>(0, 38)) << "37.5 pixels, half away from zero";
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.38) << "the bar stops at the whole pixel that the content went to";
    Lines lines = spy->TakeLines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Lines{"vBar NID_VALUE_CHANGE", "vBar NID_VALUE_CHANGE", "view NID_SCROLL_OFFSET_CHANGE"}));

    // Content that shrinks takes the offset back with the bar's range.
    fixture.ResizeContent(50, 100);
    EXPECT_EQ(bar->NormalizedToValue(1.0), 20);
    EXPECT_EQ(view.GetScrollOffset(), PointT<double>(0, 20));
    EXPECT_DOUBLE_EQ(bar->GetValue(), 1.0);
    (void)spy->UnregisterAllNotifications();
}

TEST(ScrollView, ANewSkinKeepsTheBarsCoupledOnceAndTheExtentMeasured)
{
    ViewFixture fixture(R"(XSizeAbs="50" YSizeAbs="180")");
    ASSERT_TRUE(fixture.view);
    LScrollView& view = *fixture.view;
    (void)view.ScrollTo({0, 30});
    ASSERT_EQ(view.ApplyDescriptor(view.GetControlDescriptor()), ZV_S_OK);
    EXPECT_EQ(fixture.BarsShown(), "v");
    EXPECT_EQ(view.GetClientExtent(), PointT<double>(50, 180));

    const RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    spy->Watch(fixture.view, {L"NID_SCROLL_OFFSET_CHANGE"});
    (void)view.GetVerticalBar()->SetValue(0.5);
    EXPECT_EQ(view.GetScrollOffset(), PointT<double>(0, 50));
    EXPECT_EQ(spy->TakeLines(), (Lines{"view NID_SCROLL_OFFSET_CHANGE"}));
    fixture.ResizeContent(50, 60);
    EXPECT_EQ(fixture.BarsShown(), "");
    EXPECT_EQ(view.GetScrollOffset(), PointT<double>(0, 0)) << "all of the content in view";
    (void)spy->UnregisterAllNotifications();
}

TEST(ScrollView, StepScrollingMovesInWholeStepsAndAStepOfNothingScrollsByPixels)
{
    ViewFixture fixture(R"(XSizeAbs="50" YSizeAbs="180")");
    ASSERT_TRUE(fixture.view);
    LScrollView& view = *fixture.view;
    const RCPtr<LScrollbar> bar = view.GetVerticalBar();
    view.SetScrollStep(1, 20);
    EXPECT_EQ(bar->NormalizedToValue(1.0), 5) << "9 steps, 4 in view";
    EXPECT_DOUBLE_EQ(bar->GetLineStep(), 0.2);
    EXPECT_DOUBLE_EQ(bar->GetPageStep(), 0.8);
    (void)bar->SetValue(0.5);
    EXPECT_EQ(view.GetScrollOffset(), PointT<double>(0, 40)) << "2.5 steps start at the second";
    (void)view.ScrollTo({0, 60});
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.6);

    for (const std::int32_t nothing : {0, -20}) {
        view.SetScrollStep(1, nothing);
        EXPECT_EQ(bar->NormalizedToValue(1.0), 100) << "pixels, for a step of " << nothing;
        EXPECT_EQ(view.GetScrollOffset(), PointT<double>(0, 60));
        (void)bar->SetValue(0.125);
        EXPECT_EQ(view.GetScrollOffset(), PointT<double>(0, 13));
        (void)view.ScrollTo({0, 60});
    }
}

TEST(ScrollView, TheWheelMovesTheShownBarAndAViewWhoseContentFitsLeavesItToTheViewAroundIt)
{
    ControlsHarness harness;
    const RCPtr<LControl> main = harness.CreateMain(Testing::ScrollSkin(
        View("outer", R"(XSizeAbs="100" YSizeAbs="80")", R"(XSizeAbs="150" YSizeAbs="300")",
             View("inner", R"(XSizeAbs="60" YSizeAbs="40")", R"(XSizeAbs="20" YSizeAbs="20")"))));
    ASSERT_TRUE(main);
    const RCPtr<LScrollView> outer = dynamic_cast<LScrollView*>(main->FindChildByName(L"outer").Get());
    ASSERT_TRUE(outer);
    const RCPtr<LControl> inner = outer->FindChildByName(L"inner");
    ASSERT_TRUE(inner);
    // Over the inner view, or over the outer one's content beside it.
    const auto turn = [&](const RCPtr<LControl>& under, std::uint32_t modifiers, std::uint32_t direction) {
        const PointT<double> origin = Testing::GetOriginInWindow(*under);
        const PointT<double> inside = under == inner ? PointT<double>(10, 10) : PointT<double>(70, 50);
        harness.Mouse().RouteMouseWheel(PointT<double>(origin.x + inside.x, origin.y + inside.y).ToLongPoint(),
                                        modifiers, direction);
        return outer->GetScrollOffset();
    };

    // 300 pixels of content, 70 in view: a page is 70 of the 230 that do not fit, a line a tenth of it.
    EXPECT_EQ(turn(outer, 0, LMouseWheelParam::kVerticalNegative), PointT<double>(0, 7)) << "a line";
    EXPECT_EQ(turn(outer, 0, LMouseWheelParam::kVerticalPositive), PointT<double>(0, 0));
    EXPECT_EQ(turn(inner, 0, LMouseWheelParam::kVerticalNegative), PointT<double>(0, 7))
        << "the inner view's content fits";
    EXPECT_EQ(turn(outer, kShift, LMouseWheelParam::kVerticalNegative), PointT<double>(0, 77)) << "Shift: a page";
    // 150 pixels wide, 90 in view: a page would be more than the whole range.
    EXPECT_EQ(turn(outer, kAlt, LMouseWheelParam::kVerticalNegative), PointT<double>(6, 77))
        << "Alt: the horizontal bar";
    EXPECT_EQ(turn(outer, 0, LMouseWheelParam::kHorizontalNegative), PointT<double>(12, 77));
    EXPECT_EQ(turn(outer, 0, LMouseWheelParam::kHorizontalPositive), PointT<double>(6, 77));

    // Only the horizontal bar shows: the vertical wheel turns it.
    (void)outer->ScrollTo({0, 0});
    const RCPtr<LControl> content = outer->FindChildByName(L"content");
    SizeRule lower;
    lower.abs = 50;
    (void)content->SetAxisPlacement(1, content->GetLayoutDescriptor()->yPosition, false, lower);
    ASSERT_FALSE(outer->GetVerticalBar()->IsVisible(false));
    EXPECT_EQ(turn(outer, 0, LMouseWheelParam::kVerticalNegative), PointT<double>(5, 0));
}

}  // namespace
}  // namespace ZV
