#include "Renderer/FontRenderer/FontCatalogue.h"

#include "Application/Globals.h"

namespace ZV {

namespace {

// The family of a file id, or null.
const LFontFileInfo* FamilyOf(std::int32_t fileID)
{
    const std::int32_t index = fileID >> 2;
    if (index < 0 || static_cast<std::uint32_t>(index) >= gFontFamilies.GetCount()) {
        return nullptr;
    }
    return gFontFamilies.GetItemPointer(static_cast<std::uint32_t>(index))->Get();
}

}  // namespace

void ClearFontCatalogue()
{
    gFontMap.RemoveAll();
    gFontFamilies.Clear();
}

RCPtr<LFontFileInfo> AddFontFileInfo()
{
    RCPtr<LFontFileInfo> family(new LFontFileInfo(static_cast<std::int32_t>(gFontFamilies.GetCount())));
    ZV_THROW_IF_FAILED(gFontFamilies.AddItem(family));
    return family;
}

RCPtr<LFontFileInfo> FindFontFamily(const WideString& faceName)
{
    for (std::uint32_t index = gFontFamilies.GetCount(); index-- > 0;) {
        const RCPtr<LFontFileInfo>& family = *gFontFamilies.GetItemPointer(index);
        if (family->GetFaceName() == faceName) {
            return family;
        }
    }
    return nullptr;
}

const WideString& GetFontFilePath(std::int32_t fileID)
{
    const LFontFileInfo* family = FamilyOf(fileID);
    return family != nullptr ? family->GetSlot(fileID).path : gEmptyString;
}

std::int32_t GetFontFaceIndex(std::int32_t fileID)
{
    const LFontFileInfo* family = FamilyOf(fileID);
    return family != nullptr ? family->GetSlot(fileID).faceIndex : 0;
}

}  // namespace ZV
