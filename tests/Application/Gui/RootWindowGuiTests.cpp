// Google Test first: the desktop's headers define None.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Application/Gui/SkinApplication.h"
#include "Application/InputControl.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/Gui/ShownPanelWindow.h"
#include "ControlBase/ConditionMask.h"
#include "ControlBase/CreateControl.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Platform/NativeWindow.h"
#include "System/Gui/DesktopInput.h"
#include "System/Gui/LoopTurns.h"
#include "TestFiles.h"
#include "support/ImageComparison.h"
#include "support/WindowPixels.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace ZV {
namespace {

using ::testing::Contains;
using Testing::ControlEvents;
using Testing::DesktopInput;
using Testing::RunLoopUntil;

// Where the test skin's parts lie in the window (client coordinates), and their colours (Skins.xml).
constexpr std::uint32_t kWindowColour = 0x1E2A3A;
constexpr std::uint32_t kLeftPanelColour = 0x2F6F73;
constexpr std::uint32_t kButtonColour = 0xE0A030;
constexpr std::uint32_t kPopupColour = 0xB03A48;
constexpr std::uint32_t kRightPanelColour = 0x44475A;
constexpr std::uint32_t kWheelPanelColour = 0x6272A4;
constexpr std::uint32_t kFieldColour = 0xF8F8F2;
const RectT<zlong> kButtonOk(16, 16, 88, 24);
const RectT<zlong> kButtonTip(16, 48, 88, 24);
const RectT<zlong> kStatusLabel(16, 84, 88, 20);

// The window's pixels as an image.
Testing::Image ReadImage(const Platform::NativeWindow& window, int width, int height)
{
    Testing::Image image;
    image.width = width;
    image.height = height;
    for (const std::uint32_t pixel : Testing::ReadWindowPixels(window, 0, 0, width, height)) {
        image.pixels.push_back(0xFF000000u | pixel);
    }
    return image;
}

std::uint32_t Rgb(const Testing::Image& image, zlong x, zlong y)
{
    return image.At(static_cast<int>(x), static_cast<int>(y)) & 0xFFFFFF;
}

bool Inside(const RectT<zlong>& rect, zlong x, zlong y)
{
    return x >= rect.x && y >= rect.y && x < rect.x + rect.width && y < rect.y + rect.height;
}

// The pixels of the rectangle whose every channel lies within the tolerance of the colour's.
int CountNear(const Testing::Image& image, const RectT<zlong>& rect, std::uint32_t colour, int tolerance)
{
    int count = 0;
    for (zlong y = rect.y; y < rect.y + rect.height; ++y) {
        for (zlong x = rect.x; x < rect.x + rect.width; ++x) {
            const std::uint32_t pixel = Rgb(image, x, y);
            bool near = true;
            for (const int shift : {0, 8, 16}) {
                near = near && std::abs(static_cast<int>(pixel >> shift & 0xFF) -
                                        static_cast<int>(colour >> shift & 0xFF)) <= tolerance;
            }
            count += near ? 1 : 0;
        }
    }
    return count;
}

// Writes down the ids of the notifications it receives, with the condition mask of the sender when it sent them.
class LClickWitness : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        const auto* control = dynamic_cast<const LControl*>(sender.Get());
        mLines.push_back(std::string(WideString(notification->GetId()).ToUTF8().GetData()) + " " +
                         std::to_string(control != nullptr ? control->GetConditions() : 0));
    }
    std::vector<std::string> mLines;
};

class RootWindowGui : public ::testing::Test {
protected:
    RootWindowGui()
    {
        // The main window keeps its placement in the user's folder when it closes.
        setenv("XDG_DATA_HOME", mDataFolder.Path().string().c_str(), 1);
        (void)mApplication.Factory().RegisterControlCreateFunction(L"Test.Input",
                                                                   &CreateControl<Testing::LInputControl<LControl>>);
        ControlEvents().clear();
    }
    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        ASSERT_TRUE(mApplication.IsLoaded());
    }
    // The skin's top-level control of that name in the main window, shown.
    void Show(const wchar_t* controlName)
    {
        ASSERT_EQ(mApplication.Host().CreateMainWindow(LRenderer::kGdi, controlName), ZV_S_OK);
        ASSERT_TRUE(mApplication.WaitUntilShown());
        mRoot = mApplication.Host().GetMainRootWindow();
        ControlEvents().clear();
    }
    const Platform::NativeWindow& Native() { return *mApplication.Host().GetMainWindow()->GetWindowHandle(); }
    RCPtr<LControl> Find(const wchar_t* path) const;
    // What the window manager reads of the main window's size limits.
    void ExpectSizeHints(Platform::WindowPoint minimum, Platform::WindowPoint maximum)
    {
        const DesktopInput::SizeHints hints = mInput.ReadSizeHints(Native().window);
        EXPECT_EQ((Platform::WindowPoint{hints.minimumWidth, hints.minimumHeight}), minimum);
        EXPECT_EQ((Platform::WindowPoint{hints.maximumWidth, hints.maximumHeight}), maximum);
    }
    // Everything the server has sent so far is handled and painted: the loop runs an idle pass only once no event
    // waits and its windows have painted.
    void Settle()
    {
        Testing::WaitForServer(Native());
        const RCPtr<LClickWitness> idle(new LClickWitness());
        (void)idle->RegisterForNotification(mRoot->GetNotificationDistributor(), L"NID_IDLE", 0);
        EXPECT_TRUE(RunLoopUntil([&] { return !idle->mLines.empty(); }));
        (void)idle->UnregisterAllNotifications();
    }
    bool EventHappened(const std::string& event)
    {
        return RunLoopUntil([&] {
            return std::find(ControlEvents().begin(), ControlEvents().end(), event) != ControlEvents().end();
        });
    }

    Testing::TemporaryFolder mDataFolder;
    Testing::SkinApplication mApplication{ZV_TEST_DATA_DIR "/RootWindowSkin", L"RootWindowTest"};
    DesktopInput mInput;
    RCPtr<LRootWindow> mRoot;
};

RCPtr<LControl> RootWindowGui::Find(const wchar_t* name) const
{
    return Testing::FindControl(mRoot->GetRootControl(), name);
}

TEST_F(RootWindowGui, TheTestSkinShowsAtItsRootControlsSizeWithEachPartsColourAndTheLabelsText)
{
    Show(L"main");
    const Platform::WindowPoint size = mApplication.Host().GetMainWindow()->GetBackEnd().GetClientSize();
    EXPECT_EQ(size, (Platform::WindowPoint{240, 160}));
    Settle();
    const Testing::Image image = ReadImage(Native(), 240, 160);
    // The pop-up lies over its panel, over the panel beside it and below both.
    const struct {
        zlong x;
        zlong y;
        std::uint32_t colour;
    } kProbes[] = {{2, 2, kWindowColour},       {236, 156, kWindowColour},    {10, 10, kLeftPanelColour},
                   {10, 140, kLeftPanelColour}, {18, 18, kButtonColour},      {102, 70, kButtonColour},
                   {80, 140, kPopupColour},     {140, 140, kPopupColour},     {100, 157, kPopupColour},
                   {230, 120, kRightPanelColour}, {130, 20, kWheelPanelColour}, {130, 90, kFieldColour}};
    for (const auto& probe : kProbes) {
        EXPECT_EQ(Rgb(image, probe.x, probe.y), probe.colour) << "at " << probe.x << "," << probe.y;
    }
    // Text: the buttons' dark captions within the buttons, the label's white text within its text box only.
    EXPECT_GT(CountNear(image, kButtonOk, 0x101010, 80), 10);
    EXPECT_GT(CountNear(image, kButtonTip, 0x101010, 80), 10);
    EXPECT_GT(CountNear(image, kStatusLabel, 0xFFFFFF, 80), 20);
    int whiteOutsideLabel = 0;
    for (zlong y = 76; y < 112; ++y) {
        for (zlong x = 8; x < 112; ++x) {
            whiteOutsideLabel += !Inside(kStatusLabel, x, y) && Rgb(image, x, y) == 0xFFFFFF ? 1 : 0;
        }
    }
    EXPECT_EQ(whiteOutsideLabel, 0);
    EXPECT_TRUE(Testing::MatchesGoldenImage(image, "RootWindowSkin.png", 24, 60));
}

TEST_F(RootWindowGui, ARealClickReachesASubscriberAndBetweenPressAndReleaseTheButtonIsPressedAndCaptured)
{
    Show(L"main");
    const RCPtr<LControl> button = Find(L"buttonOk");
    const RCPtr<LClickWitness> witness(new LClickWitness());
    (void)witness->RegisterForNotification(button, L"NID_LEFT_CLICK", 0);
    mInput.MoveTo(40, 28);
    mInput.Button(1, true);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetCaptureControl() == button; }));
    const std::uint32_t pressedAndCaptured = ConditionMask::kLeftPressed | ConditionMask::kCapture;
    EXPECT_EQ(button->GetConditions() & pressedAndCaptured, pressedAndCaptured);
    EXPECT_TRUE(witness->mLines.empty());
    mInput.Button(1, false);
    ASSERT_TRUE(RunLoopUntil([&] { return !witness->mLines.empty(); }));
    EXPECT_EQ(witness->mLines.front().rfind("NID_LEFT_CLICK", 0), 0u);
    EXPECT_EQ(button->GetConditions() & pressedAndCaptured, 0u);
}

TEST_F(RootWindowGui, HoverShowsTheToolTipTheCaptureKeepsOthersOutAndADeclinedWheelStepReachesTheFocusedControl)
{
    Show(L"main");
    mInput.MoveTo(60, 60);
    EXPECT_TRUE(EventHappened("buttonTip ToolTip 1"));
    // Pressed on one button, the pointer crosses the other: it neither enters nor leaves.
    mInput.MoveTo(40, 28);
    mInput.Button(1, true);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetCaptureControl() == Find(L"buttonOk"); }));
    ControlEvents().clear();
    mInput.MoveTo(60, 60);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetCursorPosition() == PointT<zlong>(60, 60); }));
    EXPECT_THAT(ControlEvents(), ::testing::Not(Contains("buttonTip Enter")));
    EXPECT_FALSE(mRoot->GetHoverControl());
    // Once the capture ends, the hover goes to the control under the pointer.
    mInput.Button(1, false);
    ASSERT_TRUE(EventHappened("buttonOk LeftUp 0"));
    EXPECT_TRUE(EventHappened("buttonTip Enter"));
    EXPECT_THAT(ControlEvents(), ::testing::Not(Contains("buttonTip Leave")));
    // A click gives the field the focus; a notch over the panel above it, which declines, reaches the field.
    mInput.MoveTo(140, 90);
    mInput.Click(1);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetFocusControl() == Find(L"focusField"); }));
    ControlEvents().clear();
    mInput.MoveTo(150, 40);
    mInput.Click(4);
    EXPECT_TRUE(EventHappened("focusField Wheel"));
    EXPECT_THAT(ControlEvents(), Contains("wheelPanel Wheel"));
}

TEST_F(RootWindowGui, AFixedSizeWindowGetsEqualMinimumAndMaximumHints)
{
    Show(L"main");
    ExpectSizeHints({240, 160}, {240, 160});
}

TEST_F(RootWindowGui, ASizableWindowResizedBeyondItsLimitsIsHeldToThem)
{
    Show(L"sizableMain");
    ExpectSizeHints({200, 120}, {320, 240});
    const Platform::IWindowBackEnd& backEnd = mApplication.Host().GetMainWindow()->GetBackEnd();
    // As a window manager would when the user drags an edge, without asking.
    const struct {
        Platform::WindowPoint asked;
        Platform::WindowPoint held;
    } kResizes[] = {{{500, 400}, {320, 240}}, {{50, 40}, {200, 120}}};
    for (const auto& resize : kResizes) {
        XResizeWindow(Native().display, Native().window, static_cast<unsigned>(resize.asked.x),
                      static_cast<unsigned>(resize.asked.y));
        XSync(Native().display, False);
        EXPECT_TRUE(RunLoopUntil([&] { return backEnd.GetClientSize() == resize.held; }));
        EXPECT_TRUE(RunLoopUntil([&] {
            return mRoot->GetRootControl()->GetSize() == PointT<double>(resize.held.x, resize.held.y);
        }));
    }
}

TEST_F(RootWindowGui, InvalidatingOneControlRepaintsOnlyItsRectangle)
{
    Show(L"main");
    mInput.MoveTo(600, 600);
    ASSERT_TRUE(RunLoopUntil([&] { return !mRoot->GetHoverControl(); }));
    Settle();
    // Another program paints over the whole window; only what the window paints again shows the skin.
    const Platform::NativeWindow& native = Native();
    constexpr std::uint32_t kForeign = 0xFF00FF;
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const GC gc = XCreateGC(other, native.window, 0, nullptr);
    XSetForeground(other, gc, kForeign);
    XFillRectangle(other, native.window, gc, 0, 0, 240, 160);
    XFreeGC(other, gc);
    XCloseDisplay(other);
    Testing::WaitForServer(native);
    ASSERT_EQ(Find(L"buttonOk")->InvalidateRect({0, 0, 88, 24}, true), ZV_S_OK);
    ASSERT_TRUE(RunLoopUntil([&] { return Rgb(ReadImage(native, 240, 160), 18, 18) == kButtonColour; }));
    const Testing::Image image = ReadImage(native, 240, 160);
    int foreignInside = 0;
    int repaintedOutside = 0;
    for (zlong y = 0; y < 160; ++y) {
        for (zlong x = 0; x < 240; ++x) {
            const bool foreign = Rgb(image, x, y) == kForeign;
            foreignInside += Inside(kButtonOk, x, y) && foreign ? 1 : 0;
            repaintedOutside += !Inside(kButtonOk, x, y) && !foreign ? 1 : 0;
        }
    }
    EXPECT_EQ(foreignInside, 0);
    EXPECT_EQ(repaintedOutside, 0);
}

// A sizable window whose tree the program changes under the user: "main" (grey, 400 x 260, from 200 x 120 to
// 800 x 600) holds the panels "left" with the buttons "first" and "mover", whose F5 clicks it, and "right" with
// "target", side by side; below them the panel "box" with the button "pressed", and the button "other". The second
// skin set shows "main" green.
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kGreen = 0x00A000;

std::string Placement(int x, int y, int width, int height, const std::string& more = "")
{
    return "XPositionAbs=\"" + std::to_string(x) + "\" YPositionAbs=\"" + std::to_string(y) + "\" XSizeAbs=\"" +
           std::to_string(width) + "\" YSizeAbs=\"" + std::to_string(height) + "\" " + more;
}

void WriteTreeChangeSkin(const Testing::TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    const std::string grey = Testing::FilledLook(skin, "grey", kGrey);
    const std::string green = Testing::FilledLook(skin, "green", kGreen);
    const std::string dark = Testing::FilledLook(skin, "dark", 0x404040);
    const std::string blue = Testing::FilledLook(skin, "blue", 0x3060C0);
    skin.lookLists += Testing::LookList("greyLooks", {grey}) + Testing::LookList("greenLooks", {green}) +
                      Testing::LookList("darkLooks", {dark}) + Testing::LookList("blueLooks", {blue});
    const auto button = [](const std::string& name, int x, int y) {
        return Testing::ControlWearing("Framework.Button", name, "blueLooks", Placement(x, y, 70, 30));
    };
    const auto panel = [](const std::string& name, int x, int y, const std::string& children) {
        return Testing::ControlWearing("Framework.Panel", name, "darkLooks", Placement(x, y, 180, 100), children);
    };
    const std::string tree = panel("left", 10, 10, button("first", 10, 10) + button("mover", 90, 10)) +
                             panel("right", 210, 10, button("target", 10, 10)) +
                             panel("box", 10, 130, button("pressed", 10, 10)) + button("other", 220, 140);
    const std::string limits = R"(XMinSizeToControl="Self" XMinSizeAbs="200" XMaxSizeToControl="Self" )"
                               R"(XMaxSizeAbs="800" YMinSizeToControl="Self" YMinSizeAbs="120" )"
                               R"(YMaxSizeToControl="Self" YMaxSizeAbs="600")";
    const auto main = [&](const std::string& lookList) {
        return Testing::ControlWearing("Test.ShownPanel", "main", lookList, Placement(0, 0, 400, 260, limits), tree);
    };
    skin.controls = main("greyLooks");
    std::string document = skin.Document();
    document.insert(document.find("</Skins>"), "<Skin Name=\"Second\">" + main("greenLooks") + "</Skin>");
    (void)folder.Write("Skins.xml", document);
    (void)folder.Write("StringTables.xml",
                       Testing::TestStringTables(
                           Testing::StringTable("Framework.Panel|mover", {{"LHK.NID_SIMULATE_CLICK", "VKEY_F5"}})));
    (void)folder.Write("FrameworkStrings.xml", Testing::TestStringTables(""));
}

class TreeChangeGui : public Testing::ShownPanelWindowTest<> {
protected:
    TreeChangeGui() : ShownPanelWindowTest(&WriteTreeChangeSkin) {}

    RCPtr<LControl> Named(const wchar_t* name) { return Testing::FindControl(mRoot->GetRootControl(), name); }
    static PointT<zlong> Middle(const LControl& control)
    {
        const PointT<double> origin = control.GetAbsoluteOrigin();
        const PointT<double> size = control.GetSize();
        return PointT<double>(origin.x + size.x / 2, origin.y + size.y / 2).ToLongPoint();
    }
    void ClickOn(const LControl& control)
    {
        MoveTo(Middle(control));
        mInput.Click(1);
    }
};

TEST_F(TreeChangeGui, AButtonHeldWhileItsPanelIsTakenAwayLeavesTheMouseFreeForTheNextClick)
{
    const RCPtr<LControl> box = Named(L"box");
    const RCPtr<LControl> pressed = Named(L"pressed");
    const RCPtr<LControl> other = Named(L"other");
    const RCPtr<LClickWitness> witness(new LClickWitness());
    (void)witness->RegisterForNotification(other, L"NID_LEFT_CLICK", 0);
    MoveTo(Middle(*pressed));
    mInput.Button(1, true);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetCaptureControl() == pressed; }));
    // The program takes the page away while the user still holds its button.
    ASSERT_EQ(mRoot->GetRootControl()->ScheduleChildRemoval(box), ZV_S_OK);
    ASSERT_TRUE(RunLoopUntil([&] { return !box->GetParent(); }));
    mInput.Button(1, false);
    ClickOn(*other);
    EXPECT_TRUE(RunLoopUntil([&] { return !witness->mLines.empty(); })) << "the click went to the button taken away";
    (void)witness->UnregisterAllNotifications();
}

TEST_F(TreeChangeGui, UnderANewSkinTheRootControlStillFillsTheWindowAsTheUserResizesIt)
{
    mApplication.Factory().SetCurrentSkinIndex(1);
    ASSERT_EQ(mApplication.Factory().ApplySkinToControl(mRoot->GetRootControl()), ZV_S_OK);
    // As a window manager would when the user drags an edge.
    XResizeWindow(Native().display, Native().window, 500, 300);
    XSync(Native().display, False);
    const Platform::IWindowBackEnd& backEnd = mApplication.Host().GetMainWindow()->GetBackEnd();
    ASSERT_TRUE(RunLoopUntil([&] {
        return backEnd.GetClientSize() == Platform::WindowPoint{500, 300} &&
               mRoot->GetRootControl()->GetSize() == PointT<double>(500, 300);
    })) << "held at " << backEnd.GetClientSize().x << " x " << backEnd.GetClientSize().y;
    EXPECT_TRUE(RunLoopUntil([&] { return ColourAt({490, 290}) == kGreen; }));
}

TEST_F(TreeChangeGui, AButtonMovedToAnotherPanelOrInsideItsPanelMovedIsClickedByItsHotKeyAmongItsNewSiblings)
{
    const RCPtr<LControl> mover = Named(L"mover");
    const RCPtr<LClickWitness> witness(new LClickWitness());
    (void)witness->RegisterForNotification(mover, L"NID_LEFT_CLICK", 0);
    ClickOn(*Named(L"first"));
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetFocusControl() == Named(L"first"); }));
    mInput.Tap("F5");
    ASSERT_TRUE(RunLoopUntil([&] { return witness->mLines.size() == 1; })) << "among its first siblings";

    ASSERT_EQ(mover->SetParent(Named(L"right")), ZV_S_OK);
    ClickOn(*Named(L"target"));
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetFocusControl() == Named(L"target"); }));
    mInput.Tap("F5");
    ASSERT_TRUE(RunLoopUntil([&] { return witness->mLines.size() == 2; })) << "among its new siblings";

    // The panel that holds it now moves too: the keys of the panel's new siblings reach its children.
    ASSERT_EQ(Named(L"right")->SetParent(Named(L"box")), ZV_S_OK);
    ClickOn(*Named(L"pressed"));
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetFocusControl() == Named(L"pressed"); }));
    mInput.Tap("F5");
    EXPECT_TRUE(RunLoopUntil([&] { return witness->mLines.size() == 3; })) << "inside its panel moved";
    (void)witness->UnregisterAllNotifications();
}

}  // namespace
}  // namespace ZV
