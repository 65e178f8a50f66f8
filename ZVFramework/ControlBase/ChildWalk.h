#pragma once

#include "ControlBase/Control.h"

#include <cstdint>
#include <utility>

namespace ZV {

// Holds a child while a walk calls out, and tells the child so for that time: it then takes no reference of its own.
class ChildWalkHold {
public:
    explicit ChildWalkHold(const RCPtr<LControl>& child)
        : mChild(child), mOuterHold(std::exchange(mChild->mLayoutState.walkHold, &mChild))
    {
    }
    ChildWalkHold(const ChildWalkHold&) = delete;
    ChildWalkHold& operator=(const ChildWalkHold&) = delete;
    ~ChildWalkHold() { mChild->mLayoutState.walkHold = mOuterHold; }

    const RCPtr<LControl>& Child() const { return mChild; }

private:
    const RCPtr<LControl> mChild;
    const RCPtr<LControl>* const mOuterHold;
};

// Calls visit on each child from the position on, in the order, holding each while it runs, with no copy of the
// list. The calls may change the list: the walk then goes on after the child's new place, or at the same position
// when the child has left. It ends when visit answers false or no child follows.
template <class Visit>
void VisitChildren(const LControl::ChildControlList& children, std::uint32_t from, std::int32_t order, Visit&& visit)
{
    std::uint32_t index = from;
    while (index < children.GetCount()) {
        if (index + 1 < children.GetCount()) {
            // In a large tree the first touch of each control waits on memory: the next one is fetched meanwhile.
            __builtin_prefetch(children.GetAt(index + 1, order).Get());
        }
        const ChildWalkHold hold(children.GetAt(index, order));
        const RCPtr<LControl>& child = hold.Child();
        if (!visit(child)) {
            return;
        }
        if (index < children.GetCount() && children.GetAt(index, order) == child) {
            ++index;
            continue;
        }
        const std::int32_t moved = children.IndexOf(child.Get(), order);
        if (moved >= 0) {
            index = static_cast<std::uint32_t>(moved) + 1;
        }
    }
}

}  // namespace ZV
