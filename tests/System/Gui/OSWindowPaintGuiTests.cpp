// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "System/RecordingRootWindow.h"

#include "DebuggerOutputCapture.h"
#include "Platform/Clock.h"
#include "Platform/NativeWindow.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"
#include "support/WindowPixels.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>

namespace ZV {
namespace {

using Testing::LRecordingRootWindow;

constexpr int kPaintWidth = 120;
constexpr int kPaintHeight = 80;

// The 2D renderer, whose next frame can be made to fail to start as a renderer does that cannot reach its window.
class LFaultyFrameRenderer : public LGDIRenderer {
public:
    ZVRESULT RenderStart(const RCPtr<LRenderContextInfo>& context) override
    {
        const ZVRESULT started = LGDIRenderer::RenderStart(context);
        ++mStarts;
        return std::exchange(mFailNextStart, false) ? ZV_E_FAIL : started;
    }
    bool mFailNextStart = false;
    int mStarts = 0;
};

// A recording root window whose next paint can be made to throw halfway.
class LThrowingRootWindow : public LRecordingRootWindow {
public:
    using LRecordingRootWindow::LRecordingRootWindow;
    static RCPtr<IRootWindowTarget> Make(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
    {
        RCPtr<LThrowingRootWindow> root(new LThrowingRootWindow(renderer, services));
        GetLastMade() = root;
        return RCPtr<IRootWindowTarget>(root.Get());
    }
    void Paint(const RectList& region) override
    {
        if (std::exchange(mThrowInNextPaint, false)) {
            throw std::runtime_error("the paint broke");
        }
        LRecordingRootWindow::Paint(region);
    }
    bool mThrowInNextPaint = false;
};

class OSWindowPaintGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The window's own renderer is not made by the window, which would start the loop's ticks: without them a
        // wait for a paint that does not come would not end.
        GetMessageLoop().StartTick();
        OSWindow::SetRootWindowFactory(&LThrowingRootWindow::Make);
        mWindow = OSWindow::CreateOnDesktop(LRenderer::kGdi, "ZVPaintTestWindow", kPaintWidth, kPaintHeight, nullptr);
        ASSERT_TRUE(mWindow) << "no X display";
        ASSERT_EQ(mWindow->AttachRenderer(mRenderer), ZV_S_OK);
        mRoot =
            RCPtr<LThrowingRootWindow>(static_cast<LThrowingRootWindow*>(LRecordingRootWindow::GetLastMade().Get()));
        mRoot->SetFill(LColor(0, 0, 1, 1));
        (void)mWindow->Show(kShow);
        ASSERT_TRUE(PaintsAgain()) << "the first paint";
        ASSERT_EQ(PixelAt(60, 40), 0x0000FFu);
    }
    void TearDown() override
    {
        if (mWindow) {
            mWindow->Destroy();
        }
        mRoot = nullptr;
        LRecordingRootWindow::GetLastMade() = nullptr;
        GetMessageLoop().StopTick();
        GetMessageLoop().ReleaseDeferred();
    }

    // Runs the loop until the condition holds or five seconds have passed.
    static bool RunLoopUntil(const std::function<bool()>& done)
    {
        const std::uint32_t start = Platform::GetMillisecondTick();
        (void)GetMessageLoop().Run([&] { return !done() && Platform::GetMillisecondTick() - start < 5000; });
        return done();
    }
    bool PaintsAgain()
    {
        const int paints = mRoot->GetPaintCount();
        return RunLoopUntil([&] { return mRoot->GetPaintCount() > paints; });
    }
    bool TriesToPaint()
    {
        const int starts = mRenderer->mStarts;
        return RunLoopUntil([&] { return mRenderer->mStarts > starts; });
    }
    std::uint32_t PixelAt(int x, int y) const
    {
        const Platform::NativeWindow& native = *mWindow->GetWindowHandle();
        Testing::WaitForServer(native);
        return Testing::ReadWindowPixels(native, x, y, 1, 1).at(0);
    }

    Testing::TestWindowHost mHost;
    RCPtr<LFaultyFrameRenderer> mRenderer{new LFaultyFrameRenderer()};
    RCPtr<OSWindow> mWindow;
    RCPtr<LThrowingRootWindow> mRoot;
};

TEST_F(OSWindowPaintGui, AFrameThatCannotStartDrawsNothingAndTheNextFramePaintsTheWholeWindow)
{
    mRenderer->mFailNextStart = true;
    mRoot->SetFill(LColor(1, 0, 0, 1));
    mRoot->Invalidate({0, 0, 10, 10});
    ASSERT_TRUE(TriesToPaint());
    EXPECT_EQ(mRoot->GetPaintCount(), 1) << "nothing painted in the failed frame";
    EXPECT_EQ(PixelAt(5, 5), 0x0000FFu);

    mRoot->Invalidate({0, 0, 10, 10});
    ASSERT_TRUE(PaintsAgain());
    EXPECT_EQ(PixelAt(5, 5), 0xFF0000u);
    EXPECT_EQ(PixelAt(100, 60), 0xFF0000u) << "what the failed frame left behind is painted too";
}

TEST_F(OSWindowPaintGui, APaintThatThrowsIsReportedOnceAndTheWindowPaintsAgainAfterwards)
{
    Testing::DebuggerOutputCapture output;
    const auto reports = [] {
        const std::vector<std::string> texts = Testing::DebuggerOutputCapture::Texts();
        return std::count_if(texts.begin(), texts.end(),
                             [](const std::string& text) { return text.find("the paint broke") != std::string::npos; });
    };
    for (int failure = 0; failure < 2; ++failure) {
        mRoot->mThrowInNextPaint = true;
        mRoot->Invalidate({0, 0, 10, 10});
        ASSERT_TRUE(TriesToPaint());
    }
    EXPECT_EQ(reports(), 1) << "a paint that keeps failing is reported once";

    mRoot->SetFill(LColor(0, 1, 0, 1));
    mRoot->Invalidate({0, 0, 10, 10});
    ASSERT_TRUE(PaintsAgain());
    EXPECT_EQ(PixelAt(5, 5), 0x00FF00u);
    EXPECT_EQ(PixelAt(100, 60), 0x00FF00u);

    mRoot->mThrowInNextPaint = true;
    mRoot->Invalidate({0, 0, 10, 10});
    ASSERT_TRUE(TriesToPaint());
    EXPECT_EQ(reports(), 2) << "a failure after a good paint is reported again";
}

TEST_F(OSWindowPaintGui, AChangeOfTheScreensSizeRepaintsTheWholeWindow)
{
    const Platform::NativeWindow& native = *mWindow->GetWindowHandle();
    // Drawn behind the program's back: only a repaint of the whole window covers it again.
    GC gc = XCreateGC(native.display, native.window, 0, nullptr);
    XSetForeground(native.display, gc, 0xFFFF00);
    XFillRectangle(native.display, native.window, gc, 0, 0, kPaintWidth, kPaintHeight);
    XFreeGC(native.display, gc);
    ASSERT_EQ(PixelAt(100, 60), 0xFFFF00u);

    // What the server tells its clients when RandR gives the screen a new size.
    XEvent changed{};
    changed.xconfigure.type = ConfigureNotify;
    changed.xconfigure.event = DefaultRootWindow(native.display);
    changed.xconfigure.window = DefaultRootWindow(native.display);
    changed.xconfigure.width = DisplayWidth(native.display, DefaultScreen(native.display));
    changed.xconfigure.height = DisplayHeight(native.display, DefaultScreen(native.display));
    XSendEvent(native.display, DefaultRootWindow(native.display), False, StructureNotifyMask, &changed);
    XFlush(native.display);
    ASSERT_TRUE(PaintsAgain());
    EXPECT_EQ(PixelAt(5, 5), 0x0000FFu);
    EXPECT_EQ(PixelAt(100, 60), 0x0000FFu);
}

}  // namespace
}  // namespace ZV
