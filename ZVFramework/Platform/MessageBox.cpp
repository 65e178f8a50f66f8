#include "Platform/MessageBox.h"
#include "Platform/FontLibrary.h"

#include "Platform/NativeWindow.h"
#include "Platform/StandardError.h"
#include "Platform/TerminationRequests.h"
#include "Platform/X11Display.h"
#include "Platform/X11Painting.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <numbers>
#include <utility>

namespace ZV::Platform {

namespace {

constexpr unsigned kButtonBits = 0xF;
constexpr unsigned kIconBits = 0xF0;
constexpr unsigned kDefaultButtonBits = 0xF00;
constexpr int kDefaultButtonShift = 8;

constexpr double kFontSize = 13.0;
constexpr int kMargin = 20;
constexpr int kIconSize = 32;
// Between the icon and the text.
constexpr int kIconGap = 14;
constexpr double kIconSignSize = 22.0;
// Lines are wrapped to this width; the box is never narrower than kMinWidth.
constexpr int kMaxTextWidth = 520;
constexpr int kMinWidth = 260;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 18;
// Between the buttons of a row.
constexpr int kButtonSpacing = 10;
// The focus ring runs this far inside the button's edge.
constexpr int kFocusInset = 3;

constexpr std::uint32_t kBoxColour = 0xF2F2F2;
constexpr std::uint32_t kInkColour = 0x000000;
constexpr std::uint32_t kButtonFaceColour = 0xE3E3E3;
constexpr std::uint32_t kPressedFaceColour = 0xC4DDF2;
constexpr std::uint32_t kButtonEdgeColour = 0x5A5A5A;
constexpr std::uint32_t kFocusColour = 0x1A5FB4;
constexpr std::uint32_t kErrorColour = 0xD32F2F;
constexpr std::uint32_t kNoticeColour = 0x1E6FD9;
constexpr std::uint32_t kWarningColour = 0xF5C211;
constexpr std::uint32_t kSignColour = 0xFFFFFF;
// How long the server may take to show the box before it is painted at its first exposure instead.
constexpr std::chrono::milliseconds kShowWait{5000};

std::mutex gPresenterLock;
MessageBoxPresenter gPresenter;

struct ButtonChoice {
    MessageBoxAnswer answer;
    const char* label;
};

// The buttons of the flags' button code, in their order on the screen.
std::vector<ButtonChoice> ButtonsOf(unsigned flags)
{
    constexpr ButtonChoice kOk{kAnswerOk, "OK"};
    constexpr ButtonChoice kCancel{kAnswerCancel, "Cancel"};
    constexpr ButtonChoice kYes{kAnswerYes, "Yes"};
    constexpr ButtonChoice kNo{kAnswerNo, "No"};
    constexpr ButtonChoice kRetry{kAnswerRetry, "Retry"};
    switch (flags & kButtonBits) {
    case kMessageBoxOkCancel:
        return {kOk, kCancel};
    case kMessageBoxAbortRetryIgnore:
        return {{kAnswerAbort, "Abort"}, kRetry, {kAnswerIgnore, "Ignore"}};
    case kMessageBoxYesNoCancel:
        return {kYes, kNo, kCancel};
    case kMessageBoxYesNo:
        return {kYes, kNo};
    case kMessageBoxRetryCancel:
        return {kRetry, kCancel};
    case kMessageBoxCancelTryContinue:
        return {kCancel, {kAnswerTryAgain, "Try Again"}, {kAnswerContinue, "Continue"}};
    default:
        return {kOk};
    }
}

std::size_t DefaultButtonOf(unsigned flags, std::size_t buttonCount)
{
    const std::size_t index = (flags & kDefaultButtonBits) >> kDefaultButtonShift;
    return index < buttonCount ? index : 0;
}

unsigned IconOf(unsigned flags)
{
    const unsigned icon = flags & kIconBits;
    switch (icon) {
    case kMessageBoxIconError:
    case kMessageBoxIconQuestion:
    case kMessageBoxIconWarning:
    case kMessageBoxIconInformation:
        return icon;
    default:
        return 0;
    }
}

void SelectFont(cairo_t* graphics)
{
    StartFontLibrary();
    cairo_select_font_face(graphics, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(graphics, kFontSize);
}

double TextWidth(cairo_t* graphics, const std::string& text)
{
    cairo_text_extents_t extents{};
    cairo_text_extents(graphics, text.c_str(), &extents);
    return extents.x_advance;
}

// The paragraph's words in lines no wider than the limit; a word wider than the limit has a line of its own.
void WrapParagraph(cairo_t* graphics, const std::string& paragraph, std::vector<std::string>& lines)
{
    std::string line;
    std::size_t start = 0;
    while (start <= paragraph.size()) {
        std::size_t end = paragraph.find(' ', start);
        if (end == std::string::npos) {
            end = paragraph.size();
        }
        const std::string word = paragraph.substr(start, end - start);
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(graphics, longer) > kMaxTextWidth) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    lines.push_back(line);
}

// One bold character centred on the point.
void DrawSign(cairo_t* graphics, const char* sign, double centreX, double centreY, std::uint32_t colour)
{
    StartFontLibrary();
    cairo_save(graphics);
    cairo_select_font_face(graphics, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(graphics, kIconSignSize);
    cairo_text_extents_t extents{};
    cairo_text_extents(graphics, sign, &extents);
    cairo_move_to(graphics, centreX - extents.x_bearing - extents.width / 2,
                  centreY - extents.y_bearing - extents.height / 2);
    SetCairoColor(graphics, colour);
    cairo_show_text(graphics, sign);
    cairo_restore(graphics);
}

// Error: a red disc with a white X; question and information: a blue disc with "?" or "i"; warning: a yellow
// triangle with "!".
void DrawIcon(cairo_t* graphics, unsigned icon, const MessageBoxWindow::Area& area)
{
    const double centreX = area.x + area.width / 2.0;
    const double centreY = area.y + area.height / 2.0;
    if (icon == kMessageBoxIconWarning) {
        cairo_move_to(graphics, centreX, area.y);
        cairo_line_to(graphics, area.x + area.width, area.y + area.height);
        cairo_line_to(graphics, area.x, area.y + area.height);
        cairo_close_path(graphics);
        SetCairoColor(graphics, kWarningColour);
        cairo_fill(graphics);
        // The triangle's body is below its middle.
        DrawSign(graphics, "!", centreX, centreY + area.height / 8.0, kInkColour);
        return;
    }
    const double radius = area.width / 2.0;
    cairo_arc(graphics, centreX, centreY, radius, 0, 2 * std::numbers::pi);
    SetCairoColor(graphics, icon == kMessageBoxIconError ? kErrorColour : kNoticeColour);
    cairo_fill(graphics);
    if (icon != kMessageBoxIconError) {
        DrawSign(graphics, icon == kMessageBoxIconQuestion ? "?" : "i", centreX, centreY, kSignColour);
        return;
    }
    const double arm = radius * 0.45;
    cairo_save(graphics);
    cairo_set_line_width(graphics, 3.5);
    cairo_set_line_cap(graphics, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(graphics, centreX - arm, centreY - arm);
    cairo_line_to(graphics, centreX + arm, centreY + arm);
    cairo_move_to(graphics, centreX + arm, centreY - arm);
    cairo_line_to(graphics, centreX - arm, centreY + arm);
    SetCairoColor(graphics, kSignColour);
    cairo_stroke(graphics);
    cairo_restore(graphics);
}

Atom InternAtom(Display* display, const char* name)
{
    return XInternAtom(display, name, False);
}

void SetUtf8Property(Display* display, Window window, const char* name, const std::string& value)
{
    XChangeProperty(display, window, InternAtom(display, name), InternAtom(display, "UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(value.data()),
                    static_cast<int>(value.size()));
}

}  // namespace

int ShowMessageBox(const std::string& caption, const std::string& text, unsigned flags, const NativeWindow* owner)
{
    const std::string line = caption + ": " + text + "\n";
    WriteToStandardError(line.data(), line.size());
    return ShowMessageBoxWindow(caption, text, flags, owner);
}

int ShowMessageBoxWindow(const std::string& caption, const std::string& text, unsigned flags,
                         const NativeWindow* owner)
{
    const std::vector<ButtonChoice> choices = ButtonsOf(flags);
    const MessageBoxAnswer defaultAnswer = choices[DefaultButtonOf(flags, choices.size())].answer;
    MessageBoxPresenter presenter;
    {
        std::lock_guard lock(gPresenterLock);
        presenter = gPresenter;
    }
    if (presenter) {
        presenter(caption, text);
        return defaultAnswer;
    }
    const std::unique_ptr<DisplayConnection> connection = DisplayConnection::Open();
    if (!connection) {
        return defaultAnswer;
    }
    const std::unique_ptr<MessageBoxWindow> box =
        MessageBoxWindow::Create(*connection, caption, text, flags, owner != nullptr ? owner->window : 0);
    return box ? box->RunUntilClosed() : defaultAnswer;
}

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter)
{
    std::lock_guard lock(gPresenterLock);
    std::swap(gPresenter, presenter);
    return presenter;
}

MessageBoxWindow::MessageBoxWindow(const DisplayConnection& connection, const std::string& text, unsigned flags)
    : mConnection(connection), mDisplay(connection.GetDisplay())
{
    Layout(text, flags);
}

void MessageBoxWindow::Layout(const std::string& text, unsigned flags)
{
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* graphics = cairo_create(scratch);
    SelectFont(graphics);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        WrapParagraph(graphics, text.substr(start, end - start), mLines);
        start = end + 1;
    }
    double widest = 0;
    for (const std::string& line : mLines) {
        widest = std::max(widest, TextWidth(graphics, line));
    }
    cairo_font_extents_t font{};
    cairo_font_extents(graphics, &font);
    cairo_destroy(graphics);
    cairo_surface_destroy(scratch);

    mIcon = IconOf(flags);
    mTextLeft = kMargin;
    if (mIcon != 0) {
        mIconArea = {kMargin, kMargin, kIconSize, kIconSize};
        mTextLeft += kIconSize + kIconGap;
    }
    const std::vector<ButtonChoice> choices = ButtonsOf(flags);
    mFocusedButton = static_cast<int>(DefaultButtonOf(flags, choices.size()));
    const int count = static_cast<int>(choices.size());
    const int rowWidth = count * kButtonWidth + (count - 1) * kButtonSpacing;
    mAscent = static_cast<int>(font.ascent + 0.5);
    mLineHeight = static_cast<int>(font.height + 0.5);
    mWidth = std::max({kMinWidth, mTextLeft + static_cast<int>(widest + 0.5) + kMargin, rowWidth + 2 * kMargin});
    const int textBottom =
        std::max(kMargin + static_cast<int>(mLines.size()) * mLineHeight, mIconArea.y + mIconArea.height);
    int x = (mWidth - rowWidth) / 2;
    for (const ButtonChoice& choice : choices) {
        mButtons.push_back({{x, textBottom + kButtonGap, kButtonWidth, kButtonHeight}, choice.answer, choice.label});
        x += kButtonWidth + kButtonSpacing;
    }
    mHeight = textBottom + kButtonGap + kButtonHeight + kMargin;
}

std::unique_ptr<MessageBoxWindow> MessageBoxWindow::Create(DisplayConnection& connection, const std::string& caption,
                                                           const std::string& text, unsigned flags,
                                                           unsigned long owner)
{
    Display* display = connection.GetDisplay();
    std::unique_ptr<MessageBoxWindow> box(new MessageBoxWindow(connection, text, flags));
    box->mOwner = owner;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = WhitePixel(display, screen);
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    const int x = std::max(0, (DisplayWidth(display, screen) - box->mWidth) / 2);
    const int y = std::max(0, (DisplayHeight(display, screen) - box->mHeight) / 2);
    box->mWindow = XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(box->mWidth),
                                 static_cast<unsigned>(box->mHeight), 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWBackPixel | CWEventMask, &attributes);
    if (box->mWindow == 0) {
        return nullptr;
    }

    // A dialog of fixed size with the caption as its title, closed by the window manager's close button too.
    XSizeHints size{};
    size.flags = PPosition | PMinSize | PMaxSize;
    size.x = x;
    size.y = y;
    size.min_width = size.max_width = box->mWidth;
    size.min_height = size.max_height = box->mHeight;
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    Xutf8SetWMProperties(display, box->mWindow, caption.c_str(), caption.c_str(), nullptr, 0, &size, &hints, nullptr);
    SetUtf8Property(display, box->mWindow, "_NET_WM_NAME", caption);
    const Atom dialog = InternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG");
    XChangeProperty(display, box->mWindow, InternAtom(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dialog), 1);
    Atom deleteWindow = InternAtom(display, "WM_DELETE_WINDOW");
    box->mDeleteWindowAtom = deleteWindow;
    XSetWMProtocols(display, box->mWindow, &deleteWindow, 1);
    if (owner != 0) {
        XSetTransientForHint(display, box->mWindow, owner);
        box->WatchOwner();
    }
    XMapRaised(display, box->mWindow);

    // Painted at its first exposure, which shows that the server has put it on the screen. Then it takes the
    // keyboard, as a question to the user does: there may be no window manager to hand it over.
    const auto deadline = std::chrono::steady_clock::now() + kShowWait;
    for (;;) {
        XEvent event;
        if (XCheckTypedWindowEvent(display, box->mWindow, Expose, &event)) {
            box->Paint();
            XSetInputFocus(display, box->mWindow, RevertToParent, CurrentTime);
            XSync(display, False);
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || connection.IsLost()) {
            break;
        }
        pollfd server{ConnectionNumber(display), POLLIN, 0};
        poll(&server, 1, static_cast<int>(left.count()));
    }
    return box;
}

// The owner is another program's window (or one of this connection's, whose events it must keep): its end is
// heard beside what this connection already hears of it. One that has gone already leaves nothing to answer to.
void MessageBoxWindow::WatchOwner()
{
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(mDisplay, mOwner, &attributes) != 0) {
        XSelectInput(mDisplay, mOwner, attributes.your_event_mask | StructureNotifyMask);
        // Gone in between: the selection came too late to hear it.
        if (XGetWindowAttributes(mDisplay, mOwner, &attributes) != 0) {
            return;
        }
    }
    mOwner = 0;
    mOwnerGone = true;
}

MessageBoxWindow::~MessageBoxWindow()
{
    // The keyboard the box took goes back to the window it stood in front of.
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(mDisplay, &focus, &revertTo);
    XWindowAttributes owner{};
    if (mWindow != 0 && focus == mWindow && mOwner != 0 && XGetWindowAttributes(mDisplay, mOwner, &owner) != 0 &&
        owner.map_state == IsViewable) {
        XSetInputFocus(mDisplay, mOwner, RevertToParent, CurrentTime);
    }
    if (mWindow != 0) {
        XDestroyWindow(mDisplay, mWindow);
    }
    XFlush(mDisplay);
}

void MessageBoxWindow::Paint()
{
    // Drawn in memory and copied whole: text drawn straight onto the window would leave Cairo's glyphs tied to the
    // connection, lost when it closes.
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, mWidth, mHeight);
    cairo_t* graphics = cairo_create(image);
    SetCairoColor(graphics, kBoxColour);
    cairo_paint(graphics);
    if (mIcon != 0) {
        DrawIcon(graphics, mIcon, mIconArea);
    }

    SelectFont(graphics);
    SetCairoColor(graphics, kInkColour);
    for (std::size_t index = 0; index < mLines.size(); ++index) {
        cairo_move_to(graphics, mTextLeft, kMargin + mAscent + static_cast<double>(index) * mLineHeight);
        cairo_show_text(graphics, mLines[index].c_str());
    }

    cairo_set_line_width(graphics, 1);
    for (std::size_t index = 0; index < mButtons.size(); ++index) {
        const Area& area = mButtons[index].area;
        cairo_rectangle(graphics, area.x + 0.5, area.y + 0.5, area.width - 1, area.height - 1);
        SetCairoColor(graphics, static_cast<int>(index) == mPressedButton ? kPressedFaceColour : kButtonFaceColour);
        cairo_fill_preserve(graphics);
        SetCairoColor(graphics, kButtonEdgeColour);
        cairo_stroke(graphics);
        if (static_cast<int>(index) == mFocusedButton) {
            cairo_rectangle(graphics, area.x + kFocusInset + 0.5, area.y + kFocusInset + 0.5,
                            area.width - 2 * kFocusInset - 1, area.height - 2 * kFocusInset - 1);
            SetCairoColor(graphics, kFocusColour);
            cairo_stroke(graphics);
        }
        const char* label = mButtons[index].label;
        SetCairoColor(graphics, kInkColour);
        cairo_move_to(graphics, area.x + (area.width - TextWidth(graphics, label)) / 2,
                      area.y + (area.height + mAscent) / 2.0 - 1);
        cairo_show_text(graphics, label);
    }
    cairo_destroy(graphics);

    CopyImageToWindow(mDisplay, mWindow, image, mWidth, mHeight);
    cairo_surface_destroy(image);
}

bool MessageBoxWindow::Offers(MessageBoxAnswer answer) const
{
    return std::any_of(mButtons.begin(), mButtons.end(), [answer](const Button& button) {
        return button.answer == answer;
    });
}

void MessageBoxWindow::MoveFocus(int step)
{
    const int count = static_cast<int>(mButtons.size());
    mFocusedButton = (mFocusedButton + step + count) % count;
    Paint();
}

MessageBoxAnswer MessageBoxWindow::GetCloseAnswer() const
{
    for (const MessageBoxAnswer answer : {kAnswerCancel, kAnswerOk, kAnswerNo}) {
        if (Offers(answer)) {
            return answer;
        }
    }
    return kAnswerAbort;
}

bool MessageBoxWindow::Handle(const XEvent& event, MessageBoxAnswer& answer)
{
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) {
            Paint();
        }
        return false;
    case KeyPress: {
        XKeyEvent key = event.xkey;
        const KeySym symbol = XLookupKeysym(&key, 0);
        if (symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_space) {
            answer = mButtons[static_cast<std::size_t>(mFocusedButton)].answer;
            return true;
        }
        if (symbol == XK_Tab || symbol == XK_ISO_Left_Tab) {
            MoveFocus(symbol == XK_ISO_Left_Tab || (key.state & ShiftMask) != 0 ? -1 : 1);
            return false;
        }
        if (symbol == XK_Right || symbol == XK_Down || symbol == XK_Left || symbol == XK_Up) {
            MoveFocus(symbol == XK_Right || symbol == XK_Down ? 1 : -1);
            return false;
        }
        if (symbol == XK_Escape && (Offers(kAnswerCancel) || mButtons.size() == 1)) {
            answer = GetCloseAnswer();
            return true;
        }
        return false;
    }
    case ButtonPress:
        if (event.xbutton.button != Button1) {
            return false;
        }
        for (std::size_t index = 0; index < mButtons.size(); ++index) {
            if (mButtons[index].area.Contains(event.xbutton.x, event.xbutton.y)) {
                mPressedButton = static_cast<int>(index);
                Paint();
            }
        }
        return false;
    case ButtonRelease: {
        if (event.xbutton.button != Button1 || mPressedButton < 0) {
            return false;
        }
        const Button& pressed = mButtons[static_cast<std::size_t>(std::exchange(mPressedButton, -1))];
        Paint();
        answer = pressed.answer;
        return pressed.area.Contains(event.xbutton.x, event.xbutton.y);
    }
    case DestroyNotify:
        // Another client destroyed the box: nobody can answer it any more.
        mWindow = 0;
        answer = GetCloseAnswer();
        return true;
    case ClientMessage:
        answer = GetCloseAnswer();
        return event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == mDeleteWindowAtom;
    default:
        return false;
    }
}

MessageBoxAnswer MessageBoxWindow::RunUntilClosed()
{
    if (mOwnerGone) {
        return GetCloseAnswer();
    }
    for (;;) {
        while (XPending(mDisplay) > 0) {
            XEvent event;
            XNextEvent(mDisplay, &event);
            MessageBoxAnswer answer = kAnswerOk;
            if (event.xany.window == mWindow && Handle(event, answer)) {
                return answer;
            }
            if (mOwner != 0 && event.type == DestroyNotify && event.xdestroywindow.window == mOwner) {
                // Nobody is left to take the answer as the owner's.
                mOwner = 0;
                return GetCloseAnswer();
            }
        }
        // Nobody can answer a box whose connection is lost.
        if (mConnection.IsLost()) {
            return GetCloseAnswer();
        }
        // The system's request to end closes the box as the window manager's close does; the loop takes the request
        // itself afterwards.
        pollfd waits[2] = {{ConnectionNumber(mDisplay), POLLIN, 0}, {GetTerminationRequestDescriptor(), POLLIN, 0}};
        const int ready = poll(waits, 2, -1);
        if ((ready < 0 && errno != EINTR) || (waits[0].revents & (POLLERR | POLLHUP)) != 0 ||
            (waits[1].revents & POLLIN) != 0) {
            return GetCloseAnswer();
        }
    }
}

}  // namespace ZV::Platform
