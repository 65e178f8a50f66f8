// The text box as an object: creation, its text, validation and the edit commands.
#include "Controls/TextBox.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/FontText.h"
#include "ControlBase/Look.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/NotificationSending.h"
#include "ControlBase/StringTable.h"
#include "Controls/TextWords.h"
#include "System/ClipBoard.h"
#include "System/TextEditTarget.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <algorithm>

namespace ZV {

namespace {

constexpr std::int32_t kCueLook = 9;
// The largest extent a double holds exactly at whole pixels.
constexpr double kExtentLimit = 4503599627370496.0;

struct EditMenuEntry {
    const wchar_t* labelId;
    const wchar_t* notificationId;
    std::int32_t command;
};

constexpr EditMenuEntry kEditMenu[] = {
    {L"EDIT_CUT", L"NID_EDIT_CUT_REQ", kEditCut},
    {L"EDIT_COPY", L"NID_EDIT_COPY_REQ", kEditCopy},
    {L"EDIT_PASTE", L"NID_EDIT_PASTE_REQ", kEditPaste},
    {L"EDIT_DELETE", L"NID_EDIT_DELETE_REQ", kEditDelete},
};

// The text on the application's clipboard; false when it holds none.
bool ReadClipboardText(WideString& text)
{
    const RCPtr<LRefCountedObject> content = GetClipboard()->GetContent();
    const auto* clipboardText = dynamic_cast<const WideString*>(content.Get());
    if (clipboardText == nullptr) {
        return false;
    }
    text = *clipboardText;
    return true;
}

}  // namespace

LTextBox::LTextBox(const RCPtr<LControl>& parent, const WideString& name)
    : LScrollView(parent, name), mEditor(*this)
{
}

LTextBox::~LTextBox() = default;

ZVRESULT LTextBox::Initialize()
{
    const ZVRESULT result = Base::Initialize();
    if (Failed(result)) {
        return result;
    }
    SetLabelTextScrolls(true);
    UpdateCaretRect();
    // The box shows its state's look from the start, not only after its state first changes.
    SelectStateLook();
    return ZV_S_OK;
}

ZVRESULT LTextBox::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const WideString text = GetText();
    const ZVRESULT result = Base::ApplyDescriptor(descriptor);
    WideString label;
    if (const RCPtr<LStringTable> table = GetStringTable(); table && table->GetString(L"LABEL", label)) {
        // The label is no text to edit: it shows in place of an empty text.
        (void)ApplyText(text, false);
        mCueText = label;
    }
    if (!mCueText.IsEmpty()) {
        if (const RCPtr<LLook> cueLook = GetLookCount() > kCueLook ? GetLook(kCueLook) : nullptr) {
            (void)cueLook->SetText(mCueText);
        }
        SelectStateLook();
    }
    return result;
}

void LTextBox::ProcessRootWindowAquired()
{
    // The tree's idle subscriptions (the caret's blink among them) follow it into the window.
    Base::ProcessRootWindowAquired();
    BuildEditMenu();
}

void LTextBox::BuildEditMenu()
{
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    const RCPtr<LStringTable> strings = factory ? factory->GetFrameworkStringTable() : nullptr;
    if (!strings) {
        return;
    }
    const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
    for (const EditMenuEntry& entry : kEditMenu) {
        WideString label;
        (void)strings->GetString(entry.labelId, label);
        // Appending to a menu of our own fails only for want of memory; the menu then lacks the item.
        (void)menu->InsertNewItem(menu->GetItems().GetCount(), label, entry.notificationId, 1, 0);
    }
    (void)SetContextMenuDescriptor(menu);
}

ZVRESULT LTextBox::SetText(const WideString& text)
{
    return ChangeText(text, true);
}

ZVRESULT LTextBox::ChangeText(const WideString& text, bool resetCaret)
{
    if (!ApplyText(text, true)) {
        return ZV_S_FALSE;
    }
    // Subscribers may let the last outside reference go.
    const RCPtr<LControl> self(this);
    const RCPtr<LLook> look = GetLookCount() > 0 ? GetLook(0) : nullptr;
    const PointT<zlong> size = look && look->GetText() ? look->GetText()->GetSize() : PointT<zlong>();
    // The same extent again changes nothing.
    (void)SetClientExtent(std::clamp(static_cast<double>(size.x), -kExtentLimit, kExtentLimit),
                          std::clamp(static_cast<double>(size.y), -kExtentLimit, kExtentLimit));
    mEditor.OnTextReplaced(resetCaret);
    if (!mCueText.IsEmpty()) {
        if (const RCPtr<LLook> cueLook = GetLookCount() > kCueLook ? GetLook(kCueLook) : nullptr) {
            (void)cueLook->SetText(mCueText);
        }
        SelectStateLook();
    }
    SendNewNotification(*this, L"NID_TEXTBOX_TEXT_CHANGE", ConstRCPtr<LRefCountedObject>(this));
    return ZV_S_OK;
}

RCPtr<LTextValidationParams> LTextBox::Validate()
{
    const RCPtr<LControl> self(this);
    const RCPtr<LTextValidationParams> params = LTextValidationParams::Create(GetText());
    SendNewNotification(*this, L"NID_TEXTBOX_VALIDATING", params);
    if (params->IsValid() && params->GetText() != GetText()) {
        (void)ChangeText(params->GetText(), false);
    }
    if (params->IsValid()) {
        SendNewNotification(*this, L"NID_TEXTBOX_VALIDATED", params);
    }
    return params;
}

ZVRESULT LTextBox::SetFocus(bool forward)
{
    if ((GetConditions() & ConditionMask::kHasFocus) != 0) {
        // A focused box commits its text again; only leaving it asks whether it may.
        (void)Validate();
    }
    return Base::SetFocus(forward);
}

bool LTextBox::CanReleaseFocus()
{
    return Validate()->IsValid();
}

std::int32_t LTextBox::FindNextWordStart() const
{
    return ZV::FindNextWordStart(GetText(), mEditor.GetCaret());
}

std::int32_t LTextBox::FindPreviousWordStart() const
{
    return ZV::FindPreviousWordStart(GetText(), mEditor.GetCaret());
}

bool LTextBox::CanPerformEdit(std::int32_t command) const
{
    if (command == kEditDelete || command == kEditCut || command == kEditCopy) {
        return mEditor.HasSelection();
    }
    WideString text;
    return ReadClipboardText(text) && mEditor.FitsInPlaceOfSelection(static_cast<std::int32_t>(text.GetLength()));
}

ZVRESULT LTextBox::PerformEdit(std::int32_t command)
{
    const RCPtr<LControl> self(this);
    switch (command) {
    case kEditDelete:
    case kEditCut:
    case kEditCopy:
        if (!mEditor.HasSelection()) {
            return ZV_E_FAIL;
        }
        if (command != kEditDelete) {
            // A desktop that refuses the text still leaves it on the application's clipboard.
            (void)GetClipboard()->SetContent(LStringWrapper::Create(mEditor.GetSelectedText()));
        }
        if (command != kEditCopy) {
            mEditor.DeleteSelection();
        }
        return ZV_S_OK;
    case kEditPaste: {
        WideString text;
        if (!ReadClipboardText(text)) {
            return ZV_E_FAIL;
        }
        return mEditor.HasSelection() ? mEditor.ReplaceSelection(text) : mEditor.InsertAtCaret(text);
    }
    default:
        return ZV_E_FAIL;
    }
}

ZVRESULT LTextBox::IsCommandEnabled(std::uint32_t, std::uint32_t, const WideString& notificationId,
                                    MenuItemInfo& state)
{
    for (const EditMenuEntry& entry : kEditMenu) {
        if (notificationId == entry.notificationId) {
            state.enabled = GetClipboard()->CanPerformEdit(entry.command) ? 1 : 0;
            return ZV_S_OK;
        }
    }
    return ZV_S_FALSE;
}

}  // namespace ZV
