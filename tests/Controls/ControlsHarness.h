#pragma once

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/SkinnedControlSupport.h"
#include "Notification/NotificationClient.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace ZV::Testing {

// The control harness as the framework's controls need it: their skin class names registered, a clean start for
// the tool tips (no tip went before the harness's clock began), a seconds clock that is the millisecond clock
// divided exactly (so that the controls' delays fall where the test's steps put them), hit tests through the root
// control as in a real window, and the mouse and keys routed through the window.
class ControlsHarness : public ControlHarness {
public:
    ControlsHarness();

    double GetTimeSeconds() override { return GetTimeMs() / 1000.0; }

    // Loads the skin document and creates its top-level control "main" as the window's root; null fails the test.
    RCPtr<LControl> CreateMain(const SkinDocumentBuilder& skin);
    // Moves the clocks on by the step and runs an idle pass, until the time has passed; the test's idle passes
    // come as the window's 33 ms timer would have them, or closer.
    void RunFor(std::uint32_t milliseconds, std::uint32_t step = kIdleStep);

    MouseRouter& Mouse() { return mMouse; }
    KeyRouter& Keys() { return mKeys; }
    // Pointer and button as the OS window reports them, at a control's point (its own coordinates).
    void MoveTo(const LControl& control, const PointT<zlong>& point);
    void PressAt(const LControl& control, const PointT<zlong>& point);
    void ReleaseAt(const LControl& control, const PointT<zlong>& point);
    // Off the window.
    void MoveAway() { mMouse.Move({kAwayX, kAwayY}); }
    // Paints the whole window, as it shows first; texts are laid out for it.
    void PaintAll();
    // Paints the whole window and answers the colour (0xAARRGGBB) of the last fill drawn at the control's origin; 0
    // when none was.
    std::uint32_t PaintedColourOf(const LControl& control);

    static constexpr std::uint32_t kIdleStep = 10;
    static constexpr zlong kAwayX = 1000;
    static constexpr zlong kAwayY = 700;

private:
    PointT<zlong> InWindow(const LControl& control, const PointT<zlong>& point) const;

    MouseRouter mMouse;
    KeyRouter mKeys;
};

// A control that shows its first look, for the windows and groups that hold the controls under test: a control
// without a weighted look is not hit, and neither are its children.
class LShownControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    [[nodiscard]] ZVRESULT OnInitialized() override;
};

// Writes down the notifications of controls it watches, each as it arrives, with the harness's millisecond clock:
// "300 name NID_ID", and for a value record " = " and its normalised value ("= 0.5").
class LNotificationRecorder : public LNotificationClient {
public:
    static RCPtr<LNotificationRecorder> Create();

    void Watch(const RCPtr<LControl>& control, std::initializer_list<const wchar_t*> ids);
    // The lines written down since the last call.
    std::vector<std::string> TakeLines();
    // The times of the notifications of the id written down so far, and how many there were.
    std::vector<std::uint32_t> TimesOf(const wchar_t* id) const;
    std::size_t CountOf(const wchar_t* id) const { return TimesOf(id).size(); }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override;

private:
    LNotificationRecorder() = default;

    struct Record {
        std::uint32_t time;
        std::string id;
        std::string line;
    };
    std::vector<Record> mRecords;
    std::size_t mTaken = 0;
};

// Colours of the skin below, 0xAARRGGBB.
constexpr std::uint32_t ButtonLookColour(std::uint32_t look)
{
    return 0xFF30A000u + look;
}
constexpr std::uint32_t kLabelColour = 0xFF203040;
constexpr std::uint32_t kToolTipColour = 0xFFFFF0C0;
constexpr std::uint32_t kPanelColour = 0xFF404850;

// Colour looks for the framework's controls, each a fill of its client area with the label text inset 2 pixels on
// every side: look list "button" with fourteen looks, look n filled with ButtonLookColour(n); "label" with one look;
// and the top-level "toolTip" as the application's skin has it (Framework.ToolTip of look list "toolTip", 22 high,
// growing with its text, above everything and not clipped). The test adds the top-level control "main" (class
// Test.Control) holding its controls, which wear the look lists (Wearing).
SkinDocumentBuilder ControlsSkin();

// The top-level "main" holding the controls, 400 x 300 in a window of that size, and a panel holding controls.
std::string MainControl(const std::string& children);
std::string Panel(const std::string& name, const std::string& attributes, const std::string& children);

}  // namespace ZV::Testing
