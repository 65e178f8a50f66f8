#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// What rendering takes from the application. The application installs its own when it starts; tests install
// theirs. Used on the user-interface thread only.
class IRenderingServices {
public:
    // The application's millisecond clock, wrapping at 2^32: renderers purge their caches by it.
    virtual zulong GetTimeMs() = 0;
    // The renderer that measures text when no window renderer is at hand; null while there is none.
    virtual RCPtr<LMeasurementRenderer> GetMeasurementRenderer() = 0;
    // The desktop's font for small interface text: face name, size in points, style (bits 1 bold, 2 italic,
    // 4 underline, 8 strike-out). 0, or ZV_E_FAIL when there is none. Fonts whose face is not installed fall back to
    // it. Unless replaced, fontconfig's "sans-serif" at 9 points.
    [[nodiscard]] virtual ZVRESULT GetSystemFont(WideString& faceName, float& size, std::int32_t& style);
    // The framework string table's text under the key (the OpenGL renderer's error texts among others); false, with
    // the text left as it was, when there is no table or no such key. Unless replaced there is none.
    virtual bool GetFrameworkString(const WideString& key, WideString& text);

protected:
    ~IRenderingServices() = default;
};

IRenderingServices& GetRenderingServices();

// Installs the services that rendering uses from now on and returns the ones it used before. Null goes back to the
// services of a program without an application: the platform's clock and no measurement renderer.
IRenderingServices* SetRenderingServices(IRenderingServices* services);

}  // namespace ZV
