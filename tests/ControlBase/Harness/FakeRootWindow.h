#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/IRootWindow.h"
#include "Notification/IdleProcessing.h"
#include "Notification/NotificationCenter.h"

#include <cstdint>
#include <vector>

namespace ZV::Testing {

// A control's origin in the window's client area: the positions of it and its ancestors, less the ancestors'
// scroll offsets (looks give the controls of these tests no client offset).
PointT<double> GetOriginInWindow(const LControl& control);

// A root window without an OS window: its own notification side and queue ("NID_IDLE" at every idle pass), a root
// control, a hit test that answers from a list the test sets, a log of the cursors and titles shown, and the
// interaction state of a root window (capture, focus, hover) with the pointer, buttons and client size that the test
// says the OS window reports. The window holds its root control and the control holds the window: remove the root
// before the window's last reference goes.
class LFakeRootWindow : public LNotificationCenter, public IRootWindow, public IIdleProcessor {
public:
    static RCPtr<LFakeRootWindow> Create();

    ConstRCPtr<LNotificationDistributor> GetNotificationDistributor() const override;
    // The first control of the list that is not excluded, with the point made local to it; each hit test is
    // counted. With updateHover the control found becomes the hovered one.
    RCPtr<LControl> HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover) override;
    CursorHandle SetCursor(CursorHandle cursor) override;
    [[nodiscard]] ZVRESULT SetCapture(const RCPtr<LControl>& control) override;
    [[nodiscard]] ZVRESULT ReleaseCapture() override;
    RCPtr<LControl> GetFocusControl() const override { return mFocusControl; }
    void SetFocusControl(const RCPtr<LControl>& control) override { mFocusControl = control; }
    void ClearFocusControl() override;
    std::uint32_t GetMouseButtonState() override { return mButtons; }
    PointT<zlong> GetCursorPosition() override { return mCursorPosition; }
    // Recorded; 0.
    [[nodiscard]] ZVRESULT EndModal(std::int32_t result) override;

    // While a control holds the capture, only that control can be hovered. The control that loses the hover leaves,
    // unless it has left its tree; the new one enters.
    void SetHoverControl(const RCPtr<LControl>& control);
    const RCPtr<LControl>& GetHoverControl() const { return mHoverControl; }
    const RCPtr<LControl>& GetCaptureControl() const { return mCaptureControl; }
    // The control that had the focus last, when none has it now.
    const RCPtr<LControl>& GetRememberedFocusControl() const { return mRememberedFocusControl; }
    // What the OS window reports: the buttons held (MouseButton bits) and where the pointer is.
    void SetMouseButtonState(std::uint32_t buttons) { mButtons = buttons; }
    void SetCursorPosition(const PointT<zlong>& point) { mCursorPosition = point; }
    const std::vector<std::int32_t>& GetModalEndRequests() const { return mModalEndRequests; }
    // The titles are logged; the client size is the one the test sets (400 x 300 unless set).
    ZVRESULT SetTitle(const WideString& title) override;
    PointT<zlong> GetClientSize() const override { return mClientSize; }
    // One idle pass of the window: its queued notifications, then "NID_IDLE" when asked.
    bool OnIdle(bool sendIdle) override;

    // Installs the control as the window's root, giving it this window when it has none; null removes the root,
    // which is detached.
    void SetRootControl(const RCPtr<LControl>& control);
    const RCPtr<LControl>& GetRootControl() const { return mRootControl; }

    // The controls that lie under every point, the topmost first.
    void SetControlsUnderPointer(std::vector<RCPtr<LControl>> controls) { mUnderPointer = std::move(controls); }
    int GetHitTestCount() const { return mHitTests; }
    const std::vector<CursorHandle>& GetCursorsShown() const { return mCursors; }
    const std::vector<WideString>& GetTitlesShown() const { return mTitles; }
    void SetClientSize(const PointT<zlong>& size) { mClientSize = size; }

    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    LFakeRootWindow();

    // Lets the window's hold on controls go, as when it gets another root control.
    void ClearInteractionState();

    RCPtr<LControl> mRootControl;
    RCPtr<LControl> mCaptureControl;
    RCPtr<LControl> mFocusControl;
    RCPtr<LControl> mRememberedFocusControl;
    RCPtr<LControl> mHoverControl;
    std::uint32_t mButtons = 0;
    PointT<zlong> mCursorPosition;
    std::vector<std::int32_t> mModalEndRequests;
    std::vector<RCPtr<LControl>> mUnderPointer;
    int mHitTests = 0;
    std::vector<CursorHandle> mCursors;
    std::vector<WideString> mTitles;
    PointT<zlong> mClientSize{400, 300};
};

}  // namespace ZV::Testing
