#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LFont;

// One font family of the font catalogue (FontCatalogue.h): where the face of each of its four styles lies. A file
// id, index * 4 + style, names one style of one family; FreeType's cache knows faces by it.
//
// Everything but GetFileID is written here, so that the catalogue's start-up globals, built by the foundation
// library below this one, need nothing of the font code.
class LFontFileInfo : public virtual LRefCountedObject {
public:
    // A style's face: its file, and its place among the faces of a collection file (0 in a plain font file).
    struct Slot {
        WideString path;
        std::int32_t faceIndex = 0;
    };

    explicit LFontFileInfo(std::int32_t index) : mIndex(index) {}

    // The file id of the face that serves the font. The family is the one chosen for the font before, else the one
    // of the font's face name (exactly, letter case counting), else the one of the system font; a style that the
    // family lacks takes the nearest style it has, which then also fills the missing style's slot. Only the two low
    // bits of the font's style count. Throws a runtime error when neither face name is catalogued.
    static std::int32_t GetFileID(const ConstRCPtr<LFont>& font);

    const WideString& GetFaceName() const { return mFaceName; }
    void SetFaceName(const WideString& faceName) { mFaceName = faceName; }
    // The family's place in the catalogue, fixed when it is made.
    std::int32_t GetIndex() const { return mIndex; }
    // Styles 0 regular, 1 bold, 2 italic, 3 bold italic; only the two low bits count.
    const Slot& GetSlot(std::int32_t style) const { return mSlots[style & 3]; }
    void SetSlot(std::int32_t style, const Slot& slot) { mSlots[style & 3] = slot; }

private:
    WideString mFaceName;
    Slot mSlots[4];
    std::int32_t mIndex;
};

}  // namespace ZV
