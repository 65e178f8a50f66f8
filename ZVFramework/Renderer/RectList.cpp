#include "Renderer/RectList.h"

#include "Renderer/RectNodePool.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>
#include <cassert>
#include <cfloat>
#include <cstdint>
#include <limits>
#include <utility>

namespace ZV {

namespace {

constexpr std::int64_t kLowest = std::numeric_limits<zlong>::min();
constexpr std::int64_t kHighest = std::numeric_limits<zlong>::max();

// Strict: rectangles that only touch do not overlap. The node is never empty.
bool Overlapping(const RectEdges& node, const RectEdges& rect)
{
    return node.left < rect.right && rect.left < node.right && node.top < rect.bottom && rect.top < node.bottom;
}

bool Contains(const RectEdges& outer, const RectEdges& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

zlong ClampedSum(zlong value, zlong delta)
{
    return static_cast<zlong>(std::clamp(std::int64_t{value} + delta, kLowest, kHighest));
}

// The start and length of the span from..to; a span longer than 32 bits can say keeps its far end.
std::pair<zlong, zlong> ToStartAndLength(zlong from, zlong to)
{
    const std::int64_t length = std::min(std::int64_t{to} - from, kHighest);
    return {static_cast<zlong>(to - length), static_cast<zlong>(length)};
}

void SwapEdges(RectNode& a, RectNode& b)
{
    std::swap(static_cast<RectEdges&>(a), static_cast<RectEdges&>(b));
}

// A new node at the link; returns the link behind it.
RectNode** InsertAt(RectNode** link, const RectEdges& rect)
{
    RectNode* node = RectNodePool::Allocate();
    static_cast<RectEdges&>(*node) = rect;
    node->next = *link;
    *link = node;
    return &node->next;
}

// Cuts the run of nodes that share the first one's top at the smallest of their bottoms or at the next run's top,
// whichever comes first, so that the run becomes a band of one top and one bottom that does not reach into the next.
// The parts below the cut go in where their top keeps the list sorted. Returns the cut, the band's bottom.
zlong CutBand(RectNode* first)
{
    zlong line = first->bottom;
    RectNode* last = first;
    while (last->next != nullptr && last->next->top == first->top) {
        last = last->next;
        line = std::min(line, last->bottom);
    }
    if (last->next != nullptr && last->next->top < line) {
        line = last->next->top;
    }
    RectNode** lowerParts = nullptr;
    for (RectNode* node = first;; node = node->next) {
        if (node->bottom > line) {
            if (lowerParts == nullptr) {
                lowerParts = &last->next;
                while (*lowerParts != nullptr && (*lowerParts)->top < line) {
                    lowerParts = &(*lowerParts)->next;
                }
            }
            InsertAt(lowerParts, {node->left, line, node->right, node->bottom});
            node->bottom = line;
        }
        if (node == last) {
            return line;
        }
    }
}

// Sorts a band by left and joins the neighbours that touch. The first node stays first.
void JoinWithinBand(RectNode* first)
{
    for (bool changed = true; changed;) {
        changed = false;
        RectNode* node = first;
        while (node->next != nullptr && node->next->top == first->top) {
            RectNode* next = node->next;
            if (next->left < node->left) {
                SwapEdges(*node, *next);
                changed = true;
            }
            if (node->right == next->left) {
                node->right = next->right;
                node->next = next->next;
                RectNodePool::Release(next);
                changed = true;
            } else {
                node = next;
            }
        }
    }
}

// A node of the lower band that lines up with a node of the band right above takes that node's top, and that node
// goes. The node keeps its place and its bottom, so chains of such nodes join band by band and the bands stay in
// order of their bottoms. Both bands run left to right.
void JoinWithUpperBand(RectNode** upperBand, RectNode* lowerFirst)
{
    if (lowerFirst->top != (*upperBand)->bottom) {
        return;
    }
    RectNode** upper = upperBand;
    for (RectNode* lower = lowerFirst; lower != nullptr && lower->bottom == lowerFirst->bottom; lower = lower->next) {
        while (*upper != lowerFirst && (*upper)->left < lower->left) {
            upper = &(*upper)->next;
        }
        if (*upper != lowerFirst && (*upper)->left == lower->left && (*upper)->right == lower->right) {
            RectNode* joined = *upper;
            lower->top = joined->top;
            *upper = joined->next;
            RectNodePool::Release(joined);
        }
    }
}

}  // namespace

void RectList::CutOut(RectNode* node, RectList* collector)
{
    if (collector != nullptr) {
        node->next = collector->mHead;
        collector->mHead = node;
    } else {
        RectNodePool::Release(node);
    }
}

void RectList::Add(const RectEdges& rect)
{
    if (rect.IsEmpty()) {
        return;
    }
    // Nodes never overlap, so the first node that overlaps the rectangle is the only one that can hold it whole;
    // the nodes before it are left alone by the cut.
    RectNode** link = &mHead;
    while (*link != nullptr && !Overlapping(**link, rect)) {
        link = &(*link)->next;
    }
    if (*link != nullptr && Contains(**link, rect)) {
        return;
    }
    SubtractFrom(link, rect, nullptr);
    InsertAt(&mHead, rect);
}

void RectList::Clear()
{
    while (mHead != nullptr) {
        RectNode* node = mHead;
        mHead = node->next;
        RectNodePool::Release(node);
    }
}

bool RectList::GetBounds(RectEdges& bounds) const
{
    bounds = RectEdges{};
    if (mHead == nullptr) {
        return false;
    }
    bounds = *mHead;
    for (const RectNode* node = mHead->next; node != nullptr; node = node->next) {
        bounds.left = std::min(bounds.left, node->left);
        bounds.top = std::min(bounds.top, node->top);
        bounds.right = std::max(bounds.right, node->right);
        bounds.bottom = std::max(bounds.bottom, node->bottom);
    }
    return true;
}

std::uint32_t RectList::GetCount() const
{
    std::uint32_t count = 0;
    for (const RectNode* node = mHead; node != nullptr; node = node->next) {
        ++count;
    }
    return count;
}

ZVRESULT RectList::CopyToArray(IArray<RectT<zlong>>& rects) const
{
    const ZVRESULT cleared = rects.Clear();
    if (Failed(cleared)) {
        return cleared;
    }
    for (const RectNode* node = mHead; node != nullptr; node = node->next) {
        const auto [x, width] = ToStartAndLength(node->left, node->right);
        const auto [y, height] = ToStartAndLength(node->top, node->bottom);
        const ZVRESULT added = rects.AddItem(RectT<zlong>(x, y, width, height));
        if (Failed(added)) {
            return added;
        }
    }
    return static_cast<ZVRESULT>(rects.GetCount());
}

void RectList::Offset(zlong dx, zlong dy)
{
    if (dx == 0 && dy == 0) {
        return;
    }
    // Clamping keeps the order of edges, so nodes that did not overlap still do not.
    RectNode** link = &mHead;
    while (RectNode* node = *link) {
        node->left = ClampedSum(node->left, dx);
        node->right = ClampedSum(node->right, dx);
        node->top = ClampedSum(node->top, dy);
        node->bottom = ClampedSum(node->bottom, dy);
        if (node->IsEmpty()) {
            *link = node->next;
            RectNodePool::Release(node);
        } else {
            link = &node->next;
        }
    }
}

void RectList::AppendCopies(const RectList& other)
{
    // Copies go in front, so a list appended to itself copies only what it held before.
    for (const RectNode* node = other.mHead; node != nullptr; node = node->next) {
        InsertAt(&mHead, *node);
    }
}

void RectList::SubtractRect(const RectEdges& rect, RectList* collector)
{
    assert(collector != this && "the cut-out parts go to another list");
    // An empty or inverted rectangle would pass the overlap test and cut nodes into overlapping parts.
    if (rect.IsEmpty()) {
        return;
    }
    SubtractFrom(&mHead, rect, collector);
}

void RectList::SubtractFrom(RectNode** link, const RectEdges& rect, RectList* collector)
{
    while (RectNode* node = *link) {
        if (!Overlapping(*node, rect)) {
            link = &node->next;
            continue;
        }
        // Each part outside the rectangle goes in before the node, where the walk has passed; the node shrinks to
        // the common part only after its part is in, so a failed allocation leaves the covered area whole.
        if (node->top < rect.top) {
            link = InsertAt(link, {node->left, node->top, node->right, rect.top});
            node->top = rect.top;
        }
        if (node->bottom > rect.bottom) {
            link = InsertAt(link, {node->left, rect.bottom, node->right, node->bottom});
            node->bottom = rect.bottom;
        }
        if (node->left < rect.left) {
            link = InsertAt(link, {node->left, node->top, rect.left, node->bottom});
            node->left = rect.left;
        }
        if (node->right > rect.right) {
            link = InsertAt(link, {rect.right, node->top, node->right, node->bottom});
            node->right = rect.right;
        }
        *link = node->next;
        CutOut(node, collector);
    }
}

void RectList::SubtractList(const RectList& other, RectList* collector)
{
    assert(collector != &other && "the cut-out parts go to a third list");
    if (&other == this) {
        while (RectNode* node = mHead) {
            mHead = node->next;
            CutOut(node, collector);
        }
        return;
    }
    for (const RectNode* node = other.mHead; node != nullptr; node = node->next) {
        SubtractRect(*node, collector);
    }
}

void RectList::Intersect(const RectList& other)
{
    if (&other == this) {
        return;
    }
    RectList covered;
    SubtractList(other, &covered);
    Clear();
    std::swap(mHead, covered.mHead);
}

bool RectList::Overlaps(const RectEdges& rect) const
{
    if (rect.IsEmpty()) {
        return false;
    }
    for (const RectNode* node = mHead; node != nullptr; node = node->next) {
        if (Overlapping(*node, rect)) {
            return true;
        }
    }
    return false;
}

bool RectList::IntersectsRect(const RectT<double>& rect, const PointT<double>& offset) const
{
    const double x = rect.x + offset.x;
    const double y = rect.y + offset.y;
    const double left = std::max(x, 0.0);
    const double top = std::max(y, 0.0);
    const double right = std::min(x + rect.width, 2147483647.0);
    const double bottom = std::min(y + rect.height, 2147483647.0);
    // Written so that a NaN anywhere answers false.
    if (!(right - left > DBL_EPSILON) || !(bottom - top > DBL_EPSILON)) {
        return false;
    }
    return Overlaps({RoundToLong(left), RoundToLong(top), RoundToLong(right), RoundToLong(bottom)});
}

void RectList::Normalize()
{
    // By top; stable, so nodes of equal top keep their order.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (RectNode* node = mHead; node != nullptr && node->next != nullptr; node = node->next) {
            if (node->next->top < node->top) {
                SwapEdges(*node, *node->next);
                swapped = true;
            }
        }
    }
    // Band by band from the top: a band is cut, joined within and joined to the band above before the next one is
    // cut, so a tall node cut into many bands is whole again piece by piece and the node count stays near its final
    // value.
    RectNode** upperBand = nullptr;
    RectNode** band = &mHead;
    while (RectNode* first = *band) {
        const zlong bottom = CutBand(first);
        JoinWithinBand(first);
        if (upperBand != nullptr) {
            JoinWithUpperBand(upperBand, first);
            band = upperBand;
            while (*band != first) {
                band = &(*band)->next;
            }
        }
        upperBand = band;
        RectNode* last = first;
        while (last->next != nullptr && last->next->bottom == bottom) {
            last = last->next;
        }
        band = &last->next;
    }
}

}  // namespace ZV
