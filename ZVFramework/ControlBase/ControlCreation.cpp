#include "ControlBase/Control.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "Notification/NotificationCenterManager.h"
#include "System/GlobalHotKeyManager.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>

namespace ZV {

namespace {

// Whether the create parameters hold the flag, and then whether its text, trimmed and in lower case, is "true".
bool FindFlag(const LStringTable* parameters, const wchar_t* key, bool& value)
{
    WideString text;
    if (parameters == nullptr || !parameters->GetString(key, text)) {
        return false;
    }
    value = text.Trim().ToLower() == L"true";
    return true;
}

bool IsFlagSet(const LStringTable* parameters, const wchar_t* key)
{
    bool value = false;
    return FindFlag(parameters, key, value) && value;
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
    // Applied again, the skin changes under a control that shows: its enablement and text stay, and a change of
    // visibility is made as any other is.
    const bool reapplied = mCreated;
    const bool wasVisible = SettingsOf(this).isVisible;
    const bool wasEnabled = SettingsOf(this).isEnabled;
    if (reapplied) {
        (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), SettingsOf(this).clipToParent);
        (void)SetStateFlag(true);
    }
    mDescriptor = descriptor;
    InstallLayoutCopy(descriptor);
    if (!mParent && mRootWindow) {
        mLayout->isVisible = true;
        if (reapplied) {
            // The window keeps the size it has.
            const RectT<zlong> client = mRootWindow->GetScreenBounds();
            mLayout->xSize.abs = client.width;
            mLayout->ySize.abs = client.height;
        }
    }
    if (reapplied) {
        mLayout->isEnabled = wasEnabled;
        const bool visible = mLayout->isVisible;
        if (visible != wasVisible) {
            // Through SetVisible, so that the focus moves on and the window repaints.
            mLayout->isVisible = wasVisible;
            (void)SetVisible(visible);
        }
    }
    bool notFocusable = false;
    if (mFocus.notFocusableFixed) {
        notFocusable = mFocus.fixedNotFocusable;
    } else if (!FindFlag(descriptor->GetCreateParams().Get(), L"NOT_FOCUSABLE", notFocusable)) {
        notFocusable = mLayout->tabStop < 0;
    }
    SetNotFocusable(notFocusable);

    BuildLooks(*descriptor);
    const SkinFontSettings font =
        descriptor->GetSkinDescriptor() ? descriptor->GetSkinDescriptor()->GetFont() : SkinFontSettings();
    // A font that cannot be had leaves the control with the one it has.
    // Below 1 an absolute size is none, and the base font's size holds.
    const float size = font.size < 1.0f && !font.sizeIsRelative ? 0.0f : font.size;
    (void)SetFontSpec(font.inheritsFromParent, font.name, size, static_cast<std::uint32_t>(font.style),
                      font.sizeIsRelative);
    if (reapplied) {
        // The new looks take the text the control has, whatever it is.
        HandTextToLooks();
    } else if (const RCPtr<LStringTable> table = GetStringTable()) {
        WideString label;
        if (table->GetString(L"LABEL", label)) {
            (void)ApplyText(label, false);
        }
    }

    if (!mLayout->clipToParent && mParent) {
        mParent->InvalidateChildArea(this);
    }
    mPosition = PointT<double>();
    mSize = PointT<double>();
    (void)ApplyLayout();
    if (reapplied) {
        // The weights the new looks took over came from the old looks' numbers; the state that chose them did not
        // come along, and a skin with fewer looks may have had none for it.
        SelectStateLook();
    }
    return ZV_S_OK;
}

void LControl::BuildLooks(const LControlDescriptor& descriptor)
{
    // The client rectangle a layout pass keeps was framed by the looks that go.
    mLayoutState.clientRectKept = false;
    // The looks that go are held until the new ones are made: the parts both share are not made again.
    RCPtrArray<LLook> previous;
    const Array<float> previousWeights = mLooks.weights;
    if (Failed(previous.Assign(mLooks.looks)) || Failed(mLooks.looks.Clear()) || Failed(mLooks.weights.Clear())) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    const RCPtr<LSkinDescriptor>& skin = descriptor.GetSkinDescriptor();
    const RCPtr<LLookList> list = skin ? skin->GetLookList() : nullptr;
    if (!list) {
        return;
    }
    const bool wordWrap = mLayout->textOverflowXType == kTextOverflowWrap;
    for (std::uint32_t index = 0; index < list->GetCount(); ++index) {
        // A look number the skin gives no look keeps its place, empty, so that the numbers stay the skin's.
        const RCPtr<LLookDescriptor> look = list->GetLook(index);
        (void)AddLook(look ? LLook::Create(look, wordWrap) : nullptr);
    }
    WeighNewLooks(previousWeights);
}

void LControl::WeighNewLooks(const Array<float>& previousWeights)
{
    // Under a new skin the looks of the same numbers take the weights the old ones had: a class may choose its look
    // by more than its state (a value, a row), and SelectStateLook then weighs the state's part again.
    float* weights = mLooks.weights.GetData();
    std::copy_n(previousWeights.GetData(), std::min(previousWeights.GetCount(), mLooks.weights.GetCount()), weights);
    // Else it shows its first look until its class chooses another: a control whose looks all weigh nothing shows
    // neither itself nor its children.
    if (GetActiveLookIndex() < 0 && mLooks.weights.GetCount() > 0) {
        std::fill_n(weights, mLooks.weights.GetCount(), 0.0f);
        weights[0] = 1.0f;
    }
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
