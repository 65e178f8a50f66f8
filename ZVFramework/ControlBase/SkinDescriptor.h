#pragma once

#include "ControlBase/LookDescriptor.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The font a skin gives the controls that wear it.
struct SkinFontSettings {
    bool inheritsFromParent = false;
    bool sizeIsRelative = false;
    // Empty: the skin sets no face.
    WideString name;
    // In points; below 1 the skin sets no size.
    float size = 0;
    // As LFont takes it; -1: the skin sets no style.
    std::int32_t style = -1;
};

// What one Skin element gives a control: its looks by look number and its font.
class LSkinDescriptor : public virtual LRefCountedObject {
public:
    explicit LSkinDescriptor(const WideString& name) : mName(name) {}

    const WideString& GetName() const { return mName; }

    const RCPtr<LLookList>& GetLookList() const { return mLookList; }
    void SetLookList(const RCPtr<LLookList>& lookList) { mLookList = lookList; }

    const SkinFontSettings& GetFont() const { return mFont; }
    void SetFont(const SkinFontSettings& font) { mFont = font; }
    void SetFontName(const WideString& name) { mFont.name = name; }

private:
    WideString mName;
    RCPtr<LLookList> mLookList;
    SkinFontSettings mFont;
};

}  // namespace ZV
