#pragma once

#include "Application/ApplicationWindowHost.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/RenderingServices.h"

#include <string>

namespace ZV::Testing {

// The application around a skin folder, as much of it as windows on the desktop need: a factory with the folder's
// string tables and skin, installed as the controls' and rendering's services with a Cairo renderer that measures
// text and the platform's clocks, the Cairo renderer registered for windows, and the window host. Control classes
// are registered by the caller before it makes windows.
class SkinApplication : public IControlServices, public IRenderingServices {
public:
    SkinApplication(const std::string& skinFolder, const wchar_t* applicationName);
    SkinApplication(const SkinApplication&) = delete;
    SkinApplication& operator=(const SkinApplication&) = delete;
    ~SkinApplication();

    // False when the folder's documents did not load.
    bool IsLoaded() const { return mLoaded; }
    LControlFactory& Factory() { return *mFactory; }
    LApplicationWindowHost& Host() { return mHost; }
    // Runs the loop until the main window is shown, has the keyboard and has painted what waited; false when that
    // did not happen in time.
    bool WaitUntilShown();

    RCPtr<LControlFactory> GetControlFactory() override { return mFactory; }
    double GetTimeSeconds() override;
    zulong GetTimeMs() override;
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return mMeasurement; }

private:
    RCPtr<LControlFactory> mFactory;
    RCPtr<LGDIRenderer> mMeasurement;
    IControlServices* mPreviousControlServices;
    IRenderingServices* mPreviousRenderingServices;
    bool mLoaded = false;
    // Last: its windows go first.
    LApplicationWindowHost mHost;
};

}  // namespace ZV::Testing
