#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/IRootWindow.h"
#include "Notification/NotificationCenter.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/RectList.h"
#include "Renderer/Renderer.h"
#include "System/GlobalHotKeyManager.h"
#include "System/RootWindowTarget.h"
#include "System/WindowOSServices.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The root of one control tree shown in one OS window. It holds the root control, which always fills the client
// area, and keeps what the window's interaction needs: the focused control and the one remembered while the window
// is inactive, the hovered control, the control whose tool tip shows, the control that holds the mouse capture and
// the double clicks under way. It routes the OS window's mouse, wheel and key input to the controls, collects their
// invalid areas and paints the tree through the renderer, holds the window to the root control's size limits, and
// has its own notification queue and hot keys, which the application's idle processing serves.
//
// The OS window that made it counts its reference as internal, and so does the root control: the window goes once
// the application lets go of it (ReleaseInternalReferences). User-interface thread only.
class LRootWindow : public LNotificationCenter, public IRootWindow, public IRootWindowTarget {
public:
    // Services given are an OS window's, which counts its reference to the root window as internal, and which
    // shows the arrow from then on until another cursor is set.
    static RCPtr<LRootWindow> Create(const RCPtr<LRenderer>& renderer, IWindowOSServices* services);
    // The maker that OS windows use (OSWindow::SetRootWindowFactory).
    static RCPtr<IRootWindowTarget> CreateForWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services);
    ~LRootWindow() override;

    // --- The tree ---

    // Installs the control as the root control (null: none), whose layout then fills the client area; the
    // interaction state starts afresh, the old root control leaves the window, and the window's hot keys become the
    // new control's "GHK" entries. 0; 1, changing nothing, for the root control it has.
    [[nodiscard]] ZVRESULT SetRootControl(const RCPtr<LControl>& control);
    // The application's factory makes the top-level control of that name for this window and installs it; an empty
    // name removes the root control. 0; ZV_E_FAIL when there is no factory or the skin has no such control.
    [[nodiscard]] ZVRESULT CreateRootControl(const WideString& name);
    const RCPtr<LControl>& GetRootControl() const { return mRootControl; }
    // Null once the OS window has gone.
    IWindowOSServices* GetWindowServices() const { return mServices; }

    // --- Interaction state ---

    const RCPtr<LControl>& GetHoverControl() const { return mHoverControl; }
    const RCPtr<LControl>& GetCaptureControl() const { return mCaptureControl; }
    const RCPtr<LControl>& GetToolTipControl() const { return mToolTipControl; }
    const RCPtr<LControl>& GetRememberedFocusControl() const { return mRememberedFocusControl; }
    // While a control holds the capture only that control can be hovered. The tool tip follows the hovered
    // control (or the ancestor whose tool tip it shows); the control that loses the hover leaves, unless it has left
    // its tree, and the new one enters.
    void SetHoverControl(const RCPtr<LControl>& control);
    // Text editing starts in a control that edits text, or ends; the OS window is told.
    void NotifyTextEditing(bool start, const RCPtr<LControl>& control, std::int32_t value);

    // --- IRootWindow ---

    // Invalidates the whole client area and has it painted at once; the OS window's answer.
    [[nodiscard]] ZVRESULT RedrawAll() override;

    ConstRCPtr<LNotificationDistributor> GetNotificationDistributor() const override;
    [[nodiscard]] ZVRESULT SetCapture(const RCPtr<LControl>& control) override;
    [[nodiscard]] ZVRESULT ReleaseCapture() override;
    RCPtr<LControl> GetFocusControl() const override { return mFocusControl; }
    void SetFocusControl(const RCPtr<LControl>& control) override { mFocusControl = control; }
    void ClearFocusControl() override;
    std::uint32_t GetMouseButtonState() override;
    PointT<zlong> GetCursorPosition() override;
    // Asked of the window's modal loop at the next idle pass; ZV_E_FAIL without an OS window.
    [[nodiscard]] ZVRESULT EndModal(std::int32_t result) override;
    RCPtr<LControl> HitTest(const PointT<zlong>& point, PointT<zlong>& localPoint, bool updateHover) override;
    // 0 shows the arrow; 0 without an OS window.
    CursorHandle SetCursor(CursorHandle cursor) override;
    // The OS window learns of the area as well.
    void InvalidateRect(const RectT<double>& rect) override;
    // Read afresh from the OS window; (0, 0, 1024, 768) without one.
    RectT<zlong> GetScreenBounds() override;
    // The root control is repainted as well.
    [[nodiscard]] ZVRESULT SetBounds(const RectT<zlong>& rect) override;
    // The application's; empty without one.
    RectT<zlong> GetWorkArea() override;
    // Through the OS window; ZV_E_FAIL without one.
    [[nodiscard]] ZVRESULT SetTitle(const WideString& title) override;
    // What they send goes into the window's queue.
    RCPtr<LGlobalHotKeyManager> GetHotKeyManager() override { return mHotKeys; }
    // A Tab that left the top-level control: with one root window the focus goes round to the tree's first
    // focusable control (Shift: its last); with more, the next window (Shift: the previous one) takes the keyboard.
    // Nothing while the window is inactive or modal.
    void MoveFocusOnTab(const RCPtr<LKeyParam>& key) override;
    // Read from the application's key states.
    std::uint32_t GetModifierState() override;
    // The application's cursor of that name.
    CursorHandle GetNamedCursor(const wchar_t* name) override;

    // --- IRootWindowTarget ---

    // Input is routed only while the OS window is active.
    void RouteMouseButton(ButtonAction action, std::uint32_t button, std::uint32_t modifiers,
                          const PointT<zlong>& point) override;
    void RouteMouseMove(const PointT<zlong>& point, std::uint32_t modifiers) override;
    // A step that the control under the pointer does not take reaches the focused control.
    void RouteMouseWheel(const PointT<zlong>& point, std::uint32_t modifiers, std::uint32_t direction) override;
    void RouteKey(const RCPtr<LKeyParam>& key) override;
    void OnCaptureLost() override;
    // The window got the keyboard: the remembered control takes the focus again, else the root control passes it
    // to its first focusable control.
    void OnSetFocus() override;
    // The window lost the keyboard: nothing stays hovered, and the focused control is remembered.
    void OnKillFocus() override;
    void OnResize(const PointT<zlong>& size) override;
    void SetFullRepaint() override { mFullRepaint = true; }
    bool HasFocusControl() const override { return static_cast<bool>(mFocusControl); }
    ZVRESULT ConstrainClientSize(zlong& width, zlong& height) override;
    void CollectDirtyRegion(RectList& region) override;
    // A paint asked for while one is under way has the whole window painted afresh afterwards instead.
    void Paint(const RectList& region) override;
    // A dialog is asked to close with result 2; any other root control has the window's modal loop end with 0.
    void RequestClose() override;
    // As RequestClose, but a dialog's receivers cannot keep it open, and the loop ends whatever they do.
    std::int32_t CloseForLostWindow() override;
    RCPtr<ITextEditTarget> FindFocusedTextEditor() override;
    // The window's queued notifications (with "NID_IDLE" when asked), then a modal end that waits; true while
    // notifications are still queued.
    bool OnIdle(bool sendIdle) override;

    // Lets go of the subscribers, the OS window, the root control and the queue.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services);

    bool IsActive() const;
    // A point of the client area in the control's coordinates.
    static PointT<zlong> LocalPoint(const LControl& control, const PointT<zlong>& point);
    // The control whose tool tip shows while the control is hovered: the control when it has a tool-tip text, else,
    // when it shows its parent's, what the parent's answer is; null without a text.
    static RCPtr<LControl> FindToolTipControl(const RCPtr<LControl>& control);
    void HideToolTip();
    // Lets go of the controls of the interaction state.
    void ClearInteractionState();
    void ResetHotKeys();

    RCPtr<LRenderer> mRenderer;
    IWindowOSServices* mServices;
    RectT<zlong> mBounds{0, 0, 1024, 768};
    RCPtr<LControl> mRootControl;
    // The root control holds this window: its reference is counted as internal.
    bool mRootControlHoldsWindow = false;
    RectList mDirtyRegion;
    bool mFullRepaint = false;
    bool mPainting = false;
    // Per button (MouseButton bits): its last press was a double click, until its next press or release.
    std::uint32_t mDoubleClicks = 0;
    RCPtr<LGlobalHotKeyManager> mHotKeys;
    RCPtr<LControl> mFocusControl;
    RCPtr<LControl> mRememberedFocusControl;
    RCPtr<LControl> mHoverControl;
    RCPtr<LControl> mToolTipControl;
    RCPtr<LControl> mCaptureControl;
    bool mModalEndRequested = false;
    std::int32_t mModalResult = 0;
};

}  // namespace ZV
