#include "ControlBase/ControlServices.h"

#include "ControlBase/ControlFactory.h"
#include "Platform/Clock.h"
#include "System/GlobalHotKeyManager.h"

namespace ZV {

namespace {

class DefaultControlServices : public IControlServices {
public:
    RCPtr<LControlFactory> GetControlFactory() override { return nullptr; }
    double GetTimeSeconds() override { return static_cast<double>(Platform::GetMicrosecondTime()) / 1e6; }
};

DefaultControlServices gDefaultServices;
IControlServices* gServices = &gDefaultServices;

}  // namespace

RCPtr<LGlobalHotKeyManager> IControlServices::GetHotKeyManager()
{
    return nullptr;
}

IControlServices& GetControlServices()
{
    return *gServices;
}

IControlServices* SetControlServices(IControlServices* services)
{
    IControlServices* previous = gServices;
    gServices = services != nullptr ? services : &gDefaultServices;
    return previous;
}

}  // namespace ZV
