#include "ControlBase/ControlTreeSkin.h"
#include "ControlBase/Harness/WindowPaint.h"
#include "Notification/NotificationTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlEvents;
using Testing::ControlHarness;
using Testing::LPaintedControl;
using Testing::Painted;
using Testing::PaintWindow;
using Testing::SubControl;

RCPtr<LRecordingClient> SpyOn(const RCPtr<LControl>& control, std::vector<Delivery>& log)
{
    const RCPtr<LRecordingClient> spy = LRecordingClient::Create("spy", log);
    spy->RegisterForNotification(ConstRCPtr<LNotificationDistributor>(control.Get()), L"NID_SCROLL_OFFSET_CHANGE", 0);
    return spy;
}

TEST(ControlScroll, AnOffsetIsRoundedAndToldOnceAndDockedChildrenKeepTheirPlaceOnTheScreen)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    std::vector<Delivery> log;
    const RCPtr<LRecordingClient> spy = SpyOn(panel, log);
    const auto originOf = [&](const wchar_t* name) { return panel->FindChildByName(name)->GetAbsoluteOrigin(); };
    (void)harness.Window().TakeDirtyRects();

    EXPECT_EQ(panel->ScrollTo({10.5, -2.5}), PointT<double>(11, -3)) << "half away from zero";
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(std::wstring(log[0].id), L"NID_SCROLL_OFFSET_CHANGE");
    EXPECT_FALSE(harness.Window().TakeDirtyRects().empty());
    EXPECT_EQ(originOf(L"a"), PointT<double>(6, 20)) << "it moves with the content";
    EXPECT_EQ(originOf(L"dockedX"), PointT<double>(12, 45)) << "docked across: only its y moves";
    EXPECT_EQ(originOf(L"dockedBoth"), PointT<double>(152, 92));

    // The same offset, or one that rounds to it, or no number at all: nothing happens and nobody hears of it.
    for (const PointT<double>& same : {PointT<double>(11, -3), PointT<double>(10.6, -3.4), PointT<double>(NAN, 0)}) {
        EXPECT_EQ(panel->ScrollTo(same), PointT<double>(11, -3));
    }
    EXPECT_EQ(log.size(), 1u);
    EXPECT_TRUE(harness.Window().TakeDirtyRects().empty());
    EXPECT_EQ(panel->GetScrollRange(nullptr), RectT<double>(0, 0, 4503599627370496.0, 4503599627370496.0));
    (void)spy->UnregisterAllNotifications();
}

TEST(ControlScroll, AfterAScrollTheControlThatCameUnderTheStillPointerIsHovered)
{
    ControlHarness harness;
    const RCPtr<LControl> main = Testing::CreateControlTree(harness);
    ASSERT_TRUE(main);
    harness.Window().HitTestThroughRootControl();
    const RCPtr<LControl> panel = main->FindChildByName(L"panel");
    harness.Window().SetCursorPosition({30, 25});
    (void)panel->ScrollTo({20, 0});
    EXPECT_EQ(harness.Window().GetHoverControl(), panel->FindChildByName(L"b")) << "a scrolled away from under it";

    // A pointer outside the control: no hit test at all.
    harness.Window().SetCursorPosition({250, 190});
    const int hitTests = harness.Window().GetHitTestCount();
    (void)panel->ScrollTo({0, 0});
    EXPECT_EQ(harness.Window().GetHitTestCount(), hitTests);
}

// A child that takes a sibling out of the tree when its parent scrolls.
class LSiblingRemover : public LPaintedControl {
public:
    using LPaintedControl::LPaintedControl;

    ZVRESULT OnParentScrolled(const PointT<double>& oldOffset, const PointT<double>& newOffset) override
    {
        Record("OnParentScrolled");
        if (const RCPtr<LControl> victim = GetParent()->FindChildByName(L"victim")) {
            (void)victim->SetParent(nullptr);
        }
        return LPaintedControl::OnParentScrolled(oldOffset, newOffset);
    }
};

TEST(ControlScroll, AChildRemovedWhileItsSiblingsHearOfTheScrollIsSkippedAndNothingThrows)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.Register<LSiblingRemover>(L"Test.Remover");
    harness.LoadSkin(Painted("main", "",
                             SubControl("Test.Remover", "remover", "") + SubControl("Test.Remover", "victim", "") +
                                 SubControl("Test.Remover", "bystander", "")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> victim = main->FindChildByName(L"victim");
    ControlEvents().clear();
    EXPECT_NO_THROW((void)main->ScrollTo({0, 10}));
    EXPECT_EQ(ControlEvents(), (std::vector<std::string>{"remover OnParentScrolled", "main OnChildRemoved victim 1",
                                                         "bystander OnParentScrolled"}));
    EXPECT_EQ(victim->GetParent(), nullptr);
}

// Where each drawing call of the log went: "window" or "buffer", then the call.
std::vector<std::string> DrawsByTarget(const Testing::LRecordingRenderer& renderer)
{
    std::vector<std::string> targets{"none"};
    std::vector<std::string> draws;
    for (const Testing::RecordedCall& call : renderer.GetCalls()) {
        const std::string& operation = call.operation;
        if (operation.rfind("RenderStart", 0) == 0) {
            targets.push_back(operation.find("0,0,300,200") != std::string::npos ? "window" : "buffer");
        } else if (operation.rfind("RenderFinish", 0) == 0) {
            targets.pop_back();
        } else if (operation.rfind("Fill", 0) == 0 || operation.rfind("Draw", 0) == 0) {
            draws.push_back(targets.back() + " " + operation);
        }
    }
    return draws;
}

TEST(ControlScroll, AControlThatKeepsItsContentInABufferRedrawsOnlyWhatScrollsIntoViewAndDropsABufferTooSmall)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    std::string rows;
    for (int row = 0; row < 5; ++row) {
        // The second row has a tip that reaches outside it, which the window draws over the buffer's copy.
        const std::string tip =
            row == 1 ? Painted("tip", R"(ClipToParent="False" XPositionAbs="80" XSizeAbs="40" YSizeAbs="10")") : "";
        rows += Painted("r" + std::to_string(row),
                        R"(YPositionAbs=")" + std::to_string(row * 20) + R"(" XSizeAbs="100" YSizeAbs="20")", tip);
    }
    harness.LoadSkin(Painted(
        "main", "",
        Painted("scroller", R"(XSizeAbs="100" YSizeAbs="60")",
                rows + Painted("bar", R"(XIsDocked="True" YIsDocked="True" XPositionAbs="90" XSizeAbs="10" )"
                                      R"(YSizeAbs="60")"),
                {{"SCROLLABLE", "true"}})));
    harness.Window().SetClientArea({0, 0, 300, 200});
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> scroller = main->FindChildByName(L"scroller");
    ASSERT_TRUE(scroller->HasScrollableContent());

    // The first paint makes the buffer, draws the visible rows into it and copies it; the docked bar draws
    // straight to the window.
    harness.Renderer().ClearCalls();
    (void)PaintWindow(harness);
    const std::vector<std::string> first = DrawsByTarget(harness.Renderer());
    const auto count = [](const std::vector<std::string>& draws, const std::string& prefix) {
        int found = 0;
        for (const std::string& draw : draws) {
            found += draw.rfind(prefix, 0) == 0 ? 1 : 0;
        }
        return found;
    };
    EXPECT_EQ(count(first, "buffer FillRect 0,0,100,60 #00000000 replace"), 1) << "cleared before it is drawn";
    EXPECT_EQ(count(first, "buffer DrawText \"r"), 3) << "the three rows in view";
    EXPECT_EQ(count(first, "window DrawBitmapPart context 0,0,100,60 0,0,100,60 to 0,0"), 1);
    EXPECT_EQ(count(first, "window DrawText \"bar\""), 1);
    EXPECT_EQ(count(first, "buffer DrawText \"bar\""), 0);
    EXPECT_EQ(count(first, "window DrawText \"tip\""), 1);

    // Scrolling moves the buffer's pixels; the next paint renders only the strip that came into view.
    harness.Renderer().ClearCalls();
    EXPECT_EQ(scroller->ScrollTo({0, 20}), PointT<double>(0, 20));
    EXPECT_EQ(DrawsByTarget(harness.Renderer()),
              (std::vector<std::string>{"buffer DrawOffscreenImage context 0,0,100,60 to 0,-20"}));
    harness.Renderer().ClearCalls();
    (void)PaintWindow(harness);
    const std::vector<std::string> second = DrawsByTarget(harness.Renderer());
    EXPECT_EQ(count(second, "buffer FillRect 0,40,100,20 #00000000 replace"), 1);
    EXPECT_EQ(count(second, "buffer DrawText \"r"), 1);
    EXPECT_EQ(count(second, "buffer DrawText \"r3\""), 1);
    EXPECT_EQ(count(second, "window DrawText \"tip\""), 1) << "its row was not drawn again, but it still shows";
    // The window paints the control and its tip where it was and where it is: the copy follows the region's bands.
    std::vector<std::string> copies;
    for (const std::string& draw : second) {
        if (draw.find("DrawBitmapPart") != std::string::npos) {
            copies.push_back(draw);
        }
    }
    EXPECT_EQ(copies, (std::vector<std::string>{"window DrawBitmapPart context 0,0,100,60 0,30,100,30 to 0,30",
                                                "window DrawBitmapPart context 0,0,100,60 0,20,100,10 to 0,20",
                                                "window DrawBitmapPart context 0,0,100,60 0,10,100,10 to 0,10",
                                                "window DrawBitmapPart context 0,0,100,60 0,0,100,10 to 0,0"}));

    // A buffer frame that cannot start leaves the buffer free for the next one.
    harness.Renderer().FailNextRenderStart();
    EXPECT_ANY_THROW((void)scroller->ScrollTo({0, 0}));
    EXPECT_EQ(scroller->ScrollTo({0, 20}), PointT<double>(0, 20));
    (void)PaintWindow(harness);

    // Smaller, the buffer still holds it; larger than the buffer, the control draws straight to the window.
    const auto resize = [&](double height) {
        SizeRule size = scroller->GetLayoutDescriptor()->ySize;
        size.abs = height;
        (void)scroller->SetAxisPlacement(1, scroller->GetLayoutDescriptor()->yPosition, false, size);
    };
    resize(50);
    EXPECT_TRUE(scroller->HasScrollableContent());
    resize(80);
    EXPECT_FALSE(scroller->HasScrollableContent());
    EXPECT_EQ(harness.Window().TakeDirtyRects(), (std::vector<RectT<zlong>>{{0, 0, 120, 10}, {0, 10, 100, 70}}))
        << "the whole control, and its tip";
    harness.Window().InvalidateRect({0, 0, 300, 200});
    harness.Renderer().ClearCalls();
    (void)PaintWindow(harness);
    const std::vector<std::string> direct = DrawsByTarget(harness.Renderer());
    EXPECT_EQ(count(direct, "buffer"), 0);
    EXPECT_EQ(count(direct, "window DrawText \"r"), 4) << "r1 to r4 meet the 80 pixels from 20 on";
}

}  // namespace
}  // namespace ZV
