#include "Renderer/OpenGL/GLTestWindows.h"

#include "Platform/NativeWindow.h"
#include "Platform/X11Display.h"
#include "Platform/X11Window.h"

#include <GL/glx.h>
#include <GL/glxext.h>
#include <dlfcn.h>
#include <link.h>

#include <string>

namespace ZV::Testing {

namespace {

// Mapped and shown on the screen when it returns.
Window CreateShownWindow(Display* display, Visual* visual, int width, int height)
{
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, RootWindow(display, screen), visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask;
    const Window window = XCreateWindow(display, RootWindow(display, screen), 300, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, 24, InputOutput, visual,
                                        CWColormap | CWBorderPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XMapWindow(display, window);
    XEvent exposed;
    XWindowEvent(display, window, ExposureMask, &exposed);
    return window;
}

}  // namespace

void KeepGraphicsDriverLoaded()
{
    dl_iterate_phdr(
        [](dl_phdr_info* module, std::size_t, void*) {
            const std::string name = module->dlpi_name == nullptr ? "" : module->dlpi_name;
            const std::string ending = "_dri.so";
            if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
                dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

TestWindowRecord::TestWindowRecord(std::unique_ptr<Platform::NativeWindow> record, bool owned)
    : mRecord(std::move(record)), mOwned(owned)
{
}

TestWindowRecord::TestWindowRecord(TestWindowRecord&& other) noexcept
    : mRecord(std::move(other.mRecord)), mOwned(other.mOwned)
{
    other.mOwned = false;
}

TestWindowRecord::~TestWindowRecord()
{
    if (mOwned && mRecord && mRecord->window != 0) {
        XDestroyWindow(mRecord->display, mRecord->window);
        XSync(mRecord->display, False);
    }
}

bool TestWindowRecord::IsEmpty() const
{
    return !mRecord || mRecord->window == 0;
}

TestWindowRecord TestWindowRecord::Gone(Platform::DisplayConnection& connection)
{
    std::unique_ptr<Platform::X11Window> window = Platform::X11Window::Create(connection, 50, 50);
    auto record = std::make_unique<Platform::NativeWindow>(window->GetNativeWindow());
    window.reset();
    return TestWindowRecord(std::move(record), false);
}

TestWindowRecord TestWindowRecord::OfAnotherVisual(const Platform::NativeWindow& like, int width, int height)
{
    auto record = std::make_unique<Platform::NativeWindow>(like);
    record->window = 0;
    XVisualInfo wanted{};
    wanted.screen = DefaultScreen(like.display);
    wanted.depth = 24;
    wanted.c_class = TrueColor;
    int count = 0;
    XVisualInfo* visuals =
        XGetVisualInfo(like.display, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
    for (int index = 0; index < count && record->window == 0; ++index) {
        if (visuals[index].visual != like.visual) {
            record->visual = visuals[index].visual;
            record->window = CreateShownWindow(like.display, record->visual, width, height);
        }
    }
    XFree(visuals);
    return TestWindowRecord(std::move(record), true);
}

TestWindowRecord TestWindowRecord::SwappingByCopy(Platform::DisplayConnection& connection, int width, int height)
{
    Display* display = connection.GetDisplay();
    auto record = std::make_unique<Platform::NativeWindow>();
    record->display = display;
    record->depth = 24;
    const int attributes[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT | GLX_PBUFFER_BIT,
                              GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True, GLX_RED_SIZE, 8,
                              GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_SWAP_METHOD_OML, GLX_SWAP_COPY_OML, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    for (int index = 0; index < count && record->window == 0; ++index) {
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[index]);
        if (visual != nullptr && visual->depth == 24) {
            record->visual = visual->visual;
            record->window = CreateShownWindow(display, record->visual, width, height);
        }
        XFree(visual);
    }
    if (configs != nullptr) {
        XFree(configs);
    }
    return TestWindowRecord(std::move(record), true);
}

}  // namespace ZV::Testing
