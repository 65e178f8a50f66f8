#pragma once

#include "Application/Gui/SkinApplication.h"
#include "Engine/UpdateProcessor.h"
#include "Simulator/SimulatedMidiSystem.h"
#include "System/RootWindow.h"
#include "UI/MainControl.h"
#include "UI/UpdateProcessorSource.h"

#include <memory>

namespace ZV::Testing {

// The application as far as the main window needs it on the desktop: the program's skin and texts from their
// folder, the framework's control classes (the menu bar's make no control), the main control, and an update
// processor whose engines talk to simulated devices.
class MainWindowApplication final : public SkinApplication, public IUpdateProcessorSource {
public:
    explicit MainWindowApplication(const Simulator::SimulationSettings& devices);

    const RCPtr<::LUpdateProcessor>& GetUpdateProcessor() const override { return mProcessor; }
    Simulator::SimulatedMidiSystem& Devices() { return *mDevices; }

    // Initialises the processor with the command line, then shows the main window; false when either failed.
    bool Open(const WideString& commandLine);
    const RCPtr<LRootWindow>& Root() const { return mRoot; }
    LMainControl& Main() { return *mMain; }
    const Platform::NativeWindow& Native() { return *Host().GetMainWindow()->GetWindowHandle(); }

private:
    std::shared_ptr<Simulator::SimulatedMidiSystem> mDevices;
    RCPtr<::LUpdateProcessor> mProcessor;
    RCPtr<LRootWindow> mRoot;
    RCPtr<LMainControl> mMain;
};

}  // namespace ZV::Testing
