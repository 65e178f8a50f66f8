#include "ControlBase/Control.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/SortPredicates.h"

#include <new>

namespace ZV {

void LControl::AdjustUnclippedCounts(LControl* from, std::int32_t delta)
{
    for (LControl* control = from; control != nullptr; control = control->mParent.Get()) {
        control->mUnclippedDescendants += delta;
    }
}

bool LControl::CountsAsUnclipped() const
{
    return mLayout && !mLayout->clipToParent;
}

void LControl::InstallLayoutCopy(const RCPtr<LControlDescriptor>& descriptor)
{
    const bool wasUnclipped = CountsAsUnclipped();
    const RCPtr<LLayoutDescriptor>& rules = descriptor->GetLayoutDescriptor();
    mLayout = rules ? new LLayoutDescriptor(*rules) : new LLayoutDescriptor();
    if (mParent) {
        // Controls are attached before their skin gives them a layout: the ancestors count them from here.
        AdjustUnclippedCounts(mParent.Get(), (CountsAsUnclipped() ? 1 : 0) - (wasUnclipped ? 1 : 0));
        mParent->mChildren.MarkOrderChanged();
    }
}

bool LControl::SetStateFlag(bool clipToParent)
{
    if (!mLayout || mLayout->clipToParent == clipToParent) {
        // Without a layout the control clips.
        return mLayout ? clipToParent : true;
    }
    const RectT<double> whole(0, 0, mSize.x, mSize.y);
    if (clipToParent) {
        // While the area may still reach outside the parent.
        (void)InvalidateRect(whole, false);
    }
    mLayout->clipToParent = clipToParent;
    if (mParent) {
        mParent->mChildren.MarkOrderChanged();
        AdjustUnclippedCounts(mParent.Get(), clipToParent ? -1 : 1);
        if (clipToParent) {
            return true;
        }
    }
    if (!clipToParent) {
        (void)InvalidateRect(whole, false);
    }
    return clipToParent;
}

ZVRESULT LControl::SetParent(const RCPtr<LControl>& parent)
{
    if (parent.Get() == mParent.Get()) {
        return ZV_S_FALSE;
    }
    for (const LControl* ancestor = parent.Get(); ancestor != nullptr; ancestor = ancestor->mParent.Get()) {
        if (ancestor == this) {
            // The tree would close into a ring that nothing could walk to its top or release.
            return ZV_E_INVALIDARG;
        }
    }
    // The old parent's list may hold the last reference. A control under construction has no parent, and no
    // reference that this one could give back.
    RCPtr<LControl> self;
    if (mParent) {
        self = this;
        (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), SettingsOf(this).clipToParent);
        // What reaches outside the control leaves the old parent's window with it.
        InvalidateUnclippedDescendants();
        // The focus stays in the tree that the control leaves, and goes on there as when the control hides.
        const bool heldFocus = HoldsFocus();
        LeaveRootWindow();
        const RCPtr<LControl> oldParent = mParent;
        // The old siblings' keys are none of the control's business any more.
        (void)UnregisterForNotification(oldParent, L"NID_SIBLING_KEY");
        (void)oldParent->mChildren.Remove(self);
        if (heldFocus) {
            oldParent->RecoverFocusAfterChildLeft();
        }
    } else if (mRootWindow) {
        LeaveRootWindow();
        mRootWindow = nullptr;
        mLayoutState.fillsClientArea = false;
    }
    if (parent) {
        (void)parent->ProcessScheduledRemovals();
        if (Succeeded(parent->mChildren.Add(this))) {
            OnParentChanged();
            if (parent->GetRootWindowRef()) {
                ProcessRootWindowAquired();
            }
        }
    }
    return ZV_S_OK;
}

void LControl::OnParentChanged()
{
    if (mLocalHotKeys) {
        SubscribeToSiblingKeys();
    }
}

ZVRESULT LControl::SetRootWindow(const RCPtr<IRootWindow>& rootWindow)
{
    if (mParent) {
        return ZV_E_FAIL;
    }
    LeaveRootWindow();
    mRootWindow = rootWindow;
    // Whether the control fills the window is the window's to say.
    mLayoutState.fillsClientArea = false;
    if (mRootWindow) {
        ProcessRootWindowAquired();
    }
    return ZV_S_OK;
}

ZVRESULT LControl::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (!child || !descriptor) {
        return ZV_E_FAIL;
    }
    const ZVRESULT attached = child->SetParent(this);
    if (Succeeded(attached)) {
        (void)child->ApplyDescriptor(descriptor);
    }
    return attached;
}

void LControl::Detach()
{
    const RCPtr<LControl> self(this);
    (void)SetVisible(false);
    (void)SetStateFlag(true);
    GiveBackCapture();
    // Their idle subscriptions end below, once each.
    for (KineticAxis& axis : mKinetic.axes) {
        axis.running = false;
        axis.startedByRelease = false;
        axis.target = nullptr;
    }
    while (mIdleSubscribers > 0) {
        (void)EndIdleNotifications();
    }
    if (mParent) {
        (void)SetParent(nullptr);
    } else {
        (void)SetRootWindow(nullptr);
    }
}

void LControl::ProcessRootWindowAquired()
{
    if (mIdleSubscribers > 0 && Failed(SubscribeToIdle())) {
        mIdleSubscribers = 0;
    }
    // The calls may change the children: each of those there now that is still a child is asked once.
    RCPtrArray<LControl> children;
    mChildren.TakeSnapshot(children);
    for (std::uint32_t index = children.GetCount(); index-- > 0;) {
        const RCPtr<LControl>& child = children.GetData()[index];
        if (child->mParent.Get() == this) {
            child->ProcessRootWindowAquired();
        }
    }
}

ZVRESULT LControl::ScheduleChildRemoval(const RCPtr<LControl>& child)
{
    if (!child || child->mParent.Get() != this) {
        return ZV_E_INVALIDARG;
    }
    child->GiveBackCapture();
    (void)child->SetVisible(false);
    if (Failed(mPendingRemovals.AddItem(child))) {
        return ZV_E_INVALIDARG;
    }
    if (mPendingRemovals.GetCount() == 1) {
        // Held until the pending children are gone.
        (void)BeginIdleNotifications();
    }
    return ZV_S_OK;
}

ZVRESULT LControl::ProcessScheduledRemovals()
{
    if (mPendingRemovals.GetCount() == 0) {
        return ZV_S_OK;
    }
    const RCPtr<LControl> self(this);
    // The children scheduled so far are taken out at once: one scheduled while they are detached starts a batch of
    // its own, with an idle user of its own, and a call from inside a detachment sees only that batch.
    RCPtrArray<LControl> batch;
    if (Failed(batch.Assign(mPendingRemovals)) || Failed(mPendingRemovals.Clear())) {
        throw Exception<std::bad_alloc>();
    }
    for (std::uint32_t index = 0; index < batch.GetCount(); ++index) {
        const RCPtr<LControl>& child = batch.GetData()[index];
        // A child attached elsewhere since it was scheduled is no longer this control's to detach.
        if (child->mParent.Get() == this) {
            child->Detach();
        }
    }
    (void)EndIdleNotifications();
    return ZV_S_OK;
}

void LControl::LeaveRootWindow()
{
    if (HoldsFocus()) {
        // From the top, so that no ancestor still contains it: a holder out of every window would be a second one
        // in the window it joins next.
        (void)GetTopControl()->ReleaseFocus();
    }
    const RCPtr<IRootWindow> rootWindow = GetRootWindowRef();
    if (rootWindow) {
        // Given back now, while the holder still reaches the window: the window would keep it for a control it no
        // longer shows, and send it every later press.
        GiveBackCapture();
        EndIdleSubscriptionsAt(rootWindow->GetNotificationDistributor());
    }
}

LControl* LControl::FindCaptureHolder()
{
    if (mMouse.captured) {
        return this;
    }
    for (std::uint32_t index = 0; index < mChildren.GetCount(); ++index) {
        if (LControl* holder = mChildren.GetAt(index, kInsertionOrder)->FindCaptureHolder()) {
            return holder;
        }
    }
    return nullptr;
}

void LControl::GiveBackCapture()
{
    // One at most: a control that takes the capture takes it from the one before.
    if (LControl* holder = FindCaptureHolder()) {
        (void)holder->OnCaptureLost();
    }
}

void LControl::EndIdleSubscriptionsAt(const ConstRCPtr<LNotificationDistributor>& distributor)
{
    if (mIdleSubscribers > 0) {
        (void)UnsubscribeFromIdle(distributor);
    }
    RCPtrArray<LControl> children;
    mChildren.TakeSnapshot(children);
    for (std::uint32_t index = children.GetCount(); index-- > 0;) {
        const RCPtr<LControl>& child = children.GetData()[index];
        if (child->mParent.Get() == this) {
            child->EndIdleSubscriptionsAt(distributor);
        }
    }
}

}  // namespace ZV
