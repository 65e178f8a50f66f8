#include "Renderer/FontRenderer/SystemFont.h"

#include "Platform/FontLibrary.h"

#include <fontconfig/fontconfig.h>

namespace ZV {

namespace {

constexpr float kSystemFontSize = 9.0f;

}  // namespace

ZVRESULT QuerySystemFont(WideString& faceName, float& size, std::int32_t& style)
{
    Platform::StartFontLibrary();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    if (pattern == nullptr) {
        return ZV_E_FAIL;
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* family = nullptr;
    WideString matched;
    const bool found = match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
                       Succeeded(matched.AssignFromUTF8(reinterpret_cast<const char*>(family), -1));
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    if (!found || matched.IsEmpty()) {
        return ZV_E_FAIL;
    }
    faceName = matched;
    size = kSystemFontSize;
    style = 0;
    return ZV_S_OK;
}

}  // namespace ZV
