#include "Application/Gui/SkinApplication.h"

#include "Platform/Clock.h"
#include "System/Gui/LoopTurns.h"
#include "System/MessageLoop.h"

namespace ZV::Testing {

SkinApplication::SkinApplication(const std::string& skinFolder, const wchar_t* applicationName)
    : mFactory(new LControlFactory(applicationName)), mMeasurement(new LGDIRenderer()),
      mPreviousControlServices(SetControlServices(this)), mPreviousRenderingServices(SetRenderingServices(this)),
      mHost(applicationName)
{
    LGDIRenderer::Register();
    mLoaded = Succeeded(mFactory->LoadResources(WideString(skinFolder.c_str()), 9));
}

SkinApplication::~SkinApplication()
{
    if (const RCPtr<OSWindow> window = mHost.GetMainWindow()) {
        window->Destroy();
    }
    GetMessageLoop().ReleaseDeferred();
    SetRenderingServices(mPreviousRenderingServices);
    SetControlServices(mPreviousControlServices);
}

bool SkinApplication::WaitUntilShown()
{
    const RCPtr<OSWindow> window = mHost.GetMainWindow();
    return window && RunLoopUntil([&window] { return window->IsActive() && window->GetBackEnd().IsVisible(); });
}

double SkinApplication::GetTimeSeconds()
{
    return static_cast<double>(Platform::GetMicrosecondTime()) / 1e6;
}

zulong SkinApplication::GetTimeMs()
{
    return Platform::GetMillisecondTick();
}

}  // namespace ZV::Testing
