#include "Utilities/Storage/Buffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace ZV {
namespace {

// The C heap, until a test tells it to refuse.
class RefusingAllocator final : public IAllocator {
public:
    bool refuse = false;
    void* Alloc(std::size_t size) override { return refuse ? nullptr : std::malloc(size); }
    void* AllocZeroed(std::size_t count, std::size_t size) override
    {
        return refuse ? nullptr : std::calloc(count, size);
    }
    void* Realloc(void* block, std::size_t size) override { return refuse ? nullptr : std::realloc(block, size); }
    void Free(void* block) override { std::free(block); }
};

RefusingAllocator gRefusingAllocator;
IAllocator& GetRefusingAllocator()
{
    return gRefusingAllocator;
}

using StringLikeBuffer = BufferT<1, 128, 8, char*, &GetSystemAllocator>;
using ByteBuffer = BufferT<1, 0, 8, char*, &GetSystemAllocator>;
using PointerBuffer = BufferT<4, 0, 8, char*, &GetSystemAllocator>;

TEST(Buffer, ShrinkKeepsTheBlockOnlyWithinTheSlack)
{
    StringLikeBuffer withSlack;
    withSlack.Resize(100);
    withSlack.Resize(10);
    EXPECT_EQ(withSlack.GetCapacity(), 100u);
    EXPECT_EQ(withSlack.GetSize(), 10u);

    ByteBuffer withoutSlack;
    withoutSlack.Resize(100);
    withoutSlack.Resize(10);
    EXPECT_EQ(withoutSlack.GetCapacity(), 10u);

    PointerBuffer stepped;
    stepped.Resize(5);
    EXPECT_EQ(stepped.GetCapacity(), 8u);
    void* block = stepped.GetData();
    stepped.Resize(6);
    EXPECT_EQ(stepped.GetData(), block);
    EXPECT_EQ(stepped.GetCapacity(), 8u);
    stepped.Resize(4);
    EXPECT_EQ(stepped.GetCapacity(), 4u);
    EXPECT_EQ(stepped.GetSize(), 4u);
}

TEST(Buffer, ResizeKeepsContentsAndAllocateZeroFreesTheBlock)
{
    ByteBuffer buffer(4, 0, true);
    std::memcpy(buffer.GetData(), "abcd", 4);
    buffer.Resize(1000);
    EXPECT_EQ(std::memcmp(buffer.GetData(), "abcd", 4), 0);
    EXPECT_EQ(buffer.Allocate(0), 0u);
    EXPECT_EQ(buffer.GetData(), nullptr);
    EXPECT_EQ(buffer.GetCapacity(), 0u);
}

TEST(Buffer, ReserveSurvivesConstructionOnlyWithinTheSlack)
{
    StringLikeBuffer tooLarge(10, 200, true);
    EXPECT_EQ(tooLarge.GetCapacity(), 10u);
    StringLikeBuffer kept(10, 100, true);
    EXPECT_EQ(kept.GetCapacity(), 100u);
    EXPECT_EQ(kept.GetSize(), 10u);
    for (std::uint32_t i = 0; i < kept.GetSize(); ++i) {
        EXPECT_EQ(kept.GetTypedData()[i], 0);
    }
}

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
    BufferT<1, 0, 8, char*, &GetRefusingAllocator> buffer(8, 0, false);
    std::memcpy(buffer.GetData(), "firmware", 8);
    gRefusingAllocator.refuse = true;
    EXPECT_EQ(buffer.Resize(4096), 8u);
    EXPECT_EQ(buffer.Allocate(4096), 8u);
    gRefusingAllocator.refuse = false;
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

    ConstRCPtr<LRefCountedObject> whole = buffer->CreateCopy();
    ConstRCPtr<LIBuffer> wholeBuffer(whole);
    ASSERT_TRUE(wholeBuffer);
    EXPECT_NE(wholeBuffer.Get(), buffer.Get());
    EXPECT_EQ(std::memcmp(wholeBuffer->GetData(), "0123456789", 10), 0);
}

}  // namespace
}  // namespace ZV
