// Control trees in a real window: what reaches outside a parent goes when the parent hides or leaves, controls whose
// class picks no look and containers without looks show and take the pointer, and a focused container's keys reach
// its own bars.
#include "Controls/Gui/ShownPanelWindow.h"

#include "ControlBase/ConditionMask.h"
#include "Controls/StatusBar.h"
#include "System/Gui/LoopTurns.h"

#include <string>

namespace ZV {
namespace {

using Testing::RunLoopUntil;

constexpr std::uint32_t kBackground = 0x808080;
constexpr std::uint32_t kOutreach = 0xFF0000;
constexpr std::uint32_t kDropper = 0x00FF00;
constexpr std::uint32_t kInk = 0xFFFFFF;

// A control of the class and name, wearing the look list (none when empty), with its children and create
// parameters (CreateParam elements).
std::string Element(const std::string& className, const std::string& name, const std::string& lookList,
                    const std::string& attributes, const std::string& children = "", const std::string& params = "")
{
    const std::string looks = lookList.empty() ? "" : " LookList=\"" + lookList + "\"";
    const std::string paramList = params.empty() ? "" : "<CreateParamList>" + params + "</CreateParamList>";
    return "<SubControl Class=\"" + className + "\" Name=\"" + name + "\" " + attributes + "><Skin Name=\"" + name +
           "Skin\"" + looks + ">" + children + "</Skin>" + paramList + "</SubControl>";
}

std::string Placed(int x, int y, int width, int height, const std::string& more = "")
{
    return "XPositionAbs=\"" + std::to_string(x) + "\" YPositionAbs=\"" + std::to_string(y) + "\" XSizeAbs=\"" +
           std::to_string(width) + "\" YSizeAbs=\"" + std::to_string(height) + "\" " + more;
}

// A scroll bar 10 pixels thick along the right or the bottom edge of its view. Keys move it; its two buttons, one
// after the other along it, tell which way it lies.
std::string Bar(const std::string& name, bool vertical)
{
    const std::string across = vertical ? "X" : "Y";
    const std::string along = vertical ? "Y" : "X";
    const std::string docked = R"(XIsDocked="True" YIsDocked="True" )" + across + R"(PositionToControl="Parent" )" +
                               across + R"(PositionRel="1" )" + across + R"(PlacementAnchor="1" )" + across +
                               R"(SizeAbs="10" )" + along + R"(SizeToControl="Parent" )" + along + R"(SizeRel="1" )" +
                               along + R"(SizeAbs="-10")";
    return Element("Framework.ScrollBar", name, "plainLooks", docked,
                   Element("Framework.Button", "dec", "plainLooks", Placed(0, 0, 10, 10)) +
                       Element("Framework.Button", "inc", "plainLooks",
                               vertical ? Placed(0, 20, 10, 10) : Placed(20, 0, 10, 10)));
}

// "main" (grey, 400 x 300) holds:
// - "holder" (20, 20, 100 x 100) with "outreach", red, which does not clip: (170, 30, 80 x 60) in the window;
// - "status", a status bar along the bottom (0, 260, 400 x 40), whose "label1" writes in white;
// - "tray" (20, 150, 150 x 80), without looks, holding the green "dropper" at (30, 160, 40 x 30) in the window;
// - "scroller" (200, 130, 100 x 80), a panel whose content is 400 x 400, with both bars.
void WriteControlTreeSkin(const Testing::TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    const std::string plain = Testing::FilledLook(skin, "plain", kBackground);
    const std::string dark = Testing::FilledLook(skin, "dark", 0x404040);
    const std::string red = Testing::FilledLook(skin, "red", kOutreach);
    const std::string green = Testing::FilledLook(skin, "green", kDropper);
    const std::string navy = Testing::FilledLook(skin, "navy", 0x000080);
    (void)Testing::FilledLook(skin, "ink", kInk);
    skin.looks += R"(<Look Name="statusText"><ClientPart Name="navy" OffsetLeft="0" OffsetTop="0" OffsetRight="0"
        OffsetBottom="0"/><TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2"
        TextHAlign="0" TextTopRel="0" TextTopAbs="2" TextBottomRel="1" TextBottomAbs="-2" TextVAlign="0"
        TextForegroundPart="ink"/></Look>)";
    skin.lookLists += Testing::LookList("plainLooks", {plain}) + Testing::LookList("darkLooks", {dark}) +
                      Testing::LookList("redLooks", {red}) + Testing::LookList("greenLooks", {green}) +
                      Testing::LookList("navyLooks", {navy}) + Testing::LookList("statusTextLooks", {"statusText"});
    const std::string notFocusable = R"(<CreateParam ID="NOT_FOCUSABLE">true</CreateParam>)";
    const std::string holder =
        Element("Framework.Panel", "holder", "darkLooks", Placed(20, 20, 100, 100),
                Element("Framework.Panel", "outreach", "redLooks", Placed(150, 10, 80, 60, R"(ClipToParent="False")"),
                        "", notFocusable),
                notFocusable);
    const std::string status =
        Element("Framework.StatusBar", "status", "navyLooks", Placed(0, 260, 400, 40),
                Element("Framework.Label", "label1", "statusTextLooks", Placed(4, 4, 300, 32)));
    const std::string tray = Element("Framework.Panel", "tray", "", Placed(20, 150, 150, 80),
                                     Element("Framework.FileDropper", "dropper", "greenLooks", Placed(10, 10, 40, 30)),
                                     notFocusable);
    const std::string scroller =
        Element("Framework.Panel", "scroller", "plainLooks", Placed(200, 130, 100, 80),
                Element("Framework.Panel", "content", "darkLooks", Placed(0, 0, 400, 400), "", notFocusable) +
                    Bar("vBar", true) + Bar("hBar", false),
                R"(<CreateParam ID="AUTO_CLIENT_EXTENT_X">true</CreateParam>)"
                R"(<CreateParam ID="AUTO_CLIENT_EXTENT_Y">true</CreateParam>)");
    skin.controls = Testing::ControlWearing("Test.ShownPanel", "main", "plainLooks", Placed(0, 0, 400, 300),
                                            holder + status + tray + scroller);
    (void)folder.Write("Skins.xml", skin.Document());
    (void)folder.Write("StringTables.xml", Testing::TestStringTables(""));
    (void)folder.Write("FrameworkStrings.xml", Testing::TestStringTables(""));
}

class ControlTreeGui : public Testing::ShownPanelWindowTest<> {
protected:
    ControlTreeGui() : ShownPanelWindowTest(&WriteControlTreeSkin) {}

    RCPtr<LControl> Named(const wchar_t* name) { return mRoot->GetRootControl()->FindChildByName(name); }
    bool ShowsAt(const PointT<zlong>& point, std::uint32_t colour)
    {
        return RunLoopUntil([&] { return ColourAt(point) == colour; });
    }
    // The pixels of the status bar's label that its white ink covers more than a quarter, as the server shows them:
    // neither the bar's navy nor the window's grey.
    int InkInStatusBar()
    {
        Testing::WaitForServer(Native());
        int ink = 0;
        for (const std::uint32_t pixel : Testing::ReadWindowPixels(Native(), 4, 264, 300, 32)) {
            ink += pixel != kBackground && (pixel >> 16) > 0x40 ? 1 : 0;
        }
        return ink;
    }
};

TEST_F(ControlTreeGui, WhatReachesOutsideAParentLeavesTheWindowWhenTheParentHidesOrIsTakenOut)
{
    const RCPtr<LControl> holder = Named(L"holder");
    ASSERT_TRUE(holder);
    const PointT<zlong> outside{210, 60};
    ASSERT_TRUE(ShowsAt(outside, kOutreach));

    (void)holder->SetVisible(false);
    EXPECT_TRUE(ShowsAt(outside, kBackground)) << "hidden with its parent";
    (void)holder->SetVisible(true);
    EXPECT_TRUE(ShowsAt(outside, kOutreach)) << "shown again";
    ASSERT_EQ(holder->SetParent(nullptr), 0);
    EXPECT_TRUE(ShowsAt(outside, kBackground)) << "taken out with its parent";
}

TEST_F(ControlTreeGui, AStatusBarShowsItsPostedTextAndAFileDropperInAContainerWithoutLooksShowsAndIsDragged)
{
    auto* bar = dynamic_cast<LStatusBar*>(Named(L"status").Get());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(InkInStatusBar(), 0);
    ASSERT_EQ(bar->PostText(L"Ready to update"), 0);
    EXPECT_TRUE(RunLoopUntil([&] { return InkInStatusBar() > 20; })) << "white pixels: " << InkInStatusBar();

    const RCPtr<LControl> dropper = Named(L"tray")->FindChildByName(L"dropper");
    ASSERT_TRUE(dropper);
    const PointT<zlong> grip{50, 175};
    ASSERT_TRUE(ShowsAt(grip, kDropper)) << "drawn through its container";
    MoveTo(grip);
    mInput.Button(1, true);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetCaptureControl() == dropper; })) << "the press reaches it";
    const PointT<zlong> away{150, 130};
    MoveTo({100, 150});
    MoveTo(away);
    EXPECT_TRUE(ShowsAt(away, kDropper)) << "it follows the pointer";
    EXPECT_TRUE(ShowsAt(grip, kBackground));
    mInput.Button(1, false);
    EXPECT_TRUE(RunLoopUntil([&] { return !dropper->GetParent(); })) << "dropped, it takes itself out";
    EXPECT_TRUE(ShowsAt(away, kBackground));
}

TEST_F(ControlTreeGui, AFocusedScrollingPanelsBarsTakeItsPageAndArrowKeys)
{
    const RCPtr<LControl> scroller = Named(L"scroller");
    ASSERT_TRUE(scroller);
    ASSERT_EQ(scroller->SetFocus(true), 0);
    ASSERT_TRUE(RunLoopUntil([&] { return (scroller->GetConditions() & ConditionMask::kHasFocus) != 0; }));

    mInput.Tap("Next");
    ASSERT_TRUE(RunLoopUntil([&] { return scroller->GetScrollOffset().y > 0; })) << "Page Down";
    const double paged = scroller->GetScrollOffset().y;
    mInput.Tap("Down");
    EXPECT_TRUE(RunLoopUntil([&] { return scroller->GetScrollOffset().y > paged; })) << "Down";
    mInput.Tap("Right");
    EXPECT_TRUE(RunLoopUntil([&] { return scroller->GetScrollOffset().x > 0; })) << "Right";
    EXPECT_EQ(scroller->GetConditions() & ConditionMask::kHasFocus, ConditionMask::kHasFocus) << "the panel keeps it";
}

}  // namespace
}  // namespace ZV
