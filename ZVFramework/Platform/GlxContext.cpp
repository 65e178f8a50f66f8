#include "Platform/GlxContext.h"

#include "Platform/NativeWindow.h"

#include <GL/glx.h>
#include <GL/glxext.h>

#include <cstring>
#include <utility>

namespace ZV::Platform {

namespace {

// The first X error since the trap was set; errors are handled on the thread that reads them.
thread_local int gTrappedError = 0;

// While it lives, X errors of the connection are kept for the caller instead of reaching the process's handler,
// which may end the process: a window destroyed under us must not.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display) : mDisplay(display)
    {
        XSync(display, False);
        gTrappedError = 0;
        mPrevious = XSetErrorHandler(&Record);
    }
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;
    ~XErrorTrap()
    {
        if (XNextRequest(mDisplay) != mAnsweredUpTo) {
            XSync(mDisplay, False);
        }
        XSetErrorHandler(mPrevious);
    }

    // The first error of the requests sent so far, once the server has answered them; 0 for none. Requests sent
    // after the last look are answered before the trap goes.
    int TakeError()
    {
        XSync(mDisplay, False);
        mAnsweredUpTo = XNextRequest(mDisplay);
        return std::exchange(gTrappedError, 0);
    }

    // Fills the failure in when there was an error, and answers whether there was.
    bool Failed(GlxFailure::Step step, const char* what, GlxFailure& failure)
    {
        const int error = TakeError();
        if (error == 0) {
            return false;
        }
        char text[256] = {};
        XGetErrorText(mDisplay, error, text, sizeof text);
        failure = {step, error, std::string(what) + ": " + text};
        return true;
    }

private:
    static int Record(Display*, XErrorEvent* event)
    {
        if (gTrappedError == 0) {
            gTrappedError = event->error_code;
        }
        return 0;
    }

    Display* mDisplay;
    int (*mPrevious)(Display*, XErrorEvent*) = nullptr;
    // The serial of the first request not yet answered at the last look.
    unsigned long mAnsweredUpTo = 0;
};

int ConfigValue(Display* display, GLXFBConfig config, int attribute)
{
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

struct ConfigChoice {
    GLXFBConfig config = nullptr;
    bool swapsByCopy = false;
};

// Among the configurations that can draw double-buffered RGBA into windows and pixel buffers: the window's visual
// first (a child window serves any other), a swap by copy next, then the fewest depth and stencil bits, since
// nothing is drawn with them.
ConfigChoice ChooseConfig(Display* display, int screen, VisualID windowVisual, bool swapMethodKnown)
{
    const int attributes[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT | GLX_PBUFFER_BIT,
                              GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                              GLX_BLUE_SIZE, 8, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, attributes, &count);
    ConfigChoice best;
    int bestRank = -1;
    for (int index = 0; index < count; ++index) {
        const bool byCopy =
            swapMethodKnown && ConfigValue(display, configs[index], GLX_SWAP_METHOD_OML) == GLX_SWAP_COPY_OML;
        const bool matches = static_cast<VisualID>(ConfigValue(display, configs[index], GLX_VISUAL_ID)) == windowVisual;
        const bool bare = ConfigValue(display, configs[index], GLX_DEPTH_SIZE) == 0 &&
                          ConfigValue(display, configs[index], GLX_STENCIL_SIZE) == 0;
        const int rank = (matches ? 4 : 0) + (byCopy ? 2 : 0) + (bare ? 1 : 0);
        if (rank > bestRank) {
            best = {configs[index], byCopy};
            bestRank = rank;
        }
    }
    if (configs != nullptr) {
        XFree(configs);
    }
    return best;
}

}  // namespace

struct GlxContext::Parts {
    Display* display = nullptr;
    int screen = 0;
    GLXFBConfig config = nullptr;
    VisualID visual = 0;
    GLXContext context = nullptr;
    GLXPbuffer pixelBuffer = 0;

    ~Parts()
    {
        if (context != nullptr && glXGetCurrentContext() == context) {
            glXMakeContextCurrent(display, None, None, nullptr);
        }
        if (pixelBuffer != 0) {
            glXDestroyPbuffer(display, pixelBuffer);
        }
        if (context != nullptr) {
            glXDestroyContext(display, context);
        }
    }
};

GlxContext::GlxContext(std::unique_ptr<Parts> parts) : mParts(std::move(parts)) {}

GlxContext::~GlxContext() = default;

std::unique_ptr<GlxContext> GlxContext::Create(const NativeWindow& window, GlxFailure& failure)
{
    Display* display = window.display;
    if (display == nullptr) {
        failure = {GlxFailure::Step::kChooseConfig, 0, "no X display"};
        return nullptr;
    }
    XErrorTrap trap(display);
    XWindowAttributes attributes{};
    const Status described = XGetWindowAttributes(display, window.window, &attributes);
    if (trap.Failed(GlxFailure::Step::kChooseConfig, "the window cannot be described", failure)) {
        return nullptr;
    }
    int errorBase = 0;
    int eventBase = 0;
    int major = 0;
    int minor = 0;
    if (described == 0 || !glXQueryExtension(display, &errorBase, &eventBase) ||
        !glXQueryVersion(display, &major, &minor) || (major == 1 && minor < 3)) {
        failure = {GlxFailure::Step::kChooseConfig, 0, "the X server offers no GLX 1.3"};
        return nullptr;
    }

    auto parts = std::make_unique<Parts>();
    parts->display = display;
    parts->screen = XScreenNumberOfScreen(attributes.screen);
    const bool swapMethodKnown =
        ListsExtension(glXQueryExtensionsString(display, parts->screen), "GLX_OML_swap_method");
    const ConfigChoice choice =
        ChooseConfig(display, parts->screen, XVisualIDFromVisual(attributes.visual), swapMethodKnown);
    if (choice.config == nullptr) {
        failure = {GlxFailure::Step::kChooseConfig, 0, "no double-buffered RGBA configuration with 8 bits a colour"};
        return nullptr;
    }
    parts->config = choice.config;
    parts->visual = static_cast<VisualID>(ConfigValue(display, choice.config, GLX_VISUAL_ID));

    parts->context = glXCreateNewContext(display, choice.config, GLX_RGBA_TYPE, nullptr, True);
    if (trap.Failed(GlxFailure::Step::kCreateContext, "glXCreateNewContext", failure)) {
        return nullptr;
    }
    if (parts->context == nullptr) {
        failure = {GlxFailure::Step::kCreateContext, 0, "glXCreateNewContext made no context"};
        return nullptr;
    }
    const int pixelBufferSize[] = {GLX_PBUFFER_WIDTH, 1, GLX_PBUFFER_HEIGHT, 1, None};
    parts->pixelBuffer = glXCreatePbuffer(display, choice.config, pixelBufferSize);
    if (trap.Failed(GlxFailure::Step::kPrepareWindow, "glXCreatePbuffer", failure)) {
        parts->pixelBuffer = 0;
        return nullptr;
    }

    std::unique_ptr<GlxContext> context(new GlxContext(std::move(parts)));
    context->mDoubleBuffered = ConfigValue(display, choice.config, GLX_DOUBLEBUFFER) != 0;
    context->mSwapsByCopy = choice.swapsByCopy;
    if (context->HasExtension("GLX_MESA_copy_sub_buffer")) {
        using CopySubBuffer = void (*)(Display*, unsigned long, int, int, int, int);
        context->mCopySubBuffer = reinterpret_cast<CopySubBuffer>(GetFunction("glXCopySubBufferMESA"));
    }
    return context;
}

std::unique_ptr<GlxSurface> GlxContext::CreateSurface(const NativeWindow& window, GlxFailure& failure)
{
    Display* display = mParts->display;
    if (window.display != display) {
        failure = {GlxFailure::Step::kPrepareWindow, 0, "the window belongs to another X connection"};
        return nullptr;
    }
    XErrorTrap trap(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window.window, &attributes);
    if (trap.Failed(GlxFailure::Step::kPrepareWindow, "the window cannot be described", failure)) {
        return nullptr;
    }
    Window target = window.window;
    Colormap colormap = 0;
    const bool child = XVisualIDFromVisual(attributes.visual) != mParts->visual;
    if (child) {
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, mParts->config);
        if (visual == nullptr) {
            failure = {GlxFailure::Step::kPrepareWindow, 0, "the configuration has no visual"};
            return nullptr;
        }
        XSetWindowAttributes childAttributes{};
        colormap = XCreateColormap(display, window.window, visual->visual, AllocNone);
        childAttributes.colormap = colormap;
        childAttributes.background_pixmap = None;
        childAttributes.border_pixel = 0;
        // Input is not selected on the child, so that the window still receives it.
        target = XCreateWindow(display, window.window, 0, 0, static_cast<unsigned>(attributes.width),
                               static_cast<unsigned>(attributes.height), 0, visual->depth, InputOutput,
                               visual->visual, CWColormap | CWBackPixmap | CWBorderPixel, &childAttributes);
        XFree(visual);
        XMapWindow(display, target);
    }
    std::unique_ptr<GlxSurface> surface(new GlxSurface(display, target, child, colormap));
    surface->mWidth = attributes.width;
    surface->mHeight = attributes.height;
    if (trap.Failed(GlxFailure::Step::kPrepareWindow, "a child window of the configuration's visual", failure)) {
        return nullptr;
    }
    // A drawable of its own keeps the back buffer while the context is current elsewhere.
    surface->mDrawable = glXCreateWindow(display, mParts->config, target, nullptr);
    if (trap.Failed(GlxFailure::Step::kPrepareWindow, "glXCreateWindow", failure)) {
        surface->mDrawable = 0;
        return nullptr;
    }
    return surface;
}

bool GlxContext::MakeCurrent(const GlxSurface& surface, GlxFailure& failure)
{
    if (glXGetCurrentContext() == mParts->context && glXGetCurrentDrawable() == surface.mDrawable) {
        return true;
    }
    XErrorTrap trap(mParts->display);
    // GLX may take a window that is gone and fail only when the frame is shown.
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    XGetGeometry(mParts->display, surface.mWindow, &root, &x, &y, &width, &height, &border, &depth);
    if (trap.Failed(GlxFailure::Step::kMakeCurrent, "the window is gone", failure)) {
        return false;
    }
    const Bool made = glXMakeContextCurrent(mParts->display, surface.mDrawable, surface.mDrawable, mParts->context);
    if (trap.Failed(GlxFailure::Step::kMakeCurrent, "glXMakeCurrent", failure)) {
        return false;
    }
    if (!made) {
        failure = {GlxFailure::Step::kMakeCurrent, 0, "glXMakeCurrent refused the window"};
    }
    return made;
}

bool GlxContext::IsCurrent() const
{
    return glXGetCurrentContext() == mParts->context;
}

bool GlxContext::MakeCurrentWithoutWindow(GlxFailure& failure)
{
    if (glXMakeContextCurrent(mParts->display, mParts->pixelBuffer, mParts->pixelBuffer, mParts->context)) {
        return true;
    }
    failure = {GlxFailure::Step::kMakeCurrent, 0, "glXMakeCurrent refused the context's own pixel buffer"};
    return false;
}

void GlxContext::ReleaseCurrent()
{
    glXMakeContextCurrent(mParts->display, None, None, nullptr);
}

void GlxContext::SwapBuffers(const GlxSurface& surface)
{
    glXSwapBuffers(mParts->display, surface.mDrawable);
}

void GlxContext::CopySubBuffer(const GlxSurface& surface, int x, int y, int width, int height)
{
    mCopySubBuffer(mParts->display, surface.mDrawable, x, y, width, height);
}

bool GlxContext::Present(const std::function<void()>& work, GlxFailure& failure)
{
    XErrorTrap trap(mParts->display);
    work();
    return !trap.Failed(GlxFailure::Step::kPresent, "the frame could not be shown", failure);
}

bool GlxContext::HasExtension(const char* name) const
{
    return ListsExtension(glXQueryExtensionsString(mParts->display, mParts->screen), name);
}

GlxContext::Function GlxContext::GetFunction(const char* name)
{
    return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
}

bool GlxContext::ListsExtension(const char* list, const char* name)
{
    const std::size_t length = name == nullptr ? 0 : std::strlen(name);
    if (list == nullptr || length == 0 || std::strchr(name, ' ') != nullptr) {
        return false;
    }
    for (const char* found = std::strstr(list, name); found != nullptr; found = std::strstr(found + 1, name)) {
        const bool starts = found == list || found[-1] == ' ';
        const bool ends = found[length] == ' ' || found[length] == '\0';
        if (starts && ends) {
            return true;
        }
    }
    return false;
}

GlxSurface::GlxSurface(Display* display, unsigned long window, bool ownsWindow, unsigned long colormap)
    : mDisplay(display), mWindow(window), mOwnsWindow(ownsWindow), mColormap(colormap)
{
}

GlxSurface::~GlxSurface()
{
    // The window may be gone already, with its parent or its owner.
    XErrorTrap trap(mDisplay);
    if (mDrawable != 0) {
        glXDestroyWindow(mDisplay, mDrawable);
    }
    if (mOwnsWindow) {
        XDestroyWindow(mDisplay, mWindow);
        XFreeColormap(mDisplay, mColormap);
    }
}

void GlxSurface::FitTo(int width, int height)
{
    if (!mOwnsWindow || (width == mWidth && height == mHeight) || width <= 0 || height <= 0) {
        return;
    }
    mWidth = width;
    mHeight = height;
    XResizeWindow(mDisplay, mWindow, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

}  // namespace ZV::Platform
