#include "UI/Gui/MainWindowApplication.h"

#include "ControlBase/CreateControl.h"
#include "Controls/FrameworkControlClasses.h"
#include "Midi/MidiComm.h"
#include "Simulator/SimulatedMidiDriver.h"

namespace ZV::Testing {

MainWindowApplication::MainWindowApplication(const Simulator::SimulationSettings& devices)
    : SkinApplication(std::string(ZV_RESOURCES_DIR) + "/Skin", L"TideRush"),
      mDevices(std::make_shared<Simulator::SimulatedMidiSystem>(devices))
{
    const std::shared_ptr<Platform::MidiDriver> driver = std::make_shared<Simulator::SimulatedMidiDriver>(mDevices);
    mProcessor = new ::LUpdateProcessor([driver] { return RCPtr<LMidiCommInterface>(LMidiComm::Create(driver)); });
    (void)RegisterFrameworkControlClasses(Factory());
    (void)Factory().RegisterControlCreateFunction(LMainControl::kClassName, &CreateControl<LMainControl>);
}

bool MainWindowApplication::Open(const WideString& commandLine)
{
    if (!IsLoaded() || Failed(mProcessor->Initialize(commandLine)) ||
        Failed(Host().CreateMainWindow(LRenderer::kGdi, L"mainControl")) || !WaitUntilShown()) {
        return false;
    }
    mRoot = Host().GetMainRootWindow();
    mMain = RCPtr<LMainControl>(dynamic_cast<LMainControl*>(mRoot->GetRootControl().Get()));
    return static_cast<bool>(mMain);
}

}  // namespace ZV::Testing
