#include "Utilities/Storage/Buffer.h"

#include "Utilities/Storage/RefusingAllocator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ZV {
namespace {

using ByteBuffer = BufferT<1, 0, 8, char*, &GetSystemAllocator>;

TEST(Buffer, FillRejectsRangesPastTheSizeAndWritesNothingThen)
{
    ByteBuffer buffer(10, 0, true);
    EXPECT_EQ(buffer.Fill(7, 10, -1), ZV_S_OK);
    EXPECT_EQ(buffer.Fill(7, 11, -1), ZV_E_INVALIDARG);
    EXPECT_EQ(buffer.Fill(7, 5, 6), ZV_E_INVALIDARG);
    EXPECT_EQ(buffer.Fill(7, 0xFFFFFFFFu, 2), ZV_E_INVALIDARG) << "offset + count must not wrap";
    for (std::uint32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(buffer.GetTypedData()[i], 0);
    }
    EXPECT_EQ(buffer.Fill(7, 4, -1), ZV_S_OK);
    EXPECT_EQ(buffer.GetTypedData()[3], 0);
    EXPECT_EQ(buffer.GetTypedData()[9], 7);

    EXPECT_EQ(buffer.Fill16(0xABCD, 2, 4), ZV_S_OK);
    std::uint16_t unit = 0;
    std::memcpy(&unit, buffer.GetTypedData() + 8, 2);
    EXPECT_EQ(unit, 0xABCD);
    EXPECT_EQ(buffer.Fill16(0, 2, 5), ZV_E_INVALIDARG);
    EXPECT_EQ(buffer.Fill16(0, 1, -1), ZV_S_OK) << "four whole units from offset 1";
    EXPECT_EQ(buffer.GetTypedData()[9], static_cast<char>(0xAB)) << "the odd last byte is left alone";
}

TEST(Buffer, AllocationFailureKeepsTheOldBlockAndSize)
{
    BufferT<1, 0, 8, char*, &Testing::GetRefusingAllocator> buffer(8, 0, false);
    std::memcpy(buffer.GetData(), "firmware", 8);
    {
        Testing::RefusalScope refusal;
        EXPECT_EQ(buffer.Resize(4096), 8u);
        EXPECT_EQ(buffer.Allocate(4096), 8u);
    }
    EXPECT_EQ(buffer.GetCapacity(), 8u);
    EXPECT_EQ(std::memcmp(buffer.GetData(), "firmware", 8), 0);
}

TEST(SharedBuffer, ResizedCopyTakesBytesFromTheOffsetAndZeroFillsTheRest)
{
    RCPtr<LIBuffer> buffer = PixelStorageBuffer::Create(10, 0, false);
    std::memcpy(buffer->GetData(), "0123456789", 10);
    RCPtr<LIBuffer> copy;
    buffer->CreateResizedCopy(copy, 4, 8);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetSize(), 4u);
    EXPECT_EQ(std::memcmp(copy->GetData(), "89\0\0", 4), 0);

    const ConstRCPtr<LIBuffer> whole(buffer->CreateCopy());
    ASSERT_TRUE(whole);
    EXPECT_NE(whole.Get(), buffer.Get());
    EXPECT_EQ(std::memcmp(whole->GetData(), "0123456789", 10), 0);
}

// Small shared buffers share one allocation with their first block; large ones do not. Either kind must keep its
// bytes when it grows out of that block, and must give back only what it took from the allocator.
TEST(SharedBuffer, SmallAndLargeBuffersKeepTheirBytesThroughShrinkingGrowingCopyingAndEmptying)
{
    for (const RCPtr<LIBuffer>& buffer : {StringBuffer::Create(10, 0, false), PixelStorageBuffer::Create(10, 0, false),
                                          PixelStorageBuffer::Create(4000, 0, false)}) {
        std::memcpy(buffer->GetData(), "0123456789", 10);
        EXPECT_EQ(buffer->Resize(3), 3u);
        EXPECT_EQ(buffer->Resize(10), 10u);
        EXPECT_EQ(std::memcmp(buffer->GetData(), "012", 3), 0);
        EXPECT_EQ(buffer->Resize(5000), 5000u);
        EXPECT_EQ(std::memcmp(buffer->GetData(), "012", 3), 0) << "moved out of the first block";

        const ConstRCPtr<LIBuffer> copy(buffer->CreateCopy());
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->GetSize(), 5000u);
        EXPECT_EQ(std::memcmp(copy->GetData(), "012", 3), 0);

        EXPECT_EQ(buffer->Resize(0), 0u);
        EXPECT_EQ(buffer->GetData(), nullptr);
        EXPECT_EQ(buffer->Allocate(6), 6u);
        EXPECT_NE(buffer->GetData(), nullptr);
    }

    RCPtr<LIBuffer> reserved = StringBuffer::Create(10, 100, true);
    EXPECT_EQ(reserved->GetCapacity(), 100u) << "a reserve within the slack is kept";
    EXPECT_EQ(static_cast<const char*>(reserved->GetData())[9], 0);
}

}  // namespace
}  // namespace ZV
