#include "Controls/FrameworkControlClasses.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/CreateControl.h"
#include "Controls/FileDropper.h"
#include "Controls/Label.h"
#include "Controls/Splitter.h"
#include "Controls/StatusBar.h"

namespace ZV {

namespace {

struct ControlClass {
    const wchar_t* name;
    ControlCreateFunction create;
};

// Several names share a class: the skin chooses look and behaviour through its descriptor, the class only the code.
const ControlClass kFrameworkControlClasses[] = {
    {L"Framework.Label", &CreateControl<LLabel>},
    {L"Framework.FileDropper", &CreateControl<LFileDropper>},
    {L"Framework.StatusBar", &CreateControl<LStatusBar>},
    {L"Framework.SplitterH", &CreateControl<LSplitterH>},
    {L"Framework.SplitterV", &CreateControl<LSplitterV>},
};

}  // namespace

ZVRESULT RegisterFrameworkControlClasses(LControlFactory& factory)
{
    for (const ControlClass& controlClass : kFrameworkControlClasses) {
        const ZVRESULT result = factory.RegisterControlCreateFunction(controlClass.name, controlClass.create);
        if (Failed(result)) {
            return result;
        }
    }
    return ZV_S_OK;
}

}  // namespace ZV
