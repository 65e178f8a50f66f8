#pragma once

#include "ControlBase/Control.h"
#include "Threading/Mutex.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace ZV {

// Asks for the memory lines from the one of first to the one of last, ahead of the reads that need them.
inline void PrefetchLines(const void* first, const void* last)
{
    const char* end = static_cast<const char*>(last);
    for (const char* line = static_cast<const char*>(first); line < end; line += kCacheLineSize) {
        __builtin_prefetch(line);
    }
    __builtin_prefetch(end);
}

// Marks a child list as walked for its lifetime. The outermost walk keeps the children removed meanwhile until it
// ends, so that a child whose call removes it or a sibling stays alive for the walks still reading it.
class ChildListWalk {
public:
    explicit ChildListWalk(const LControl::ChildControlList& children)
        : mChildren(children), mOutermost(children.mParking == nullptr)
    {
        if (mOutermost) {
            mChildren.mParking = &mParked;
        }
    }
    ChildListWalk(const ChildListWalk&) = delete;
    ChildListWalk& operator=(const ChildListWalk&) = delete;
    ~ChildListWalk()
    {
        if (mOutermost) {
            mChildren.mParking = nullptr;
        }
    }

    // Changes with every change that can move a child to another index.
    std::uint32_t Generation() const { return mChildren.mGeneration; }

private:
    const LControl::ChildControlList& mChildren;
    // Released after the list forgets it: a child that goes may start walks of its own.
    RCPtrArray<LControl> mParked;
    const bool mOutermost;
};

// Lends a walked child to the calls as the counted pointer they take, without counting: the list, or the walk's
// parking, keeps the child alive. The child knows the pointer for that time and takes no reference of its own.
class ChildWalkHold {
public:
    explicit ChildWalkHold(LControl* child) : mChild(child, kCountedReference)
    {
        mOuterHold = std::exchange(child->mLayoutState.walkHold, &mChild);
    }
    ChildWalkHold(const ChildWalkHold&) = delete;
    ChildWalkHold& operator=(const ChildWalkHold&) = delete;
    // The pointer is left undestroyed: it owns no reference to give back.
    ~ChildWalkHold() { mChild->mLayoutState.walkHold = mOuterHold; }

    const RCPtr<LControl>& Child() const { return mChild; }

    // Asks for the lines that placing a control reads of it: its rectangle, rules' pointer and layout guards, its
    // scroll flags, and where its looks and its children are listed.
    static void PrefetchPlacement(const LControl* control)
    {
        __builtin_prefetch(control);
        __builtin_prefetch(&control->mScroll);
        __builtin_prefetch(&control->mLooks.looks);
        __builtin_prefetch(&control->mChildren);
    }

private:
    union {
        const RCPtr<LControl> mChild;
    };
    const RCPtr<LControl>* mOuterHold;
};

// Calls visit on each child from the position on, in the order, with no copy of the list and no count taken per
// child. The calls may change the list: the walk then goes on after the child's new place, or at the same position
// when the child has left. It ends when visit answers false or no child follows.
template <class Visit>
void VisitChildren(const LControl::ChildControlList& children, std::uint32_t from, std::int32_t order, Visit&& visit)
{
    const ChildListWalk walk(children);
    std::uint32_t index = from;
    LControl* child = index < children.GetCount() ? children.GetAt(index, order).Get() : nullptr;
    while (child != nullptr) {
        const std::uint32_t generation = walk.Generation();
        LControl* next = index + 1 < children.GetCount() ? children.GetAt(index + 1, order).Get() : nullptr;
        if (next != nullptr) {
            // In a large tree the first touch of each control waits on memory. Meanwhile the lines that placing
            // the child after the next one reads of it are fetched, and for the next one, whose pointer to its
            // rules was fetched a child ago, the lines of its rules.
            if (index + 2 < children.GetCount()) {
                ChildWalkHold::PrefetchPlacement(children.GetAt(index + 2, order).Get());
            }
            if (const SubControlSettings* rules = next->GetSubControlSettings()) {
                PrefetchLines(rules, &rules->textOverflowYType);
            }
        }
        {
            const ChildWalkHold hold(child);
            if (!visit(hold.Child())) {
                return;
            }
        }
        if (walk.Generation() != generation) {
            if (index < children.GetCount() && children.GetAt(index, order).Get() == child) {
                ++index;
            } else {
                const std::int32_t moved = children.IndexOf(child, order);
                if (moved >= 0) {
                    index = static_cast<std::uint32_t>(moved) + 1;
                }
            }
            next = index < children.GetCount() ? children.GetAt(index, order).Get() : nullptr;
        } else {
            ++index;
        }
        child = next;
    }
}

}  // namespace ZV
