#pragma once

#include "Application/Gui/SkinApplication.h"
#include "Notification/NotificationCenterManager.h"
#include "System/ClipBoard.h"
#include "System/GlobalHotKeyManager.h"

#include <string>

namespace ZV::Testing {

// An application whose hot keys cut, copy and paste, as its string tables give them.
class EditHotKeysApplication : public SkinApplication {
public:
    EditHotKeysApplication(const std::string& folder, const wchar_t* applicationName)
        : SkinApplication(folder, applicationName)
    {
        const ConstRCPtr<LNotificationReceiver> posting = GetApplicationNotificationCenter()->GetPostingReceiver();
        mHotKeys = LGlobalHotKeyManager::Create(const_cast<LNotificationReceiver*>(posting.Get()));
        (void)mHotKeys->RegisterHotKey(KeyCode('X', true, 0, kModifierCtrl), L"NID_EDIT_CUT_REQ");
        (void)mHotKeys->RegisterHotKey(KeyCode('C', true, 0, kModifierCtrl), L"NID_EDIT_COPY_REQ");
        (void)mHotKeys->RegisterHotKey(KeyCode('V', true, 0, kModifierCtrl), L"NID_EDIT_PASTE_REQ");
    }
    RCPtr<LGlobalHotKeyManager> GetHotKeyManager() override { return mHotKeys; }

private:
    RCPtr<LGlobalHotKeyManager> mHotKeys;
};

// The application's clipboard on the desktop while it lives, taking the edit requests; the one before it after.
class DesktopClipboard {
public:
    DesktopClipboard() : mClipboard(LClipboard::Create()), mPrevious(SetClipboard(mClipboard))
    {
        mClipboard->Initialize();
    }
    ~DesktopClipboard() { (void)SetClipboard(mPrevious); }
    DesktopClipboard(const DesktopClipboard&) = delete;
    DesktopClipboard& operator=(const DesktopClipboard&) = delete;

    // Its text, "(none)" without one.
    static std::string Text()
    {
        const RCPtr<LRefCountedObject> content = GetClipboard()->GetContent();
        const auto* text = dynamic_cast<const WideString*>(content.Get());
        return text != nullptr ? text->ToUTF8().GetData() : "(none)";
    }

private:
    RCPtr<LClipboard> mClipboard;
    RCPtr<LClipboard> mPrevious;
};

}  // namespace ZV::Testing
