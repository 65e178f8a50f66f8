#pragma once

#include "Application/ApplicationBase.h"
#include "Application/InputControl.h"
#include "ControlBase/CreateControl.h"
#include "Renderer/Renderer.h"

namespace ZV::Testing {

// An application without settings whose main window is the root-window test skin's fixed "main", drawn by the 2D
// renderer; its windows are open to the test.
class RootWindowSkinApplication : public LApplicationBase<RootWindowSkinApplication> {
public:
    static constexpr wchar_t kWindowClassName[] = L"ZVRootWindowSkinTest";

    // Over a factory with the test skin, whose controls are input controls; null when the skin does not load. T is
    // this class or one that derives from it.
    template <class T = RootWindowSkinApplication>
    static RCPtr<T> Make()
    {
        const RCPtr<LControlFactory> factory(new LControlFactory(L"RootWindowTest"));
        if (Failed(factory->LoadResources(WideString(ZV_TEST_DATA_DIR "/RootWindowSkin"), 9))) {
            return nullptr;
        }
        (void)factory->RegisterControlCreateFunction(L"Test.Input", &CreateControl<LInputControl<LControl>>);
        return RCPtr<T>(new T(factory, factory->GetFrameworkStringTable(), L""));
    }

    using LApplicationBase::LApplicationBase;
    using LFrameworkApp::GetWindows;

    bool CanExit() override { return true; }
    WideString GetVersionKey() override { return L"1_0_0"; }
    WideString GetMainControlName() override { return L"main"; }
    std::int32_t GetRendererKind() override { return LRenderer::kGdi; }
    IniFileHandle GetIniFile(std::int32_t) override { return 0; }
};

}  // namespace ZV::Testing
