#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/PaintedControl.h"
#include "ControlBase/SkinnedControlSupport.h"
#include "System/RecordingRootWindow.h"
#include "System/RootWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LPaintedControl;
using Testing::SubControl;

// "x,y,w,h" of a control's rectangle.
std::string RectOf(const RCPtr<LControl>& control)
{
    const PointT<double> position = control->GetPosition();
    const PointT<double> size = control->GetSize();
    const auto number = [](double value) { return std::to_string(static_cast<long long>(value)); };
    return number(position.x) + "," + number(position.y) + "," + number(size.x) + "," + number(size.y);
}

// Every control of the tree below the root, depth first, as "name x,y,w,h".
void CollectRects(const RCPtr<LControl>& control, std::vector<std::string>& rects)
{
    for (std::uint32_t index = 0; index < control->GetChildren().GetCount(); ++index) {
        const RCPtr<LControl>& child = control->GetChildren().GetAt(index, LControl::kInsertionOrder);
        rects.push_back(std::string(child->GetName().ToUTF8().GetData()) + " " + RectOf(child));
        CollectRects(child, rects);
    }
}

std::vector<std::string> RectsOf(const RCPtr<LControl>& root)
{
    std::vector<std::string> rects{"root " + RectOf(root)};
    CollectRects(root, rects);
    return rects;
}

std::string Painted(const std::string& name, const std::string& attributes, const std::string& children = "",
                    std::initializer_list<std::pair<std::string, std::string>> createParams = {})
{
    return SubControl("Test.Painted", name, attributes, children, createParams);
}

TEST(ControlLayout, TheRulesOfTheSkinGiveTheRectanglesTheirExamplesCallAndEdgesRoundToTheNearestPixel)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(Painted(
        "main", "",
        Painted("box", R"(XSizeAbs="200" YSizeAbs="100")",
                // Anchored at its middle on the client's middle, as wide as the client: it fills the client.
                Painted("centred", R"(XPlacementAnchor="0.5" XPositionRel="0.5" XSizeToControl="Client" XSizeRel="1" )"
                                           R"(XSizeAbs="0")") +
                    Painted("negative", R"(XSizeAbs="-5" YPositionAbs="50")") +
                    // Its right edge at 100, 80 wide, at most 50: the cut keeps the right edge.
                    Painted("capped", R"(XPlacementAnchor="1" XPositionAbs="100" XSizeAbs="80" XMaxSizeAbs="50")") +
                    Painted("unlimited", R"(XSizeAbs="80" XMaxSizeAbs="0" YPositionAbs="60")") +
                    // A quarter of the box from its right, by a named reference to the box's other children.
                    Painted("besideCapped", R"(XPositionToControl="capped" XPositionRel="1" XPositionAbs="5" )"
                                            R"(YSizeToControl="capped" YSizeRel="0.5" YSizeAbs="0")")) +
            Painted("odd", R"(XSizeAbs="5" YSizeAbs="5" YPositionAbs="200")",
                    Painted("halfRight", R"(XPositionRel="0.5" XSizeAbs="1")") +
                        Painted("halfLeft", R"(XPositionRel="-0.5" XSizeAbs="1")") +
                        Painted("belowHalf", R"(XPositionRel="0.7" XSizeAbs="1")") +
                        Painted("belowMinusHalf", R"(XPositionRel="-0.7" XSizeAbs="1")") +
                        // From -2.5 to the far edge at 1.5 times 5.
                        Painted("spanning", R"(XPositionRel="-0.5" XSizeToControl="Parent" XSizeRel="1.5" )"
                                            R"(XSizeAbs="0")"))));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> box = main->FindChildByName(L"box");
    EXPECT_EQ(RectOf(main), "0,0,1024,768") << "the root control fills the client area";
    EXPECT_EQ(RectOf(box), "0,0,200,100");
    EXPECT_EQ(RectOf(box->FindChildByName(L"centred")), "0,0,200,40");
    EXPECT_EQ(RectOf(box->FindChildByName(L"negative")), "0,50,0,40") << "a negative size is none";
    EXPECT_EQ(RectOf(box->FindChildByName(L"capped")), "50,0,50,40");
    EXPECT_EQ(RectOf(box->FindChildByName(L"unlimited")), "0,60,80,40");
    EXPECT_EQ(RectOf(box->FindChildByName(L"besideCapped")), "105,0,16,20");

    // Halves go away from zero; 0.7 as a float times 5 is just below 3.5.
    const RCPtr<LControl> odd = main->FindChildByName(L"odd");
    EXPECT_EQ(odd->FindChildByName(L"halfRight")->GetPosition().x, 3);
    EXPECT_EQ(odd->FindChildByName(L"halfLeft")->GetPosition().x, -3);
    EXPECT_EQ(odd->FindChildByName(L"belowHalf")->GetPosition().x, 3);
    EXPECT_EQ(odd->FindChildByName(L"belowMinusHalf")->GetPosition().x, -3);
    EXPECT_EQ(RectOf(odd->FindChildByName(L"spanning")), "-3,0,11,40");
}

TEST(ControlLayout, ResizingTheWindowLaysTheTreeOutAgainByItsRelativeRules)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(Painted(
        "main", "",
        Painted("header", R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="30" LayoutOrder="1")") +
            Painted("body",
                    R"(YPositionAbs="30" XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeToControl="Client" )"
                    R"(YSizeRel="1" YSizeAbs="0" XMinSizeAbs="300" LayoutOrder="2")",
                    Painted("left", R"(XSizeToControl="Client" XSizeRel="0.25" XSizeAbs="0" YSizeToControl="Client" )"
                                        R"(YSizeRel="1" YSizeAbs="0")") +
                        Painted("right", R"(XPositionToControl="left" XPositionRel="1" XSizeToControl="Client" )"
                                         R"(XSizeRel="1" XSizeAbs="0" YSizeToControl="Client" YSizeRel="1" )"
                                         R"(YSizeAbs="-10")"),
                    {{"LOOKS", "1 5 5 5 5"}}) +
            Painted("corner", R"(XPlacementAnchor="1" XPositionRel="1" YPlacementAnchor="1" YPositionRel="1" )"
                              R"(XSizeAbs="20" YSizeAbs="20" LayoutOrder="3")")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    EXPECT_EQ(RectsOf(main), (std::vector<std::string>{"root 0,0,1024,768", "header 0,0,1024,30",
                                                       "body 0,30,1024,738", "left 0,0,254,728",
                                                       "right 254,0,760,718", "corner 1004,748,20,20"}));

    harness.Window().Resize(800, 600);
    EXPECT_EQ(RectsOf(main), (std::vector<std::string>{"root 0,0,800,600", "header 0,0,800,30", "body 0,30,800,570",
                                                       "left 0,0,198,560", "right 198,0,592,550",
                                                       "corner 780,580,20,20"}));

    // Narrower than the body's minimum: the body keeps 300 and its children measure against that.
    harness.Window().Resize(201, 99);
    EXPECT_EQ(RectsOf(main), (std::vector<std::string>{"root 0,0,201,99", "header 0,0,201,30", "body 0,30,300,69",
                                                       "left 0,0,73,59", "right 73,0,217,49", "corner 181,79,20,20"}));
    EXPECT_TRUE(harness.Window().GetWindowMoves().empty()) << "the root control fills the window: nothing moves it";
}

TEST(ControlLayout, AMovedControlReLaysOutEveryFollowingSiblingThroughTheChainOfThoseThatMove)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(Painted(
        "main", "",
        Painted("a", R"(XSizeAbs="50" LayoutOrder="1")") +
            // Does not depend on a: it does not move, and the chain goes on past it.
            Painted("b", R"(YPositionAbs="100" LayoutOrder="2")") +
            Painted("c", R"(XPositionToControl="a" XPositionRel="1" LayoutOrder="3")") +
            Painted("d", R"(XPositionToControl="c" XPositionRel="1" LayoutOrder="4")")) +
                     Painted("forward", "",
                             Painted("early", R"(XPositionToControl="late" XPositionRel="1" LayoutOrder="1")") +
                                 Painted("late", R"(XPositionRel="0.5" XSizeAbs="30" LayoutOrder="2")")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> a = main->FindChildByName(L"a");
    EXPECT_EQ(RectOf(main->FindChildByName(L"c")), "50,0,16,40");
    EXPECT_EQ(RectOf(main->FindChildByName(L"d")), "66,0,16,40");

    PositionRule position = a->GetLayoutDescriptor()->xPosition;
    position.abs = 30;
    EXPECT_EQ(a->SetAxisPlacement(0, position, false, a->GetLayoutDescriptor()->xSize), 0)
        << "the rules read back are those given";
    EXPECT_EQ(RectOf(a), "30,0,50,40");
    EXPECT_EQ(RectOf(main->FindChildByName(L"b")), "0,100,16,40");
    EXPECT_EQ(RectOf(main->FindChildByName(L"c")), "80,0,16,40");
    EXPECT_EQ(RectOf(main->FindChildByName(L"d")), "96,0,16,40");
    // A rectangle of another size given from outside the rules: the control is laid out by them again.
    EXPECT_EQ(a->SetBounds({5, 5}, {10, 10}), 0);
    EXPECT_EQ(RectOf(a), "30,0,50,40");

    // A rule that names a later sibling sees it where it is once its parent has laid them all out.
    const RCPtr<LControl> forward = harness.CreateRoot(L"forward");
    ASSERT_TRUE(forward);
    EXPECT_EQ(RectOf(forward->FindChildByName(L"late")), "512,0,30,40");
    EXPECT_EQ(RectOf(forward->FindChildByName(L"early")), "542,0,16,40");
}

TEST(ControlLayout, LabelTextWidensAControlUpToItsMaximumThenWrapsAndAFixedTextBoxNeverDividesByZero)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    // Ten characters, 70 pixels, in a box 4 pixels in from either side.
    const std::pair<std::string, std::string> text{"TEXT", "abcdefghij"};
    const std::pair<std::string, std::string> box{"TEXT_BOX", "4 0 -4 1 0 0 0 1"};
    harness.LoadSkin(Painted(
        "main", "",
        Painted("expanding", R"(XSizeAbs="50" YSizeAbs="20" TextOverflowXType="Expand")", "", {text, box}) +
            Painted("capped",
                    R"(XSizeAbs="50" YSizeAbs="20" XMaxSizeAbs="60" TextOverflowXType="Expand" )"
                    R"(TextOverflowYType="Expand" YPositionAbs="100")",
                    "", {text, box}) +
            Painted("clipped", R"(XSizeAbs="50" YSizeAbs="20" YPositionAbs="200")", "", {text, box}) +
            // The box is 56 pixels whatever the control's size: growing cannot help the text.
            Painted("fixedBox",
                    R"(XSizeAbs="50" YSizeAbs="20" TextOverflowXType="Expand" TextOverflowYType="Expand" )"
                    R"(YPositionAbs="300")",
                    "", {text, {"TEXT_BOX", "4 0 60 0 0 0 10 0"}})));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    EXPECT_EQ(RectOf(main->FindChildByName(L"expanding")), "0,0,78,20");
    const RCPtr<LControl> capped = main->FindChildByName(L"capped");
    EXPECT_EQ(RectOf(capped), "0,100,60,32") << "two lines of 16 in a box 52 wide";
    EXPECT_TRUE(static_cast<LPaintedControl&>(*capped).IsWordWrapOn());
    EXPECT_EQ(RectOf(main->FindChildByName(L"clipped")), "0,200,50,20");
    const RCPtr<LControl> fixedBox = main->FindChildByName(L"fixedBox");
    EXPECT_EQ(RectOf(fixedBox), "0,300,50,20");
    EXPECT_TRUE(std::isfinite(fixedBox->GetSize().x) && std::isfinite(fixedBox->GetSize().y));

    // Laid out again with nothing changed, every control keeps its rectangle.
    const std::vector<std::string> before = RectsOf(main);
    harness.Window().Resize(1024, 768);
    for (const wchar_t* name : {L"expanding", L"capped", L"clipped", L"fixedBox"}) {
        EXPECT_EQ(main->FindChildByName(name)->ApplyLayout(), 1);
    }
    EXPECT_EQ(RectsOf(main), before);
}

TEST(ControlLayout, NamedAndChildrenLimitsFollowTheChildrenAndTheUnionSkipsDockedOnes)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(Painted(
        "main", "",
        // At least as wide and high as its children reach, plus the border beyond its client area.
        Painted("fitting",
                R"(XPositionAbs="10" XSizeAbs="20" YSizeAbs="20" XMinSizeToControl="Children" XMinSizeRel="1" )"
                R"(YMinSizeToControl="Children" YMinSizeRel="1")",
                Painted("one", R"(XPositionAbs="5" XSizeAbs="30" YSizeAbs="10")") +
                    Painted("two", R"(XPositionAbs="40" YPositionAbs="20" XSizeAbs="10" YSizeAbs="15")") +
                    // Not the first child and reaching outside: the minimum does not follow it.
                    Painted("outside", R"(ClipToParent="False" XPositionAbs="500" XSizeAbs="10")"),
                {{"LOOKS", "1 2 3 4 5"}}) +
            Painted("scattered", R"(YPositionAbs="200")",
                    Painted("p", R"(XPositionAbs="5" XSizeAbs="30" YSizeAbs="10")") +
                        Painted("q", R"(XPositionAbs="40" YPositionAbs="20" XSizeAbs="10" YSizeAbs="15")") +
                        Painted("dockedAway", R"(XIsDocked="True" XPositionAbs="500" XSizeAbs="10")")) +
            // At most as wide as its child named "inner" reaches.
            Painted("bounded",
                    R"(YPositionAbs="100" XSizeAbs="300" XMaxSizeToControl="inner" XMaxSizeRel="1")",
                    Painted("inner", R"(XPositionAbs="10" XSizeAbs="90")"))));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> fitting = main->FindChildByName(L"fitting");
    // Children reach x 2+5 .. 2+50 and y 3+0 .. 3+35 inside; the right border is 4 and the bottom one 5.
    EXPECT_EQ(RectOf(fitting), "10,0,56,43");
    EXPECT_EQ(main->FindChildByName(L"scattered")->GetChildrenBounds(), RectT<double>(5, 0, 45, 35))
        << "the docked child does not count";
    EXPECT_EQ(RectOf(main->FindChildByName(L"bounded")), "0,100,100,40");
    EXPECT_EQ(fitting->ApplyLayout(), 1) << "a second layout finds the same rectangle";

    const RCPtr<LControl> lonely(new LPaintedControl(nullptr, L"lonely"));
    EXPECT_EQ(lonely->GetChildrenBounds(), RectT<double>()) << "no child that counts gives an empty rectangle";
    EXPECT_EQ(lonely->ApplyLayout(), ZV_E_FAIL) << "without a layout";
}

TEST(ControlLayout, ATopLevelControlMovesItsWindowInScreenCoordinates)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(Painted("main", "") +
                     Painted("popup", R"(XPositionToControl="Screen" XPositionAbs="500" YPositionToControl="Screen" )"
                                      R"(YPositionAbs="300" XSizeAbs="120" YSizeAbs="60")"));
    harness.Window().SetClientArea({100, 50, 640, 480});
    const RCPtr<LControl> popup = harness.Factory().CreateControlByName(L"popup", harness.WindowRef());
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->ApplyLayout(), 0);
    EXPECT_EQ(RectOf(popup), "400,250,120,60") << "the screen seen from the client area";
    ASSERT_EQ(harness.Window().GetWindowMoves().size(), 1u);
    EXPECT_EQ(harness.Window().GetWindowMoves()[0], RectT<zlong>(500, 300, 120, 60));

    // Once the window is there, the control sits at its corner and the window stays.
    EXPECT_EQ(popup->ApplyLayout(), 0);
    EXPECT_EQ(RectOf(popup), "0,0,120,60");
    EXPECT_EQ(harness.Window().GetWindowMoves().size(), 1u);
    (void)popup->SetRootWindow(nullptr);
}

// The application's windows as the test sets them; the first one added is the first of the list.
class FirstRootWindowHost : public Testing::TestWindowHost {
public:
    IRootWindowTarget* GetFirstRootWindow() override { return mRoots.empty() ? nullptr : mRoots.front(); }
};

TEST(ControlLayout, ATopLevelControlMadeWithoutAWindowIsPlacedInTheActiveElseTheFirstRootWindowOfTheApplication)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(SubControl("Test.Painted", "dialog",
                                R"(XSizeToControl="Client" XSizeRel="0.5" XSizeAbs="0" YSizeToControl="Client" )"
                                R"(YSizeRel="1" YSizeAbs="0")"));
    FirstRootWindowHost host;
    const RCPtr<LRootWindow> first = LRootWindow::Create(nullptr, nullptr);
    first->OnResize({300, 200});
    const RCPtr<LRootWindow> active = LRootWindow::Create(nullptr, nullptr);
    active->OnResize({640, 480});
    host.AddRootWindow(first.Get());
    host.AddRootWindow(active.Get());

    host.mActiveRoot = active.Get();
    const RCPtr<LControl> inActive = harness.Factory().CreateControlByName(L"dialog", nullptr);
    ASSERT_TRUE(inActive);
    EXPECT_EQ(inActive->GetSize(), PointT<double>(320, 480));
    EXPECT_EQ(inActive->ApplyLayout(), ZV_E_FAIL) << "made, it has no window of its own";

    host.mActiveRoot = nullptr;
    EXPECT_EQ(harness.Factory().CreateControlByName(L"dialog", nullptr)->GetSize(), PointT<double>(150, 200));

    host.mRoots.clear();
    EXPECT_EQ(harness.Factory().CreateControlByName(L"dialog", nullptr)->GetSize(), PointT<double>(0, 0));
}

// Selects its parent's frameless look, once armed, when the parent lays it out.
class LLookSwitchingControl : public Testing::LSkinnedControl {
public:
    using LSkinnedControl::LSkinnedControl;

    ZVRESULT ProcessRelayout(const PointT<zlong>& size) override
    {
        if (armed) {
            armed = false;
            (void)GetParent()->SelectLook(1);
        }
        return LSkinnedControl::ProcessRelayout(size);
    }

    bool armed = false;
};

TEST(ControlLayout, AChildLaidOutAfterTheParentsLookChangedMeasuresAgainstTheNewClientArea)
{
    ControlHarness harness;
    harness.Register<Testing::LSkinnedControl>(L"Test.Skinned");
    harness.Register<LLookSwitchingControl>(L"Test.LookSwitching");
    const std::string fillsClient =
        R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeToControl="Client" YSizeRel="1" YSizeAbs="0")";
    Testing::SkinDocumentBuilder skin = Testing::LookSkin();
    skin.controls = Testing::Wearing(
        "Test.Skinned", "main", "four", "",
        Testing::Wearing("Test.LookSwitching", "switcher", "one", R"(LayoutOrder="1")") +
            Testing::Wearing("Test.Skinned", "follower", "one", fillsClient + R"( LayoutOrder="2")"));
    harness.LoadSkinDocument(skin.Document());
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> follower = main->FindChildByName(L"follower");
    EXPECT_EQ(RectOf(follower), "0,0,1020,764") << "inside the framed look's client area";

    harness.Window().Resize(800, 600);
    EXPECT_EQ(RectOf(follower), "0,0,796,596") << "the new size's client area";

    dynamic_cast<LLookSwitchingControl&>(*main->FindChildByName(L"switcher")).armed = true;
    harness.Window().Resize(640, 480);
    EXPECT_EQ(main->GetClientRect(-1), RectT<double>(0, 0, 640, 480));
    EXPECT_EQ(RectOf(follower), "0,0,640,480") << "the look chosen while its siblings were laid out";
}

// Takes a child out of its parent once laid out: itself, or the sibling it names.
class LLeavingControl : public LPaintedControl {
public:
    using LPaintedControl::LPaintedControl;

    ZVRESULT ProcessRelayout(const PointT<zlong>& size) override
    {
        const ZVRESULT result = LPaintedControl::ProcessRelayout(size);
        if (!removes.IsEmpty()) {
            const RCPtr<LControl> parent = GetParent();
            const RCPtr<LControl> leaving =
                removes == GetName() ? RCPtr<LControl>(this) : parent->FindChildByName(removes);
            removes = WideString();
            (void)parent->GetChildren().Remove(leaving);
        }
        return result;
    }

    WideString removes;
};

TEST(ControlLayout, AChildThatTakesItselfOrASiblingOutWhileLaidOutLeavesTheOthersLaidOutAndGoesWhenTheLayoutEnds)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.Register<LLeavingControl>(L"Test.Leaving");
    const std::string fillsClient =
        R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeToControl="Client" YSizeRel="1" YSizeAbs="0")";
    const auto child = [&](const std::string& name, int order) {
        return SubControl("Test.Leaving", name, fillsClient + " LayoutOrder=\"" + std::to_string(order) + "\"");
    };
    harness.LoadSkin(Painted("main", "", child("first", 1) + child("selfRemover", 2) + child("siblingRemover", 3) +
                                             child("removedSibling", 4) + child("last", 5)));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const auto leaving = [&](const wchar_t* name) {
        return dynamic_cast<LLeavingControl*>(main->FindChildByName(name).Get());
    };
    leaving(L"selfRemover")->removes = L"selfRemover";
    leaving(L"siblingRemover")->removes = L"removedSibling";
    const std::int32_t liveBefore = Testing::LRecordingControl::GetLiveCount();

    // Only the list holds the two that go: the layout keeps them alive until it is done with them.
    harness.Window().Resize(640, 480);
    EXPECT_EQ(RectsOf(main), (std::vector<std::string>{"root 0,0,640,480", "first 0,0,640,480",
                                                       "siblingRemover 0,0,640,480", "last 0,0,640,480"}));
    EXPECT_EQ(Testing::LRecordingControl::GetLiveCount(), liveBefore - 2) << "both are gone once the layout ends";
}

// The placement as its rules read, step by step with no shortcut: what the layout must give bit for bit.
RectT<double> ReferencePlacement(const LLayoutDescriptor& layout, const LControl* parent, const RectT<double>& screen,
                                 const PointT<double>& clientSize, const PointT<double>& pointer)
{
    const auto round = [](double value) {
        return std::isnan(value) ? value : std::clamp(std::round(value), -4503599627370496.0, 4503599627370496.0);
    };
    // Where a frame starts and how far it reaches.
    using Frame = std::pair<double, double>;
    double edges[2][2] = {};
    for (int axis = 0; axis < 2; ++axis) {
        const auto on = [axis](const auto& point) { return axis == 0 ? point.x : point.y; };
        const PositionRule& positionRule = axis == 0 ? layout.xPosition : layout.yPosition;
        const SizeRule& sizeRule = axis == 0 ? layout.xSize : layout.ySize;
        const RectT<double> client =
            parent ? parent->GetClientRect(-1) : RectT<double>(0, 0, clientSize.x, clientSize.y);
        const double scroll = parent ? on(parent->GetScrollOffset()) : 0;
        const Frame whole = parent ? Frame{-on(client), on(parent->GetSize())}
                                   : Frame{on(screen), axis == 0 ? screen.width : screen.height};
        const Frame inside{0, axis == 0 ? client.width : client.height};
        const auto named = [&](const WideString& name) {
            const RCPtr<LControl> sibling = parent ? parent->FindChildByName(name) : nullptr;
            if (!sibling) {
                return parent ? Frame{0, 0} : Frame{on(pointer), 0};
            }
            const bool docked = axis == 0 ? sibling->GetLayoutDescriptor()->xIsDocked
                                          : sibling->GetLayoutDescriptor()->yIsDocked;
            return Frame{on(sibling->GetPosition()) - (docked ? scroll : 0), on(sibling->GetSize())};
        };
        const auto edge = [&](const Frame& frame, float rel, double abs) {
            const double share = static_cast<double>(rel) * frame.second;
            return (rel == 0 ? share : round(share)) + frame.first + abs;
        };
        const std::int32_t positionKind = positionRule.toControlKind;
        double position = edge(positionKind == kPositionToParent         ? whole
                               : positionKind == kPositionToNamedControl ? named(positionRule.toControlName)
                                                                         : inside,
                               positionRule.rel, positionRule.abs);
        const double anchor = positionRule.placementAnchor;
        double extent = std::max(sizeRule.abs, 0.0);
        if (sizeRule.toControlKind != kSizeToSelf) {
            const Frame frame = sizeRule.toControlKind == kSizeToParent   ? whole
                                : sizeRule.toControlKind == kSizeToClient ? inside
                                                                          : named(sizeRule.toControlName);
            const double span = edge(frame, sizeRule.rel, sizeRule.abs) - position;
            extent = span > 0 && anchor >= 0 && anchor < 1    ? span / (1 - anchor)
                     : span < 0 && anchor > 0 && anchor <= 1 ? span / -anchor
                                                              : 0;
        }
        position -= anchor * extent;
        if (axis == 0 ? layout.xIsDocked : layout.yIsDocked) {
            position += scroll;
        }
        edges[axis][0] = round(position);
        edges[axis][1] = round(position + extent);
    }
    return {edges[0][0], edges[1][0], edges[0][1] - edges[0][0], edges[1][1] - edges[1][0]};
}

std::string BitsOf(const RectT<double>& rect)
{
    std::string bits;
    for (const double value : {rect.x, rect.y, rect.width, rect.height}) {
        bits += std::to_string(std::bit_cast<std::uint64_t>(value)) + " ";
    }
    return bits;
}

TEST(ControlLayout, PlacementsOfRandomRulesMatchTheRulesReadStepByStepBitForBit)
{
    ControlHarness harness;
    harness.Register<LPaintedControl>(L"Test.Painted");
    harness.LoadSkin(Painted("main", "",
                             Painted("box", R"(XSizeAbs="200" YSizeAbs="100")",
                                     Painted("sibling", "") + Painted("docked", R"(YIsDocked="true")"),
                                     {{"LOOKS", "1 3 2 4 5"}})));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControl> box = main->FindChildByName(L"box");

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const std::vector<float> rels{0.0f, -0.0f, 1.0f, 0.5f, -0.5f, 0.7f, 1.0f / 3, 0.25f, 2.5f, 1e30f, -1e30f};
    const std::vector<double> abses{0.0, -0.0, 3, -7, 0.5, -2.5, 1e17, 4503599627370496.0, -4503599627370495.0,
                                    kNaN, kInfinity, -kInfinity, 12.000001};
    const std::vector<float> anchors{0.0f, -0.0f, 0.5f, 1.0f, 1.5f, -0.25f, 0.3f};
    const std::vector<std::int32_t> positionKinds{kPositionToParent, kPositionToClient, kPositionToNamedControl, 5};
    const std::vector<std::int32_t> sizeKinds{kSizeToParent, kSizeToClient, kSizeToSelf, kSizeToNamedControl, 7};
    const std::vector<WideString> names{L"sibling", L"docked", L"missing"};
    // The parent of some size, empty or beyond exact doubles, scrolled or not.
    const std::vector<std::pair<PointT<double>, PointT<double>>> parentStates{
        {{200, 100}, {0, 0}}, {{201, 99}, {4, -3}}, {{0, 0}, {0, 0}}, {{1e17, 3e15}, {-20, 40}}};

    std::mt19937 random(20261208);
    const auto pick = [&random](const auto& pool) { return pool[random() % pool.size()]; };
    for (const auto& [parentSize, scroll] : parentStates) {
        for (int axis = 0; axis < 2; ++axis) {
            (void)box->SetAxisPlacement(axis, {}, false, {kSizeToSelf, {}, 0, axis == 0 ? parentSize.x : parentSize.y});
        }
        (void)box->ScrollTo(scroll);
        // Siblings named by the rules, moved off whole pixels; at the size their rules give, they stay there.
        (void)box->FindChildByName(L"sibling")->SetBounds({10.25, -3.5}, {16, 40});
        (void)box->FindChildByName(L"docked")->SetBounds({-6, 12.5}, {16, 40});
        ASSERT_EQ(box->FindChildByName(L"sibling")->GetPosition(), PointT<double>(10.25, -3.5));
        for (int trial = 0; trial < 150; ++trial) {
            LLayoutDescriptor layout;
            for (int axis = 0; axis < 2; ++axis) {
                PositionRule& position = axis == 0 ? layout.xPosition : layout.yPosition;
                SizeRule& size = axis == 0 ? layout.xSize : layout.ySize;
                // Most rules keep to the common shapes, whole pixels with no anchor and no dock, in every mix.
                const auto coin = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
                const auto abs = [&] {
                    return coin(60) ? static_cast<double>(static_cast<int>(random() % 41) - 20) : pick(abses);
                };
                position.toControlKind = pick(positionKinds);
                position.toControlName = pick(names);
                position.rel = pick(rels);
                position.abs = abs();
                position.placementAnchor = coin(60) ? 0.0f : pick(anchors);
                size.toControlKind = pick(sizeKinds);
                size.toControlName = pick(names);
                size.rel = pick(rels);
                size.abs = abs();
                (axis == 0 ? layout.xIsDocked : layout.yIsDocked) = coin(15);
            }
            const bool topLevel = trial % 10 == 0;
            const RectT<double> screen(-13.5, 7, 1920.25, 1080);
            const PointT<double> clientSize(640.5, 480);
            const PointT<double> pointer(33.75, -2);
            RectT<double> placement;
            ASSERT_EQ(LControl::CalculatePlacement(&layout, topLevel ? nullptr : box.Get(), screen, clientSize,
                                                   pointer, placement),
                      ZV_S_OK);
            const RectT<double> expected =
                ReferencePlacement(layout, topLevel ? nullptr : box.Get(), screen, clientSize, pointer);
            ASSERT_EQ(BitsOf(placement), BitsOf(expected))
                << "trial " << trial << " of parent " << parentSize.x << "x" << parentSize.y;
        }
    }
}

}  // namespace
}  // namespace ZV
