#include "DebuggerOutputCapture.h"
#include "Platform/MessageBox.h"
#include "Platform/StandardError.h"
#include "Renderer/ArgbColours.h"
#include "Renderer/OpenGL/GLTestWindow.h"
#include "Renderer/OpenGL/GLTestWindows.h"
#include "Renderer/RenderingServices.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::Image;
using Testing::TestWindowRecord;

using Testing::kArgbRed;
using Testing::kArgbBlue;

// Keeps the message boxes shown while it lives instead of showing them.
class MessageBoxRecorder {
public:
    struct Box {
        std::string caption;
        std::string text;
    };

    MessageBoxRecorder()
    {
        mPrevious = Platform::SetMessageBoxPresenter(
            [this](const std::string& caption, const std::string& text) { mBoxes.push_back({caption, text}); });
    }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
    ~MessageBoxRecorder() { Platform::SetMessageBoxPresenter(mPrevious); }

    const std::vector<Box>& Boxes() const { return mBoxes; }

private:
    std::vector<Box> mBoxes;
    Platform::MessageBoxPresenter mPrevious;
};

// The framework string table as an application installs it: here with German captions.
class GermanStrings : public IRenderingServices {
public:
    GermanStrings() : mPrevious(SetRenderingServices(this)) {}
    GermanStrings(const GermanStrings&) = delete;
    GermanStrings& operator=(const GermanStrings&) = delete;
    ~GermanStrings() { SetRenderingServices(mPrevious); }

    zulong GetTimeMs() override { return 0; }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return nullptr; }
    bool GetFrameworkString(const WideString& key, WideString& text) override
    {
        if (key == L"GL_ERROR_CAPTION") {
            text = L"OpenGL-Fehler";
            return true;
        }
        return false;
    }

private:
    IRenderingServices* mPrevious;
};

std::string Advice()
{
    return "\n\nOpenGL must work through GLX on this display. Check it with glxinfo, and install or update the "
           "graphics driver (Mesa) if it does not.";
}

class GLSetupGui : public Testing::GLWindowTest {};

TEST_F(GLSetupGui, SetUpOnATestWindowSucceedsAndReportsItsKindAndMaximumSurface)
{
    EXPECT_EQ(Renderer().GetRendererType(), LRenderer::kOpenGL);
    const PointT<zlong> largest = mContext->GetMaxSurfaceSize();
    EXPECT_GE(largest.x, 4096);
    EXPECT_GE(largest.y, 4096);

    LGLRenderer::Register();
    const RCPtr<LRenderer> made = LRenderer::Create(LRenderer::kOpenGL, &GetNativeWindow());
    LRenderer::SetFactory(LRenderer::kOpenGL, nullptr);
    ASSERT_FALSE(made.IsNull());
    EXPECT_EQ(made->GetRendererType(), LRenderer::kOpenGL);
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(made->InitRenderContextInfo({0, 0, kWidth, kHeight}, &GetNativeWindow(), false, context), ZV_S_OK);
    ASSERT_EQ(made->RenderStart(context), ZV_S_OK);
    made->FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 1, 1), true);
    ASSERT_EQ(made->RenderFinish(context), ZV_S_OK);
    EXPECT_EQ(Pixel(100, 75), kArgbBlue) << "the made renderer draws into the window";
}

TEST_F(GLSetupGui, AFailedSetUpShowsItsTextInTheMessageBoxAndOnStandardErrorThenThrowsFromTheConstructor)
{
    const MessageBoxRecorder boxes;
    const Testing::TemporaryFolder folder;
    const std::string standardError = folder / "stderr.txt";
    const TestWindowRecord gone = TestWindowRecord::Gone(*mConnection);
    std::string thrown;
    {
        const Platform::StandardErrorRedirection redirection(standardError.c_str());
        thrown = Testing::ThrownText<std::runtime_error>([&] { LGLRenderer renderer(nullptr, &gone.Get()); });
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const std::string message = "No GLX framebuffer configuration with double-buffered 8-bit RGBA colour suits the "
                                "window. (the window cannot be described: BadWindow (invalid Window parameter))";
    EXPECT_EQ(boxes.Boxes()[0].caption, "OpenGL Error");
    EXPECT_EQ(boxes.Boxes()[0].text, message + Advice());
    EXPECT_TRUE(Testing::TextMatchesThrow(thrown, "Runtime Error : " + message + " : ZV::LGLRenderer::LGLRenderer"));
    EXPECT_EQ(Testing::ContentOf(standardError), "OpenGL Error: " + message + Advice() + "\n");

    thrown = Testing::ThrownText<std::runtime_error>([] { LGLRenderer renderer(nullptr, nullptr); });
    EXPECT_TRUE(Testing::TextMatchesThrow(thrown,
                                          "Runtime Error : No GLX framebuffer configuration with double-buffered "
                                          "8-bit RGBA colour suits the window. (no window) : "
                                          "ZV::LGLRenderer::LGLRenderer"));
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

TEST_F(GLSetupGui, AContextForAWindowThatIsGoneShowsItsTextAndThrows)
{
    const MessageBoxRecorder boxes;
    const TestWindowRecord gone = TestWindowRecord::Gone(*mConnection);
    RCPtr<LRenderContextInfo> context;
    const std::string thrown = Testing::ThrownText<std::runtime_error>(
        [&] { (void)Renderer().InitRenderContextInfo({0, 0, 50, 50}, &gone.Get(), false, context); });
    EXPECT_TRUE(Testing::TextMatchesThrow(
        thrown, "Runtime Error : The window cannot be drawn with the chosen GLX framebuffer configuration. (the "
                "window cannot be described: BadWindow (invalid Window parameter)) : "
                "ZV::LGLRenderer::InitRenderContextInfo"));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(context.IsNull());
}

TEST_F(GLSetupGui, TheFrameworkStringTablesTextsComeFirst)
{
    const GermanStrings strings;
    const MessageBoxRecorder boxes;
    EXPECT_NE(Testing::ThrownText<std::runtime_error>([] { LGLRenderer renderer(nullptr, nullptr); }),
              "nothing thrown");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "OpenGL-Fehler");
}

TEST_F(GLSetupGui, AWindowThatGoesAwayFailsItsFramesWithOneLineAndTheRendererKeepsWorking)
{
    const Testing::DebuggerOutputCapture debugger;
    std::unique_ptr<Platform::X11Window> other = Platform::X11Window::Create(*mConnection, 40, 40);
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(Renderer().InitRenderContextInfo({0, 0, 40, 40}, &other->GetNativeWindow(), false, context), ZV_S_OK);
    other.reset();
    for (int frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(Renderer().RenderStart(context), ZV_E_FAIL);
        Renderer().FillRect({0, 0, 40, 40}, LColor(1, 0, 0, 1), true);
        EXPECT_EQ(Renderer().RenderFinish(context), ZV_S_OK);
    }
    const std::vector<std::string> lines = debugger.Texts();
    ASSERT_EQ(lines.size(), 1u) << "once, not at every frame";
    EXPECT_EQ(lines[0].rfind("glXMakeCurrent failed with error ", 0), 0u) << lines[0];

    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(1, 0, 0, 1), true);
    Finish();
    EXPECT_EQ(Pixel(10, 10), kArgbRed);
}

TEST_F(GLSetupGui, AWindowOfAnotherVisualIsDrawnThroughAChildOfTheRenderersVisual)
{
    const TestWindowRecord other = TestWindowRecord::OfAnotherVisual(GetNativeWindow(), 60, 40);
    ASSERT_FALSE(other.IsEmpty()) << "the display offers a second TrueColor visual of depth 24";
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(Renderer().InitRenderContextInfo({0, 0, 60, 40}, &other.Get(), false, context), ZV_S_OK);
    ASSERT_EQ(Renderer().RenderStart(context), ZV_S_OK);
    Renderer().FillRect({0, 0, 60, 40}, LColor(0, 0, 1, 1), true);
    Renderer().FillRect({10, 10, 10, 10}, LColor(1, 0, 0, 1), true);
    ASSERT_EQ(Renderer().RenderFinish(context), ZV_S_OK);
    Testing::WaitForServer(other.Get());
    const std::vector<std::uint32_t> pixels = Testing::ReadWindowPixels(other.Get(), 0, 0, 60, 40);
    EXPECT_EQ(pixels[15 * 60 + 15], 0xFF0000u);
    EXPECT_EQ(pixels[35 * 60 + 50], 0x0000FFu);
}

// Two frames, the second drawing one small square: the window shows it on what the first frame left.
void ExpectTheSecondFrameDrawnOverTheFirst(LRenderer& renderer, const RCPtr<LRenderContextInfo>& context,
                                           const Platform::NativeWindow& window, int width, int height)
{
    ASSERT_EQ(renderer.RenderStart(context), ZV_S_OK);
    renderer.FillRect({0, 0, width, height}, LColor(1, 0, 0, 1), true);
    ASSERT_EQ(renderer.RenderFinish(context), ZV_S_OK);
    ASSERT_EQ(renderer.RenderStart(context), ZV_S_OK);
    renderer.FillRect({20, 20, 10, 10}, LColor(0, 0, 1, 1), true);
    ASSERT_EQ(renderer.RenderFinish(context), ZV_S_OK);
    Testing::WaitForServer(window);
    const std::vector<std::uint32_t> pixels = Testing::ReadWindowPixels(window, 0, 0, width, height);
    EXPECT_EQ(pixels[25 * width + 25], 0x0000FFu);
    EXPECT_EQ(pixels[static_cast<std::size_t>(height / 2) * width + width / 2], 0xFF0000u)
        << "the back buffer kept the first frame";
    EXPECT_EQ(pixels[0], 0xFF0000u);
    EXPECT_EQ(pixels.back(), 0xFF0000u);
}

TEST_F(GLSetupGui, AFrameWithADirtyRegionShowsOnlyThatRegionAndOneWithoutShowsTheWholeViewport)
{
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(1, 0, 0, 1), true);
    Finish();
    mContext->GetDirtyRegion().Add({10, 10, 40, 40});
    mContext->GetDirtyRegion().Add({100, 50, 120, 60});
    Start();
    Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 1, 1), true);
    Finish();
    Image image = Snapshot();
    EXPECT_EQ(image.At(10, 10), kArgbBlue);
    EXPECT_EQ(image.At(39, 39), kArgbBlue);
    EXPECT_EQ(image.At(40, 39), kArgbRed);
    EXPECT_EQ(image.At(110, 55), kArgbBlue);
    EXPECT_EQ(image.At(120, 55), kArgbRed);
    EXPECT_EQ(image.At(150, 100), kArgbRed) << "drawn into the back buffer, not yet shown";

    mContext->GetDirtyRegion().Clear();
    Start();
    Finish();
    image = Snapshot();
    EXPECT_EQ(image.At(150, 100), kArgbBlue);
    EXPECT_EQ(image.At(0, kHeight - 1), kArgbBlue);
}

TEST_F(GLSetupGui, AFrameDrawsOnlyWhatItDrawsAndTheWindowKeepsTheRestWhetherCopiedOrSwapped)
{
    ExpectTheSecondFrameDrawnOverTheFirst(Renderer(), mContext, GetNativeWindow(), kWidth, kHeight);

    const TestWindowRecord swapping = TestWindowRecord::SwappingByCopy(*mConnection, 80, 60);
    ASSERT_FALSE(swapping.IsEmpty()) << "Mesa offers configurations that swap by copy";
    const RCPtr<LGLRenderer> renderer(new LGLRenderer(nullptr, &swapping.Get()));
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 80, 60}, &swapping.Get(), false, context), ZV_S_OK);
    ExpectTheSecondFrameDrawnOverTheFirst(*renderer, context, swapping.Get(), 80, 60);
}

}  // namespace
}  // namespace ZV
