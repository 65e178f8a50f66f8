#include "Platform/SplashWindow.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/X11Display.h"
#include "Platform/X11Painting.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>

namespace ZV::Platform {

struct SplashCommand {
    enum class Kind { kStartProgress, kSetPosition, kSetBarColor, kQuit };
    Kind kind = Kind::kQuit;
    int first = 0;
    int second = 0;
    int third = 0;
};

struct SplashState {
    enum class Start { kPending, kShown, kFailed };

    SplashState(SplashPicture splashPicture, std::string windowTitle, SplashClock splashClock)
        : picture(std::move(splashPicture)), title(std::move(windowTitle)), clock(std::move(splashClock))
    {
        int descriptors[2] = {-1, -1};
        if (pipe2(descriptors, O_CLOEXEC | O_NONBLOCK) == 0) {
            wakeRead = descriptors[0];
            wakeWrite = descriptors[1];
        }
    }
    SplashState(const SplashState&) = delete;
    SplashState& operator=(const SplashState&) = delete;
    ~SplashState()
    {
        for (const int descriptor : {wakeRead, wakeWrite}) {
            if (descriptor >= 0) {
                close(descriptor);
            }
        }
    }

    void ReportStart(bool shown)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            start = shown ? Start::kShown : Start::kFailed;
        }
        startChanged.notify_all();
    }

    // Read and written by the splash's thread only, once it runs.
    SplashPicture picture;
    std::string title;
    SplashClock clock;

    std::mutex mutex;
    std::condition_variable startChanged;
    // Guarded by the mutex.
    Start start = Start::kPending;
    std::deque<SplashCommand> commands;
    // A byte written here wakes the thread for the commands.
    int wakeRead = -1;
    int wakeWrite = -1;
};

namespace {

using Command = SplashCommand;

constexpr int kBarInset = 4;
constexpr int kBarBottomOffset = 20;
constexpr int kBarHeight = 16;
constexpr int kBarMaximum = 100;
constexpr int kTicksPerSecond = 1000 / static_cast<int>(SplashWindow::kTickMilliseconds);
constexpr std::uint32_t kDefaultBarColor = 0x06B025;
constexpr std::uint32_t kTroughColor = 0xE6E6E6;
constexpr std::uint32_t kFrameColor = 0xBCBCBC;

// The picture as Cairo draws it: premultiplied alpha.
cairo_surface_t* MakePictureSurface(const SplashPicture& picture)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
    cairo_surface_flush(surface);
    unsigned char* rows = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.height && rows != nullptr; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(rows + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
            const std::uint32_t alpha = pixel >> 24;
            const auto premultiply = [alpha](std::uint32_t channel) { return (channel * alpha + 127) / 255; };
            row[x] = alpha << 24 | premultiply(pixel >> 16 & 0xFF) << 16 | premultiply(pixel >> 8 & 0xFF) << 8 |
                     premultiply(pixel & 0xFF);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// The window's life on the splash's thread: its events, the commands posted to it and the bar's stepping.
class SplashLoop {
public:
    SplashLoop(SplashState& shared, const DisplayConnection& connection, Window window)
        : mShared(shared), mConnection(connection), mDisplay(connection.GetDisplay()), mWindow(window),
          mPicture(MakePictureSurface(shared.picture))
    {
    }
    SplashLoop(const SplashLoop&) = delete;
    SplashLoop& operator=(const SplashLoop&) = delete;
    ~SplashLoop() { cairo_surface_destroy(mPicture); }

    // Until the quit command.
    void Run()
    {
        for (;;) {
            bool paint = false;
            while (XPending(mDisplay) > 0) {
                XEvent event;
                XNextEvent(mDisplay, &event);
                paint = paint || (event.type == Expose && event.xexpose.count == 0);
            }
            for (const Command& command : TakeCommands()) {
                if (command.kind == Command::Kind::kQuit) {
                    return;
                }
                Apply(command);
                paint = true;
            }
            paint = StepDueTicks() || paint;
            // A lost connection takes the window with it; the thread waits for its quit all the same.
            const bool lost = mConnection.IsLost();
            if (paint && !lost) {
                Paint();
            }
            const int server = lost ? -1 : ConnectionNumber(mDisplay);
            pollfd descriptors[2] = {{server, POLLIN, 0}, {mShared.wakeRead, POLLIN, 0}};
            (void)poll(descriptors, 2, TimeToNextTick());
        }
    }

    void Paint()
    {
        const int width = mShared.picture.width;
        const int height = mShared.picture.height;
        // Drawn in memory and copied whole, so that the window never shows a half-drawn bar.
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_t* graphics = cairo_create(image);
        cairo_set_source_surface(graphics, mPicture, 0, 0);
        cairo_paint(graphics);
        if (mBarShown) {
            const int barWidth = width - 2 * kBarInset;
            const int barTop = height - kBarBottomOffset;
            cairo_rectangle(graphics, kBarInset, barTop, barWidth, kBarHeight);
            SetCairoColor(graphics, kFrameColor);
            cairo_fill(graphics);
            cairo_rectangle(graphics, kBarInset + 1, barTop + 1, barWidth - 2, kBarHeight - 2);
            SetCairoColor(graphics, kTroughColor);
            cairo_fill(graphics);
            const int filled = std::max(0, barWidth - 2) * mPosition / kBarMaximum;
            cairo_rectangle(graphics, kBarInset + 1, barTop + 1, filled, kBarHeight - 2);
            SetCairoColor(graphics, mBarColor);
            cairo_fill(graphics);
        }
        cairo_destroy(graphics);

        CopyImageToWindow(mDisplay, mWindow, image, width, height);
        cairo_surface_destroy(image);
    }

private:
    std::deque<Command> TakeCommands()
    {
        char drained[64];
        while (read(mShared.wakeRead, drained, sizeof drained) > 0) {
        }
        std::deque<Command> commands;
        const std::lock_guard<std::mutex> lock(mShared.mutex);
        commands.swap(mShared.commands);
        return commands;
    }

    void Apply(const Command& command)
    {
        mBarShown = true;
        switch (command.kind) {
        case Command::Kind::kStartProgress: {
            const int seconds = command.third;
            mPosition = std::clamp(command.first, 0, kBarMaximum);
            // No time to step over: the bar stays where it starts.
            mTicks = seconds > 0 ? seconds * kTicksPerSecond : 0;
            mStep = mTicks > 0 ? (command.second - command.first) / mTicks : 0;
            mTicksDone = 0;
            mProgressStart = mShared.clock();
            break;
        }
        case Command::Kind::kSetPosition:
            mTicks = 0;
            mPosition = std::clamp(command.first, 0, kBarMaximum);
            break;
        case Command::Kind::kSetBarColor:
            mBarColor = static_cast<std::uint32_t>(command.first);
            break;
        case Command::Kind::kQuit:
            break;
        }
    }

    // Every tick that the clock has passed since the progress started, each one step; whether the bar moved.
    bool StepDueTicks()
    {
        if (mTicksDone >= mTicks) {
            return false;
        }
        const std::uint64_t elapsed = mShared.clock() - mProgressStart;
        const auto due = static_cast<int>(std::min<std::uint64_t>(elapsed / SplashWindow::kTickMilliseconds,
                                                                  static_cast<std::uint64_t>(mTicks)));
        if (due <= mTicksDone) {
            return false;
        }
        mPosition = std::clamp(mPosition + (due - mTicksDone) * mStep, 0, kBarMaximum);
        mTicksDone = due;
        return true;
    }

    // Milliseconds until the next step; no limit while the bar does not step. A clock that tests move by hand is
    // looked at again at least once a tick.
    int TimeToNextTick() const
    {
        if (mTicksDone >= mTicks) {
            return -1;
        }
        const std::uint64_t next =
            mProgressStart + static_cast<std::uint64_t>(mTicksDone + 1) * SplashWindow::kTickMilliseconds;
        const std::uint64_t now = mShared.clock();
        return next <= now ? 0
                           : static_cast<int>(std::min<std::uint64_t>(next - now, SplashWindow::kTickMilliseconds));
    }

    SplashState& mShared;
    const DisplayConnection& mConnection;
    Display* mDisplay;
    Window mWindow;
    cairo_surface_t* mPicture;
    bool mBarShown = false;
    int mPosition = 0;
    int mStep = 0;
    int mTicks = 0;
    int mTicksDone = 0;
    std::uint64_t mProgressStart = 0;
    std::uint32_t mBarColor = kDefaultBarColor;
};

// Borderless and left alone by the window manager, above the desktop, never taking the keyboard.
Window CreateSplashWindow(Display* display, const SplashState& shared)
{
    const SplashPicture& picture = shared.picture;
    const WindowRect area = ReadDesktopWorkArea(display);
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = ExposureMask;
    const Window window = XCreateWindow(
        display, RootWindow(display, screen), area.x + (area.width - picture.width) / 2,
        area.y + (area.height - picture.height) / 2, static_cast<unsigned>(picture.width),
        static_cast<unsigned>(picture.height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    if (window == 0) {
        return 0;
    }
    std::string className = SplashWindow::kWindowClass;
    XClassHint classHint{className.data(), className.data()};
    XSetClassHint(display, window, &classHint);
    Xutf8SetWMProperties(display, window, shared.title.c_str(), shared.title.c_str(), nullptr, 0, nullptr, nullptr,
                         nullptr);
    const Atom splashType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_SPLASH", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&splashType), 1);
    return window;
}

void RunSplash(const std::shared_ptr<SplashState>& shared)
{
    const std::unique_ptr<DisplayConnection> connection = DisplayConnection::Open();
    const SplashPicture& picture = shared->picture;
    const bool pictureFits = picture.width > 0 && picture.height > 0 &&
                             picture.pixels.size() == static_cast<std::size_t>(picture.width) * picture.height;
    const Window window = connection && pictureFits ? CreateSplashWindow(connection->GetDisplay(), *shared) : 0;
    if (window == 0 || shared->wakeRead < 0) {
        WriteDebuggerOutput("Unable to create SplashWnd\n");
        shared->ReportStart(false);
        return;
    }
    Display* display = connection->GetDisplay();
    XMapWindow(display, window);
    XSync(display, False);
    {
        SplashLoop loop(*shared, *connection, window);
        // Painted before the start is reported: the window shows its picture from the first moment.
        loop.Paint();
        shared->ReportStart(true);
        loop.Run();
    }
    XDestroyWindow(display, window);
    XSync(display, False);
}

std::uint64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

SplashWindow::SplashWindow(SplashPicture picture, std::string title, SplashClock clock)
    : mShared(std::make_shared<SplashState>(std::move(picture), std::move(title),
                                       clock ? std::move(clock) : SplashClock(&SteadyMilliseconds)))
{
}

SplashWindow::~SplashWindow()
{
    Close();
}

bool SplashWindow::Open(std::uint32_t timeoutMilliseconds)
{
    std::unique_lock<std::mutex> lock(mShared->mutex);
    if (!mThread.joinable() && mShared->start == SplashState::Start::kPending) {
        try {
            mThread = std::thread(&RunSplash, mShared);
        } catch (const std::system_error&) {
            WriteDebuggerOutput("Unable to start the splash's thread\n");
            mShared->start = SplashState::Start::kFailed;
        }
    }
    mShared->startChanged.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                                   [this] { return mShared->start != SplashState::Start::kPending; });
    return mShared->start == SplashState::Start::kShown;
}

void SplashWindow::StartProgress(int from, int to, int seconds)
{
    Post({Command::Kind::kStartProgress, from, to, seconds});
}

void SplashWindow::SetPosition(int position)
{
    Post({Command::Kind::kSetPosition, position, 0, 0});
}

void SplashWindow::SetBarColor(std::uint32_t rgb)
{
    Post({Command::Kind::kSetBarColor, static_cast<int>(rgb & 0xFFFFFF), 0, 0});
}

void SplashWindow::Close()
{
    if (!mThread.joinable()) {
        return;
    }
    Post({Command::Kind::kQuit, 0, 0, 0});
    // Joined, not waited for a while: the thread draws from what it shares with this object until it ends.
    mThread.join();
}

void SplashWindow::Post(const Command& command)
{
    {
        const std::lock_guard<std::mutex> lock(mShared->mutex);
        mShared->commands.push_back(command);
    }
    const char wake = 1;
    // A full pipe already wakes the thread.
    (void)!write(mShared->wakeWrite, &wake, 1);
}

}  // namespace ZV::Platform
