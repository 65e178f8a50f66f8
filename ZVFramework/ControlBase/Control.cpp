#include "ControlBase/Control.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "Notification/ConditionsParam.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "System/GlobalHotKeyManager.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

LControl::LControl(const RCPtr<LControl>& parent, const WideString& name) : mName(name), mChildren(*this)
{
    mFocus.conditions = LConditionsParam::Create(0, 0, {});
    if (const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory()) {
        mStringTable = factory->GetControlStringTable(parent.Get(), name);
    }
    // Last, so that nothing that can fail comes after the parent holds the control. A parent that has a child of
    // this name leaves the control without one.
    (void)SetParent(parent);
}

LControl::~LControl() = default;

const RCPtr<LControl>& LControl::FindChildByName(const WideString& name) const
{
    return mChildren.Find(name);
}

std::int32_t LControl::IndexOfChild(const LControl* child, std::int32_t order) const
{
    return mChildren.IndexOf(child, order);
}

WideString LControl::GetString(const WideString& id) const
{
    WideString text;
    if (const RCPtr<LStringTable> table = GetStringTable()) {
        table->GetString(id, text);
    }
    return text;
}

RCPtr<LStringTable> LControl::GetStringTable() const
{
    return mStringTable;
}

const RCPtr<IRootWindow>& LControl::GetRootWindowRef() const
{
    const LControl* top = this;
    while (top->mParent) {
        top = top->mParent.Get();
    }
    return top->mRootWindow;
}

RCPtr<LControl> LControl::GetTopControl() const
{
    LControl* top = const_cast<LControl*>(this);
    while (top->mParent) {
        top = top->mParent.Get();
    }
    return top;
}

KeyCode LControl::GetHotKeyCode(const WideString& notificationId) const
{
    if (mLocalHotKeys) {
        const Array<KeyCode> keys = mLocalHotKeys->GetHotKeys(notificationId);
        if (keys.GetCount() != 0) {
            return keys.GetData()[0];
        }
    }
    KeyCode none;
    none.code = KeyCode::kNoKey;
    return none;
}

bool LControl::HasHotKey(const KeyCode& key) const
{
    return mLocalHotKeys && !mLocalHotKeys->FindNotification(key).IsEmpty();
}

void LControl::ApplyCursor() const
{
    if (const RCPtr<IRootWindow>& rootWindow = GetRootWindowRef()) {
        (void)rootWindow->SetCursor(mFocus.cursor);
    }
}

const RCPtr<LMenuItemUpdater>& LControl::GetMenuItemUpdater()
{
    if (!mMenuItemUpdater) {
        mMenuItemUpdater = LMenuItemUpdater::Create(this);
        AddInternalReferences(1);
    }
    return mMenuItemUpdater;
}

WideString LControl::GetToolTipText() const
{
    return mToolTipText;
}

bool LControl::IsTextEditor() const
{
    return false;
}

RCPtr<LControl> LControl::FindTextEditor()
{
    if (IsTextEditor()) {
        return this;
    }
    return mParent ? mParent->FindTextEditor() : nullptr;
}

bool LControl::CanPerformEdit(std::int32_t) const
{
    return false;
}

ZVRESULT LControl::PerformEdit(std::int32_t)
{
    ZV_THROW(std::logic_error, "LControl::PerformEdit must be overridden");
}

ZVRESULT LControl::IsCommandEnabled(std::uint32_t, std::uint32_t, const WideString&, MenuItemInfo&)
{
    return ZV_S_FALSE;
}

LNotificationHandler<LControl>& LControl::GetNotificationHandler()
{
    if (!mHandler) {
        mHandler = new LNotificationHandler<LControl>(this);
    }
    return *mHandler;
}

void LControl::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification)
{
    if (mCreated) {
        // A handler may let the last outside reference go.
        const RCPtr<LControl> self(this);
        (void)OfferToNotificationHandlers(sender, notification);
    }
}

ZVRESULT LControl::UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseNotificationBindings(distributor, id);
    return LNotificationClient::UnregisterForNotification(distributor, id);
}

bool LControl::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification);
}

void LControl::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
}

void LControl::SendNotificationTo(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* id,
                                  const ConstRCPtr<LRefCountedObject>& parameter)
{
    const RCPtr<LNotification> notification = LNotification::Create(id, parameter);
    if (receiver && notification) {
        receiver->ReceiveNotification(nullptr, notification);
    }
}

ZVRESULT LControl::ReleaseInternalReferences()
{
    UnregisterAllNotifications();
    if (mMenuItemUpdater) {
        // A menu may hold the updater longer than the control lives.
        mMenuItemUpdater->ReleaseControl();
        AddInternalReferences(-1);
        mMenuItemUpdater = nullptr;
    }
    if (mLocalHotKeys) {
        AddInternalReferences(-1);
        mLocalHotKeys = nullptr;
    }
    (void)mChildren.Clear();
    (void)UnregisterAllClients();
    return LRefCountedObject::ReleaseInternalReferences();
}

RCPtr<LControl> LControl::FindHandlingAncestor(const RCPtr<LControl>& dragged, const PointT<double>& point)
{
    RCPtr<LControl> result(this);
    RCPtrArray<LControl> tried;
    while (result && !result->CanHandle(dragged)) {
        if (SettingsOf(result.Get()).clipToParent) {
            result = result->mParent;
            continue;
        }
        const RCPtr<IRootWindow> rootWindow = result->GetRootWindowRef();
        // Back at a control that was looked past already (under the point lies a child of it that clips): the
        // window has nothing further to offer, and asking again would give the same answer for ever.
        if (!rootWindow || tried.IndexOf(result) >= 0) {
            return nullptr;
        }
        if (Failed(tried.AddItem(result))) {
            throw Exception<std::bad_alloc>();
        }
        const auto markTried = [&](bool excluded) {
            if (dragged) {
                dragged->mMouse.excluded = excluded;
            }
            for (std::uint32_t i = 0; i < tried.GetCount(); ++i) {
                tried.GetData()[i]->mMouse.excluded = excluded;
            }
        };
        markTried(true);
        PointT<zlong> localPoint;
        result = rootWindow->HitTest(point.ToLongPoint(), localPoint, false);
        markTried(false);
    }
    return result;
}

}  // namespace ZV
