#pragma once

#include "Platform/EmbeddedResources.h"
#include "Utilities/Graphics/Bitmap.h"

#include <string>

namespace ZV::Testing {

// TestSheet.png (tests/data/make-test-sheet.py): 40 x 20 pixels, cells of 10 x 10, as ARGB by row and column.
inline constexpr zulong kSheetCells[2][4] = {
    {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80FF0000u},
    {0xFFFFFFFFu, 0x40204060u, 0x00000000u, 0xFF808080u},
};
inline constexpr const wchar_t* kSheetName = L"::TestSheet.png";

inline std::string SheetBytes()
{
    const Platform::EmbeddedResource* resource = Platform::FindEmbeddedResource("TESTSHEET_PNG", "GDIPLUS");
    return resource == nullptr ? std::string()
                               : std::string(reinterpret_cast<const char*>(resource->data), resource->size);
}

inline zulong PixelAt(const ConstRCPtr<LBitmap>& bitmap, zlong x, zlong y)
{
    return bitmap->GetPixelColor(x, y).ToARGB();
}

}  // namespace ZV::Testing
