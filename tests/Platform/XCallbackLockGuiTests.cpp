// ThreadSanitizer still sees a lock of ours released twice inside a callback that an X library runs: an event
// predicate, an after-function, a Cairo user-data destroy callback. The exceptions for libX11's own second release of
// a lost connection's lock, which would pass over such a fault, are given only to the tests that lose a connection.
#include "Platform/RecursiveLock.h"
#include "Platform/X11Display.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cairo.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#define ZV_TEST_THREAD_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZV_TEST_THREAD_CHECKER 1
#endif
#endif

namespace ZV {
namespace {

#ifdef ZV_TEST_THREAD_CHECKER
// Only the callbacks know it: libX11's after-function takes no argument of ours.
Platform::RecursiveLock gLockReleasedTwice;

void ReleaseLockTwice()
{
    gLockReleasedTwice.Enter();
    gLockReleasedTwice.Leave();
    gLockReleasedTwice.Leave();
}

Bool ReleaseLockTwiceInPredicate(Display*, XEvent*, XPointer)
{
    ReleaseLockTwice();
    return False;
}

int ReleaseLockTwiceAfterRequest(Display*)
{
    ReleaseLockTwice();
    return 0;
}

void ReleaseLockTwiceOnDestroy(void*)
{
    ReleaseLockTwice();
}

// An event in the connection's queue for a predicate to look at: its own window's property changed.
void QueueAnEvent(Display* display)
{
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    const unsigned char name[] = "lock";
    XChangeProperty(display, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace, name, sizeof name - 1);
    XSync(display, False);
}
#endif

TEST(XCallbackLockGui, ALockOfOursReleasedTwiceInAnXOrCairoCallbackIsReportedUnderTheThreadSanitizerSuppressions)
{
#ifndef ZV_TEST_THREAD_CHECKER
    GTEST_SKIP() << "locks are checked in the ThreadSanitizer build";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The options with which scripts/test runs the tests.
    Testing::ScopedEnvironment environment;
    environment.Set("TSAN_OPTIONS",
                    "halt_on_error=1:suppressions=" ZV_TEST_DATA_DIR "/../../scripts/thread-sanitizer.supp");
    const std::unique_ptr<Platform::DisplayConnection> connection = Platform::DisplayConnection::Open();
    ASSERT_NE(connection, nullptr) << "no X display: run the gui tests through scripts/test";
    Display* display = connection->GetDisplay();
    const std::pair<const char*, std::function<void()>> faults[] = {
        {"an event predicate", [display] {
            QueueAnEvent(display);
            XEvent event;
            (void)XCheckIfEvent(display, &event, ReleaseLockTwiceInPredicate, nullptr);
        }},
        {"an after-function", [display] {
            (void)XSetAfterFunction(display, ReleaseLockTwiceAfterRequest);
            XNoOp(display);
        }},
        {"a Cairo user-data destroy callback", [] {
            static cairo_user_data_key_t key;
            cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
            // Null data would take the key away, and its callback with it.
            (void)cairo_surface_set_user_data(surface, &key, &gLockReleasedTwice, ReleaseLockTwiceOnDestroy);
            cairo_surface_destroy(surface);
        }},
    };
    for (const auto& [what, fault] : faults) {
        SCOPED_TRACE(what);
        EXPECT_DEATH(
            {
                fault();
                std::exit(0);
            },
            "unlock of an unlocked mutex.*ReleaseLockTwice");
    }
#endif
}

}  // namespace
}  // namespace ZV
