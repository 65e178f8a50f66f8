#include "Renderer/RenderingServices.h"

#include "Platform/Clock.h"

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
