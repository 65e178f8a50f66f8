#include "Notification/ConditionsParam.h"
#include "Notification/KeyParams.h"
#include "Notification/MenuParams.h"
#include "Notification/MouseParams.h"
#include "Notification/ValueParam.h"

#include "ControlBase/Control.h"
#include "ControlBase/MenuDescriptor.h"
#include "Threading/CountingPoolAllocator.h"
#include "Threading/ReusePools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace ZV {
namespace {

class LStandInControl : public LControl {
};

class LStandInMenu : public LMenuDescriptor {
};

// A larger record derived from a pooled one, as list items derive the conditions record.
class LItemConditionsStandIn : public LConditionsParam {
public:
    static RCPtr<LItemConditionsStandIn> Create(std::int32_t row)
    {
        return RCPtr<LItemConditionsStandIn>(new LItemConditionsStandIn(row));
    }

    std::int32_t GetRow() const { return mRow; }

private:
    explicit LItemConditionsStandIn(std::int32_t row) : LConditionsParam(1, 2, {3.0, 4.0}), mRow(row) {}

    std::int32_t mRow;
    double mPadding[4] = {};
};

bool IsAlignedForAnyType(const void* address)
{
    return reinterpret_cast<std::uintptr_t>(address) % alignof(std::max_align_t) == 0;
}

TEST(MouseParams, RecordsKeepTheirFieldsAndConvertOnlyToTheirOwnClassesAndBases)
{
    const ConstRCPtr<LRefCountedObject> received =
        LMouseButtonParam::Create(MouseButton::kRight, {-12, 34}, ModifierMask::kShift | ModifierMask::kLeftShift,
                                  true, MouseButton::kLeft | MouseButton::kRight);
    const ConstRCPtr<LMouseButtonParam> button(received);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->GetButton(), MouseButton::kRight);
    EXPECT_EQ(button->GetPoint(), PointT<zlong>(-12, 34));
    EXPECT_EQ(button->GetModifiers(), 0x18u);
    EXPECT_TRUE(button->IsDoubleClick());
    EXPECT_EQ(button->GetButtons(), 5u);
    EXPECT_TRUE(ConstRCPtr<LPointWithModifiersParam>(received)) << "a button record is a pointer record";
    EXPECT_FALSE(ConstRCPtr<LMouseWheelParam>(received));
    EXPECT_FALSE(ConstRCPtr<LValueParam>(received));

    const ConstRCPtr<LPointWithModifiersParam> move = LPointWithModifiersParam::Create({7, 8}, ModifierMask::kAlt);
    EXPECT_EQ(move->GetX(), 7);
    EXPECT_EQ(move->GetY(), 8);
    EXPECT_EQ(move->GetModifiers(), 0x40u);
}

TEST(MouseParams, WheelDirectionFollowsTheAxisAndTheSignOfTheDelta)
{
    using Axis = LMouseWheelParam::Axis;
    EXPECT_EQ(LMouseWheelParam::DirectionOf(Axis::Vertical, -120), 0u);
    EXPECT_EQ(LMouseWheelParam::DirectionOf(Axis::Vertical, 120), 1u);
    EXPECT_EQ(LMouseWheelParam::DirectionOf(Axis::Horizontal, -240), 2u);
    EXPECT_EQ(LMouseWheelParam::DirectionOf(Axis::Horizontal, 120), 3u);
    const RCPtr<LMouseWheelParam> wheel =
        LMouseWheelParam::Create({1, 2}, ModifierMask::kControl, LMouseWheelParam::kHorizontalPositive);
    EXPECT_EQ(wheel->GetDirection(), 3u);
    EXPECT_TRUE(wheel->IsHorizontal());
    EXPECT_FALSE(LMouseWheelParam::Create({1, 2}, 0, LMouseWheelParam::kVerticalPositive)->IsHorizontal());
}

TEST(KeyParams, KeyRecordStartsWithAnEmptyRouteThatReceiversExtendAndReleaseWithIt)
{
    const KeyCode key{0x20090000, 0x2, 1};
    RCPtr<LStandInControl> control(new LStandInControl);
    {
        const ConstRCPtr<LKeyParam> received = LKeyParam::Create(key, true);
        EXPECT_EQ(received->GetKey().code, key.code);
        EXPECT_EQ(received->GetKey().sidedModifiers, key.sidedModifiers);
        EXPECT_EQ(received->GetKey().previousState, key.previousState);
        EXPECT_TRUE(received->GetFlag());
        EXPECT_EQ(received->GetRoute().GetCount(), 0u);
        received->GetRoute().AddItem(control);
        EXPECT_EQ(received->GetRoute().GetCount(), 1u);
        EXPECT_EQ(control->GetRefCount(), 2);
        EXPECT_FALSE(LKeyParam::Create(KeyCode{9, 0, 0}, false)->GetFlag());
    }
    EXPECT_EQ(control->GetRefCount(), 1) << "the route let the control go with the record";
}

TEST(KeyParams, SiblingKeyRecordIsPendingUntilAReceiverConsumesTheKey)
{
    RCPtr<LStandInControl> control(new LStandInControl);
    {
        const ConstRCPtr<LSiblingKeyParam> received = LSiblingKeyParam::Create(KeyCode{0x41, 0x8, 0}, control);
        EXPECT_EQ(received->GetPending(), -1);
        EXPECT_TRUE(received->IsPending());
        EXPECT_EQ(received->GetKey().code, 0x41u);
        EXPECT_EQ(received->GetControl().Get(), control.Get());
        received->SetPending(1);
        EXPECT_TRUE(received->IsPending()) << "looked at, not handled";
        received->SetPending(LSiblingKeyParam::kConsumed);
        EXPECT_FALSE(received->IsPending());
        EXPECT_EQ(control->GetRefCount(), 2);
    }
    EXPECT_EQ(control->GetRefCount(), 1);
    EXPECT_FALSE(LSiblingKeyParam::Create(KeyCode{}, nullptr)->GetControl());
}

TEST(MenuParams, ActivationAndUpdaterRecordsHoldTheirMenuAndControlUntilTheyGo)
{
    RCPtr<LStandInMenu> menu(new LStandInMenu);
    RCPtr<LStandInControl> control(new LStandInControl);
    {
        const RCPtr<LMenuActivationParam> activation = LMenuActivationParam::Create(menu, 3);
        EXPECT_EQ(activation->GetMenu().Get(), menu.Get());
        EXPECT_EQ(activation->GetItem(), 3u);
        const RCPtr<LMenuItemUpdater> updater = LMenuItemUpdater::Create(control);
        EXPECT_EQ(updater->GetControl().Get(), control.Get());
        EXPECT_EQ(menu->GetRefCount(), 2);
        EXPECT_EQ(control->GetRefCount(), 2);
    }
    EXPECT_EQ(menu->GetRefCount(), 1);
    EXPECT_EQ(control->GetRefCount(), 1);
}

TEST(ConditionsParam, ControlRewritesItsRecordInPlace)
{
    const RCPtr<LConditionsParam> conditions = LConditionsParam::Create(0, 0x4, {1.5, -2.5});
    EXPECT_EQ(conditions->GetPreviousConditions(), 0u);
    EXPECT_EQ(conditions->GetCurrentConditions(), 0x4u);
    EXPECT_EQ(conditions->GetPoint(), PointT<double>(1.5, -2.5));
    conditions->Set(0x4, 0x404, {3.0, 4.0});
    EXPECT_EQ(conditions->GetPreviousConditions(), 0x4u);
    EXPECT_EQ(conditions->GetCurrentConditions(), 0x404u);
    EXPECT_EQ(conditions->GetPoint(), PointT<double>(3.0, 4.0));

    const RCPtr<LValueParam> value = LValueParam::Create(0.25, 250.0);
    EXPECT_EQ(value->GetNormalizedValue(), 0.25);
    EXPECT_EQ(value->GetScaledValue(), 250.0);
}

TEST(PooledParams, ReleasingTheLastReferenceGivesTheBlockToTheNextRecordOfThatClassLastFreedFirst)
{
    const void* released = LValueParam::Create(0.0, 0.0).Get();
    const RCPtr<LValueParam> next = LValueParam::Create(1.0, 1.0);
    EXPECT_EQ(next.Get(), released);
    EXPECT_NE(static_cast<const void*>(LConditionsParam::Create(0, 0, {}).Get()), released)
        << "each class has its own pool";

    RCPtr<LMouseButtonParam> a = LMouseButtonParam::Create(1, {}, 0, false, 1);
    RCPtr<LMouseButtonParam> b = LMouseButtonParam::Create(1, {}, 0, false, 1);
    RCPtr<LMouseButtonParam> c = LMouseButtonParam::Create(1, {}, 0, false, 1);
    const std::vector<const void*> made{a.Get(), b.Get(), c.Get()};
    a = nullptr;
    b = nullptr;
    c = nullptr;
    EXPECT_EQ(LMouseButtonParam::Create(1, {}, 0, false, 1).Get(), made[2]);
    const RCPtr<LMouseButtonParam> keptC = LMouseButtonParam::Create(1, {}, 0, false, 1);
    const RCPtr<LMouseButtonParam> keptB = LMouseButtonParam::Create(1, {}, 0, false, 1);
    const RCPtr<LMouseButtonParam> keptA = LMouseButtonParam::Create(1, {}, 0, false, 1);
    EXPECT_EQ(keptC.Get(), made[2]);
    EXPECT_EQ(keptB.Get(), made[1]);
    EXPECT_EQ(keptA.Get(), made[0]);
}

TEST(PooledParams, DerivedRecordOfAnotherSizeTakesAMarkedHeapBlockAndGivesItBackToTheHeap)
{
    GetConditionsParamPool().Free(GetConditionsParamPool().Allocate(sizeof(LConditionsParam)));
    Testing::CountingPoolAllocator heap;
    const std::uint32_t blocks = GetConditionsParamPool().GetBlockCount();
    const std::uint32_t freeBlocks = GetConditionsParamPool().GetFreeBlockCount();
    {
        const RCPtr<LItemConditionsStandIn> item = LItemConditionsStandIn::Create(7);
        EXPECT_TRUE(IsAlignedForAnyType(item.Get()));
        EXPECT_EQ(item->GetRow(), 7);
        EXPECT_EQ(item->GetCurrentConditions(), 2u);
        EXPECT_EQ(heap.allocations, 1);
        EXPECT_EQ(GetConditionsParamPool().GetBlockCount(), blocks);
    }
    EXPECT_EQ(heap.frees, 1);
    EXPECT_EQ(GetConditionsParamPool().GetBlockCount(), blocks);
    EXPECT_EQ(GetConditionsParamPool().GetFreeBlockCount(), freeBlocks);
}

// Mouse moves come in streams: after the pool has reached its peak, making and letting go of records takes nothing
// from the heap, and every block handed out is one made during the warm-up.
TEST(PooledParams, AfterWarmUpAMillionRecordCyclesMakeNoHeapCallsReuseWarmBlocksAndStayAligned)
{
    constexpr int kPeak = 8;
    std::vector<RCPtr<LPointWithModifiersParam>> live;
    std::set<const void*> warmBlocks;
    for (int i = 0; i < kPeak; ++i) {
        live.push_back(LPointWithModifiersParam::Create({i, i}, 0));
        warmBlocks.insert(live.back().Get());
    }
    live.clear();

    Testing::CountingPoolAllocator heap;
    int misaligned = 0;
    int unknown = 0;
    for (int cycle = 0; cycle < 1000000; ++cycle) {
        const RCPtr<LPointWithModifiersParam> record = LPointWithModifiersParam::Create({cycle, -cycle}, 1);
        misaligned += IsAlignedForAnyType(record.Get()) ? 0 : 1;
        if (cycle % 997 == 0) {
            unknown += warmBlocks.count(record.Get()) == 0 ? 1 : 0;
            for (int held = 0; held < kPeak - 1; ++held) {
                live.push_back(LPointWithModifiersParam::Create({held, cycle}, 0));
            }
            live.clear();
        }
    }
    EXPECT_EQ(heap.GetCalls(), 0);
    EXPECT_EQ(misaligned, 0);
    EXPECT_EQ(unknown, 0);
}

}  // namespace
}  // namespace ZV
