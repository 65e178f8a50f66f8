#pragma once

#include <functional>
#include <memory>
#include <string>

struct _XDisplay;

namespace ZV::Platform {

struct NativeWindow;
class GlxSurface;

// Why OpenGL could not be set up on a window, or made current: the step that failed and what the X server said.
struct GlxFailure {
    enum class Step {
        kNone,
        // No framebuffer configuration suits the window (or there is no window, display or GLX).
        kChooseConfig,
        // The window cannot take the configuration: neither it nor a child window of the configuration's visual.
        kPrepareWindow,
        kCreateContext,
        kMakeCurrent,
        // The server refused what presenting a frame sent it.
        kPresent,
    };

    Step step = Step::kNone;
    // The X error, 0 when the step failed without one.
    int errorCode = 0;
    // What went wrong, in words: the X server's text for the error, or the reason.
    std::string detail;
};

// One OpenGL rendering context over GLX for the windows of one X connection: a double-buffered RGBA framebuffer
// configuration with 8 bits a colour, chosen for the visual of the window it is made for, preferring one whose
// swap keeps the back buffer (swap by copy). It brings a 1 x 1 pixel buffer of its own to be current on while it
// draws into no window. The display must outlive it. User-interface thread only.
class GlxContext {
public:
    // Null with the failure filled in when no configuration suits the window or the context cannot be made.
    static std::unique_ptr<GlxContext> Create(const NativeWindow& window, GlxFailure& failure);
    GlxContext(const GlxContext&) = delete;
    GlxContext& operator=(const GlxContext&) = delete;
    ~GlxContext();

    bool IsDoubleBuffered() const { return mDoubleBuffered; }
    // Whether a swap leaves the back buffer as it was, so that a frame need only draw what changed.
    bool SwapsByCopy() const { return mSwapsByCopy; }

    // Where the context draws into the window: the window itself when its visual is the configuration's, else a
    // child window of the configuration's visual that covers it. Null with the failure filled in when the window
    // is gone or the child cannot be made.
    std::unique_ptr<GlxSurface> CreateSurface(const NativeWindow& window, GlxFailure& failure);

    // Nothing to do when the context is current on the surface already. False, with the failure filled in, when
    // the window is gone or GLX refuses it.
    bool MakeCurrent(const GlxSurface& surface, GlxFailure& failure);
    // Current on the context's own pixel buffer, for work that draws into no window.
    bool MakeCurrentWithoutWindow(GlxFailure& failure);
    // Whether the context is current on this thread, on any drawable.
    bool IsCurrent() const;
    // Nothing is current on this thread afterwards.
    void ReleaseCurrent();
    void SwapBuffers(const GlxSurface& surface);
    // Whether the back buffer's pixels can be put on the window directly, without a swap (GLX_MESA_copy_sub_buffer).
    bool CopiesSubBuffers() const { return mCopySubBuffer != nullptr; }
    // Puts the rectangle of the back buffer (x, y from the window's bottom-left corner) on the window and leaves the
    // back buffer as it was.
    void CopySubBuffer(const GlxSurface& surface, int x, int y, int width, int height);
    // Runs the work, which presents a frame, and waits until the server has taken what it sent, with X errors kept
    // from the process's handler; false, with the failure filled in, when the server refused any of it.
    bool Present(const std::function<void()>& work, GlxFailure& failure);

    // Whether the GLX extension string of the context's screen names the extension.
    bool HasExtension(const char* name) const;
    // The entry point of an OpenGL function, or null when the library has none.
    using Function = void (*)();
    static Function GetFunction(const char* name);
    // Whether the blank-separated list holds the name as a whole word; false for an empty name or one with a blank.
    static bool ListsExtension(const char* list, const char* name);

private:
    struct Parts;

    explicit GlxContext(std::unique_ptr<Parts> parts);

    std::unique_ptr<Parts> mParts;
    bool mDoubleBuffered = false;
    bool mSwapsByCopy = false;
    void (*mCopySubBuffer)(_XDisplay*, unsigned long, int, int, int, int) = nullptr;
};

// A drawable of a window that a GlxContext draws into.
class GlxSurface {
public:
    GlxSurface(const GlxSurface&) = delete;
    GlxSurface& operator=(const GlxSurface&) = delete;
    ~GlxSurface();

    // Whether the context draws into a child window, which then must cover the window.
    bool IsChildWindow() const { return mOwnsWindow; }
    // Keeps a child window as large as the area drawn; nothing for the window itself.
    void FitTo(int width, int height);

private:
    friend class GlxContext;
    GlxSurface(_XDisplay* display, unsigned long window, bool ownsWindow, unsigned long colormap);

    _XDisplay* mDisplay;
    // The X window drawn into, and the GLX drawable on it.
    unsigned long mWindow;
    unsigned long mDrawable = 0;
    bool mOwnsWindow;
    unsigned long mColormap;
    int mWidth = 0;
    int mHeight = 0;
};

}  // namespace ZV::Platform
