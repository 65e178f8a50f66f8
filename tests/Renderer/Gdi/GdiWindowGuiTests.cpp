#include "Platform/X11Display.h"
#include "Platform/X11Window.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "support/WindowPixels.h"

#include <gtest/gtest.h>

#include <memory>

namespace ZV {
namespace {

constexpr std::uint32_t kWindowRed = 0xFF0000u;
constexpr std::uint32_t kWindowBlue = 0x0000FFu;

class GdiWindowGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        mConnection = Platform::DisplayConnection::Open();
        ASSERT_NE(mConnection, nullptr) << "no X display: run the gui tests through scripts/test";
        mWindow = Platform::X11Window::Create(*mConnection, 120, 80);
        ASSERT_NE(mWindow, nullptr);
        EXPECT_TRUE(
            Succeeded(mRenderer->InitRenderContextInfo({0, 0, 120, 80}, &mWindow->GetNativeWindow(), false, mContext)));
    }

    // One frame that fills the whole back buffer and presents the dirty region.
    void FillFrame(std::initializer_list<RectEdges> dirty, const LColor& color)
    {
        RectList& region = mContext->GetDirtyRegion();
        region.Clear();
        for (const RectEdges& rect : dirty) {
            region.Add(rect);
        }
        EXPECT_TRUE(Succeeded(mRenderer->RenderStart(mContext)));
        mRenderer->FillRect({0, 0, 4096, 4096}, color, true);
        EXPECT_TRUE(Succeeded(mRenderer->RenderFinish(mContext)));
    }

    std::vector<std::uint32_t> ReadWindow(int width, int height) const
    {
        return Testing::ReadWindowPixels(mWindow->GetNativeWindow(), 0, 0, width, height);
    }

    std::unique_ptr<Platform::DisplayConnection> mConnection;
    std::unique_ptr<Platform::X11Window> mWindow;
    RCPtr<LGDIRenderer> mRenderer{new LGDIRenderer()};
    RCPtr<LRenderContextInfo> mContext;
};

TEST_F(GdiWindowGui, TheFirstFramePaintsTheWindowAndALaterOneOnlyItsDirtyRectangles)
{
    FillFrame({{0, 0, 120, 80}}, LColor(1, 0, 0, 1));
    const std::vector<std::uint32_t> first = ReadWindow(120, 80);
    ASSERT_EQ(first.size(), 120u * 80u);
    EXPECT_EQ(std::count(first.begin(), first.end(), kWindowRed), 120 * 80);

    FillFrame({{10, 10, 30, 30}, {50, 30, 80, 40}}, LColor(0, 0, 1, 1));
    const std::vector<std::uint32_t> second = ReadWindow(120, 80);
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            const bool dirty = (x >= 10 && x < 30 && y >= 10 && y < 30) || (x >= 50 && x < 80 && y >= 30 && y < 40);
            ASSERT_EQ(second[static_cast<std::size_t>(y) * 120 + x], dirty ? kWindowBlue : kWindowRed)
                << x << "," << y;
        }
    }
}

TEST_F(GdiWindowGui, AResizedWindowGetsSurfacesOfItsNewSize)
{
    FillFrame({{0, 0, 120, 80}}, LColor(1, 0, 0, 1));
    ASSERT_TRUE(mWindow->Resize(160, 100));
    mContext->SetViewport({0, 0, 160, 100});
    FillFrame({{0, 0, 160, 100}}, LColor(0, 0, 1, 1));
    EXPECT_EQ(static_cast<LGDIRenderContextInfo&>(*mContext).GetBackBuffer().GetSize(), PointT<zlong>(160, 100));
    const std::vector<std::uint32_t> pixels = ReadWindow(160, 100);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kWindowBlue), 160 * 100) << "the new area is painted too";
}

TEST_F(GdiWindowGui, AnOffscreenContextNeverTouchesTheDisplay)
{
    RCPtr<LRenderContextInfo> offscreen;
    EXPECT_TRUE(
        Succeeded(mRenderer->InitRenderContextInfo({0, 0, 120, 80}, &mWindow->GetNativeWindow(), true, offscreen)));
    offscreen->GetDirtyRegion().Add({0, 0, 120, 80});
    const unsigned long serial = Testing::NextRequestSerial(mWindow->GetNativeWindow());
    EXPECT_TRUE(Succeeded(mRenderer->RenderStart(offscreen)));
    mRenderer->FillRect({0, 0, 120, 80}, LColor(0, 1, 0, 1), true);
    EXPECT_TRUE(Succeeded(mRenderer->RenderFinish(offscreen)));
    offscreen = nullptr;
    EXPECT_EQ(Testing::NextRequestSerial(mWindow->GetNativeWindow()), serial);
}

}  // namespace
}  // namespace ZV
