#pragma once

#include "ControlBase/LayoutDescriptor.h"
#include "Notification/IdleProcessing.h"
#include "ObjectBase/ResultCodes.h"
#include "System/OSWindow.h"
#include "System/RootWindow.h"
#include "System/WindowHost.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// What an extra root window is made with: the window manager's boxes, and whether it runs modal to the active root
// window.
struct RootWindowStyle {
    bool systemMenu = false;
    bool minimiseBox = false;
    bool maximiseBox = false;
    bool modal = false;
};

// Whether a window showing a control of the layout lets the user change its size: not when both axes have equal
// limits (of the same kind) that are not all zero, nor when every limit is measured against another control.
bool IsSizableLayout(const LLayoutDescriptor& layout);

// The application's side of its windows: it makes the main window (an OS window on the desktop with its renderer,
// and a root window showing a top-level control of the skin), keeps the root windows that OS windows report, the
// first being the main one, and runs the idle processing that serves the application's notification centres and
// then each root window's queue. While it lives it is the host that OS windows report to, and they make
// LRootWindows. The desktop's work area, keys and cursors are read through the main window, and from the desktop
// itself before it is made. User-interface thread only.
class LApplicationWindowHost : public IWindowHost {
public:
    explicit LApplicationWindowHost(const WideString& windowClassName);
    LApplicationWindowHost(const LApplicationWindowHost&) = delete;
    LApplicationWindowHost& operator=(const LApplicationWindowHost&) = delete;
    // Ends the main window.
    ~LApplicationWindowHost();

    // Makes the main window for the skin's top-level control of that name: an OS window of the control's size and
    // place with a renderer of the kind and the title (none when empty), the control made by the application's
    // factory as its root window's root control, put where it was when it last closed (fitted to the control's
    // limits), shown and painted at once. ZV_E_FAIL when the skin has no such control or there is no desktop; else
    // the failure of a step.
    [[nodiscard]] ZVRESULT CreateMainWindow(int rendererKind, const WideString& controlName,
                                            const WideString& title = WideString());
    const RCPtr<OSWindow>& GetMainWindow() const { return mMainWindow; }
    // An extra top-level window with the control as its root window's root control: titled with the control's text,
    // of the control's size at the control's position in the active root window (else the first; without one, on
    // the screen), moved into the work area, with the application's icon, drawn by the active (else the first) root
    // window's renderer or, without one, a new renderer of the kind. A modal window has the active root window's
    // OS window as its owner, whose input it takes while its modal loop runs, and keeps its size; a modeless one is
    // shown at once, resizable when the control's layout is. The new root window's index, with its OS window; or
    // ZV_E_FAIL, leaving no window, when there is no desktop or the control cannot be a root control (a child).
    [[nodiscard]] std::int32_t CreateRootWindow(const RCPtr<LControl>& control, const RootWindowStyle& style,
                                                int rendererKind, RCPtr<OSWindow>& window);
    // Null before the main window has a root window.
    RCPtr<LRootWindow> GetMainRootWindow() const;
    std::uint32_t GetRootWindowCount() const { return mRootWindows.GetCount(); }
    // In the order they came; the first is the main window's.
    const RCPtr<LRootWindow>& GetRootWindow(std::uint32_t index) const { return mRootWindows.GetData()[index]; }
    // The window that message boxes stay in front of: the active root window's, else the first root window's; null
    // without root windows.
    const Platform::NativeWindow* GetMessageBoxOwner() const;

    // Root windows of another kind than LRootWindow are not kept.
    void AddRootWindow(IRootWindowTarget* rootWindow) override;
    void RemoveRootWindow(IRootWindowTarget* rootWindow) override;
    bool IsMainRootWindow(const IRootWindowTarget* rootWindow) const override;
    IRootWindowTarget* GetActiveRootWindow() override;
    IRootWindowTarget* GetFirstRootWindow() override;
    // The notification centres, then the root windows from the last to the first.
    bool ProcessIdle(bool firstCall) override;
    // Nothing is done with another instance's command line yet.
    void OnDataCopy(const WideString& text) override;
    WideString GetWindowClassName() const override { return mWindowClassName; }
    RectT<zlong> GetWorkArea() override;
    bool IsKeyDown(std::uint8_t virtualKey) override;
    CursorHandle GetNamedCursor(const wchar_t* name) override;
    bool FocusNextRootWindow(const IRootWindowTarget* from, bool backward) override;

private:
    std::int32_t IndexOf(const IRootWindowTarget* rootWindow) const;
    // The desktop window that answers for the desktop; null without a main window.
    Platform::IWindowBackEnd* GetDesktop() const;
    // The last root window whose window is active; null when none is.
    LRootWindow* FindActiveRootWindow() const;
    // The active root window, else the first; null without root windows.
    LRootWindow* GetActiveOrFirstRootWindow() const;

    WideString mWindowClassName;
    RCPtr<OSWindow> mMainWindow;
    // Held: the OS windows count theirs as the root windows' own.
    RCPtrArray<LRootWindow> mRootWindows;
    // The same windows, as the idle step takes them.
    Array<IIdleProcessor*> mIdleProcessors;
};

}  // namespace ZV
