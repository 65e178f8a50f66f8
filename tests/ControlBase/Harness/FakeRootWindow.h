#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/IRootWindow.h"
#include "Notification/IdleProcessing.h"
#include "Notification/NotificationCenter.h"
#include "Renderer/RectList.h"

#include <vector>

namespace ZV::Testing {

// A root window without an OS window: its own notification side and queue ("NID_IDLE" at every idle pass), a root
// control that fills its client area, a hit test that answers from a list the test sets (or, once asked to, through
// the root control), a dirty region, a client area that tests move and resize, and logs of the cursors shown and the
// window's moves. The window holds its root control and the control holds the window: remove the root before the
// window's last reference goes.
class LFakeRootWindow : public LNotificationCenter, public IRootWindow, public IIdleProcessor {
public:
    static RCPtr<LFakeRootWindow> Create();

    ConstRCPtr<LNotificationDistributor> GetNotificationDistributor() const override;
    // The first control of the list that is not excluded, with the point unchanged; each hit test is counted.
    RCPtr<LControl> HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover) override;
    CursorHandle SetCursor(CursorHandle cursor) override;
    void InvalidateRect(const RectT<double>& rect) override;
    RectT<zlong> GetScreenBounds() override { return mClientArea; }
    // Logs the move, and the client area follows it.
    [[nodiscard]] ZVRESULT SetBounds(const RectT<zlong>& rect) override;
    PointT<zlong> GetCursorPosition() override { return mCursor; }
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
    // From now on hit tests ask the root control, as a real root window does.
    void HitTestThroughRootControl() { mHitTestsRootControl = true; }
    // The control that the last hit test with a hover update found.
    const RCPtr<LControl>& GetHoverControl() const { return mHover; }

    // The client area's origin on the screen and its size, the pointer in client coordinates and the work area.
    void SetClientArea(const RectT<zlong>& area) { mClientArea = area; }
    void SetCursorPosition(const PointT<zlong>& point) { mCursor = point; }
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

    RCPtr<LControl> mRootControl;
    std::vector<RCPtr<LControl>> mUnderPointer;
    int mHitTests = 0;
    std::vector<CursorHandle> mCursors;
    bool mHitTestsRootControl = false;
    RCPtr<LControl> mHover;
    RectT<zlong> mClientArea{0, 0, 1024, 768};
    PointT<zlong> mCursor;
    RectT<zlong> mWorkArea{0, 0, 1920, 1080};
    std::vector<RectT<zlong>> mWindowMoves;
    RectList mDirtyRegion;
};

}  // namespace ZV::Testing
