#include "Platform/X11EventDispatcher.h"

#include "Platform/WindowBackEnd.h"
#include "Platform/X11Cursors.h"
#include "Platform/X11Display.h"
#include "Platform/X11KeyTranslation.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <clocale>
#include <cstring>
#include <iterator>

namespace ZV::Platform {

namespace {

// Text input follows the user's character set; numbers and messages stay in the C locale.
void PrepareInputMethodLocale()
{
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    if (current == nullptr || std::strcmp(current, "C") == 0) {
        std::setlocale(LC_CTYPE, "");
    }
    if (XSupportsLocale() == False) {
        std::setlocale(LC_CTYPE, "C");
    }
    XSetLocaleModifiers("");
}

// Shift, Ctrl and Alt are down when either of their keys is.
void SetCombinedModifiers(std::bitset<256>& keys)
{
    const auto either = [&keys](std::uint8_t left, std::uint8_t right) { return keys.test(left) || keys.test(right); };
    keys.set(VirtualKey::kShift, either(VirtualKey::kLeftShift, VirtualKey::kRightShift));
    keys.set(VirtualKey::kControl, either(VirtualKey::kLeftControl, VirtualKey::kRightControl));
    keys.set(VirtualKey::kMenu, either(VirtualKey::kLeftMenu, VirtualKey::kRightMenu));
}

const char* LockKeyIndicator(std::uint8_t virtualKey)
{
    switch (virtualKey) {
    case 0x14:
        return "Caps Lock";
    case 0x90:
        return "Num Lock";
    case 0x91:
        return "Scroll Lock";
    default:
        return nullptr;
    }
}

std::uint8_t ButtonKey(unsigned int button)
{
    switch (button) {
    case Button1:
        return VirtualKey::kLeftButton;
    case Button2:
        return VirtualKey::kMiddleButton;
    case Button3:
        return VirtualKey::kRightButton;
    default:
        return 0;
    }
}

}  // namespace

std::unique_ptr<X11EventDispatcher> X11EventDispatcher::Open()
{
    std::unique_ptr<DisplayConnection> connection = DisplayConnection::Open();
    if (!connection) {
        return nullptr;
    }
    return std::unique_ptr<X11EventDispatcher>(new X11EventDispatcher(std::move(connection)));
}

X11EventDispatcher::X11EventDispatcher(std::unique_ptr<DisplayConnection> connection)
    : mConnection(std::move(connection))
{
    Display* display = GetDisplay();
    const char* names[] = {"WM_PROTOCOLS",        "WM_DELETE_WINDOW",    "_NET_WM_NAME",
                           "UTF8_STRING",         "_NET_WM_STATE",       "_NET_WM_STATE_ABOVE",
                           "_NET_WM_STATE_MODAL", "_NET_ACTIVE_WINDOW", "_NET_WM_ICON",
                           "CARDINAL"};
    Atom atoms[std::size(names)] = {};
    XInternAtoms(display, const_cast<char**>(names), static_cast<int>(std::size(names)), False, atoms);
    mAtoms = {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6], atoms[7], atoms[8], atoms[9]};
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(display, True, &detectable);
    mNumLockMask = XkbKeysymToModifiers(display, XK_Num_Lock);
    PrepareInputMethodLocale();
    mInputMethod = XOpenIM(display, nullptr, nullptr, nullptr);
    // The root window's size follows the screen's, also when RandR changes it.
    XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask);
}

X11EventDispatcher::~X11EventDispatcher()
{
    if (mInputMethod != nullptr) {
        XCloseIM(mInputMethod);
    }
}

Display* X11EventDispatcher::GetDisplay() const
{
    return mConnection->GetDisplay();
}

bool X11EventDispatcher::IsConnectionLost() const
{
    return mConnection->IsLost();
}

int X11EventDispatcher::GetDescriptor() const
{
    // A lost connection's descriptor stays readable at its end: waiting on it would wait no more.
    return IsConnectionLost() ? -1 : ConnectionNumber(GetDisplay());
}

bool X11EventDispatcher::HasPendingEvent()
{
    // Reading may be what finds the connection lost.
    if (!IsConnectionLost() && XPending(GetDisplay()) > 0) {
        return true;
    }
    return IsConnectionLost() && !mLossTold;
}

bool X11EventDispatcher::DispatchEvent()
{
    Display* display = GetDisplay();
    if (!HasPendingEvent()) {
        return false;
    }
    if (IsConnectionLost()) {
        TellConnectionLost();
        return true;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (XFilterEvent(&event, None) == True) {
        return true;
    }
    bool input = true;
    if (event.type == MotionNotify) {
        CompressMotion(event);
        // A pointer that reports the place it was already at is no input.
        input = event.xmotion.x != mLastMotionX || event.xmotion.y != mLastMotionY;
        mLastMotionX = event.xmotion.x;
        mLastMotionY = event.xmotion.y;
    }
    TrackInput(event);
    if (event.type == ConfigureNotify && event.xconfigure.window == DefaultRootWindow(display)) {
        TellScreenChanged();
        return false;
    }
    const auto target = mWindows.find(event.xany.window);
    if (target != mWindows.end()) {
        target->second->HandleEvent(event);
    }
    return input;
}

void X11EventDispatcher::TellScreenChanged()
{
    // A copy: a window may go while it is told.
    const std::map<Window, X11EventTarget*> windows = mWindows;
    for (const auto& [window, target] : windows) {
        if (mWindows.count(window) != 0) {
            target->OnScreenChanged();
        }
    }
}

void X11EventDispatcher::TellConnectionLost()
{
    mLossTold = true;
    // A copy: each window forgets itself while it is told.
    const std::map<Window, X11EventTarget*> windows = mWindows;
    for (const auto& [window, target] : windows) {
        if (const auto known = mWindows.find(window); known != mWindows.end() && known->second == target) {
            target->OnConnectionLost();
        }
    }
}

void X11EventDispatcher::CompressMotion(XEvent& event)
{
    Display* display = GetDisplay();
    while (XEventsQueued(display, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(display, &next);
        if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window) {
            return;
        }
        XNextEvent(display, &event);
    }
}

void X11EventDispatcher::TrackInput(const XEvent& event)
{
    switch (event.type) {
    case KeyPress:
    case KeyRelease:
        TrackKey(event.xkey);
        break;
    case ButtonPress:
    case ButtonRelease:
        if (const std::uint8_t key = ButtonKey(event.xbutton.button); key != 0) {
            SetKey(key, event.type == ButtonPress);
        }
        break;
    case FocusIn:
        ReadKeyboard();
        break;
    default:
        break;
    }
}

void X11EventDispatcher::TrackKey(const XKeyEvent& event)
{
    XKeyEvent copy = event;
    const KeySym level0 = XLookupKeysym(&copy, 0);
    const KeySym level1 = XLookupKeysym(&copy, 1);
    mEventKey = VirtualKeyFromKeysyms(level0, level1, (event.state & mNumLockMask) != 0);
    const std::uint8_t sided = SidedVirtualKey(level0, mEventKey);
    const bool down = event.type == KeyPress;
    mEventKeyWasDown = mKeysDown.test(sided);
    if (sided != 0) {
        SetKey(sided, down);
    }
}

void X11EventDispatcher::SetKey(std::uint8_t virtualKey, bool down)
{
    mKeysDown.set(virtualKey, down);
    SetCombinedModifiers(mKeysDown);
}

// Keys pressed or let go while another window had the focus are seen again when the focus comes back.
void X11EventDispatcher::ReadKeyboard()
{
    std::bitset<256> keys = ReadKeymap();
    for (const std::uint8_t button : {VirtualKey::kLeftButton, VirtualKey::kMiddleButton, VirtualKey::kRightButton}) {
        keys.set(button, mKeysDown.test(button));
    }
    SetCombinedModifiers(keys);
    mKeysDown = keys;
}

std::bitset<256> X11EventDispatcher::ReadKeymap() const
{
    Display* display = GetDisplay();
    char keymap[32] = {};
    XQueryKeymap(display, keymap);
    std::bitset<256> keys;
    int minimum = 0;
    int maximum = 0;
    XDisplayKeycodes(display, &minimum, &maximum);
    for (int keycode = minimum; keycode <= maximum; ++keycode) {
        if ((keymap[keycode / 8] & (1 << (keycode % 8))) == 0) {
            continue;
        }
        const KeySym level0 = XkbKeycodeToKeysym(display, static_cast<KeyCode>(keycode), 0, 0);
        const KeySym level1 = XkbKeycodeToKeysym(display, static_cast<KeyCode>(keycode), 0, 1);
        const std::uint8_t key = VirtualKeyFromKeysyms(level0, level1, false);
        if (const std::uint8_t sided = SidedVirtualKey(level0, key); sided != 0) {
            keys.set(sided);
        }
    }
    return keys;
}

bool X11EventDispatcher::QueryKeyDown(std::uint8_t virtualKey) const
{
    Display* display = GetDisplay();
    std::bitset<256> keys = ReadKeymap();
    Window root = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int state = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &state);
    keys.set(VirtualKey::kLeftButton, (state & Button1Mask) != 0);
    keys.set(VirtualKey::kMiddleButton, (state & Button2Mask) != 0);
    keys.set(VirtualKey::kRightButton, (state & Button3Mask) != 0);
    SetCombinedModifiers(keys);
    return keys.test(virtualKey);
}

bool X11EventDispatcher::QueryLockKeyOn(std::uint8_t virtualKey) const
{
    const char* indicator = LockKeyIndicator(virtualKey);
    if (indicator == nullptr) {
        return false;
    }
    Display* display = GetDisplay();
    const Atom name = XInternAtom(display, indicator, True);
    Bool on = False;
    return name != None && XkbGetNamedIndicator(display, name, nullptr, &on, nullptr, nullptr) && on;
}

void X11EventDispatcher::SetPointerHidden(bool hidden)
{
    if (hidden == mPointerHidden) {
        return;
    }
    mPointerHidden = hidden;
    if (hidden && mBlankCursor == None) {
        mBlankCursor = CreateBlankCursor(GetDisplay());
    }
    for (const auto& entry : mWindows) {
        entry.second->OnPointerHiddenChanged();
    }
    XFlush(GetDisplay());
}

Cursor X11EventDispatcher::GetShownCursor(Cursor wanted) const
{
    return mPointerHidden ? mBlankCursor : wanted;
}

Cursor X11EventDispatcher::GetNamedCursor(const char* name)
{
    auto [entry, added] = mCursors.try_emplace(GetCursorKey(name), None);
    if (added) {
        entry->second = LoadNamedCursor(GetDisplay(), name);
    }
    return entry->second;
}

bool X11EventDispatcher::IsKeyDown(std::uint8_t virtualKey) const
{
    return mKeysDown.test(virtualKey);
}

void X11EventDispatcher::Register(Window window, X11EventTarget* target)
{
    mWindows[window] = target;
}

void X11EventDispatcher::Unregister(Window window)
{
    mWindows.erase(window);
}

}  // namespace ZV::Platform
