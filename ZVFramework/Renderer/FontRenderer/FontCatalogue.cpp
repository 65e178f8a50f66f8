#include "Renderer/FontRenderer/FontCatalogue.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/SharedStrings.h"

namespace ZV {

FontFamilies& GetFontFamilies()
{
    static FontFamilies families;
    return families;
}

FontMap& GetFontMap()
{
    // Made after the families, so destroyed before them.
    GetFontFamilies();
    static FontMap map;
    return map;
}

namespace {

std::uint64_t gCatalogueGeneration = 0;

// The family of a file id, or null.
const LFontFileInfo* FamilyOf(std::int32_t fileID)
{
    const std::int32_t index = fileID >> 2;
    if (index < 0 || static_cast<std::uint32_t>(index) >= GetFontFamilies().GetCount()) {
        return nullptr;
    }
    return GetFontFamilies().GetItemPointer(static_cast<std::uint32_t>(index))->Get();
}

}  // namespace

void ClearFontCatalogue()
{
    GetFontMap().RemoveAll();
    (void)GetFontFamilies().Clear();
    ++gCatalogueGeneration;
}

std::uint64_t GetFontCatalogueGeneration()
{
    return gCatalogueGeneration;
}

RCPtr<LFontFileInfo> AddFontFileInfo()
{
    RCPtr<LFontFileInfo> family(new LFontFileInfo(static_cast<std::int32_t>(GetFontFamilies().GetCount())));
    ZV_THROW_IF_FAILED(GetFontFamilies().AddItem(family));
    return family;
}

RCPtr<LFontFileInfo> FindFontFamily(const WideString& faceName)
{
    for (std::uint32_t index = GetFontFamilies().GetCount(); index-- > 0;) {
        const RCPtr<LFontFileInfo>& family = *GetFontFamilies().GetItemPointer(index);
        if (family->GetFaceName() == faceName) {
            return family;
        }
    }
    return nullptr;
}

const WideString& GetFontFilePath(std::int32_t fileID)
{
    const LFontFileInfo* family = FamilyOf(fileID);
    return family != nullptr ? family->GetSlot(fileID).path : GetEmptyString();
}

std::int32_t GetFontFaceIndex(std::int32_t fileID)
{
    const LFontFileInfo* family = FamilyOf(fileID);
    return family != nullptr ? family->GetSlot(fileID).faceIndex : 0;
}

}  // namespace ZV
