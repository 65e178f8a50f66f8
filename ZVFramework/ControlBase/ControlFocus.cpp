// Keyboard focus: which control has it, which contain it, how it moves in tab order and between branches.
#include "ControlBase/Control.h"

#include "ControlBase/KeyParams.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <climits>

namespace ZV {

namespace {

// Whether the control takes the focus itself or passes it on to a descendant.
bool TakesOrPassesFocus(LControl& control)
{
    return control.CanTakeFocus() || control.IsFocusable();
}

// The first child in tab order (backwards: the last) that takes or passes the focus, stepping through the usable
// children. The start may be one that the steps never reach again (hidden or disabled), so they stop after one
// round of the children.
RCPtr<LControl> FindFocusableChild(LControl& parent, bool backward)
{
    const LControl::ChildControlList& children = parent.GetChildren();
    const std::uint32_t count = children.GetCount();
    if (count == 0) {
        return nullptr;
    }
    const RCPtr<LControl> start = children.GetAt(backward ? count - 1 : 0, LControl::kTabOrder);
    RCPtr<LControl> candidate = start;
    for (std::uint32_t step = 0; step < count && candidate; ++step) {
        if (TakesOrPassesFocus(*candidate)) {
            return candidate;
        }
        candidate = parent.GetNextFocusableChild(candidate, backward);
        if (candidate == start) {
            break;
        }
    }
    return nullptr;
}

ZVRESULT ReleaseResult(bool released)
{
    return released ? ZV_S_OK : ZV_E_FAIL;
}

}  // namespace

void LControl::SetFocusRoot(bool focusRoot)
{
    mFocus.focusRoot = focusRoot;
}

ZVRESULT LControl::SetFocus(bool forward)
{
    const RCPtr<LControl> self(this);
    const RCPtr<IRootWindow> window = GetRootWindowRef();
    if (!window) {
        // Out of every window: the window that the tree joins may have a focused control of its own.
        return ZV_E_FAIL;
    }
    if (!mFocus.hasFocus) {
        const RCPtr<LControl> focused = window->GetFocusControl();
        if (focused && !focused->CanReleaseFocus()) {
            return ZV_E_FAIL;
        }
    }
    if (mFocus.hasFocus && IsFocusable()) {
        // Taken while its tree was not yet what the window shows, it may have been forgotten there.
        BecomeFocusControlOf(*window);
        return ZV_S_OK;
    }
    if (CanTakeFocus()) {
        if (mFocus.containsFocus) {
            const RCPtr<LControl> focusedChild = GetFocusedChild();
            if (!focusedChild) {
                return ZV_E_FAIL;
            }
            if (TakesOrPassesFocus(*focusedChild)) {
                return focusedChild->SetFocus(forward);
            }
        }
        const RCPtr<LControl> next = forward ? GetFirstFocusableChild() : GetLastFocusableChild();
        return next ? next->SetFocus(forward) : ZV_E_FAIL;
    }
    if (IsFocusable()) {
        ZVRESULT result = ZV_S_OK;
        if (mFocus.containsFocus) {
            mFocus.hasFocus = true;
            mFocus.containsFocus = false;
            const RCPtr<LControl> focusedChild = GetFocusedChild();
            result = focusedChild ? ReleaseResult(focusedChild->ReleaseFocus()) : ZV_E_FAIL;
        } else {
            mFocus.hasFocus = true;
            if (mParent) {
                result = mParent->OnChildFocused(this);
            }
        }
        BecomeFocusControlOf(*window);
        UpdateConditions();
        return result;
    }
    // The control can neither hold the focus nor pass it on: its top-level control tries.
    const RCPtr<LControl> top = GetTopControl();
    if (mFocus.hasFocus || top == self) {
        // At the top, trying again would only come back here.
        return ZV_E_FAIL;
    }
    if (!top->mFocus.hasFocus && !top->mFocus.containsFocus) {
        return ZV_S_FALSE;
    }
    return top->SetFocus(true);
}

void LControl::SetNotFocusable(bool notFocusable)
{
    const std::int32_t tabStop = SettingsOf(this).tabStop;
    const bool signAgrees = notFocusable == (tabStop < 0);
    if (mFocus.notFocusable == notFocusable && signAgrees) {
        return;
    }
    const RCPtr<LControl> self(this);
    mFocus.notFocusable = notFocusable;
    if (!signAgrees && mLayout) {
        // The lowest number has no opposite.
        mLayout->tabStop = tabStop == 0 ? -1 : tabStop == INT_MIN ? INT_MAX : -tabStop;
    }
    if (mParent) {
        mParent->mChildren.MarkOrderChanged();
    }
    if (TakesOrPassesFocus(*this) && mParent && mParent->mFocus.hasFocus) {
        (void)SetFocus(true);
    } else if (notFocusable && mFocus.hasFocus) {
        PassFocusOn();
    }
}

void LControl::FixNotFocusable(bool notFocusable)
{
    mFocus.notFocusableFixed = true;
    mFocus.fixedNotFocusable = notFocusable;
    SetNotFocusable(notFocusable);
}

bool LControl::CanTakeFocus()
{
    if (!IsUsable() || mFocus.notFocusable) {
        return false;
    }
    for (std::uint32_t index = mChildren.GetCount(); index-- > 0;) {
        if (TakesOrPassesFocus(*mChildren.GetAt(index, kInsertionOrder))) {
            return true;
        }
    }
    return false;
}

bool LControl::IsFocusable()
{
    return PassesOwnFocusTests() && !CanTakeFocus();
}

bool LControl::PassesOwnFocusTests() const
{
    return IsUsable() && !mFocus.notFocusable && (mFocus.focusRoot || !mParent || !IsHeldBackByAncestors());
}

bool LControl::IsHeldBackByAncestors() const
{
    for (const LControl* ancestor = mParent.Get(); ancestor != nullptr; ancestor = ancestor->mParent.Get()) {
        if (ancestor->mFocus.notFocusable) {
            return true;
        }
        if (ancestor->mFocus.focusRoot) {
            return false;
        }
    }
    return false;
}

bool LControl::CanReleaseFocus()
{
    return true;
}

void LControl::BecomeFocusControlOf(IRootWindow& window)
{
    const RCPtr<LControl> previous = window.GetFocusControl();
    if (previous == this) {
        return;
    }
    if (previous && previous->GetTopControl() != GetTopControl()) {
        // A tree made for the window that it does not show (yet): one holder a window.
        (void)previous->GetTopControl()->ReleaseFocus();
    }
    window.SetFocusControl(this);
}

bool LControl::ReleaseFocus()
{
    const RCPtr<LControl> self(this);
    if (mFocus.hasFocus) {
        mFocus.hasFocus = false;
        UpdateConditions();
        if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
            window->ClearFocusControl();
        }
        return true;
    }
    mFocus.containsFocus = false;
    const RCPtr<LControl> focusedChild = GetFocusedChild();
    const bool released = focusedChild && focusedChild->ReleaseFocus();
    UpdateConditions();
    return released;
}

RCPtr<LControl> LControl::GetFocusedChild() const
{
    for (std::uint32_t index = mChildren.GetCount(); index-- > 0;) {
        const RCPtr<LControl>& child = mChildren.GetAt(index, kInsertionOrder);
        if (child->mFocus.hasFocus || child->mFocus.containsFocus) {
            return child;
        }
    }
    return nullptr;
}

RCPtr<LControl> LControl::GetFirstFocusableChild()
{
    return FindFocusableChild(*this, false);
}

RCPtr<LControl> LControl::GetLastFocusableChild()
{
    return FindFocusableChild(*this, true);
}

RCPtr<LControl> LControl::GetNextFocusableChild(const RCPtr<LControl>& from, bool backward)
{
    if (!from || from->mParent.Get() != this) {
        return nullptr;
    }
    const std::int32_t count = static_cast<std::int32_t>(mChildren.GetCount());
    const std::int32_t start = mChildren.IndexOf(from.Get(), kTabOrder);
    const auto step = [&](std::int32_t position) {
        return backward ? (position == 0 ? count - 1 : position - 1) : (position == count - 1 ? 0 : position + 1);
    };
    for (std::int32_t position = step(start); position != start; position = step(position)) {
        const RCPtr<LControl>& child = mChildren.GetAt(static_cast<std::uint32_t>(position), kTabOrder);
        if (child->IsUsable()) {
            return child;
        }
    }
    // A single child: itself, when it can be used.
    return count == 1 && from->IsUsable() ? from : nullptr;
}

ZVRESULT LControl::OnChildFocused(const RCPtr<LControl>& child)
{
    const RCPtr<LControl> self(this);
    if (mFocus.containsFocus) {
        // The branch that held the focus lets it go from here down.
        for (std::uint32_t index = mChildren.GetCount(); index-- > 0;) {
            const RCPtr<LControl> other = mChildren.GetAt(index, kInsertionOrder);
            if (other != child && (other->mFocus.hasFocus || other->mFocus.containsFocus)) {
                (void)other->ReleaseFocus();
                return ZV_S_FALSE;
            }
        }
        return ZV_S_OK;
    }
    mFocus.containsFocus = true;
    if (mFocus.hasFocus) {
        mFocus.hasFocus = false;
    } else if (mParent) {
        (void)mParent->OnChildFocused(this);
    }
    UpdateConditions();
    return ZV_S_FALSE;
}

void LControl::PassFocusOn()
{
    const RCPtr<LControl> self(this);
    if (mParent) {
        (void)mParent->SetFocus(true);
    }
    if (mFocus.hasFocus || mFocus.containsFocus) {
        // Nothing else in the window could take it.
        (void)GetTopControl()->ReleaseFocus();
    }
}

void LControl::RecoverFocusAfterChildLeft()
{
    const RCPtr<LControl> self(this);
    const RCPtr<LControl> top = GetTopControl();
    (void)SetFocus(true);
    if (!top->mFocus.hasFocus && !top->mFocus.containsFocus) {
        (void)top->SetFocus(true);
    }
}

void LControl::SortByTabOrder(const RCPtr<LSiblingKeyParam>& key, const RCPtrArray<LNotificationClient>& receivers,
                              Array<std::uint32_t>& order)
{
    (void)order.Clear();
    struct Receiver {
        std::uint32_t index;
        std::int64_t key;
        bool focusable;
    };
    // Receivers that are not children keep their order and go first.
    Array<Receiver> records;
    std::int64_t others = INT_MIN;
    for (std::uint32_t index = 0; index < receivers.GetCount(); ++index) {
        const auto* control = dynamic_cast<const LControl*>(receivers.GetData()[index].Get());
        const std::int32_t position = control ? mChildren.IndexOf(control, kTabOrder) : -1;
        const std::int64_t sortKey = position >= 0 ? position : others++;
        (void)records.AddItem({index, sortKey, control != nullptr && !control->mFocus.notFocusable});
    }
    Receiver* first = records.GetData();
    Receiver* end = first + records.GetCount();
    std::stable_sort(first, end, [](const Receiver& a, const Receiver& b) { return a.key < b.key; });
    Receiver* focusable = first;
    for (; focusable != end && !focusable->focusable; ++focusable) {
        (void)order.AddItem(focusable->index);
    }
    // From the one after the current control in tab order to the end, then round from the start.
    const LControl* current = key ? key->GetControl().Get() : nullptr;
    const std::int64_t currentPosition = current ? mChildren.IndexOf(current, kTabOrder) : -1;
    Receiver* after = std::find_if(focusable, end, [&](const Receiver& r) { return r.key > currentPosition; });
    for (const Receiver* record = after; record != end; ++record) {
        (void)order.AddItem(record->index);
    }
    for (const Receiver* record = focusable; record != after; ++record) {
        (void)order.AddItem(record->index);
    }
}

}  // namespace ZV
