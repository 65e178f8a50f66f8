#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/FontRenderer/FontFileInfo.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RCPtrMap.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

// The catalogue of the installed font files: the families found in their name tables, and the family chosen for
// each font asked about. Process-wide, used on the user-interface thread only.
namespace ZV {

// The families in order of creation: entry i has index i.
using FontFamilies = RCPtrArray<LFontFileInfo, 1, 0>;
// The family chosen for each font, keyed by the font object's identity; an entry holds its font. The key is held as
// a plain counted object, so that the start-up global needs nothing of fonts.
using FontMap = RCPtrMap<LRefCountedObject, LFontFileInfo, 8>;

// Made on first use and destroyed at exit, the map first: it lets go of the fonts it holds.
FontFamilies& GetFontFamilies();
FontMap& GetFontMap();

// Rebuilds the catalogue from the font files (".ttf", then ".ttc") of the font directories (FontDirectories.h).
// Files that cannot be read, or whose name tables give no family, add nothing. 0, or ZV_E_FAIL when there is no
// font directory (the catalogue stays empty).
[[nodiscard]] ZVRESULT ScanFontFolder();
// Empties the font map, then the families.
void ClearFontCatalogue();
// Counts the catalogue's clearings. A file id names the same face only while the count stays the same: whatever is
// kept of a font's face (glyphs, layouts) is kept with the count it was made under.
std::uint64_t GetFontCatalogueGeneration();

// A new family at the end of the list, without a name.
RCPtr<LFontFileInfo> AddFontFileInfo();
// The family of that exact face name, the newest first; null when there is none.
RCPtr<LFontFileInfo> FindFontFamily(const WideString& faceName);
// The path of a file id's face; a shared empty string for an id of no family.
const WideString& GetFontFilePath(std::int32_t fileID);
// The place of a file id's face in its file; 0 for an id of no family.
std::int32_t GetFontFaceIndex(std::int32_t fileID);

}  // namespace ZV
