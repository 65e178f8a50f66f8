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

}  // namespace ZV
