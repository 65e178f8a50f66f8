#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/Harness/RecordingControl.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/StringTable.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"

#include <string>

namespace ZV::Testing {

// A control that shows its first look and writes down in ControlEvents what input reaches its hooks: "name LeftDown
// 0" and "name LeftUp 1" (the double-click flag), "name Wheel", "name ToolTip 1" or "0", "name Enter", "name Leave",
// "name Edit 2", "name Key 112" (a key going down that it is offered, which it leaves to others) and "name Heard
// NID_HOTKEY_..." (a notification of that kind that reaches it). Tool tips show as any control's do. It
// takes the focus unless its create parameter "NOT_FOCUSABLE" is "true"; "TAKES_WHEEL" "true" has it handle wheel
// steps, which it otherwise declines; "TEXT_EDITOR" "n" makes it a text editor whose every edit answers n.
template <class Base>
class LInputControl : public Base {
public:
    using Base::Base;

    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override
    {
        mNotFocusable = Parameter(descriptor, L"NOT_FOCUSABLE") == "true";
        mTakesWheel = Parameter(descriptor, L"TAKES_WHEEL") == "true";
        const std::string editResult = Parameter(descriptor, L"TEXT_EDITOR");
        mTextEditor = !editResult.empty();
        mEditResult = mTextEditor ? std::stoi(editResult) : 0;
        return Base::ApplyDescriptor(descriptor);
    }
    [[nodiscard]] ZVRESULT OnInitialized() override
    {
        // Once the creation's own reading of the create parameters is done.
        this->SetNotFocusable(mNotFocusable);
        // Looks start without weight: a control that chooses none is neither drawn nor hit.
        if (this->GetLookCount() > 0) {
            (void)this->SelectLook(0);
        }
        return Base::OnInitialized();
    }
    void OnLeftButtonDown(const RCPtr<LMouseButtonParam>& press) override
    {
        Write("LeftDown " + std::to_string(press->IsDoubleClick()));
    }
    void OnLeftButtonUp(const RCPtr<LMouseButtonParam>& release) override
    {
        Write("LeftUp " + std::to_string(release->IsDoubleClick()));
    }
    [[nodiscard]] ZVRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>&) override
    {
        Write("Wheel");
        return mTakesWheel ? ZV_S_OK : ZV_S_FALSE;
    }
    [[nodiscard]] ZVRESULT ShowToolTip(bool show) override
    {
        Write("ToolTip " + std::to_string(show));
        return Base::ShowToolTip(show);
    }
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override
    {
        if ((key->GetKey().code & KeyCode::kKeyDown) != 0) {
            Write("Key " + std::to_string(key->GetKey().GetVirtualKey()));
        }
        return Base::OnKeyDown(key);
    }
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        const WideString id(notification->GetId());
        if (id.Find(L"NID_HOTKEY_") == 0) {
            Write(std::string("Heard ") + id.ToUTF8().GetData());
        }
        Base::ReceiveNotification(sender, notification);
    }
    [[nodiscard]] ZVRESULT OnMouseEnter() override
    {
        Write("Enter");
        return Base::OnMouseEnter();
    }
    [[nodiscard]] ZVRESULT OnMouseLeave() override
    {
        Write("Leave");
        return Base::OnMouseLeave();
    }
    bool IsTextEditor() const override { return mTextEditor; }
    bool CanPerformEdit(std::int32_t) const override { return mTextEditor; }
    [[nodiscard]] ZVRESULT PerformEdit(std::int32_t command) override
    {
        Write("Edit " + std::to_string(command));
        return mEditResult;
    }

private:
    static std::string Parameter(const RCPtr<LControlDescriptor>& descriptor, const wchar_t* key)
    {
        WideString text;
        if (descriptor && descriptor->GetCreateParams()) {
            descriptor->GetCreateParams()->GetString(key, text);
        }
        return text.ToUTF8().GetData();
    }
    void Write(const std::string& event) const
    {
        ControlEvents().push_back(std::string(this->GetName().ToUTF8().GetData()) + " " + event);
    }

    bool mNotFocusable = false;
    bool mTakesWheel = false;
    bool mTextEditor = false;
    ZVRESULT mEditResult = 0;
};

// The control of that name in the tree below the control (itself included), depth first; null when none.
inline RCPtr<LControl> FindControl(const RCPtr<LControl>& control, const wchar_t* name)
{
    if (!control || control->GetName() == name) {
        return control;
    }
    for (std::uint32_t index = 0; index < control->GetChildren().GetCount(); ++index) {
        if (RCPtr<LControl> found = FindControl(control->GetChildren().GetAt(index, LControl::kInsertionOrder), name)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace ZV::Testing
