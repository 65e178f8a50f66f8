#pragma once

#include "Platform/EventSource.h"

#include <X11/Xlib.h>

#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace ZV::Platform {

class DisplayConnection;

// What handles the events of a window the dispatcher knows: a top-level window, the clipboard's own window, a window
// of another client that the clipboard writes to.
class X11EventTarget {
public:
    virtual void HandleEvent(const XEvent& event) = 0;
    // The pointer was hidden or shown over the program's windows.
    virtual void OnPointerHiddenChanged() {}
    // The screen changed its size (a new mode, or screens added or removed): what was drawn may be out of place.
    virtual void OnScreenChanged() {}
    // The connection to the desktop was lost: the window is gone with it.
    virtual void OnConnectionLost() {}

protected:
    ~X11EventTarget() = default;
};

// The atoms the windows use, interned once per connection.
struct X11Atoms {
    Atom wmProtocols = None;
    Atom wmDeleteWindow = None;
    Atom netWmName = None;
    Atom utf8String = None;
    Atom netWmState = None;
    Atom netWmStateAbove = None;
    Atom netWmStateModal = None;
    Atom netActiveWindow = None;
    Atom netWmIcon = None;
    Atom cardinal = None;
};

// Reads one desktop connection's events and hands each to the window it belongs to. It keeps what the original
// platform's key-state queries answer: which keys and buttons are down as this program saw them, side by side for
// the modifiers, taken after the event that changes them. Keys held down repeat as presses only (detectable
// auto-repeat). Typed text comes through the user's input method where one can be opened. It also answers for the
// desktop as the server has it now, and hides the pointer over the program's windows. A lost connection is one last
// event, which tells every window of it; from then on the dispatcher has nothing to wait on.
class X11EventDispatcher final : public IEventSource {
public:
    // The display that $DISPLAY names; null when it cannot be reached.
    static std::unique_ptr<X11EventDispatcher> Open();
    X11EventDispatcher(const X11EventDispatcher&) = delete;
    X11EventDispatcher& operator=(const X11EventDispatcher&) = delete;
    ~X11EventDispatcher();

    Display* GetDisplay() const;
    const X11Atoms& GetAtoms() const { return mAtoms; }
    // The server ended the connection (another client killed it, or the server ended).
    bool IsConnectionLost() const;
    XIM GetInputMethod() const { return mInputMethod; }

    int GetDescriptor() const override;
    bool HasPendingEvent() override;
    bool DispatchEvent() override;

    // Made once per name and connection; the connection frees it.
    Cursor GetNamedCursor(const char* name);

    bool IsKeyDown(std::uint8_t virtualKey) const;
    // Whether the key (or mouse button) is down now, wherever the pointer and the keyboard focus are.
    bool QueryKeyDown(std::uint8_t virtualKey) const;
    // Whether the lock key's light is on (Caps Lock 0x14, Num Lock 0x90, Scroll Lock 0x91); false for other keys.
    bool QueryLockKeyOn(std::uint8_t virtualKey) const;

    // While hidden, the program's windows show the blank cursor instead of the one they set.
    void SetPointerHidden(bool hidden);
    // What a window that asks for the cursor shows.
    Cursor GetShownCursor(Cursor wanted) const;
    // The virtual key of a key event, with the key table already brought up to date by the event.
    std::uint8_t GetEventKey() const { return mEventKey; }
    bool WasEventKeyDown() const { return mEventKeyWasDown; }

    void Register(Window window, X11EventTarget* target);
    void Unregister(Window window);

private:
    explicit X11EventDispatcher(std::unique_ptr<DisplayConnection> connection);

    void TrackInput(const XEvent& event);
    void TellScreenChanged();
    void TellConnectionLost();
    void TrackKey(const XKeyEvent& event);
    void ReadKeyboard();
    void SetKey(std::uint8_t virtualKey, bool down);
    // The keyboard's keys down now by their side-specific virtual keys, without buttons or the combined modifiers.
    std::bitset<256> ReadKeymap() const;
    // Drops motion events of the window that newer ones in the queue make stale.
    void CompressMotion(XEvent& event);

    std::unique_ptr<DisplayConnection> mConnection;
    X11Atoms mAtoms;
    XIM mInputMethod = nullptr;
    unsigned int mNumLockMask = 0;
    std::map<Window, X11EventTarget*> mWindows;
    std::map<std::string, Cursor> mCursors;
    std::bitset<256> mKeysDown;
    std::uint8_t mEventKey = 0;
    bool mEventKeyWasDown = false;
    int mLastMotionX = -1;
    int mLastMotionY = -1;
    bool mPointerHidden = false;
    bool mLossTold = false;
    // Made when the pointer is first hidden.
    Cursor mBlankCursor = None;
};

}  // namespace ZV::Platform
