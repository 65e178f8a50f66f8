#include "Controls/StatusBar.h"

#include "Controls/Label.h"
#include "Utilities/Storage/WrapperStringable.h"

namespace ZV {

namespace {

const wchar_t kSetStatusText[] = L"NID_SET_STATUS_TEXT";

}  // namespace

ZVRESULT LStatusBar::PostText(const WideString& text)
{
    const RCPtr<LNotification> notification =
        LNotification::Create(kSetStatusText, ConstRCPtr<LRefCountedObject>(LStringWrapper::Create(text)));
    return PostNotification(notification);
}

ZVRESULT LStatusBar::SetTextNow(const WideString& text)
{
    const RCPtr<LStatusBar> self(this);
    (void)ProcessNotifications(false);
    ShowText(text);
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
        (void)window->RedrawAll();
    }
    return ZV_S_OK;
}

WideString LStatusBar::GetDefaultText() const
{
    return mLabel ? mLabel->GetString(L"LABEL") : WideString();
}

ZVRESULT LStatusBar::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    mOwnHandler = new LNotificationHandler<LStatusBar>(this);
    // Of the texts queued between two idle passes, only the latest reaches the label.
    (void)mOwnHandler->AddHandler(&LStatusBar::OnSetStatusText, this, kSetStatusText, kNotifyLatestOnly);
    if (Succeeded(AttachDistributor(ConstRCPtr<LNotificationDistributor>(this)))) {
        AddInternalReferences(1);
    }
    // A bar that hears no idle passes shows what was posted at its next SetTextNow.
    (void)BeginIdleNotifications();
    mLabel = RCPtr<LLabel>(FindChildByName(L"label1"));
    return result;
}

ZVRESULT LStatusBar::ProcessCreateParams()
{
    const ZVRESULT result = LControl::ProcessCreateParams();
    FixNotFocusable(true);
    return result;
}

void LStatusBar::OnIdle(const RCPtr<LNotification>&)
{
    (void)ProcessNotifications(false);
}

ZVRESULT LStatusBar::ReleaseInternalReferences()
{
    ConstRCPtr<LNotificationDistributor> attached = DetachDistributor();
    if (attached.Get() == static_cast<const LNotificationDistributor*>(this)) {
        // Lowered before the reference goes, so that its release is not taken for the last outside one.
        AddInternalReferences(-1);
    }
    attached = nullptr;
    (void)LNotificationQueue::ReleaseInternalReferences();
    return LControl::ReleaseInternalReferences();
}

bool LStatusBar::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mOwnHandler, sender, notification) ||
           LControl::OfferToNotificationHandlers(sender, notification);
}

void LStatusBar::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mOwnHandler, distributor, id);
    LControl::EraseNotificationBindings(distributor, id);
}

std::int32_t LStatusBar::OnSetStatusText(const ConstRCPtr<LNotificationDistributor>&,
                                         const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LStringWrapper> text(notification->GetParameter());
    if (text) {
        ShowText(*text);
    }
    return 1;
}

void LStatusBar::ShowText(const WideString& text)
{
    if (mLabel) {
        (void)mLabel->SetText(text);
    }
}

}  // namespace ZV
