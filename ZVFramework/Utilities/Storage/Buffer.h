#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Allocator.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace ZV {

// Raw, growable bytes.
class IBuffer {
public:
    virtual std::uint32_t GetSize() const = 0;
    // New size; the contents are not kept.
    virtual std::uint32_t Allocate(std::uint32_t size) = 0;
    // New size; the contents are kept up to the smaller of the two sizes.
    virtual std::uint32_t Resize(std::uint32_t size) = 0;
    [[nodiscard]] virtual ZVRESULT Fill(std::uint8_t value, std::uint32_t offset, int count) = 0;
    [[nodiscard]] virtual ZVRESULT Fill16(std::uint16_t value, std::uint32_t offset, int count) = 0;
    virtual std::uint32_t GetCapacity() const = 0;
    virtual void* GetData() const = 0;

protected:
    ~IBuffer() = default;
};

// One heap block with a size and a capacity (or, to begin with, a block that a derived class embeds: see
// GetEmbeddedBlock). Capacities are multiples of Step; a shrinking Resize keeps the block while it is larger than
// needed by no more than max(Slack, Step - 1) bytes. When the allocator fails, the buffer keeps its old block and
// size, so callers see the failure as a size other than the one they asked for.
template <std::uint32_t Step, std::uint32_t Slack, std::uint32_t Align, class DataPointer,
          IAllocator& (*GetAllocator)()>
class BufferT : public virtual IBuffer {
    static_assert(Step > 0);

public:
    explicit BufferT(std::uint32_t size = 0, std::uint32_t reserve = 0, bool zeroFill = false)
    {
        if (reserve > size) {
            if (void* block = GetAllocator().Alloc(reserve)) {
                mBlock = block;
                mCapacity = reserve;
            }
        }
        if (size != 0 || mCapacity != 0) {
            BufferT::Resize(size);
        }
        if (zeroFill && mSize != 0) {
            std::memset(mBlock, 0, mSize);
        }
    }
    BufferT(const BufferT&) = delete;
    BufferT& operator=(const BufferT&) = delete;
    virtual ~BufferT()
    {
        if (mBlock != nullptr) {
            GetAllocator().Free(mBlock);
        }
    }

    std::uint32_t GetSize() const override { return mSize; }
    std::uint32_t GetCapacity() const override { return mCapacity; }
    void* GetData() const override { return mBlock; }
    DataPointer GetTypedData() const { return static_cast<DataPointer>(mBlock); }

    std::uint32_t Allocate(std::uint32_t size) override
    {
        if (size == 0) {
            ReleaseBlock();
            return mSize;
        }
        const std::uint64_t capacity = RoundUpToStep(size);
        if (capacity != mCapacity) {
            void* block = capacity <= UINT32_MAX ? GetAllocator().Alloc(capacity) : nullptr;
            if (block == nullptr) {
                return mSize;
            }
            ReleaseBlock();
            mBlock = block;
            mCapacity = static_cast<std::uint32_t>(capacity);
        }
        mSize = size;
        return mSize;
    }

    std::uint32_t Resize(std::uint32_t size) override
    {
        if (mCapacity == 0) {
            return Allocate(size);
        }
        if (KeepsBlockFor(mCapacity, size)) {
            mSize = size;
            return mSize;
        }
        if (size == 0) {
            // realloc to zero bytes frees the block; say so plainly.
            ReleaseBlock();
            return mSize;
        }
        return Reallocate(size, RoundUpToStep(size));
    }

    // Resize for storage that changes a little at a time (a string being built, an array gaining and losing items),
    // so that a run of such changes costs amortised constant time: a block that must grow takes at least twice its
    // old capacity, a size that grows within the block keeps it, and a shrinking size keeps it too while at least
    // half of it stays in use or while it is a single step (so that one item coming and going does not allocate
    // each time). A block that has to shrink gets the rounded size exactly, as Resize gives it; should the
    // allocator refuse even that, the larger block stays, so that shrinking never fails.
    std::uint32_t ResizeAmortised(std::uint32_t size)
    {
        if (size <= mCapacity) {
            const bool keep = size >= mSize || static_cast<std::uint64_t>(size) * 2 >= mCapacity || mCapacity <= Step;
            if (!keep) {
                Resize(size);
            }
            mSize = size;
            return mSize;
        }
        if (mCapacity == 0) {
            return Allocate(size);
        }
        const std::uint64_t doubled = RoundUpToStep(std::max(mCapacity, kSmallestGrownBlock / 2)) * 2;
        const std::uint64_t capacity = std::max(RoundUpToStep(size), doubled <= UINT32_MAX ? doubled : 0);
        return Reallocate(size, capacity);
    }

    // A larger size within the held block, which the caller has made sure holds it: the step of a string that is
    // being built a character at a time, so it checks nothing again.
    void GrowWithinBlock(std::uint32_t size) { mSize = size; }

    [[nodiscard]] ZVRESULT Fill(std::uint8_t value, std::uint32_t offset, int count) override
    {
        std::uint64_t units = 0;
        if (!FillRange(offset, count, 1, units)) {
            return ZV_E_INVALIDARG;
        }
        if (units != 0) {
            std::memset(static_cast<std::uint8_t*>(mBlock) + offset, value, units);
        }
        return ZV_S_OK;
    }

    [[nodiscard]] ZVRESULT Fill16(std::uint16_t value, std::uint32_t offset, int count) override
    {
        std::uint64_t units = 0;
        if (!FillRange(offset, count, 2, units)) {
            return ZV_E_INVALIDARG;
        }
        auto* target = static_cast<std::uint8_t*>(mBlock) + offset;
        for (std::uint64_t i = 0; i < units; ++i) {
            std::memcpy(target + 2 * i, &value, 2);
        }
        return ZV_S_OK;
    }

protected:
    // The block that a derived class keeps in its own object or places in the same allocation, or null. The buffer
    // never reallocates or frees that block: it keeps it while the size fits and moves to a block from the
    // allocator when it needs more room. It is asked only when a block is to be given back or moved, so buffers
    // without one pay nothing elsewhere.
    virtual const void* GetEmbeddedBlock() const { return nullptr; }

    // Makes an empty buffer hold the embedded block, of the given capacity, with size 0.
    void StartInEmbeddedBlock(void* block, std::uint32_t capacity)
    {
        assert(mBlock == nullptr);
        mBlock = block;
        mCapacity = capacity;
    }

    // The destructor of the class that placed an embedded block lets go of it here, since this class's own
    // destructor no longer sees that class's GetEmbeddedBlock.
    void LeaveEmbeddedBlock()
    {
        if (HoldsEmbeddedBlock()) {
            mBlock = nullptr;
            mSize = 0;
            mCapacity = 0;
        }
    }

    // The capacity that construction with this size and reserve ends with.
    static std::uint64_t CapacityFor(std::uint32_t size, std::uint32_t reserve)
    {
        return reserve > size && KeepsBlockFor(reserve, size) ? reserve : RoundUpToStep(size);
    }

private:
    // Small blocks grow straight to this size: doubling from a few bytes would reallocate again at once.
    static constexpr std::uint32_t kSmallestGrownBlock = 64;

    static std::uint64_t RoundUpToStep(std::uint32_t size)
    {
        return (static_cast<std::uint64_t>(size) + Step - 1) / Step * Step;
    }

    // Whether a shrinking Resize keeps a block of this capacity for the size.
    static bool KeepsBlockFor(std::uint32_t capacity, std::uint32_t size)
    {
        return capacity >= size && capacity - size <= std::max(Slack, Step - 1);
    }

    bool HoldsEmbeddedBlock() const { return mBlock != nullptr && mBlock == GetEmbeddedBlock(); }

    // How many units of unitSize bytes a fill covers; false when the range leaves the buffer.
    bool FillRange(std::uint32_t offset, int count, std::uint32_t unitSize, std::uint64_t& units) const
    {
        if (count < 0) {
            if (offset > mSize) {
                return false;
            }
            units = (mSize - offset) / unitSize;
            return true;
        }
        units = static_cast<std::uint64_t>(count);
        return static_cast<std::uint64_t>(offset) + unitSize * units <= mSize;
    }

    // Moves the held block to one of the given capacity; on failure the old block and size stay. An embedded block
    // that is large enough stays: giving back part of it would free nothing.
    std::uint32_t Reallocate(std::uint32_t size, std::uint64_t capacity)
    {
        const bool embedded = HoldsEmbeddedBlock();
        if (embedded && capacity <= mCapacity) {
            mSize = size;
            return mSize;
        }
        if (capacity > UINT32_MAX) {
            return mSize;
        }
        void* block = embedded ? GetAllocator().Alloc(capacity) : GetAllocator().Realloc(mBlock, capacity);
        if (block == nullptr) {
            return mSize;
        }
        if (embedded) {
            std::memcpy(block, mBlock, std::min(mSize, size));
        }
        mBlock = block;
        mCapacity = static_cast<std::uint32_t>(capacity);
        mSize = size;
        return mSize;
    }

    void ReleaseBlock()
    {
        if (mBlock != nullptr && !HoldsEmbeddedBlock()) {
            GetAllocator().Free(mBlock);
        }
        mBlock = nullptr;
        mSize = 0;
        mCapacity = 0;
    }

    void* mBlock = nullptr;
    std::uint32_t mSize = 0;
    std::uint32_t mCapacity = 0;
};

// A shared, counted buffer (strings and pixel buffers keep their bytes in one).
class LIBuffer : public virtual IBuffer, public virtual LRefCountedObject {
public:
    // A new buffer of the same kind with newSize zero bytes, holding this buffer's bytes from offset on.
    virtual void CreateResizedCopy(RCPtr<LIBuffer>& out, std::uint32_t newSize, std::uint32_t offset) const = 0;
};

// A small buffer is made in one allocation with its first block (see New), so that making a string costs one trip
// to the heap rather than two.
template <std::uint32_t Step, std::uint32_t Slack, std::uint32_t Align, class DataPointer,
          IAllocator& (*GetAllocator)()>
class LBufferT final : public BufferT<Step, Slack, Align, DataPointer, GetAllocator>, public LIBuffer {
    using Base = BufferT<Step, Slack, Align, DataPointer, GetAllocator>;

public:
    explicit LBufferT(std::uint32_t size = 0, std::uint32_t reserve = 0, bool zeroFill = false)
        : Base(size, reserve, zeroFill)
    {
    }
    ~LBufferT() override { this->LeaveEmbeddedBlock(); }

    // A new buffer as the constructor makes it. When its block is small, the block is placed right after the object
    // in the same allocation; a failure to get that allocation throws as new does.
    static LBufferT* New(std::uint32_t size, std::uint32_t reserve, bool zeroFill)
    {
        const std::uint64_t capacity = Base::CapacityFor(size, reserve);
        if (capacity == 0 || capacity > kLargestEmbeddedBlock) {
            return new LBufferT(size, reserve, zeroFill);
        }
        void* memory = ::operator new(kEmbeddedBlockOffset + capacity);
        return new (memory) LBufferT(static_cast<std::byte*>(memory) + kEmbeddedBlockOffset,
                                     static_cast<std::uint32_t>(capacity), size, zeroFill);
    }

    // Every buffer goes back to the heap whole, however large the allocation that held it.
    static void operator delete(void* memory) { ::operator delete(memory); }

    static RCPtr<LIBuffer> Create(std::uint32_t size, std::uint32_t reserve, bool zeroFill)
    {
        return RCPtr<LIBuffer>(New(size, reserve, zeroFill), kNewObject);
    }

    void CreateResizedCopy(RCPtr<LIBuffer>& out, std::uint32_t newSize, std::uint32_t offset) const override
    {
        RCPtr<LIBuffer> copy = Create(newSize, 0, true);
        if (copy->GetSize() != newSize) {
            out = nullptr;
            return;
        }
        if (offset < this->GetSize()) {
            const std::uint32_t count = std::min(newSize, this->GetSize() - offset);
            if (count != 0) {
                std::memcpy(copy->GetData(), static_cast<const std::uint8_t*>(this->GetData()) + offset, count);
            }
        }
        out = copy;
    }

    ConstRCPtr<LRefCountedObject> CreateCopy() const override
    {
        RCPtr<LIBuffer> copy = Create(this->GetSize(), 0, false);
        if (copy->GetSize() != this->GetSize()) {
            return nullptr;
        }
        if (this->GetSize() != 0) {
            std::memcpy(copy->GetData(), this->GetData(), this->GetSize());
        }
        return copy;
    }

private:
    const void* GetEmbeddedBlock() const override
    {
        return mHasEmbeddedBlock ? reinterpret_cast<const std::byte*>(this) + kEmbeddedBlockOffset : nullptr;
    }

    // Larger blocks come from the allocator on their own, so that a buffer that cannot have its block is still made
    // (with a size other than the one asked for) as the allocator's failures are everywhere else.
    static constexpr std::uint32_t kLargestEmbeddedBlock = 1024;
    // Where an embedded block starts: past the object, aligned as the heap aligns its blocks.
    static constexpr std::size_t kEmbeddedBlockOffset =
        (sizeof(LBufferT) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);

    // The capacity is the one the other constructor ends with for the size, so the size fits the block.
    LBufferT(void* embeddedBlock, std::uint32_t capacity, std::uint32_t size, bool zeroFill) : mHasEmbeddedBlock(true)
    {
        this->StartInEmbeddedBlock(embeddedBlock, capacity);
        this->GrowWithinBlock(size);
        if (zeroFill) {
            std::memset(embeddedBlock, 0, size);
        }
    }

    bool mHasEmbeddedBlock = false;
};

using StringBuffer = LBufferT<1, 128, 8, char*, &GetSystemAllocator>;
using PixelStorageBuffer = LBufferT<1, 0, 8, char*, &GetSystemAllocator>;

}  // namespace ZV
