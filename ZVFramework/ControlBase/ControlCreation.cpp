#include "ControlBase/Control.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "Notification/NotificationCenterManager.h"
#include "System/GlobalHotKeyManager.h"

namespace ZV {

namespace {

// A create parameter whose text, trimmed and in lower case, is "true".
bool IsFlagSet(const LStringTable* parameters, const wchar_t* key)
{
    WideString text;
    return parameters != nullptr && parameters->GetString(key, text) && text.Trim().ToLower() == L"true";
}

}  // namespace

RCPtr<LControl> LControl::CompleteCreation(const RCPtr<LControl>& control, const RCPtr<LControlDescriptor>& descriptor)
{
    if (!control) {
        return nullptr;
    }
    (void)control->ApplyDescriptor(descriptor);
    (void)control->CreateChildControls(descriptor);
    (void)control->Initialize();
    (void)control->OnInitialized();
    control->mCreated = true;
    return control;
}

ZVRESULT LControl::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    if (!descriptor) {
        return ZV_E_INVALIDARG;
    }
    if (mCreated) {
        (void)SetStateFlag(true);
    }
    mDescriptor = descriptor;
    InstallLayoutCopy(descriptor);
    return ZV_S_OK;
}

ZVRESULT LControl::CreateChildControls(const RCPtr<LControlDescriptor>& descriptor)
{
    (void)mChildren.Clear();
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    if (descriptor && factory) {
        const RCPtrArray<LControlDescriptor>& subControls = descriptor->GetSubControls();
        for (std::uint32_t index = 0; index < subControls.GetCount(); ++index) {
            const RCPtr<LControlDescriptor>& subControl = subControls.GetData()[index];
            if (!IsFlagSet(subControl->GetCreateParams().Get(), L"DEFER_CREATE")) {
                // The new control is a child now, or gone for a name that a sibling has.
                (void)factory->CreateControl(subControl, this);
            }
        }
    }
    (void)ApplyLayout();
    return ZV_S_OK;
}

ZVRESULT LControl::Initialize()
{
    mApplicationCentre = GetApplicationNotificationCenter();
    (void)GetNotificationHandler();
    (void)ProcessCreateParams();
    const RCPtr<LStringTable> table = GetStringTable();
    if (!table) {
        return ZV_S_OK;
    }
    table->GetString(L"TOOLTIP", mToolTipText);
    LoadLocalHotKeys(*table);
    if (mParent && mLocalHotKeys) {
        SubscribeToSiblingKeys();
    }
    return ZV_S_OK;
}

ZVRESULT LControl::OnInitialized()
{
    return ZV_S_OK;
}

void LControl::LoadLocalHotKeys(const LStringTable& table)
{
    static const WideString kPrefix(L"LHK");
    StringPairArray entries;
    (void)table.GetEntriesWithPrefix(kPrefix + WideString(L"."), entries);
    if (entries.GetCount() == 0) {
        return;
    }
    const RCPtr<LGlobalHotKeyManager> hotKeys = LGlobalHotKeyManager::Create(this);
    (void)hotKeys->LoadHotKeys(&table, kPrefix);
    for (std::uint32_t index = 0; index < entries.GetCount(); ++index) {
        const WideString& key = entries.GetData()[index].first;
        if (hotKeys->HasHotKey(key.MidToEnd(key.ReverseFind(L'.') + 1))) {
            // The table's notifications go to this control: its hold on the control is an internal reference.
            mLocalHotKeys = hotKeys;
            AddInternalReferences(1);
            return;
        }
    }
}

void LControl::SubscribeToSiblingKeys()
{
    // A subscription that fails leaves the control without its parent's sibling keys; nothing reports it.
    LNotificationHandler<LControl>& handler = GetNotificationHandler();
    (void)handler.AddHandler(&LControl::OnSiblingKey, mParent, L"NID_SIBLING_KEY", 0);
    (void)handler.MapHandler(&LControl::OnSiblingKey, L"NID_SIBLING_KEY");
}

}  // namespace ZV
