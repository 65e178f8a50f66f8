#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// A font: face name, size in points and style, shared by everyone who asks for the same three (the face name in
// any letter case), so that caches keyed by a font see one identity per font. Its vertical metrics are fetched
// once, on first use, from the application's measurement renderer. User-interface thread only.
class LFont : public virtual LRefCountedObject {
public:
    static constexpr std::int32_t kRegular = 0;
    static constexpr std::int32_t kBold = 1;
    static constexpr std::int32_t kItalic = 2;
    static constexpr std::int32_t kBoldItalic = 3;

    // The one font of that face, size and style: the listed one, else a new one added to the list.
    static RCPtr<LFont> GetFont(const WideString& faceName, float size, std::int32_t style);
    // The index in the font list of the font of that face, size and style, or -1.
    static std::int32_t FindFont(const WideString& faceName, float size, std::int32_t style);
    // Every font that somebody holds. A font leaves it with the last reference from outside it.
    static RCPtrArray<LFont>& GetFontList();

    // The line height in pixels; -1 while the metrics could not be had (there is no measurement renderer, or it
    // gave none), and then they are asked for again next time.
    zlong ResolveFontInfo() const;
    // The top of the font's box relative to the baseline, y downwards (normally negative), and its bottom; 0 while
    // the metrics are not resolved.
    zlong GetTop() const;
    zlong GetBottom() const;

    const WideString& GetFaceName() const { return mFaceName; }
    float GetSize() const { return mSize; }
    std::int32_t GetStyle() const { return mStyle; }
    // Taken from a process-wide count when the font is made, from 1 on; never reused.
    std::int32_t GetUniqueID() const { return mUniqueID; }

    // Takes the font out of the list: 0, or ZV_E_FAIL when it is not listed.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    LFont(const WideString& faceName, float size, std::int32_t style);

    bool Matches(const WideString& faceName, float size, std::int32_t style) const;

    WideString mFaceName;
    float mSize;
    std::int32_t mStyle;
    // Filled in by ResolveFontInfo; a negative line height marks them unresolved.
    mutable zlong mLineHeight = -1;
    mutable zlong mTop = 0;
    mutable zlong mBottom = 0;
    std::int32_t mUniqueID;
};

}  // namespace ZV
