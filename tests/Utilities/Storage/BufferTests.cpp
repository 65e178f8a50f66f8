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

}  // namespace
}  // namespace ZV
