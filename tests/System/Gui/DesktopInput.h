#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

namespace ZV::Testing {

// What the server shows under the pointer: the cursor's size, hot spot and pixels.
struct CursorImage {
    int width = 0;
    int height = 0;
    int xHot = 0;
    int yHot = 0;
    std::vector<unsigned long> pixels;

    bool operator==(const CursorImage&) const = default;
};

// A second client of the desktop: it types and clicks through the XTest extension, as a user would, and does what
// other programs do to our windows (close requests, destroying them, taking the focus). Coordinates are the
// screen's.
class DesktopInput {
public:
    // On the display given, else on $DISPLAY's.
    explicit DesktopInput(const char* displayName = nullptr);
    DesktopInput(const DesktopInput&) = delete;
    DesktopInput& operator=(const DesktopInput&) = delete;
    ~DesktopInput();

    bool IsOpen() const { return mDisplay != nullptr; }

    void MoveTo(int x, int y);
    // X buttons: 1 left, 2 middle, 3 right, 4 to 7 the wheels' notches.
    void Button(unsigned int button, bool press);
    void Click(unsigned int button);
    // A key by its X keysym name ("o", "Control_L").
    void Key(const char* keysymName, bool press);
    void Tap(const char* keysymName);
    // Keys held down repeat after 50 ms, every 20 ms.
    void RepeatKeysSoon();

    // Asks the window to close as a window manager does.
    void RequestClose(unsigned long window);
    void DestroyWindow(unsigned long window);
    // What window managers read of the window: its UTF-8 title, and its size hints (0 where none is given).
    std::string ReadTitle(unsigned long window);
    struct SizeHints {
        int minimumWidth = 0;
        int minimumHeight = 0;
        int maximumWidth = 0;
        int maximumHeight = 0;
        bool staticGravity = false;
    };
    SizeHints ReadSizeHints(unsigned long window);
    // The window's icon as _NET_WM_ICON holds it: width, height, then the 0xAARRGGBB pixels; empty without one.
    std::vector<std::uint32_t> ReadIcon(unsigned long window);

    // The cursor that the server shows once the pointer is at the point of the screen.
    CursorImage CursorAt(int x, int y);
    // The cursor font's shape, as the server shows it over a small window of this client's own in the screen's
    // corner.
    CursorImage FontCursor(unsigned int shape);

    // A window of this client, mapped, given the keyboard focus; true once it has it.
    bool TakeFocusToOwnWindow();
    // Gives the window the keyboard focus, as a window manager does when the user clicks it.
    void GiveFocusTo(unsigned long window);
    // Waits (bounded) for a key press on this client's own window.
    bool WaitForOwnKeyPress();

private:
    void Sync();

    _XDisplay* mDisplay = nullptr;
    unsigned long mOwnWindow = 0;
};

}  // namespace ZV::Testing
