#pragma once

#include "Utilities/Storage/ConstRCPtrArray.h"

namespace ZV {

// An array of counted pointers with mutable access: the storage of its read-only base, seen a second time through
// IArray<RCPtr<T>>. It can be passed wherever a ConstRCPtrArray or an IArray<ConstRCPtr<T>> is expected.
//
// Items go in through this view only as RCPtr; they come out as either kind. The views share every operation but
// two: RemoveItem names the view it was called through in its "Out of Range" text, and SwapItems through this view
// exchanges by counted assignment, where the read-only view exchanges the stored pointers.
#if defined(__clang__)
#pragma clang diagnostic push
// Hiding the read-only view's AddItem and InsertItem is the point: items go in through this view only as RCPtr.
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
template <class T, std::uint32_t GrowBy = 1, std::uint32_t Slack = 0>
class RCPtrArray : public IArray<RCPtr<T>>, public ConstRCPtrArray<T, GrowBy, Slack> {
    using MutableView = IArray<RCPtr<T>>;
    using ConstView = ConstRCPtrArray<T, GrowBy, Slack>;

public:
    using MutableView::AdvancePosition;
    using ConstView::AdvancePosition;
    using MutableView::AppendAll;
    using MutableView::Assign;
    using MutableView::Begin;
    using ConstView::Begin;
    using MutableView::End;
    using ConstView::End;
    using MutableView::GetItemAt;
    using ConstView::GetItemAt;
    using MutableView::IndexOf;
    using ConstView::IndexOf;
    using ConstView::RemoveItem;
    using ConstView::RemoveLast;
    using MutableView::SwapItems;

    explicit RCPtrArray(std::uint32_t initialCount = 0, std::uint32_t capacity = 0) : ConstView(initialCount, capacity)
    {
    }

    std::uint32_t GetCount() const override { return ConstView::GetCount(); }
    std::uint32_t GetMaxCount() const override { return ConstView::GetMaxCount(); }

    RCPtr<T>* GetData() override { return this->MutableSlots(); }
    const RCPtr<T>* GetData() const override { return this->MutableSlots(); }
    RCPtr<T>* GetItemPointer(std::uint32_t index) override { return GetData() + index; }
    const RCPtr<T>* GetItemPointer(std::uint32_t index) const override { return GetData() + index; }
    RCPtr<T>* GetBeginPointer() override { return GetCount() == 0 ? nullptr : GetData(); }
    RCPtr<T>* GetEndPointer() override { return GetCount() == 0 ? nullptr : GetData() + GetCount(); }

    [[nodiscard]] ZVRESULT SetCount(std::uint32_t count) override { return ConstView::SetCount(count); }
    [[nodiscard]] ZVRESULT InsertSpace(std::uint32_t index, std::uint32_t count) override
    {
        return ConstView::InsertSpace(index, count);
    }
    [[nodiscard]] ZVRESULT RemoveRange(std::uint32_t index, std::uint32_t count) override
    {
        return ConstView::RemoveRange(index, count);
    }
    [[nodiscard]] ZVRESULT Clear() override { return ConstView::Clear(); }

    [[nodiscard]] ZVRESULT InsertItem(std::uint32_t index, const RCPtr<T>& item) override
    {
        return ConstView::InsertItem(index, item);
    }
    [[nodiscard]] ZVRESULT AddItem(const RCPtr<T>& item) override
    {
        return ConstView::InsertItem(this->SlotCount(), item);
    }
    [[nodiscard]] ZVRESULT RemoveItem(std::uint32_t index, RCPtr<T>& item) override
    {
        if (index >= GetCount()) {
            ZV_THROW_IN(this->RemoveItemName("ZV::RCPtrArray"), std::out_of_range, "");
        }
        return this->TakeItem(index, item);
    }
    [[nodiscard]] ZVRESULT RemoveLast(RCPtr<T>& item) override { return ConstView::RemoveLast(item); }
};
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

}  // namespace ZV
