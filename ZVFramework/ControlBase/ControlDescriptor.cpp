#include "ControlBase/ControlDescriptor.h"

#include "ControlBase/AppendItem.h"
#include "Utilities/Storage/ArrayUtils.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

LControlDescriptor::LControlDescriptor(const WideString& className, const WideString& name,
                                       LControlDescriptor* parent)
    : mClass(className), mName(name)
{
    if (parent != nullptr) {
        mParentLink = parent->GetLinkToSelf();
    }
}

LControlDescriptor::~LControlDescriptor()
{
    // Children and their clones may outlive this descriptor; none of them may reach it afterwards.
    if (mLinkToSelf) {
        mLinkToSelf->Clear();
    }
}

const RCPtr<LDescriptorParentLink>& LControlDescriptor::GetLinkToSelf()
{
    if (!mLinkToSelf) {
        mLinkToSelf = new LDescriptorParentLink(this);
    }
    return mLinkToSelf;
}

void LControlDescriptor::AddSubControl(const RCPtr<LControlDescriptor>& child)
{
    AppendItem(mSubControls, child);
}

void LControlDescriptor::SortSubControlsByLayoutOrder()
{
    ArrayUtils::Sort(mSubControls, 0, mSubControls.GetCount(), DescriptorLayoutOrderLess());
}

ZVRESULT LControlDescriptor::SetSkinDescriptor(const RCPtr<LSkinDescriptor>& skin)
{
    mSkin = skin;
    return ZV_S_OK;
}

ZVRESULT LControlDescriptor::SetLayoutDescriptor(const RCPtr<LLayoutDescriptor>& layout)
{
    mLayout = layout;
    return ZV_S_OK;
}

ZVRESULT LControlDescriptor::SetCreateParams(const RCPtr<LStringTable>& createParams)
{
    mCreateParams = createParams;
    return ZV_S_OK;
}

RCPtr<LControlDescriptor> LControlDescriptor::Clone() const
{
    RCPtr<LControlDescriptor> clone(new LControlDescriptor(mClass, mName, nullptr));
    clone->mParentLink = mParentLink;
    for (std::uint32_t i = 0; i < mSubControls.GetCount(); ++i) {
        clone->AddSubControl(mSubControls.GetData()[i]);
    }
    clone->mSkin = mSkin;
    clone->mLayout = mLayout;
    clone->mCreateParams = mCreateParams;
    clone->mCreateFunction = mCreateFunction;
    return clone;
}

}  // namespace ZV
