#include "ControlBase/MenuDescriptor.h"

#include "ObjectBase/Exception.h"

#include <new>

namespace ZV {

RCPtr<LMenuDescriptor> LMenuDescriptor::Create()
{
    return RCPtr<LMenuDescriptor>(new LMenuDescriptor());
}

ZVRESULT LMenuDescriptor::InsertItem(std::uint32_t index, const RCPtr<LMenuItemDescriptor>& item)
{
    if (!item) {
        return ZV_E_INVALIDARG;
    }
    const ZVRESULT inserted = mItems.InsertItem(index, item);
    if (Succeeded(inserted)) {
        item->SetParent(this);
    }
    return inserted;
}

ZVRESULT LMenuDescriptor::InsertNewItem(std::uint32_t index, const WideString& label,
                                        const WideString& notificationId, std::uint8_t enabled, std::uint8_t checked)
{
    return InsertItem(index, LMenuItemDescriptor::Create(label, notificationId, enabled, checked));
}

ZVRESULT LMenuDescriptor::InsertSeparator(std::uint32_t index)
{
    return InsertItem(index, LMenuItemDescriptor::CreateSeparator());
}

ZVRESULT LMenuDescriptor::GetItemInfo(std::uint32_t index, MenuItemInfo& info) const
{
    info = MenuItemInfo();
    if (index >= mItems.GetCount()) {
        return ZV_E_INVALIDARG;
    }
    const LMenuItemDescriptor& item = *mItems.GetData()[index];
    info.enabled = item.GetEnabled();
    info.checked = item.GetChecked();
    info.label = item.GetLabel();
    return ZV_S_OK;
}

void LMenuDescriptor::RemoveAllItems()
{
    for (std::uint32_t index = mItems.GetCount(); index-- > 0;) {
        mItems.GetData()[index]->SetParent(nullptr);
        RCPtr<LMenuItemDescriptor> removed;
        (void)mItems.RemoveItem(index, removed);
    }
    SetParent(nullptr);
}

void LMenuDescriptor::SetParent(LMenuDescriptor* parent)
{
    if (mParent) {
        mParent->AddInternalReferences(-1);
    }
    mParent = parent;
    if (mParent) {
        mParent->AddInternalReferences(1);
    }
}

RCPtr<LMenuDescriptor> LMenuDescriptor::Clone() const
{
    const RCPtr<LMenuDescriptor> copy = Create();
    CloneItemsInto(*copy);
    return copy;
}

void LMenuDescriptor::CloneItemsInto(LMenuDescriptor& copy) const
{
    for (std::uint32_t index = 0; index < mItems.GetCount(); ++index) {
        if (Failed(copy.InsertItem(copy.mItems.GetCount(), mItems.GetData()[index]->Clone()))) {
            ZV_THROW_OUT_OF_MEMORY();
        }
    }
}

LMenuItemDescriptor::LMenuItemDescriptor(const WideString& label, const WideString& notificationId,
                                         std::uint8_t enabled, std::uint8_t checked, std::uint8_t separator)
    : mLabel(label), mNotificationId(notificationId), mEnabled(enabled), mChecked(checked), mSeparator(separator)
{
}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::Create(const WideString& label, const WideString& notificationId,
                                                       std::uint8_t enabled, std::uint8_t checked)
{
    return RCPtr<LMenuItemDescriptor>(new LMenuItemDescriptor(label, notificationId, enabled, checked, 0));
}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::CreateSeparator()
{
    return RCPtr<LMenuItemDescriptor>(new LMenuItemDescriptor(WideString(), WideString(), 1, 0, 1));
}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::Clone() const
{
    const RCPtr<LMenuItemDescriptor> copy(
        new LMenuItemDescriptor(mLabel, mNotificationId, mEnabled, mChecked, mSeparator));
    copy->mShortcutText = mShortcutText;
    copy->mToolTip = mToolTip;
    CloneItemsInto(*copy);
    return copy;
}

}  // namespace ZV
