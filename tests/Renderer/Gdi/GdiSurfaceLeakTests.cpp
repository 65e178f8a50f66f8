// The leak checker of the sanitizer build still sees a Cairo surface of ours that nobody destroys, under the leak
// suppressions of the test programs and of the program: those pass over what libraries lose by themselves, not
// what the project loses through them.
#include "Renderer/Gdi/BitmapSurface.h"
#include "Utilities/Graphics/Bitmap.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define ZV_TEST_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZV_TEST_LEAK_CHECKER 1
#endif
#endif

#ifdef ZV_TEST_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace ZV {
namespace {

TEST(GdiSurfaceLeakDeathTest, ASurfaceMadeFromABitmapAndNeverDestroyedIsReportedUnderTheLeakSuppressions)
{
#ifndef ZV_TEST_LEAK_CHECKER
    GTEST_SKIP() << "leaks are checked in the AddressSanitizer build";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The options with which the tests start the program, whole stacks included.
    Testing::ScopedEnvironment environment;
    environment.Set("ASAN_OPTIONS", "detect_leaks=1:abort_on_error=0:fast_unwind_on_malloc=0:intercept_tls_get_addr=0");
    environment.Set("LSAN_OPTIONS", "suppressions=" ZV_TEST_DATA_DIR "/../App/ProgramLeaks.supp");
    const RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({40, 30}, LColor(0, 0, 1, 1));
    EXPECT_DEATH(
        {
            // Made on a thread of its own, so that no register or stack slot still points at it.
            std::thread([&bitmap] { (void)BitmapSurface::CreatePremultiplied(*bitmap); }).join();
            __lsan_do_leak_check();
            std::exit(0);
        },
        "Direct leak of [0-9]+ byte.*BitmapSurface::CreatePremultiplied");
#endif
}

}  // namespace
}  // namespace ZV
