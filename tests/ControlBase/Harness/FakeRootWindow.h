#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/IRootWindow.h"
#include "Notification/IdleProcessing.h"
#include "Notification/NotificationCenter.h"
#include "Renderer/RectList.h"
#include "System/GlobalHotKeyManager.h"

#include <cstdint>
#include <vector>

namespace ZV::Testing {

// A control's origin in the window's client area: the positions of it and its ancestors, less the ancestors'
// scroll offsets (looks give the controls of these tests no client offset).
PointT<double> GetOriginInWindow(const LControl& control);

// A root window without an OS window: its own notification side and queue ("NID_IDLE" at every idle pass), a root
// control that fills its client area, a hit test that answers from a list the test sets (or, once asked to, through
// the root control), a dirty region, a client area that tests move and resize, logs of the cursors and titles shown
// and the window's moves, and the interaction state of a root window (capture, focus, hover) with the pointer and
// buttons that the test says the OS window reports. The window holds its root control and the control holds the
// window: remove the root before the window's last reference goes.
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
    // Made on first use; its notifications go into the window's queue.
    RCPtr<LGlobalHotKeyManager> GetHotKeyManager() override;
    // As the window of an application with one window: the root control lets the focus go and takes it again,
    // forwards, or backwards with Shift. Counted.
    void MoveFocusOnTab(const RCPtr<LKeyParam>& key) override;
    std::uint32_t GetModifierState() override { return mModifiers; }
    // A handle of its own for each cursor name (the name's place in the cursor table, plus 0x100); 0 for another
    // name.
    CursorHandle GetNamedCursor(const wchar_t* name) override;

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
    // The modifier keys that the test says are held (0x1 Ctrl, 0x8 Shift, 0x40 Alt).
    void SetModifierState(std::uint32_t modifiers) { mModifiers = modifiers; }
    int GetTabMoveCount() const { return mTabMoves; }
    // The control whose tool tip shows: the hovered control's, or its parent's for one that uses its parent's tip.
    const RCPtr<LControl>& GetToolTipControl() const { return mToolTipControl; }
    // A press, a wheel turn or a key: the tip shown hides, its control stays the tool-tip control.
    void HideToolTip();
    const std::vector<std::int32_t>& GetModalEndRequests() const { return mModalEndRequests; }
    // Logged; 0.
    ZVRESULT SetTitle(const WideString& title) override;
    void InvalidateRect(const RectT<double>& rect) override;
    RectT<zlong> GetScreenBounds() override { return mClientArea; }
    // Logs the move, and the client area follows it.
    [[nodiscard]] ZVRESULT SetBounds(const RectT<zlong>& rect) override;
    RectT<zlong> GetWorkArea() override { return mWorkArea; }
    // One idle pass of the window: its queued notifications, then "NID_IDLE" when asked.
    bool OnIdle(bool sendIdle) override;

    // Installs the control as the window's root, giving it this window when it has none, and makes its layout fill
    // the client area; null removes the root, which is detached.
    void SetRootControl(const RCPtr<LControl>& control);
    const RCPtr<LControl>& GetRootControl() const { return mRootControl; }

    // The controls that lie under every point, the topmost first.
    void SetControlsUnderPointer(std::vector<RCPtr<LControl>> controls) { mUnderPointer = std::move(controls); }
    int GetHitTestCount() const { return mHitTests; }
    const std::vector<CursorHandle>& GetCursorsShown() const { return mCursors; }
    const std::vector<WideString>& GetTitlesShown() const { return mTitles; }
    // From now on hit tests ask the root control, as a real root window does.
    void HitTestThroughRootControl() { mHitTestsRootControl = true; }

    // The client area's origin on the screen and its size, and the work area.
    void SetClientArea(const RectT<zlong>& area) { mClientArea = area; }
    void SetWorkArea(const RectT<zlong>& area) { mWorkArea = area; }
    // The window's client area takes the size, and the root control is told as the OS window tells it.
    void Resize(zlong width, zlong height);
    const std::vector<RectT<zlong>>& GetWindowMoves() const { return mWindowMoves; }
    // Moves the dirty region, normalised, into the list, as the window does before it paints.
    void CollectDirtyRegion(RectList& region);
    // The same as rectangles (x, y, width, height), from the top down and each band from the left.
    std::vector<RectT<zlong>> TakeDirtyRects();

    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    LFakeRootWindow();

    // Lets the window's hold on controls go, as when it gets another root control.
    void ClearInteractionState();
    // The hover moved to the control: the tip of the control it now shows for takes the place of the last one.
    void FollowToolTip(const RCPtr<LControl>& hovered);

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
    bool mHitTestsRootControl = false;
    RectT<zlong> mClientArea{0, 0, 1024, 768};
    RectT<zlong> mWorkArea{0, 0, 1920, 1080};
    std::vector<RectT<zlong>> mWindowMoves;
    RectList mDirtyRegion;
    RCPtr<LGlobalHotKeyManager> mHotKeys;
    std::uint32_t mModifiers = 0;
    int mTabMoves = 0;
    RCPtr<LControl> mToolTipControl;
};

}  // namespace ZV::Testing
