#include "Renderer/FontRenderer/FontFileInfo.h"

#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "Renderer/RenderingServices.h"

namespace ZV {

namespace {

// For each style, the styles to take its face from when its own slot is empty, nearest first; the last one is
// taken even when it is empty too.
constexpr std::int32_t kStyleFallbacks[4][3] = {
    {LFont::kBold, LFont::kItalic, LFont::kBoldItalic},
    {LFont::kBoldItalic, LFont::kRegular, LFont::kItalic},
    {LFont::kBoldItalic, LFont::kRegular, LFont::kBold},
    {LFont::kBold, LFont::kItalic, LFont::kRegular},
};

RCPtr<LFontFileInfo> FamilyOfSystemFont()
{
    WideString faceName;
    float size = 0;
    std::int32_t style = 0;
    if (Failed(GetRenderingServices().GetSystemFont(faceName, size, style))) {
        return nullptr;
    }
    return FindFontFamily(faceName);
}

}  // namespace

std::int32_t LFontFileInfo::GetFileID(const ConstRCPtr<LFont>& font)
{
    const ConstRCPtr<LRefCountedObject> key(font);
    RCPtr<LFontFileInfo> family = GetFontMap().GetValue(key);
    if (family.IsNull()) {
        family = FindFontFamily(font->GetFaceName());
        if (family.IsNull()) {
            family = FamilyOfSystemFont();
        }
        if (family.IsNull()) {
            ZV_THROW(std::runtime_error, "");
        }
        GetFontMap().SetValue(key, family);
    }
    const std::int32_t style = font->GetStyle() & 3;
    if (family->GetSlot(style).path.IsEmpty()) {
        std::int32_t nearest = style;
        for (const std::int32_t candidate : kStyleFallbacks[style]) {
            nearest = candidate;
            if (!family->GetSlot(candidate).path.IsEmpty()) {
                break;
            }
        }
        family->SetSlot(style, family->GetSlot(nearest));
    }
    return family->GetIndex() * 4 + style;
}

}  // namespace ZV
