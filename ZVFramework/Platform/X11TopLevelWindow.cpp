#include "Platform/X11TopLevelWindow.h"

#include "Platform/X11Display.h"
#include "Platform/X11EventDispatcher.h"
#include "Platform/X11Painting.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <vector>

namespace ZV::Platform {

namespace {

constexpr long kEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask |
                            StructureNotifyMask;
constexpr unsigned int kButtonsHeld = Button1Mask | Button2Mask | Button3Mask;
constexpr int kNotch = 120;

std::uint32_t FrameworkButton(unsigned int button)
{
    switch (button) {
    case Button1:
        return 1;
    case Button2:
        return 2;
    case Button3:
        return 4;
    default:
        return 0;
    }
}

// Appends the UTF-16 units of UTF-8 text; a malformed sequence gives U+FFFD.
void AppendUtf16(const char* text, int length, std::vector<std::uint16_t>& units)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (int index = 0; index < length;) {
        const unsigned char lead = bytes[index];
        int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        std::uint32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1Fu : extra == 2 ? lead & 0x0Fu : lead & 0x07u;
        ++index;
        for (int follow = 0; follow < extra; ++follow, ++index) {
            if (index >= length || (bytes[index] & 0xC0) != 0x80) {
                extra = -1;
                break;
            }
            code = code << 6 | (bytes[index] & 0x3Fu);
        }
        if (extra < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            units.push_back(0xFFFD);
        } else if (code >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(code));
        }
    }
}

}  // namespace

std::unique_ptr<X11TopLevelWindow> X11TopLevelWindow::Create(X11EventDispatcher& dispatcher,
                                                             const TopLevelWindowOptions& options)
{
    Display* display = dispatcher.GetDisplay();
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    NativeWindow record;
    record.display = display;
    record.visual = options.visual != nullptr ? options.visual : DefaultVisual(display, screen);
    record.depth = options.visual != nullptr ? options.depth : DefaultDepth(display, screen);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = kEventMask;
    unsigned long valueMask = CWBackPixmap | CWBorderPixel | CWBitGravity | CWEventMask;
    if (options.visual != nullptr) {
        attributes.colormap = XCreateColormap(display, root, options.visual, AllocNone);
        valueMask |= CWColormap;
    }
    const WindowPoint size{std::max(1, options.width), std::max(1, options.height)};
    record.window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(size.x), static_cast<unsigned>(size.y), 0,
                                  record.depth, InputOutput, record.visual, valueMask, &attributes);
    if (record.window == 0) {
        return nullptr;
    }
    std::unique_ptr<X11TopLevelWindow> window(new X11TopLevelWindow(dispatcher, record, size));
    window->mFrame = options.frame;
    XClassHint classHint{const_cast<char*>(options.className.c_str()), const_cast<char*>(options.className.c_str())};
    XSetClassHint(display, record.window, &classHint);
    Atom protocols[] = {dispatcher.GetAtoms().wmDeleteWindow};
    XSetWMProtocols(display, record.window, protocols, 1);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, record.window, &hints);
    window->ApplySizeHints();
    window->ApplyFrame();
    window->ApplyCursor();
    if (XIM method = dispatcher.GetInputMethod(); method != nullptr) {
        window->mInputContext = XCreateIC(method, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                                          record.window, XNFocusWindow, record.window, nullptr);
    }
    return window;
}

X11TopLevelWindow::X11TopLevelWindow(X11EventDispatcher& dispatcher, const NativeWindow& window, WindowPoint size)
    : mDispatcher(dispatcher), mWindow(window), mSize(size), mGivenSize(size)
{
    mDispatcher.Register(mWindow.window, this);
}

X11TopLevelWindow::~X11TopLevelWindow()
{
    Destroy();
}

void X11TopLevelWindow::Destroy()
{
    if (!Exists()) {
        return;
    }
    const Window window = mWindow.window;
    ForgetWindow();
    XDestroyWindow(mWindow.display, window);
    XFlush(mWindow.display);
}

void X11TopLevelWindow::ForgetWindow()
{
    mDispatcher.Unregister(mWindow.window);
    if (mInputContext != nullptr) {
        XDestroyIC(mInputContext);
        mInputContext = nullptr;
    }
    mWindow.window = 0;
    mShown = mMapped = mFocused = mClickActivated = false;
}

bool X11TopLevelWindow::SetTitle(const std::string& utf8Title)
{
    if (!Exists()) {
        return false;
    }
    const X11Atoms& atoms = mDispatcher.GetAtoms();
    XChangeProperty(mWindow.display, mWindow.window, atoms.netWmName, atoms.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8Title.data()), static_cast<int>(utf8Title.size()));
    // The old name property, for window managers that read only that one.
    char* list[] = {const_cast<char*>(utf8Title.c_str())};
    XTextProperty property{};
    if (Xutf8TextListToTextProperty(mWindow.display, list, 1, XStdICCTextStyle, &property) >= Success) {
        XSetWMName(mWindow.display, mWindow.window, &property);
        XFree(property.value);
    }
    XFlush(mWindow.display);
    return true;
}

void X11TopLevelWindow::SetIcon(int width, int height, const std::uint32_t* pixels)
{
    if (!Exists() || width <= 0 || height <= 0 || pixels == nullptr) {
        return;
    }
    // Format 32 properties travel as longs in Xlib, whatever the size of a long.
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<unsigned long> icon;
    icon.reserve(count + 2);
    icon.push_back(static_cast<unsigned long>(width));
    icon.push_back(static_cast<unsigned long>(height));
    icon.insert(icon.end(), pixels, pixels + count);
    const X11Atoms& atoms = mDispatcher.GetAtoms();
    ChangeLongProperty(mWindow.display, mWindow.window, atoms.netWmIcon, atoms.cardinal, icon.data(), icon.size());
    XFlush(mWindow.display);
}

WindowPoint X11TopLevelWindow::GetClientOrigin() const
{
    if (!Exists()) {
        return {};
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(mWindow.display, mWindow.window, DefaultRootWindow(mWindow.display), 0, 0, &x, &y, &child);
    return {x, y};
}

WindowRect X11TopLevelWindow::GetWorkArea() const
{
    return ReadDesktopWorkArea(mDispatcher.GetDisplay());
}

void X11TopLevelWindow::MoveResize(const WindowRect& screenRect)
{
    if (!Exists()) {
        return;
    }
    mGivenSize = {std::max(1, screenRect.width), std::max(1, screenRect.height)};
    if (!mFrame.resizable) {
        ApplySizeHints();
    }
    XMoveResizeWindow(mWindow.display, mWindow.window, screenRect.x, screenRect.y, static_cast<unsigned>(mGivenSize.x),
                      static_cast<unsigned>(mGivenSize.y));
    XFlush(mWindow.display);
}

void X11TopLevelWindow::SetSizeLimits(WindowPoint minimum, WindowPoint maximum)
{
    mMinimumSize = minimum;
    mMaximumSize = maximum;
    ApplySizeHints();
}

// The client area goes where it is placed, not the frame the window manager adds (StaticGravity).
void X11TopLevelWindow::ApplySizeHints()
{
    if (!Exists()) {
        return;
    }
    const WindowPoint minimum = mFrame.resizable ? mMinimumSize : mGivenSize;
    const WindowPoint maximum = mFrame.resizable ? mMaximumSize : mGivenSize;
    XSizeHints hints{};
    hints.flags = PWinGravity | PPosition;
    hints.win_gravity = StaticGravity;
    if (minimum.x > 0 && minimum.y > 0) {
        hints.flags |= PMinSize;
        hints.min_width = minimum.x;
        hints.min_height = minimum.y;
    }
    if (maximum.x > 0 && maximum.y > 0) {
        hints.flags |= PMaxSize;
        hints.max_width = maximum.x;
        hints.max_height = maximum.y;
    }
    XSetWMNormalHints(mWindow.display, mWindow.window, &hints);
}

void X11TopLevelWindow::ApplyFrame()
{
    if (mFrame == WindowFrame()) {
        return;
    }
    // The Motif window manager hints: flags, functions, decorations, input mode, status.
    constexpr long kFunctionsAndDecorations = 1 | 2;
    constexpr long kResize = 2;
    constexpr long kMove = 4;
    constexpr long kMinimise = 8;
    constexpr long kMaximise = 16;
    constexpr long kClose = 32;
    constexpr long kBorder = 2;
    constexpr long kResizeHandles = 4;
    constexpr long kTitle = 8;
    constexpr long kMenu = 16;
    constexpr long kMinimiseButton = 32;
    constexpr long kMaximiseButton = 64;
    struct FramePart {
        bool offered;
        long function;
        long decoration;
    };
    const FramePart parts[] = {{mFrame.resizable, kResize, kResizeHandles},
                               {mFrame.closeBox, kClose, kMenu},
                               {mFrame.minimiseBox, kMinimise, kMinimiseButton},
                               {mFrame.maximiseBox, kMaximise, kMaximiseButton}};
    long functions = kMove;
    long decorations = kBorder | kTitle;
    for (const FramePart& part : parts) {
        if (part.offered) {
            functions |= part.function;
            decorations |= part.decoration;
        }
    }
    const long hints[5] = {kFunctionsAndDecorations, functions, decorations, 0, 0};
    const Atom motifHints = XInternAtom(mWindow.display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(mWindow.display, mWindow.window, motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(hints), 5);
}

void X11TopLevelWindow::Show(bool show)
{
    if (!Exists() || show == mShown) {
        return;
    }
    mShown = show;
    if (show) {
        XMapRaised(mWindow.display, mWindow.window);
    } else {
        XWithdrawWindow(mWindow.display, mWindow.window, DefaultScreen(mWindow.display));
    }
    XFlush(mWindow.display);
}

void X11TopLevelWindow::Raise()
{
    if (!Exists()) {
        return;
    }
    XRaiseWindow(mWindow.display, mWindow.window);
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = mWindow.window;
    message.xclient.message_type = mDispatcher.GetAtoms().netActiveWindow;
    message.xclient.format = 32;
    message.xclient.data.l[0] = 1;
    XSendEvent(mWindow.display, DefaultRootWindow(mWindow.display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(mWindow.display);
}

void X11TopLevelWindow::SendNetWmState(bool add, Atom state)
{
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = mWindow.window;
    message.xclient.message_type = mDispatcher.GetAtoms().netWmState;
    message.xclient.format = 32;
    message.xclient.data.l[0] = add ? 1 : 0;
    message.xclient.data.l[1] = static_cast<long>(state);
    message.xclient.data.l[3] = 1;
    XSendEvent(mWindow.display, DefaultRootWindow(mWindow.display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &message);
}

void X11TopLevelWindow::SetTopMost(bool topMost)
{
    if (!Exists()) {
        return;
    }
    SendNetWmState(topMost, mDispatcher.GetAtoms().netWmStateAbove);
    if (topMost) {
        XRaiseWindow(mWindow.display, mWindow.window);
    }
    XFlush(mWindow.display);
}

void X11TopLevelWindow::SetModalFor(const IWindowBackEnd* owner)
{
    const NativeWindow* ownerWindow = owner == nullptr ? nullptr : owner->GetNativeWindow();
    if (!Exists() || ownerWindow == nullptr) {
        return;
    }
    XSetTransientForHint(mWindow.display, mWindow.window, ownerWindow->window);
    Atom modal = mDispatcher.GetAtoms().netWmStateModal;
    XChangeProperty(mWindow.display, mWindow.window, mDispatcher.GetAtoms().netWmState, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<unsigned char*>(&modal), 1);
}

void X11TopLevelWindow::TakeFocus()
{
    // The server refuses the focus to a window that is not viewable.
    if (!Exists() || !mMapped) {
        return;
    }
    XSetInputFocus(mWindow.display, mWindow.window, RevertToParent, CurrentTime);
    if (mFocused) {
        XFlush(mWindow.display);
        return;
    }
    // As on the original platform, the window hears of the focus before the call returns: a click that activates it
    // is routed only once the focus is back where the user left it. The FocusIn on its way then changes nothing.
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(mWindow.display, &focus, &revertTo);
    if (focus == mWindow.window) {
        SetFocused(true);
    }
}

void X11TopLevelWindow::SetCursor(std::uintptr_t cursor)
{
    mCursor = static_cast<Cursor>(cursor);
    ApplyCursor();
    if (Exists()) {
        XFlush(mWindow.display);
    }
}

void X11TopLevelWindow::ApplyCursor()
{
    if (Exists()) {
        XDefineCursor(mWindow.display, mWindow.window, mDispatcher.GetShownCursor(mCursor));
    }
}

void X11TopLevelWindow::OnPointerHiddenChanged()
{
    ApplyCursor();
}

void X11TopLevelWindow::OnScreenChanged()
{
    if (mSink != nullptr) {
        mSink->OnExposed({0, 0, mSize.x, mSize.y});
    }
}

void X11TopLevelWindow::OnConnectionLost()
{
    if (Exists()) {
        ForgetLostWindow();
    }
}

void X11TopLevelWindow::ForgetLostWindow()
{
    ForgetWindow();
    if (mSink != nullptr) {
        mSink->OnLost();
    }
}

std::uintptr_t X11TopLevelWindow::LoadCursor(const char* name)
{
    return mDispatcher.GetNamedCursor(name);
}

WindowPoint X11TopLevelWindow::GetPointerPosition() const
{
    if (!Exists()) {
        return {};
    }
    Window rootWindow = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int state = 0;
    XQueryPointer(mWindow.display, mWindow.window, &rootWindow, &child, &rootX, &rootY, &x, &y, &state);
    return {x, y};
}

bool X11TopLevelWindow::IsKeyDown(std::uint8_t virtualKey) const
{
    return mDispatcher.IsKeyDown(virtualKey);
}

void X11TopLevelWindow::HandleEvent(const XEvent& event)
{
    if (mSink == nullptr) {
        return;
    }
    XEvent copy = event;
    switch (event.type) {
    case ButtonPress:
    case ButtonRelease:
        HandleButton(event.xbutton);
        break;
    case MotionNotify:
        mSink->OnPointerMoved({event.xmotion.x, event.xmotion.y});
        break;
    case EnterNotify:
    case LeaveNotify:
        HandleCrossing(event.xcrossing);
        break;
    case KeyPress:
    case KeyRelease:
        HandleKey(copy.xkey);
        break;
    case FocusIn:
    case FocusOut:
        HandleFocus(event.xfocus);
        break;
    case ConfigureNotify:
        HandleConfigure(event.xconfigure);
        break;
    case Expose:
        mSink->OnExposed({event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height});
        break;
    case MapNotify:
        mMapped = true;
        // Nothing else gives a window the focus where no window manager runs.
        TakeFocus();
        break;
    case UnmapNotify:
        mMapped = false;
        break;
    case ClientMessage:
        HandleClientMessage(event.xclient);
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == mWindow.window) {
            ForgetLostWindow();
        }
        break;
    default:
        break;
    }
}

void X11TopLevelWindow::HandleButton(const XButtonEvent& event)
{
    const WindowPoint point{event.x, event.y};
    // Buttons 4 to 7 are the wheels' notches; they have no release of their own.
    if (event.button >= 4 && event.button <= 7) {
        if (event.type == ButtonPress) {
            const int axis = event.button <= 5 ? 0 : 1;
            const int delta = event.button == 4 || event.button == 7 ? kNotch : -kNotch;
            mSink->OnWheel(axis, delta, point);
        }
        return;
    }
    const std::uint32_t button = FrameworkButton(event.button);
    if (button == 0) {
        return;
    }
    if (event.type == ButtonPress && !IsActive()) {
        // Click to activate: the click that brings the window forward is also delivered.
        mClickActivated = true;
        TakeFocus();
    }
    mSink->OnButton(event.type == ButtonPress, button, point, static_cast<std::uint32_t>(event.time));
}

void X11TopLevelWindow::HandleCrossing(const XCrossingEvent& event)
{
    if (event.mode != NotifyNormal) {
        return;
    }
    if (event.type == EnterNotify) {
        mSink->OnPointerMoved({event.x, event.y});
        return;
    }
    if ((event.state & kButtonsHeld) != 0) {
        return;
    }
    const bool inside = event.x >= 0 && event.y >= 0 && event.x < mSize.x && event.y < mSize.y;
    mSink->OnPointerMoved(inside ? WindowPoint{-1, -1} : WindowPoint{event.x, event.y});
}

void X11TopLevelWindow::HandleKey(XKeyEvent& event)
{
    // Keys reach only the window that has the keyboard, not one that the pointer merely lies over.
    if (!IsActive()) {
        return;
    }
    const std::uint8_t key = mDispatcher.GetEventKey();
    const bool down = event.type == KeyPress;
    const bool altHeld = mDispatcher.IsKeyDown(VirtualKey::kMenu);
    const bool system = altHeld || key == 0x79;
    mSink->OnKey(key, down, down && mDispatcher.WasEventKeyDown(), altHeld, system);
    if (down && mSink != nullptr) {
        SendText(event, altHeld);
    }
}

void X11TopLevelWindow::SendText(XKeyEvent& event, bool altHeld)
{
    char buffer[64];
    std::vector<char> large;
    char* text = buffer;
    int length = 0;
    KeySym keysym = NoSymbol;
    if (mInputContext != nullptr) {
        Status status = 0;
        length = Xutf8LookupString(mInputContext, &event, buffer, sizeof buffer, &keysym, &status);
        if (status == XBufferOverflow) {
            large.resize(static_cast<std::size_t>(length));
            text = large.data();
            length = Xutf8LookupString(mInputContext, &event, text, length, &keysym, &status);
        }
        if (status != XLookupChars && status != XLookupBoth) {
            length = 0;
        }
    } else {
        // Latin-1, whose codes are those of the first 256 characters.
        length = XLookupString(&event, buffer, sizeof buffer, &keysym, nullptr);
        std::string utf8;
        for (int index = 0; index < length; ++index) {
            const auto byte = static_cast<unsigned char>(buffer[index]);
            if (byte < 0x80) {
                utf8 += static_cast<char>(byte);
            } else {
                utf8 += static_cast<char>(0xC0 | byte >> 6);
                utf8 += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        large.assign(utf8.begin(), utf8.end());
        text = large.data();
        length = static_cast<int>(large.size());
    }
    std::vector<std::uint16_t> units;
    AppendUtf16(text, length, units);
    for (const std::uint16_t unit : units) {
        // Delete types no character on the original platform.
        if (unit == 0x7F || mSink == nullptr) {
            continue;
        }
        mSink->OnCharacter(unit, altHeld);
    }
}

void X11TopLevelWindow::HandleFocus(const XFocusChangeEvent& event)
{
    if (event.mode == NotifyGrab || event.mode == NotifyUngrab || event.detail == NotifyInferior ||
        event.detail == NotifyPointer || event.detail == NotifyPointerRoot || event.detail == NotifyDetailNone) {
        return;
    }
    const bool gained = event.type == FocusIn;
    if (gained != mFocused) {
        SetFocused(gained);
    }
}

void X11TopLevelWindow::SetFocused(bool focused)
{
    mFocused = focused;
    if (!focused) {
        mClickActivated = false;
    }
    if (mInputContext != nullptr) {
        focused ? XSetICFocus(mInputContext) : XUnsetICFocus(mInputContext);
    }
    if (mSink != nullptr) {
        mSink->OnFocusChanged(focused);
    }
}

void X11TopLevelWindow::HandleConfigure(const XConfigureEvent& event)
{
    if (event.width != mSize.x || event.height != mSize.y) {
        mSize = {event.width, event.height};
        mSink->OnResized(event.width, event.height);
    }
    if (mSink != nullptr && (event.x != mPosition.x || event.y != mPosition.y)) {
        mPosition = {event.x, event.y};
        mSink->OnMoved();
    }
}

void X11TopLevelWindow::HandleClientMessage(const XClientMessageEvent& event)
{
    const X11Atoms& atoms = mDispatcher.GetAtoms();
    if (event.message_type == atoms.wmProtocols && event.format == 32 &&
        static_cast<Atom>(event.data.l[0]) == atoms.wmDeleteWindow) {
        mSink->OnCloseRequested();
    }
}

}  // namespace ZV::Platform
