#include "Controls/TabControl.h"

#include "ControlBase/NotificationSending.h"

namespace ZV {

namespace {

const RCPtr<LControl>& ChildAt(const LControl& holder, std::uint32_t index)
{
    return holder.GetChildren().GetAt(index, LControl::kInsertionOrder);
}

}  // namespace

std::uint32_t LTabControl::GetPageCount() const
{
    return mPageHolder ? mPageHolder->GetChildren().GetCount() : 0;
}

std::int32_t LTabControl::IndexOfPage(const WideString& name) const
{
    for (std::uint32_t index = GetPageCount(); index-- > 0;) {
        if (ChildAt(*mPageHolder, index)->GetName() == name) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

std::int32_t LTabControl::GetSelectedPageIndex() const
{
    return IndexOfPage(mSelectedName);
}

RCPtr<LControl> LTabControl::GetSelectedPage() const
{
    const std::int32_t index = GetSelectedPageIndex();
    return index >= 0 ? GetPageAt(static_cast<std::uint32_t>(index)) : nullptr;
}

const WideString& LTabControl::GetSelectedPageName() const
{
    return mSelectedName;
}

RCPtr<LControl> LTabControl::GetPage(const WideString& name) const
{
    const std::int32_t index = IndexOfPage(name);
    return index >= 0 ? GetPageAt(static_cast<std::uint32_t>(index)) : nullptr;
}

RCPtr<LControl> LTabControl::GetPageAt(std::uint32_t index) const
{
    return index < GetPageCount() ? ChildAt(*mPageHolder, index) : nullptr;
}

ZVRESULT LTabControl::SelectTab(const WideString& name)
{
    if (!mButtonHolder) {
        return ZV_E_FAIL;
    }
    // The buttons and pages hand values and visibility on to others, who may change the holders' children.
    const RCPtr<LTabControl> self(this);
    RCPtrArray<LControl> controls;
    mButtonHolder->GetChildren().TakeSnapshot(controls);
    for (std::uint32_t index = controls.GetCount(); index-- > 0;) {
        LControl& button = *controls.GetData()[index];
        (void)button.SetValue(button.GetName() == name ? 1.0 : 0.0);
    }
    if (!mPageHolder) {
        return ZV_E_FAIL;
    }
    mPageHolder->GetChildren().TakeSnapshot(controls);
    for (std::uint32_t index = controls.GetCount(); index-- > 0;) {
        LControl& page = *controls.GetData()[index];
        (void)page.SetVisible(page.GetName() == name);
    }
    mSelectedName = name;
    OnTabSelected(GetSelectedPageIndex());
    SendNewNotification(*this, L"NID_TAB_SELECTED", GetSelectedPage());
    return ZV_S_OK;
}

ZVRESULT LTabControl::SelectTabAt(std::uint32_t index)
{
    if (!mButtonHolder || index >= mButtonHolder->GetChildren().GetCount()) {
        return ZV_E_FAIL;
    }
    return SelectTab(ChildAt(*mButtonHolder, index)->GetName());
}

void LTabControl::OnTabSelected(std::int32_t) {}

ZVRESULT LTabControl::Initialize()
{
    if (Failed(LPanel::Initialize())) {
        return ZV_E_FAIL;
    }
    mButtonHolder = RCPtr<LPanel>(FindChildByName(L"buttonHolder"));
    mPageHolder = RCPtr<LPanel>(FindChildByName(L"pageHolder"));
    const ZVRESULT selected = SelectTabAt(0);
    if (Failed(selected)) {
        return selected;
    }
    mOwnHandler = new LNotificationHandler<LTabControl>(this);
    const LControl::ChildControlList& buttons = mButtonHolder->GetChildren();
    for (std::uint32_t index = 0; index < buttons.GetCount(); ++index) {
        // A button that cannot be subscribed is one that clicks select nothing with; the others still work.
        (void)mOwnHandler->AddHandler(&LTabControl::OnTabButtonClick, ChildAt(*mButtonHolder, index),
                                      L"NID_LEFT_CLICK", 0);
    }
    return selected;
}

ZVRESULT LTabControl::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const ZVRESULT result = LPanel::ApplyDescriptor(descriptor);
    if (IsCreated()) {
        (void)SelectTab(WideString(mSelectedName));
    }
    return result;
}

bool LTabControl::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                              const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mOwnHandler, sender, notification) ||
           LPanel::OfferToNotificationHandlers(sender, notification);
}

void LTabControl::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mOwnHandler, distributor, id);
    LPanel::EraseNotificationBindings(distributor, id);
}

std::int32_t LTabControl::OnTabButtonClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>&)
{
    const ConstRCPtr<LControl> button(sender);
    if (button) {
        (void)SelectTab(WideString(button->GetName()));
    }
    return 1;
}

}  // namespace ZV
