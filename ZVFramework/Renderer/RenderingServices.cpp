#include "Renderer/RenderingServices.h"

#include "Platform/Clock.h"
#include "Renderer/FontRenderer/SystemFont.h"

namespace ZV {

namespace {

class DefaultRenderingServices : public IRenderingServices {
public:
    zulong GetTimeMs() override { return Platform::GetMillisecondTick(); }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return nullptr; }
};

DefaultRenderingServices gDefaultServices;
IRenderingServices* gServices = &gDefaultServices;

}  // namespace

ZVRESULT IRenderingServices::GetSystemFont(WideString& faceName, float& size, std::int32_t& style)
{
    return QuerySystemFont(faceName, size, style);
}

bool IRenderingServices::GetFrameworkString(const WideString&, WideString&)
{
    return false;
}

IRenderingServices& GetRenderingServices()
{
    return *gServices;
}

IRenderingServices* SetRenderingServices(IRenderingServices* services)
{
    IRenderingServices* previous = gServices;
    gServices = services != nullptr ? services : &gDefaultServices;
    return previous;
}

}  // namespace ZV
