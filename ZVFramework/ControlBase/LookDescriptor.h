#pragma once

#include "ControlBase/DockedPart.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <map>

namespace ZV {

// Where a look's text goes: each edge a fraction of the control's extent plus pixels, the alignment inside that
// rectangle (0 left or top, 0.5 centre, 1 right or bottom), and the part whose colour or image paints the text.
struct TextProperties {
    float leftRel = 0;
    std::int32_t leftAbs = 0;
    float rightRel = 0;
    std::int32_t rightAbs = 0;
    float hAlign = 0;
    float topRel = 0;
    std::int32_t topAbs = 0;
    float bottomRel = 0;
    std::int32_t bottomAbs = 0;
    float vAlign = 0;
    RCPtr<LVisualPartDescriptor> foregroundPart;
};

// How a control looks in one state: the part that fills its client area, the parts on its edges and corners, and
// where its text goes.
class LLookDescriptor : public virtual LRefCountedObject {
public:
    explicit LLookDescriptor(const WideString& name) : mName(name) {}

    const WideString& GetName() const { return mName; }

    const RCPtr<LDockedPart>& GetClientPart() const { return mClientPart; }
    [[nodiscard]] ZVRESULT SetClientPart(const RCPtr<LDockedPart>& part);

    // In the order the skin lists them.
    const RCPtrArray<LDockedPart>& GetNonClientParts() const { return mNonClientParts; }
    void AddNonClientPart(const RCPtr<LDockedPart>& part);

    bool HasTextProperties() const { return mHasTextProperties; }
    const TextProperties& GetTextProperties() const { return mTextProperties; }
    [[nodiscard]] ZVRESULT SetTextProperties(const TextProperties& properties);

private:
    WideString mName;
    RCPtr<LDockedPart> mClientPart;
    RCPtrArray<LDockedPart> mNonClientParts;
    bool mHasTextProperties = false;
    TextProperties mTextProperties;
};

// A control's looks by look number, as many numbers as its skin claims. Only the looks that the skin gives are held,
// so a list costs what is written into it, not the count it claims.
class LLookList : public virtual LRefCountedObject {
public:
    explicit LLookList(std::uint32_t count) : mCount(count) {}

    // Look numbers run from 0 to the count - 1.
    std::uint32_t GetCount() const { return mCount; }
    // Null for a number the skin gave no look, and for a number past the count.
    RCPtr<LLookDescriptor> GetLook(std::uint32_t index) const;
    // Replaces the look of that number (null clears it); false, changing nothing, for a number past the count.
    bool SetLook(std::uint32_t index, const RCPtr<LLookDescriptor>& look);

private:
    std::uint32_t mCount;
    std::map<std::uint32_t, RCPtr<LLookDescriptor>> mLooks;
};

}  // namespace ZV
