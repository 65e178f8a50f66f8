// The fake root window's hot keys, Tab at the top of the tree, modifier keys and named cursors.
#include "ControlBase/Harness/FakeRootWindow.h"

#include "ControlBase/KeyParams.h"
#include "System/CursorNames.h"

namespace ZV::Testing {

RCPtr<LGlobalHotKeyManager> LFakeRootWindow::GetHotKeyManager()
{
    if (!mHotKeys) {
        // The queue's receiver posts what it is handed; it changes nothing of the queue it is reached through.
        const ConstRCPtr<LNotificationReceiver> queue = GetPostingReceiver();
        mHotKeys = LGlobalHotKeyManager::Create(const_cast<LNotificationReceiver*>(queue.Get()));
    }
    return mHotKeys;
}

void LFakeRootWindow::MoveFocusOnTab(const RCPtr<LKeyParam>& key)
{
    ++mTabMoves;
    if (const RCPtr<LControl> root = mRootControl) {
        (void)root->ReleaseFocus();
        (void)root->SetFocus(!key || (key->GetKey().code & KeyCode::kShift) == 0);
    }
}

CursorHandle LFakeRootWindow::GetNamedCursor(const wchar_t* name)
{
    const WideString* names = GetCursorNames();
    for (std::size_t index = 0; index < kCursorNameCount; ++index) {
        if (names[index] == name) {
            return 0x100 + index;
        }
    }
    return 0;
}

}  // namespace ZV::Testing
