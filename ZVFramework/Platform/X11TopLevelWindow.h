#pragma once

#include "Platform/DesktopWindows.h"
#include "Platform/NativeWindow.h"
#include "Platform/WindowBackEnd.h"
#include "Platform/X11EventDispatcher.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ZV::Platform {

struct TopLevelWindowOptions {
    int width = 640;
    int height = 480;
    // The window class the desktop groups and remembers the window by (WM_CLASS).
    std::string className = "ZVWindow";
    // The visual a renderer needs the window to have; null for the screen's default.
    Visual* visual = nullptr;
    int depth = 0;
    WindowFrame frame;
};

// A top-level X11 window: the desktop's side of an OS window. It maps the window manager's close request
// (WM_DELETE_WINDOW), places the client area itself (StaticGravity), takes the keyboard focus when it is shown and
// when it is clicked, and reports mouse, wheel (buttons 4 to 7), keys, text, focus, size, moves and exposed areas to
// its sink. A focus the window takes itself is reported before TakeFocus returns, and so before the click that made
// it take the focus, with or without a window manager. A button held keeps the pointer's events coming to the window
// (the server's implicit grab), which is the capture of the original platform. A frame other than the default is
// asked of the window manager through the Motif hints, which most window managers read; a window that is not
// resizable has its size as both size limits. The window is gone with a lost connection, as when another client
// destroys it.
class X11TopLevelWindow final : public IWindowBackEnd, public X11EventTarget {
public:
    // Null when the server refused the window.
    static std::unique_ptr<X11TopLevelWindow> Create(X11EventDispatcher& dispatcher,
                                                     const TopLevelWindowOptions& options);
    X11TopLevelWindow(const X11TopLevelWindow&) = delete;
    X11TopLevelWindow& operator=(const X11TopLevelWindow&) = delete;
    ~X11TopLevelWindow() override;

    void SetEventSink(IWindowEventSink* sink) override { mSink = sink; }
    const NativeWindow* GetNativeWindow() const override { return Exists() ? &mWindow : nullptr; }
    bool Exists() const override { return mWindow.window != 0; }

    bool SetTitle(const std::string& utf8Title) override;
    void SetIcon(int width, int height, const std::uint32_t* pixels) override;
    WindowPoint GetClientSize() const override { return mSize; }
    WindowPoint GetClientOrigin() const override;
    WindowRect GetWorkArea() const override;
    void MoveResize(const WindowRect& screenRect) override;
    void SetSizeLimits(WindowPoint minimum, WindowPoint maximum) override;
    bool IsVisible() const override { return mShown; }
    void Show(bool show) override;
    void Raise() override;
    void SetTopMost(bool topMost) override;
    void SetModalFor(const IWindowBackEnd* owner) override;

    bool IsActive() const override { return mFocused || mClickActivated; }
    bool HasFocus() const override { return mFocused; }
    void TakeFocus() override;

    void SetCursor(std::uintptr_t cursor) override;
    std::uintptr_t LoadCursor(const char* name) override;
    WindowPoint GetPointerPosition() const override;
    bool IsKeyDown(std::uint8_t virtualKey) const override;

    void Destroy() override;

    // From the dispatcher: one event of this window.
    void HandleEvent(const XEvent& event) override;
    void OnPointerHiddenChanged() override;
    // The whole window is shown anew.
    void OnScreenChanged() override;
    void OnConnectionLost() override;

private:
    X11TopLevelWindow(X11EventDispatcher& dispatcher, const NativeWindow& window, WindowPoint size);

    // The window is gone or going: no more events, input context or state of it.
    void ForgetWindow();
    // The window went without being asked to.
    void ForgetLostWindow();
    void HandleButton(const XButtonEvent& event);
    void HandleKey(XKeyEvent& event);
    void HandleCrossing(const XCrossingEvent& event);
    void HandleFocus(const XFocusChangeEvent& event);
    // Tells the input method and the sink that the window gained or lost the keyboard focus.
    void SetFocused(bool focused);
    void HandleConfigure(const XConfigureEvent& event);
    void HandleClientMessage(const XClientMessageEvent& event);
    void SendText(XKeyEvent& event, bool altHeld);
    void SendNetWmState(bool add, Atom state);
    void ApplySizeHints();
    void ApplyFrame();
    void ApplyCursor();

    X11EventDispatcher& mDispatcher;
    NativeWindow mWindow;
    IWindowEventSink* mSink = nullptr;
    XIC mInputContext = nullptr;
    WindowPoint mSize;
    WindowPoint mPosition{-1, -1};
    WindowPoint mMinimumSize;
    WindowPoint mMaximumSize;
    WindowFrame mFrame;
    // The size the program last gave the window: both limits of a window that is not resizable.
    WindowPoint mGivenSize;
    Cursor mCursor = None;
    bool mShown = false;
    bool mMapped = false;
    bool mFocused = false;
    bool mClickActivated = false;
};

}  // namespace ZV::Platform

namespace ZV::Platform {

// Chooses the visual windows for a renderer kind must have (the OpenGL renderer's set-up registers one); false
// leaves the screen's default.
using VisualChooser = bool (*)(Display* display, int screen, Visual*& visual, int& depth);
void SetVisualChooser(int rendererKind, VisualChooser chooser);

}  // namespace ZV::Platform
