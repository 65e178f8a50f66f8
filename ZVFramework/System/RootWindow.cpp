// The root window as an object: its making and ending, the tree it shows, its idle pass and modal end, and the
// keyboard focus as the window gains and loses it.
#include "System/RootWindow.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/Dialog.h"
#include "ControlBase/StringTable.h"
#include "Notification/NotificationReceiver.h"

namespace ZV {

LRootWindow::LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
    : LNotificationCenter(L"root window"), mRenderer(renderer), mServices(services)
{
}

LRootWindow::~LRootWindow() = default;

RCPtr<LRootWindow> LRootWindow::Create(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
{
    RCPtr<LRootWindow> window(new LRootWindow(renderer, services));
    window->ResetHotKeys();
    // A desktop window has no cursor of its own until it is given one: it would show the desktop's until the first
    // control or wait asked for another.
    (void)window->SetCursor(0);
    return window;
}

RCPtr<IRootWindowTarget> LRootWindow::CreateForWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* services)
{
    return Create(renderer, services);
}

// What the hot keys send goes into the window's queue.
void LRootWindow::ResetHotKeys()
{
    const ConstRCPtr<LNotificationReceiver> queue = GetPostingReceiver();
    mHotKeys =
        LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(const_cast<LNotificationReceiver*>(queue.Get())));
}

ConstRCPtr<LNotificationDistributor> LRootWindow::GetNotificationDistributor() const
{
    return this;
}

void LRootWindow::ClearInteractionState()
{
    mFocusControl = nullptr;
    mRememberedFocusControl = nullptr;
    mHoverControl = nullptr;
    mToolTipControl = nullptr;
    mCaptureControl = nullptr;
    mDoubleClicks = 0;
}

ZVRESULT LRootWindow::SetRootControl(const RCPtr<LControl>& control)
{
    if (control == mRootControl) {
        // Taken out and put back, it would come back hidden.
        return ZV_S_FALSE;
    }
    // Held: the old root may hold the last outside reference but one.
    const RCPtr<LRootWindow> self(this);
    ClearInteractionState();
    if (const RCPtr<LControl> old = std::move(mRootControl)) {
        if (std::exchange(mRootControlHoldsWindow, false)) {
            // Before the control lets go of the window, so that its release is not taken for the last outside one.
            AddInternalReferences(-1);
        }
        old->Detach();
        ResetHotKeys();
    }
    if (!control) {
        return ZV_S_OK;
    }
    mRootControl = control;
    if (const RCPtr<LStringTable> table = control->GetStringTable()) {
        (void)mHotKeys->LoadHotKeys(table, L"GHK");
    }
    if (!control->GetRootWindowRef()) {
        (void)control->SetRootWindow(this);
    }
    if (control->GetRootWindowRef().Get() == static_cast<IRootWindow*>(this)) {
        mRootControlHoldsWindow = true;
        AddInternalReferences(1);
    }
    (void)control->FillClientArea();
    if (!mFocusControl && mServices != nullptr) {
        if (mServices->HasFocus()) {
            (void)control->SetFocus(true);
        } else {
            (void)mServices->SetFocus();
        }
    }
    const RectT<zlong> bounds = GetScreenBounds();
    InvalidateRect(RectT<double>(0, 0, bounds.width, bounds.height));
    return ZV_S_OK;
}

ZVRESULT LRootWindow::CreateRootControl(const WideString& name)
{
    if (name.IsEmpty()) {
        return SetRootControl(nullptr);
    }
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    const RCPtr<LControl> control = factory ? factory->CreateControlByName(name, this) : nullptr;
    if (!control) {
        return ZV_E_FAIL;
    }
    return SetRootControl(control);
}

bool LRootWindow::IsActive() const
{
    return mServices != nullptr && mServices->IsActive();
}

void LRootWindow::ClearFocusControl()
{
    if (mFocusControl) {
        mRememberedFocusControl = std::move(mFocusControl);
    }
}

void LRootWindow::OnSetFocus()
{
    const RCPtr<LControl> remembered = mRememberedFocusControl;
    if (!mFocusControl && remembered && remembered->GetRootWindowRef().Get() == static_cast<IRootWindow*>(this)) {
        (void)remembered->SetFocus(true);
    } else if (const RCPtr<LControl> root = mRootControl) {
        (void)root->SetFocus(true);
    }
}

void LRootWindow::OnKillFocus()
{
    SetHoverControl(nullptr);
    if (const RCPtr<LControl> root = mRootControl) {
        // Taken first, so that the release finds the focused control and the window remembers it.
        (void)root->SetFocus(true);
        (void)root->ReleaseFocus();
    }
}

RCPtr<ITextEditTarget> LRootWindow::FindFocusedTextEditor()
{
    const RCPtr<LControl> focused = mFocusControl;
    return focused ? RCPtr<ITextEditTarget>(focused->FindTextEditor()) : nullptr;
}

void LRootWindow::NotifyTextEditing(bool start, const RCPtr<LControl>& control, std::int32_t value)
{
    if (mServices != nullptr && (!start || (control && control->IsTextEditor()))) {
        mServices->OnTextEditing(start, value);
    }
}

ZVRESULT LRootWindow::SetTitle(const WideString& title)
{
    return mServices != nullptr ? mServices->SetTitle(title) : ZV_E_FAIL;
}

ZVRESULT LRootWindow::EndModal(std::int32_t result)
{
    if (mServices == nullptr) {
        return ZV_E_FAIL;
    }
    mModalResult = result;
    mModalEndRequested = true;
    return ZV_S_OK;
}

bool LRootWindow::OnIdle(bool sendIdle)
{
    // Held: a subscriber may end the window.
    const RCPtr<LRootWindow> self(this);
    const bool pending = ProcessNotifications(sendIdle);
    if (mModalEndRequested && mServices != nullptr) {
        mModalEndRequested = false;
        (void)mServices->EndModal(mModalResult);
    }
    return pending;
}

void LRootWindow::RequestClose()
{
    if (const RCPtr<LDialog> dialog{mRootControl}) {
        dialog->Close(LDialog::kCloseBoxResult);
    } else if (mServices != nullptr) {
        (void)EndModal(0);
    }
}

std::int32_t LRootWindow::CloseForLostWindow()
{
    const RCPtr<LDialog> dialog{mRootControl};
    if (dialog) {
        dialog->CloseWithoutVeto(LDialog::kCloseBoxResult);
    }
    // Also for a dialog that had closed before: its loop may not have ended yet.
    const std::int32_t result = dialog ? dialog->GetResult() : 0;
    (void)EndModal(result);
    return result;
}

ZVRESULT LRootWindow::ReleaseInternalReferences()
{
    // Held, so that no release on the way takes itself for the last outside reference.
    const RCPtr<LRootWindow> self(this);
    (void)UnregisterAllClients();
    // The OS window's reference goes with its services.
    const bool windowLinked = mServices != nullptr;
    mServices = nullptr;
    (void)SetRootControl(nullptr);
    (void)LNotificationCenter::ReleaseInternalReferences();
    if (windowLinked) {
        AddInternalReferences(-1);
    }
    return GetInternalRefCount() == 0 && GetRefCount() == 2 ? ZV_S_OK : ZV_E_FAIL;
}

}  // namespace ZV
