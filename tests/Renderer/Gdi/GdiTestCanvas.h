#pragma once

#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "support/ImageComparison.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

namespace ZV::Testing {

// A Cairo renderer with one offscreen context, and its back buffer read back as premultiplied 0xAARRGGBB.
class GdiCanvas {
public:
    GdiCanvas(zlong width, zlong height)
    {
        EXPECT_TRUE(Succeeded(mRenderer->InitRenderContextInfo({0, 0, width, height}, nullptr, true, mContext)));
    }

    LGDIRenderer& Renderer() { return *mRenderer; }
    const RCPtr<LRenderContextInfo>& Context() const { return mContext; }
    LGDIRenderContextInfo& GdiContext() const { return static_cast<LGDIRenderContextInfo&>(*mContext); }

    void Start() { EXPECT_TRUE(Succeeded(mRenderer->RenderStart(mContext))); }
    void Finish() { EXPECT_TRUE(Succeeded(mRenderer->RenderFinish(mContext))); }

    std::uint32_t Pixel(int x, int y) const { return Snapshot().At(x, y); }
    Image Snapshot() const { return ReadSurface(GdiContext().GetBackBuffer().GetBitmap()); }

private:
    RCPtr<LGDIRenderer> mRenderer{new LGDIRenderer()};
    RCPtr<LRenderContextInfo> mContext;
};

// Equal within one step per channel: premultiplying and blending round.
inline ::testing::AssertionResult NearPixel(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>(actual >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) > 1) {
            return ::testing::AssertionFailure() << std::hex << "pixel 0x" << actual << " is not 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace ZV::Testing
