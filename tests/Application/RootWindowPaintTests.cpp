#include "Application/RootWindowTestWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace ZV {
namespace {

using ::testing::ElementsAre;
using Testing::RecordedCall;
using Testing::SubControl;

// A window of 300 x 200: a panel whose pop-up reaches outside it and has a child of its own that does too, and a
// control beside the panel.
std::string PopUpSkin()
{
    return SubControl(
        "Test.Input", "main", "",
        SubControl("Test.Input", "panel", R"(XPositionAbs="10" YPositionAbs="10" XSizeAbs="200" YSizeAbs="120")",
                   SubControl("Test.Input", "popup",
                              R"(ClipToParent="False" Z_Order="5" XPositionAbs="150" YPositionAbs="80" )"
                              R"(XSizeAbs="100" YSizeAbs="80")",
                              SubControl("Test.Input", "child",
                                         R"(ClipToParent="False" XPositionAbs="60" YPositionAbs="60" )"
                                         R"(XSizeAbs="60" YSizeAbs="30")"))) +
            SubControl("Test.Input", "beside", R"(XPositionAbs="220" YPositionAbs="10" XSizeAbs="60" YSizeAbs="60")"));
}

// Size rules of the top-level control's minimum and maximum.
std::string LimitedSkin(int minimumWidth, int minimumHeight, int maximumWidth, int maximumHeight)
{
    const auto limit = [](const char* axis, const char* kind, int value) {
        return std::string(axis) + kind + R"(SizeToControl="Self" )" + axis + kind + R"(SizeAbs=")" +
               std::to_string(value) + "\" ";
    };
    return SubControl("Test.Input", "main",
                      limit("X", "Min", minimumWidth) + limit("Y", "Min", minimumHeight) +
                          limit("X", "Max", maximumWidth) + limit("Y", "Max", maximumHeight));
}

// The labels drawn, in order: each control draws its name once for its one look.
std::vector<std::string> LabelsDrawn(const Testing::LRecordingRenderer& renderer)
{
    std::vector<std::string> labels;
    for (const RecordedCall& call : renderer.GetCalls()) {
        if (call.operation.rfind("DrawText \"", 0) == 0) {
            labels.push_back(call.operation.substr(10, call.operation.find('"', 10) - 10));
        }
    }
    return labels;
}

TEST(RootWindowPaint, AControlThatReachesOutsideItsParentAndItsChildThatDoesTooAreEachDrawnOnceAboveTheRest)
{
    Testing::RootWindowTestWindow test;
    test.Open(PopUpSkin(), 300, 200);
    test.mRenderer->ClearCalls();
    ASSERT_EQ(test.mRoot->RedrawAll(), ZV_S_OK);
    EXPECT_THAT(LabelsDrawn(*test.mRenderer), ElementsAre("main", "panel", "beside", "popup", "child"));
}

TEST(RootWindowPaint, InvalidatingOneControlPaintsOnlyItsRectangle)
{
    Testing::RootWindowTestWindow test;
    test.Open(PopUpSkin(), 300, 200);
    test.TurnLoop();
    test.mRenderer->ClearCalls();
    const RCPtr<LControl> beside = test.Find(L"beside");
    ASSERT_EQ(beside->InvalidateRect({0, 0, 60, 60}, true), ZV_S_OK);
    test.TurnLoop();
    EXPECT_THAT(LabelsDrawn(*test.mRenderer), ElementsAre("main", "beside"));
    int draws = 0;
    for (const RecordedCall& call : test.mRenderer->GetCalls()) {
        if (call.inFrame && (call.operation.rfind("Fill", 0) == 0 || call.operation.rfind("Frame", 0) == 0 ||
                             call.operation.rfind("DrawText", 0) == 0)) {
            ++draws;
            RectT<double> inside;
            EXPECT_TRUE(RectT<double>::Intersect(inside, call.deviceClip, {220, 10, 60, 60}) &&
                        inside == call.deviceClip)
                << call.ToString();
        }
    }
    EXPECT_GT(draws, 0);
}

TEST(RootWindowPaint, TheWindowIsHeldToTheRootControlsLimitsAndTellsTheDesktopOfThem)
{
    Testing::RootWindowTestWindow test;
    test.Open(LimitedSkin(200, 150, 400, 300), 300, 200);
    zlong width = 1000;
    zlong height = 900;
    EXPECT_EQ(test.mRoot->ConstrainClientSize(width, height), 1);
    EXPECT_EQ(PointT<zlong>(width, height), PointT<zlong>(400, 300));
    width = 100;
    height = 100;
    EXPECT_EQ(test.mRoot->ConstrainClientSize(width, height), 1);
    EXPECT_EQ(PointT<zlong>(width, height), PointT<zlong>(200, 150));
    width = 300;
    height = 250;
    EXPECT_EQ(test.mRoot->ConstrainClientSize(width, height), 0);
    (void)test.mWindow->Show(kShow);
    EXPECT_EQ(test.mDesktop->mMinimum, (Platform::WindowPoint{200, 150}));
    EXPECT_EQ(test.mDesktop->mMaximum, (Platform::WindowPoint{400, 300}));
    // Resized beyond its limits, the window is sized back, and the root control never grows past them.
    test.mDesktop->mSize = {1000, 900};
    test.Desktop().OnResized(1000, 900);
    ASSERT_FALSE(test.mDesktop->mMoves.empty());
    EXPECT_EQ(test.mDesktop->mMoves.back(), (Platform::WindowRect{50, 40, 400, 300}));
    EXPECT_EQ(test.mRoot->GetRootControl()->GetSize(), PointT<double>(400, 300));
}

TEST(RootWindowPaint, AWindowOfFixedSizeGetsEqualMinimumAndMaximum)
{
    Testing::RootWindowTestWindow test;
    test.Open(LimitedSkin(250, 180, 250, 180), 250, 180);
    (void)test.mWindow->Show(kShow);
    EXPECT_EQ(test.mDesktop->mMinimum, (Platform::WindowPoint{250, 180}));
    EXPECT_EQ(test.mDesktop->mMaximum, (Platform::WindowPoint{250, 180}));
}

}  // namespace
}  // namespace ZV
