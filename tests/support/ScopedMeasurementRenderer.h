#pragma once

#include "Renderer/MeasurementRenderer.h"
#include "Renderer/RenderingServices.h"

#include <utility>

namespace ZV::Testing {

// Makes the renderer the application's measurement renderer while it lives.
class ScopedMeasurementRenderer : public IRenderingServices {
public:
    explicit ScopedMeasurementRenderer(RCPtr<LMeasurementRenderer> renderer)
        : mRenderer(std::move(renderer)), mPrevious(SetRenderingServices(this))
    {
    }
    ScopedMeasurementRenderer(const ScopedMeasurementRenderer&) = delete;
    ScopedMeasurementRenderer& operator=(const ScopedMeasurementRenderer&) = delete;
    ~ScopedMeasurementRenderer() { SetRenderingServices(mPrevious); }

    zulong GetTimeMs() override { return 0; }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return mRenderer; }

private:
    RCPtr<LMeasurementRenderer> mRenderer;
    IRenderingServices* mPrevious;
};

}  // namespace ZV::Testing
