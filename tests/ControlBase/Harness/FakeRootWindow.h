#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/IRootWindow.h"
#include "Notification/IdleProcessing.h"
#include "Notification/NotificationCenter.h"

#include <vector>

namespace ZV::Testing {

// A root window without an OS window: its own notification side and queue ("NID_IDLE" at every idle pass), a root
// control, a hit test that answers from a list the test sets, and a log of the cursors and titles shown. The window holds its
// root control and the control holds the window: remove the root before the window's last reference goes.
class LFakeRootWindow : public LNotificationCenter, public IRootWindow, public IIdleProcessor {
public:
    static RCPtr<LFakeRootWindow> Create();

    ConstRCPtr<LNotificationDistributor> GetNotificationDistributor() const override;
    // The first control of the list that is not excluded, with the point unchanged; each hit test is counted.
    RCPtr<LControl> HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover) override;
    CursorHandle SetCursor(CursorHandle cursor) override;
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

    RCPtr<LControl> mRootControl;
    std::vector<RCPtr<LControl>> mUnderPointer;
    int mHitTests = 0;
    std::vector<CursorHandle> mCursors;
    std::vector<WideString> mTitles;
    PointT<zlong> mClientSize{400, 300};
};

}  // namespace ZV::Testing
