#include "ControlBase/ControlServices.h"

#include "ControlBase/ControlFactory.h"
#include "Platform/Clock.h"
#include "Renderer/Font.h"
#include "Renderer/RenderingServices.h"
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

RCPtr<LFont> IControlServices::GetDefaultFont()
{
    WideString face;
    float size = 0;
    std::int32_t style = -1;
    if (const RCPtr<LControlFactory> factory = GetControlFactory()) {
        (void)factory->GetSkinFont(face, size, style);
    }
    if (face.IsEmpty() || size < 1.0f) {
        WideString systemFace;
        float systemSize = 0;
        std::int32_t systemStyle = LFont::kRegular;
        if (Succeeded(GetRenderingServices().GetSystemFont(systemFace, systemSize, systemStyle))) {
            face = face.IsEmpty() ? systemFace : face;
            size = size < 1.0f ? systemSize : size;
            style = style == -1 ? systemStyle : style;
        }
    }
    if (face.IsEmpty() || !(size > 0)) {
        return nullptr;
    }
    return LFont::GetFont(face, size, style == -1 ? LFont::kRegular : style);
}

ZVRESULT IControlServices::SetStatusText(const WideString&, bool)
{
    return ZV_E_FAIL;
}

ZVRESULT IControlServices::ResetStatusText(bool)
{
    return ZV_E_FAIL;
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
