#include "Renderer/D3D9Renderer.h"
#include "Renderer/Font.h"
#include "TestSupport.h"
#include "Utilities/Graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::ThrowsText;

TEST(RendererCreate, MakesThePlaceholderAndRegisteredKindsAndRefusesTheRest)
{
    const RCPtr<LRenderer> placeholder = LRenderer::Create(LRenderer::kPlaceholder, nullptr);
    ASSERT_FALSE(placeholder.IsNull());
    EXPECT_EQ(placeholder->GetRendererType(), 2);
    EXPECT_EQ(placeholder->GetRefCount(), 1);

    EXPECT_TRUE(ThrowsText<std::domain_error>([] { LRenderer::Create(3, nullptr); },
                                              "Domain Error : ZV::LRenderer::Create"));
    EXPECT_TRUE(ThrowsText<std::domain_error>([] { LRenderer::Create(LRenderer::kOpenGL, nullptr); },
                                              "Domain Error : ZV::LRenderer::Create"))
        << "no back-end registered for the kind";

    LRenderer::SetFactory(LRenderer::kOpenGL, [](const Platform::NativeWindow*) {
        return RCPtr<LRenderer>(new LD3D9Renderer());
    });
    EXPECT_FALSE(LRenderer::Create(LRenderer::kOpenGL, nullptr).IsNull());
    LRenderer::SetFactory(LRenderer::kOpenGL, nullptr);
}

TEST(PlaceholderRenderer, RunsAWholeFrameWithoutDrawingAnything)
{
    const RCPtr<LRenderer> renderer = LRenderer::Create(LRenderer::kPlaceholder, nullptr);
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo(RectT<zlong>(0, 0, 200, 100), nullptr, false, context), ZV_S_OK);
    EXPECT_EQ(context->GetMaxSurfaceSize(), PointT<zlong>(0, 0));
    EXPECT_EQ(context->GetViewport(), RectT<zlong>(0, 0, 200, 100));

    EXPECT_TRUE(Succeeded(renderer->RenderStart(context)));
    renderer->PushClip(RectT<double>(10, 10, 50, 50), RectT<double>(10, 10, 50, 50), nullptr, true);
    renderer->PushState();
    renderer->PushOffset(PointT<double>(3, 4));
    EXPECT_EQ(context->GetState().origin, PointT<double>(13, 14));
    renderer->FillRect(RectT<zlong>(0, 0, 5, 5), LColor(1, 0, 0, 1), true);
    renderer->DrawText(L"text", nullptr, PointT<zlong>(1, 1), LColor(0, 0, 0, 1));
    renderer->DrawBitmap(nullptr, RectT<zlong>(0, 0, 5, 5), 0);
    EXPECT_EQ(renderer->DrawBitmapPart(context, PointT<zlong>(0, 0), RectT<zlong>(0, 0, 5, 5)), ZV_E_NOTIMPL);
    EXPECT_EQ(renderer->DrawOffscreenImage(context, PointT<zlong>(0, 0)), ZV_E_NOTIMPL);
    renderer->PopState();
    renderer->PopState();
    renderer->PopState();
    EXPECT_EQ(context->GetSavedStateCount(), 0u);
    EXPECT_EQ(context->GetState().origin, PointT<double>(0, 0));
    EXPECT_EQ(renderer->RenderFinish(context), ZV_S_OK);
    EXPECT_EQ(context->GetRefCount(), 1) << "the frame let go of its context";
}

}  // namespace
}  // namespace ZV
