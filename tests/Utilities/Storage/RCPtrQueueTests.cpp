#include "Notification/Notification.h"
#include "ObjectBase/Holder.h"
#include "TestSupport.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/RCPtrQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace ZV {
namespace {

using Testing::TextMatchesThrow;
using Testing::ThrownText;

RCPtr<LHolder<int>> Item(int value)
{
    return LHolder<int>::Create(value);
}

template <std::uint32_t N>
std::vector<int> Drain(RCPtrQueue<LHolder<int>, N>& queue)
{
    std::vector<int> values;
    while (queue.GetCount() != 0) {
        values.push_back(queue.Dequeue()->GetValue());
    }
    return values;
}

TEST(RCPtrQueue, AnEmptyRingRefusesToDequeueWithTheRuntimeErrorText)
{
    Mutex mutex;
    RCPtrQueue<LNotification, 256> queue(&mutex);
    EXPECT_TRUE(TextMatchesThrow(ThrownText<std::runtime_error>([&] { queue.Dequeue(); }),
                                 "Runtime Error : ZV::RCPtrQueue<class ZV::LNotification,256>::Dequeue"));
}

TEST(RCPtrQueue, KeepsOneSlotEmptyAndDoublesItsSlotsWhenFull)
{
    RCPtrQueue<LHolder<int>, 256> queue(nullptr);
    for (int i = 0; i < 255; ++i) {
        EXPECT_TRUE(Succeeded(queue.Enqueue(Item(i))));
    }
    EXPECT_EQ(queue.GetCapacity(), 256u);
    EXPECT_EQ(queue.Enqueue(Item(255)), ZV_S_OK);
    EXPECT_EQ(queue.GetCount(), 256u);
    EXPECT_EQ(queue.GetCapacity(), 512u);

    const std::vector<int> values = Drain(queue);
    ASSERT_EQ(values.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(values[static_cast<std::size_t>(i)], i);
    }
}

TEST(RCPtrQueue, KeepsFirstInFirstOutWhereverTheRingWrappedWhenItGrew)
{
    for (int offset = 0; offset < 8; ++offset) {
        RCPtrQueue<LHolder<int>, 4> queue(nullptr);
        // Move the read index to the offset, so that the items wrap around the end.
        for (int i = 0; i < offset; ++i) {
            EXPECT_TRUE(Succeeded(queue.Enqueue(Item(-1))));
            queue.Dequeue();
        }
        for (int i = 0; i < 10; ++i) {
            EXPECT_TRUE(Succeeded(queue.Enqueue(Item(i))));
        }
        EXPECT_EQ(queue.GetCapacity(), 16u);
        EXPECT_EQ(Drain(queue), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9})) << "offset " << offset;
    }
}

}  // namespace
}  // namespace ZV
