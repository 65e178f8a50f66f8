#include "ControlBase/Control.h"

#include "ObjectBase/Exception.h"
#include "Utilities/Storage/ArrayUtils.h"
#include "Utilities/Storage/SortPredicates.h"

#include <new>

namespace ZV {

namespace {

const RCPtr<LControl>& NoControl()
{
    static const RCPtr<LControl> none;
    return none;
}

// The reads that GetAt does not answer itself come here; a throw names GetAt, which callers called.
const char kGetAtName[] = "ZV::LControl::ChildControlList::GetAt";

bool HasName(const LControl& control, const WideString& name)
{
    return control.GetName().GetData() == name.GetData() || control.GetName() == name;
}

}  // namespace

LControl::ChildControlList::~ChildControlList() = default;

void LControl::ChildControlList::SortIfStale() const
{
    if (mSortedGeneration == mGeneration) {
        return;
    }
    ArrayUtils::SortIndecies(mLayoutOrder, mChildren, 0, mChildren.GetCount(), ZOrderLess<LControl>(mChildren));
    ArrayUtils::SortIndecies(mTabOrder, mChildren, 0, mChildren.GetCount(), TabStopLess<LControl>(mChildren));
    mSortedGeneration = mGeneration;
}

const RCPtr<LControl>& LControl::ChildControlList::GetAtSorting(std::uint32_t index, std::int32_t order) const
{
    if (index >= mChildren.GetCount()) {
        ZV_THROW_IN(kGetAtName, std::runtime_error, "");
    }
    switch (order) {
    case kInsertionOrder:
        return mChildren.GetData()[index];
    case kLayoutOrder:
        SortIfStale();
        return mChildren.GetData()[mLayoutOrder.GetData()[index]];
    case kTabOrder:
        SortIfStale();
        return mChildren.GetData()[mTabOrder.GetData()[index]];
    default:
        ZV_THROW_IN(kGetAtName, std::runtime_error, "");
    }
}

std::int32_t LControl::ChildControlList::IndexOf(const LControl* child, std::int32_t order) const
{
    for (std::uint32_t index = GetCount(); index-- > 0;) {
        if (GetAt(index, order).Get() == child) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

const RCPtr<LControl>& LControl::ChildControlList::Find(const WideString& name) const
{
    for (std::uint32_t index = GetCount(); index-- > 0;) {
        const RCPtr<LControl>& child = mChildren.GetData()[index];
        if (HasName(*child, name)) {
            return child;
        }
    }
    return NoControl();
}

ZVRESULT LControl::ChildControlList::Add(LControl* child)
{
    if (child == nullptr) {
        return ZV_E_INVALIDARG;
    }
    // Checked before anything holds the child: a control refused while it is being constructed has no reference
    // yet that could be given back.
    if (Find(child->GetName())) {
        return ZV_E_FAIL;
    }
    const std::uint32_t end = mChildren.GetCount();
    if (Failed(mChildren.SetCount(end + 1))) {
        throw Exception<std::bad_alloc>();
    }
    mChildren.GetData()[end] = child;
    AdjustUnclippedCounts(mOwner, child->mUnclippedDescendants + (child->CountsAsUnclipped() ? 1 : 0));
    child->mParent = mOwner;
    // The child's link back must not keep the owner alive on its own.
    mOwner->AddInternalReferences(1);
    ++mGeneration;
    return ZV_S_OK;
}

std::int32_t LControl::ChildControlList::Remove(const RCPtr<LControl>& child)
{
    const std::int32_t index = IndexOf(child.Get(), kInsertionOrder);
    if (index < 0) {
        return -1;
    }
    // The list's reference may be the last one; the owner's OnChildRemoved still sees the child.
    const RCPtr<LControl> removed(child);
    if (mParking != nullptr && Failed(mParking->AddItem(removed))) {
        throw Exception<std::bad_alloc>();
    }
    AdjustUnclippedCounts(mOwner, -(removed->mUnclippedDescendants + (removed->CountsAsUnclipped() ? 1 : 0)));
    mOwner->AddInternalReferences(-1);
    removed->mParent = nullptr;
    RCPtr<LControl> slot;
    (void)mChildren.RemoveItem(static_cast<std::uint32_t>(index), slot);
    ++mGeneration;
    mOwner->OnChildRemoved(removed, static_cast<std::uint32_t>(index));
    return index;
}

ZVRESULT LControl::ChildControlList::Clear()
{
    if (GetCount() == 0) {
        return ZV_S_FALSE;
    }
    // OnChildRemoved may change the list: the children there now go, each once.
    RCPtrArray<LControl> children;
    TakeSnapshot(children);
    for (std::uint32_t index = children.GetCount(); index-- > 0;) {
        (void)Remove(children.GetData()[index]);
    }
    return ZV_S_OK;
}

ZVRESULT LControl::ChildControlList::Rename(const RCPtr<LControl>& child, const WideString& name)
{
    if (child && HasName(*child, name)) {
        return ZV_S_FALSE;
    }
    std::int32_t position = -1;
    for (std::uint32_t index = GetCount(); index-- > 0;) {
        const RCPtr<LControl>& sibling = mChildren.GetData()[index];
        if (HasName(*sibling, name)) {
            return ZV_E_FAIL;
        }
        if (sibling == child) {
            position = static_cast<std::int32_t>(index);
        }
    }
    if (position < 0) {
        return ZV_E_INVALIDARG;
    }
    const WideString oldName = child->mName;
    child->mName = name;
    // The later children's rules that name the control follow it.
    for (std::uint32_t index = static_cast<std::uint32_t>(position) + 1; index < GetCount(); ++index) {
        if (LLayoutDescriptor* layout = mChildren.GetData()[index]->mLayout.Get()) {
            // A child whose rules name another sibling keeps them.
            (void)layout->RenameControlReference(oldName, name);
        }
    }
    return ZV_S_OK;
}

void LControl::ChildControlList::TakeSnapshot(RCPtrArray<LControl>& snapshot) const
{
    if (Failed(snapshot.Assign(mChildren))) {
        throw Exception<std::bad_alloc>();
    }
}

}  // namespace ZV
