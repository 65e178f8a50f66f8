#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Renderer/RectNode.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

// A region: integer rectangles in a singly linked list that owns its nodes, which come from RectNodePool. Add keeps
// the nodes from overlapping; AppendCopies does not. What a list covers is its meaning: the order of its nodes says
// nothing beyond what Normalize gives it.
//
// User-interface thread only, as the node pool is unlocked.
class RectList {
public:
    RectList() = default;
    ~RectList() { Clear(); }
    RectList(const RectList&) = delete;
    RectList& operator=(const RectList&) = delete;

    // An empty rectangle, or one inside a node, changes nothing.
    void Add(const RectEdges& rect);
    void Clear();
    // An empty list gives (0, 0, 0, 0) and false.
    bool GetBounds(RectEdges& bounds) const;
    std::uint32_t GetCount() const;
    // Replaces the array's items with the nodes, in list order, as x, y, width, height. A node wider or taller than
    // 32 bits can say keeps its right or bottom part: the part nearest the window. Returns the count, or the array's
    // failure code.
    [[nodiscard]] ZVRESULT CopyToArray(IArray<RectT<zlong>>& rects) const;
    // Edges that would pass the 32-bit range stop at its ends; a node squeezed to nothing there is dropped.
    void Offset(zlong dx, zlong dy);
    // Copies of the other list's nodes, overlapping this list's or not.
    void AppendCopies(const RectList& other);
    // The parts cut out go to the collector when there is one; it must be a third list.
    void SubtractRect(const RectEdges& rect, RectList* collector = nullptr);
    void SubtractList(const RectList& other, RectList* collector = nullptr);
    // Keeps the part of this list that the other covers.
    void Intersect(const RectList& other);
    // Touching edges do not overlap.
    bool Overlaps(const RectEdges& rect) const;
    // The rectangle (x, y, width, height) moved by the offset and cut to 0 .. 2^31 - 1 on both axes.
    bool IntersectsRect(const RectT<double>& rect, const PointT<double>& offset) const;
    // Rebuilds the list into horizontal bands, each running left to right with touching neighbours joined, and joins
    // a node to the one right above it when their left and right edges agree. Afterwards the bands follow each other
    // downwards: the nodes of a band share their bottom, and bottoms never fall along the list.
    void Normalize();

    const RectNode* GetHead() const { return mHead; }

private:
    // Cuts the non-empty rectangle out of the nodes from the link on.
    static void SubtractFrom(RectNode** link, const RectEdges& rect, RectList* collector);
    // An unlinked node goes to the collector's front, or back to the pool without one.
    static void CutOut(RectNode* node, RectList* collector);

    RectNode* mHead = nullptr;
};

}  // namespace ZV
