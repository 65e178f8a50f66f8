#pragma once

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

// The application's side of its windows: it makes the main window (an OS window on the desktop with its renderer,
// and a root window showing a top-level control of the skin), keeps the root windows that OS windows report, the
// first being the main one, and runs the idle processing that serves the application's notification centres and
// then each root window's queue. While it lives it is the host that OS windows report to, and they make
// LRootWindows. The desktop's work area, keys and cursors are read through the main window. User-interface thread
// only.
class LApplicationWindowHost : public IWindowHost {
public:
    explicit LApplicationWindowHost(const WideString& windowClassName);
    LApplicationWindowHost(const LApplicationWindowHost&) = delete;
    LApplicationWindowHost& operator=(const LApplicationWindowHost&) = delete;
    // Ends the main window.
    ~LApplicationWindowHost();

    // Makes the main window for the skin's top-level control of that name: an OS window of the control's size and
    // place with a renderer of the kind, the control made by the application's factory as its root window's root
    // control, shown and painted at once. ZV_E_FAIL when the skin has no such control or there is no desktop;
    // else the failure of a step.
    [[nodiscard]] ZVRESULT CreateMainWindow(int rendererKind, const WideString& controlName);
    const RCPtr<OSWindow>& GetMainWindow() const { return mMainWindow; }
    // Null before the main window has a root window.
    RCPtr<LRootWindow> GetMainRootWindow() const;
    std::uint32_t GetRootWindowCount() const { return mRootWindows.GetCount(); }

    // Root windows of another kind than LRootWindow are not kept.
    void AddRootWindow(IRootWindowTarget* rootWindow) override;
    void RemoveRootWindow(IRootWindowTarget* rootWindow) override;
    bool IsMainRootWindow(const IRootWindowTarget* rootWindow) const override;
    IRootWindowTarget* GetActiveRootWindow() override;
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

    WideString mWindowClassName;
    RCPtr<OSWindow> mMainWindow;
    // Held: the OS windows count theirs as the root windows' own.
    RCPtrArray<LRootWindow> mRootWindows;
    // The same windows, as the idle step takes them.
    Array<IIdleProcessor*> mIdleProcessors;
};

}  // namespace ZV
