#include "Platform/X11Display.h"
#include "Platform/X11Window.h"
#include "Renderer/OpenGL/GLTestWindows.h"
#include "Renderer/Renderer.h"
#include "support/WindowPixels.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

TEST(GLProgramRendererGui, TheProgramsRegistrationMakesAnOpenGLRendererThatDrawsBesideThe2DOne)
{
    const std::unique_ptr<Platform::DisplayConnection> connection = Platform::DisplayConnection::Open();
    ASSERT_NE(connection, nullptr) << "no X display";
    const std::unique_ptr<Platform::X11Window> window = Platform::X11Window::Create(*connection, 60, 40);
    ASSERT_NE(window, nullptr);
    const Platform::NativeWindow& native = window->GetNativeWindow();

    LRenderer::RegisterDrawingKinds();
    EXPECT_EQ(LRenderer::Create(LRenderer::kGdi, &native)->GetRendererType(), LRenderer::kGdi);
    RCPtr<LRenderer> renderer = LRenderer::Create(LRenderer::kOpenGL, &native);
    ASSERT_FALSE(renderer.IsNull());
    Testing::KeepGraphicsDriverLoaded();
    EXPECT_EQ(renderer->GetRendererType(), LRenderer::kOpenGL);
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 60, 40}, &native, false, context), ZV_S_OK);
    ASSERT_EQ(renderer->RenderStart(context), ZV_S_OK);
    renderer->FillRect({0, 0, 60, 40}, LColor(0, 0, 0, 1), true);
    renderer->FillRect({10, 10, 20, 20}, LColor(0, 1, 0, 1), true);
    ASSERT_EQ(renderer->RenderFinish(context), ZV_S_OK);
    Testing::WaitForServer(native);
    EXPECT_EQ(Testing::ReadWindowPixels(native, 20, 20, 1, 1).at(0), 0x00FF00u);
    EXPECT_EQ(Testing::ReadWindowPixels(native, 40, 20, 1, 1).at(0), 0x000000u);

    context = nullptr;
    renderer = nullptr;
    // The other tests of this program find kind 0 unregistered, as they expect.
    LRenderer::SetFactory(LRenderer::kOpenGL, nullptr);
}

}  // namespace
}  // namespace ZV
