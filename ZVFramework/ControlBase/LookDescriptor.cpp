#include "ControlBase/LookDescriptor.h"

#include "ControlBase/AppendItem.h"

namespace ZV {

ZVRESULT LLookDescriptor::SetClientPart(const RCPtr<LDockedPart>& part)
{
    mClientPart = part;
    return ZV_S_OK;
}

void LLookDescriptor::AddNonClientPart(const RCPtr<LDockedPart>& part)
{
    AppendItem(mNonClientParts, part);
}

ZVRESULT LLookDescriptor::SetTextProperties(const TextProperties& properties)
{
    mTextProperties = properties;
    mHasTextProperties = true;
    return ZV_S_OK;
}

RCPtr<LLookDescriptor> LLookList::GetLook(std::uint32_t index) const
{
    const auto found = mLooks.find(index);
    return found == mLooks.end() ? RCPtr<LLookDescriptor>() : found->second;
}

bool LLookList::SetLook(std::uint32_t index, const RCPtr<LLookDescriptor>& look)
{
    if (index >= mCount) {
        return false;
    }
    if (look) {
        mLooks.insert_or_assign(index, look);
    } else {
        mLooks.erase(index);
    }
    return true;
}

}  // namespace ZV
