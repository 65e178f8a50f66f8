#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _XDisplay;
union _XEvent;

namespace ZV::Platform {

class DisplayConnection;
struct NativeWindow;

// A message box's flags follow the original platform's: the buttons in the low four bits, the icon in the next four
// and the button that Return presses at first in the four above those.

// The buttons a message box offers; an unknown code offers OK.
enum MessageBoxButtons : unsigned {
    kMessageBoxOk = 0,
    kMessageBoxOkCancel = 1,
    kMessageBoxAbortRetryIgnore = 2,
    kMessageBoxYesNoCancel = 3,
    kMessageBoxYesNo = 4,
    kMessageBoxRetryCancel = 5,
    kMessageBoxCancelTryContinue = 6,
};

// The icon left of the text; an unknown code shows none. Added to the buttons' code.
inline constexpr unsigned kMessageBoxIconError = 0x10;
inline constexpr unsigned kMessageBoxIconQuestion = 0x20;
inline constexpr unsigned kMessageBoxIconWarning = 0x30;
inline constexpr unsigned kMessageBoxIconInformation = 0x40;

// The button that has the focus when the box opens; the first where the box has fewer buttons. Added to the buttons'
// code.
inline constexpr unsigned kMessageBoxDefaultFirst = 0x000;
inline constexpr unsigned kMessageBoxDefaultSecond = 0x100;
inline constexpr unsigned kMessageBoxDefaultThird = 0x200;
inline constexpr unsigned kMessageBoxDefaultFourth = 0x300;

// What a message box answers: the button that closed it, by the original platform's numbers.
enum MessageBoxAnswer : int {
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerAbort = 3,
    kAnswerRetry = 4,
    kAnswerIgnore = 5,
    kAnswerYes = 6,
    kAnswerNo = 7,
    kAnswerTryAgain = 10,
    kAnswerContinue = 11,
};

// Tells the user something that cannot wait: the caption and the text (UTF-8) go to the standard error, then a
// small window of their own shows the text with the flags' icon and buttons and the call returns the answer when the
// user closes it. The owner is the window the box stays in front of (null: none). Without a display the standard
// error is all, and the answer is the default button's. Blocks the calling thread while the box is open.
int ShowMessageBox(const std::string& caption, const std::string& text, unsigned flags = kMessageBoxOk,
                   const NativeWindow* owner = nullptr);
// The same box with nothing on the standard error, for a caller that says it there in its own words.
int ShowMessageBoxWindow(const std::string& caption, const std::string& text, unsigned flags = kMessageBoxOk,
                         const NativeWindow* owner = nullptr);

// What ShowMessageBox does after the standard error: by default it shows the window. Tests put in their own to see
// the box without a user; the answer is then the default button's. An empty presenter puts the window back. Returns
// the presenter it replaces.
using MessageBoxPresenter = std::function<void(const std::string& caption, const std::string& text)>;
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// The window of one message box: the icon, the text beside it in lines wrapped to the box's width, and the buttons
// in a row under them. One button has the focus, marked by a ring: the default button at first, moved by Tab and
// the arrow keys.
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

    struct Button {
        Area area;
        MessageBoxAnswer answer = kAnswerOk;
        const char* label = "";
    };

    // Centred on the connection's default screen and kept in front of the owner (an X window; 0 for none), mapped,
    // painted and given the keyboard when it returns (the server is given a few seconds to show it); null when the
    // server refused the window.
    static std::unique_ptr<MessageBoxWindow> Create(DisplayConnection& connection, const std::string& caption,
                                                    const std::string& text, unsigned flags = kMessageBoxOk,
                                                    unsigned long owner = 0);
    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;
    ~MessageBoxWindow();

    // The X window; 0 once another client destroyed it.
    unsigned long GetWindow() const { return mWindow; }
    const std::vector<Button>& GetButtons() const { return mButtons; }
    // Where the icon is drawn; empty without one.
    const Area& GetIconArea() const { return mIconArea; }
    // The text as it is shown, one entry a line.
    const std::vector<std::string>& GetLines() const { return mLines; }

    void Paint();
    // Handles the window's events until the user closes the box, and answers how: the button clicked (pressed and
    // released on it), the focused button for Return, Enter or space, and Cancel for Escape where the box offers
    // Cancel (OK where OK is all). The window manager's close and the system's request to end answer Cancel, OK,
    // No or Abort, whichever the box offers first in that order. A lost connection (killed by another client, or its
    // server ended), the box's window destroyed by another client, and the owner's window gone (before the box showed,
    // too), answer as the close does.
    MessageBoxAnswer RunUntilClosed();

private:
    MessageBoxWindow(const DisplayConnection& connection, const std::string& text, unsigned flags);

    // Hears of the owner's end from now on; the owner is forgotten when it has gone already.
    void WatchOwner();
    // Lays the icon and the text out and sizes the window and the buttons.
    void Layout(const std::string& text, unsigned flags);
    // Tab and Shift+Tab, the arrow keys: the focus goes to the next or the previous button, round the row.
    void MoveFocus(int step);
    // Handles one event; true when it closes the box, with the answer.
    bool Handle(const _XEvent& event, MessageBoxAnswer& answer);
    // The answer when the box is closed without a button.
    MessageBoxAnswer GetCloseAnswer() const;
    bool Offers(MessageBoxAnswer answer) const;

    const DisplayConnection& mConnection;
    _XDisplay* mDisplay;
    unsigned long mWindow = 0;
    std::vector<std::string> mLines;
    int mWidth = 0;
    int mHeight = 0;
    int mLineHeight = 0;
    int mAscent = 0;
    int mTextLeft = 0;
    std::vector<Button> mButtons;
    // The button under a press of the left button, until its release; -1 for none.
    int mPressedButton = -1;
    int mFocusedButton = 0;
    unsigned mIcon = 0;
    Area mIconArea;
    unsigned long mDeleteWindowAtom = 0;
    unsigned long mOwner = 0;
    bool mOwnerGone = false;
};

}  // namespace ZV::Platform
