#include "BareDesktopWindow.h"

namespace ZV::Tools {

BareDesktopWindow::BareDesktopWindow(int width, int height, const char* className)
{
    Platform::DesktopWindowOptions options;
    options.width = width;
    options.height = height;
    options.className = className;
    mWindow = Platform::CreateDesktopWindow(options);
    if (mWindow) {
        mWindow->SetEventSink(this);
        mSurface = std::make_unique<Platform::WindowSurface>(*mWindow->GetNativeWindow(), width, height);
        mWindow->MoveResize({0, 0, width, height});
        mWindow->Show(true);
    }
}

BareDesktopWindow::~BareDesktopWindow()
{
    mSurface = nullptr;
    if (mWindow) {
        mWindow->Destroy();
    }
}

void BareDesktopWindow::OnExposed(Platform::WindowRect)
{
    Paint(mSurface->GetContext());
    mSurface->Flush();
}

}  // namespace ZV::Tools
