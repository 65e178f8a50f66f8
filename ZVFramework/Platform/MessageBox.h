#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _XDisplay;
union _XEvent;

namespace ZV::Platform {

class DisplayConnection;

// Tells the user something that cannot wait: the caption and the text (UTF-8) go to the standard error, then a
// small window of their own shows the text with an OK button and the call returns when the user closes it. Without
// a display the standard error is all. Blocks the calling thread while the box is open.
void ShowMessageBox(const std::string& caption, const std::string& text);

// What ShowMessageBox does after the standard error: by default it shows the window. Tests put in their own to see
// the box without a user; an empty presenter puts the window back. Returns the presenter it replaces.
using MessageBoxPresenter = std::function<void(const std::string& caption, const std::string& text)>;
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// The window of one message box: the text in lines wrapped to the box's width, and the OK button under it.
class MessageBoxWindow {
public:
    // x, y, width, height in the window.
    struct Area {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;

        bool Contains(int pointX, int pointY) const
        {
            return pointX >= x && pointX < x + width && pointY >= y && pointY < y + height;
        }
    };

    // Centred on the connection's default screen, mapped and painted when it returns (the server is given a few
    // seconds to show it); null when the server refused the window.
    static std::unique_ptr<MessageBoxWindow> Create(DisplayConnection& connection, const std::string& caption,
                                                    const std::string& text);
    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;
    ~MessageBoxWindow();

    // The X window.
    unsigned long GetWindow() const { return mWindow; }
    const Area& GetButton() const { return mButton; }
    // The text as it is shown, one entry a line.
    const std::vector<std::string>& GetLines() const { return mLines; }

    void Paint();
    // Handles the window's events until the user closes the box: a click on OK (pressed and released on it), Return,
    // Enter, space or Escape, or the window manager's close. Returns as well when the connection breaks.
    void RunUntilClosed();

private:
    MessageBoxWindow(_XDisplay* display, const std::string& text);

    // Lays the text out and sizes the window and the button.
    void Layout(const std::string& text);
    // Handles one event; true when it closes the box.
    bool Handle(const _XEvent& event);

    _XDisplay* mDisplay;
    unsigned long mWindow = 0;
    std::vector<std::string> mLines;
    int mWidth = 0;
    int mHeight = 0;
    int mLineHeight = 0;
    int mAscent = 0;
    Area mButton;
    bool mButtonPressed = false;
    unsigned long mDeleteWindowAtom = 0;
};

}  // namespace ZV::Platform
