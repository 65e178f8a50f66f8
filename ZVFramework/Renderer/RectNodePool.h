#pragma once

#include "Renderer/RectNode.h"

#include <cstdint>

namespace ZV {

// Where every region takes its nodes from: one process-wide block of 512 slots, recycled through a ring of free slot
// numbers so that the add and subtract traffic of invalidation stays off the heap. Past 512 live nodes, single nodes
// come from the heap and go back to it. The block is made by the first allocation and never freed; heap calls go
// through the free-list pools' allocator, where tests watch them.
//
// Unlocked, like the regions themselves: they are used on the user-interface thread only.
class RectNodePool {
public:
    static constexpr std::uint32_t kCapacity = 512;

    // A zeroed node; throws std::bad_alloc when neither the block nor the heap has room.
    static RectNode* Allocate();
    // A slot of the block goes to the back of the ring, so released slots are handed out again in the order they
    // were released; any other node goes back to the heap. Null is ignored.
    static void Release(RectNode* node);

    static std::uint32_t GetLiveCount();
    // The most nodes ever live at once.
    static std::uint32_t GetPeakCount();
};

}  // namespace ZV
