#pragma once

#include "Platform/X11Display.h"
#include "Platform/X11Window.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Renderer/OpenGL/GLRenderer.h"
#include "Renderer/OpenGL/GLTestWindows.h"
#include "Renderer/Polyline.h"
#include "Renderer/TestScene.h"
#include "support/ImageComparison.h"
#include "support/WindowPixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>

namespace ZV::Testing {

// A window on the test display with an OpenGL renderer, the glyph and FreeType renderers its text goes through,
// and one context on the window. Suites built on it need the display: their names end in "Gui".
class GLWindowTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;

    void SetUp() override
    {
        mConnection = Platform::DisplayConnection::Open();
        ASSERT_NE(mConnection, nullptr) << "no X display: run the gui tests through scripts/test";
        mWindow = Platform::X11Window::Create(*mConnection, kWidth, kHeight);
        ASSERT_NE(mWindow, nullptr);
        mGlyphs = new LGLGlyphRenderer();
        mRenderer = new LGLRenderer(new LFreetypeFontRenderer(mGlyphs, mGlyphs), &GetNativeWindow());
        ASSERT_EQ(mRenderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, &GetNativeWindow(), false, mContext),
                  ZV_S_OK);
        KeepGraphicsDriverLoaded();
    }

    void TearDown() override
    {
        mContext = nullptr;
        mRenderer = nullptr;
        mGlyphs = nullptr;
        mWindow.reset();
        mConnection.reset();
    }

    const Platform::NativeWindow& GetNativeWindow() const { return mWindow->GetNativeWindow(); }
    LGLRenderer& Renderer() { return *mRenderer; }

    void Start() { ASSERT_EQ(mRenderer->RenderStart(mContext), ZV_S_OK); }
    void Finish() { ASSERT_EQ(mRenderer->RenderFinish(mContext), ZV_S_OK); }

    // The window's pixels as the server has them after the frames so far, opaque 0xFFRRGGBB.
    Image Snapshot() const
    {
        WaitForServer(GetNativeWindow());
        Image image;
        image.width = kWidth;
        image.height = kHeight;
        image.pixels = ReadWindowPixels(GetNativeWindow(), 0, 0, kWidth, kHeight);
        for (std::uint32_t& pixel : image.pixels) {
            pixel |= 0xFF000000u;
        }
        return image;
    }
    std::uint32_t Pixel(int x, int y) const { return Snapshot().At(x, y); }

    std::unique_ptr<Platform::DisplayConnection> mConnection;
    std::unique_ptr<Platform::X11Window> mWindow;
    RCPtr<LGLGlyphRenderer> mGlyphs;
    RCPtr<LGLRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mContext;
};

}  // namespace ZV::Testing
