#include "ControlBase/Dialog.h"

#include "ControlBase/NotificationSending.h"

namespace ZV {

LDialog::LDialog(const RCPtr<LControl>& parent, const WideString& name) : LControl(parent, name) {}

void LDialog::Close(std::int32_t result)
{
    RunClose(result, true);
}

void LDialog::CloseWithoutVeto(std::int32_t result)
{
    RunClose(result, false);
}

void LDialog::RunClose(std::int32_t result, bool mayBeCancelled)
{
    if (mClosed) {
        return;
    }
    // The show reference goes below, and receivers may let theirs go.
    const RCPtr<LControl> self(this);
    mResult = result;
    RCPtr<LCancelArgs> closing;
    SendClosing(closing);
    // A receiver kept the dialog open, or closed it itself meanwhile.
    if ((mayBeCancelled && closing->IsCancelled()) || mClosed) {
        return;
    }
    mClosed = true;
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
        // A window that no OS window shows has no loop to end.
        (void)window->EndModal(mResult);
    }
    SendNewNotification(*this, L"NID_DIALOG_CLOSED", nullptr);
    OnClosed();
    (void)Release();
}

void LDialog::SendClosing(RCPtr<LCancelArgs>& closing)
{
    closing = new LCancelArgs();
    SendNewNotification(*this, L"NID_DIALOG_CLOSING", closing);
}

void LDialog::OnClosed() {}

}  // namespace ZV
