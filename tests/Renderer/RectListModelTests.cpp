#include "Renderer/RectList.h"
#include "Renderer/RectNodePool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace ZV {
namespace {

constexpr zlong kMin = std::numeric_limits<zlong>::min();
constexpr zlong kMax = std::numeric_limits<zlong>::max();

// The coordinates a test draws its edges from, the same on both axes; a cell lies between two neighbours.
struct Grid {
    std::vector<zlong> at;

    int Size() const { return static_cast<int>(at.size()) - 1; }
    int IndexOf(zlong coordinate) const
    {
        const auto found = std::find(at.begin(), at.end(), coordinate);
        return found == at.end() ? -1 : static_cast<int>(found - at.begin());
    }
    // Half of them one to three cells wide and high, which break a list into many nodes; the others between any
    // two coordinates, so that a twelfth of all rectangles are empty or inverted.
    RectEdges Random(std::mt19937& random) const
    {
        std::uniform_int_distribution<int> index(0, Size());
        if (std::bernoulli_distribution(0.5)(random)) {
            return {at[index(random)], at[index(random)], at[index(random)], at[index(random)]};
        }
        std::uniform_int_distribution<int> start(0, Size() - 1);
        std::uniform_int_distribution<int> span(1, 3);
        const int left = start(random);
        const int top = start(random);
        return {at[left], at[top], at[std::min(left + span(random), Size())], at[std::min(top + span(random), Size())]};
    }
};

// The model of a region: one flag per cell, row by row.
using Cells = std::bitset<100>;

Cells CellsOf(const Grid& grid, const RectEdges& rect)
{
    Cells cells;
    for (int y = grid.IndexOf(rect.top); !rect.IsEmpty() && y < grid.IndexOf(rect.bottom); ++y) {
        for (int x = grid.IndexOf(rect.left); x < grid.IndexOf(rect.right); ++x) {
            cells.set(static_cast<std::size_t>(y * grid.Size() + x));
        }
    }
    return cells;
}

std::string Describe(const RectList& list)
{
    std::string text;
    for (const RectNode* node = list.GetHead(); node != nullptr; node = node->next) {
        text += "(" + std::to_string(node->left) + ", " + std::to_string(node->top) + ", " +
                std::to_string(node->right) + ", " + std::to_string(node->bottom) + ")";
    }
    return text.empty() ? "an empty list" : text;
}

// The list, moved back by dx and dy, covers the model's cells, each by one node.
::testing::AssertionResult Covers(const RectList& list, const Grid& grid, const Cells& model, zlong dx, zlong dy)
{
    Cells covered;
    for (const RectNode* node = list.GetHead(); node != nullptr; node = node->next) {
        const RectEdges back{node->left - dx, node->top - dy, node->right - dx, node->bottom - dy};
        const bool onGrid = std::min({grid.IndexOf(back.left), grid.IndexOf(back.top), grid.IndexOf(back.right),
                                      grid.IndexOf(back.bottom)}) >= 0;
        const Cells cells = onGrid ? CellsOf(grid, back) : Cells();
        if (!onGrid || back.IsEmpty() || (covered & cells).any()) {
            return ::testing::AssertionFailure() << "an empty, overlapping or off-grid node in " << Describe(list);
        }
        covered |= cells;
    }
    if (covered != model) {
        return ::testing::AssertionFailure() << "other cells covered by " << Describe(list);
    }
    return ::testing::AssertionSuccess();
}

// Bottoms never fall along the list; the nodes of one bottom run left to right without touching; no node lines up
// with a node right above it.
::testing::AssertionResult IsNormalized(const RectList& list)
{
    for (const RectNode* node = list.GetHead(); node != nullptr; node = node->next) {
        const RectNode* next = node->next;
        if (next != nullptr &&
            (next->bottom < node->bottom || (next->bottom == node->bottom && next->left <= node->right))) {
            return ::testing::AssertionFailure() << "out of band order: " << Describe(list);
        }
        for (const RectNode* below = list.GetHead(); below != nullptr; below = below->next) {
            if (below->top == node->bottom && below->left == node->left && below->right == node->right) {
                return ::testing::AssertionFailure() << "not joined downwards: " << Describe(list);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// Random sequences of the region operations against the model. Offsets move the list, not the model: every
// rectangle given to the list is moved as far, and the checks move it back.
void RunRandomSequences(const Grid& grid, bool withOffsets, std::uint32_t seed)
{
    std::mt19937 random(seed);
    for (int sequence = 0; sequence < 2000; ++sequence) {
        RectList list;
        Cells model;
        zlong dx = 0;
        zlong dy = 0;
        const auto moved = [&](RectEdges rect) {
            return RectEdges{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
        };
        for (int step = 0; step < 24; ++step) {
            const RectEdges rect = grid.Random(random);
            RectList other;
            Cells otherModel;
            for (int i = std::uniform_int_distribution<int>(1, 4)(random); i > 0; --i) {
                const RectEdges part = grid.Random(random);
                other.Add(moved(part));
                otherModel |= CellsOf(grid, part);
            }
            const bool itself = std::uniform_int_distribution<int>(0, 5)(random) == 0;
            RectList collector;
            Cells collected;
            const int operation = std::uniform_int_distribution<int>(0, 8)(random);
            switch (operation) {
            case 3:
                list.SubtractRect(moved(rect), &collector);
                collected = model & CellsOf(grid, rect);
                model &= ~CellsOf(grid, rect);
                break;
            case 4:
                list.SubtractList(itself ? list : other, &collector);
                collected = itself ? model : model & otherModel;
                model = itself ? Cells() : model & ~otherModel;
                break;
            case 5:
                list.Intersect(itself ? list : other);
                model &= itself ? model : otherModel;
                break;
            case 6:
                if (withOffsets) {
                    const zlong x = std::uniform_int_distribution<zlong>(-3, 3)(random);
                    const zlong y = std::uniform_int_distribution<zlong>(-3, 3)(random);
                    list.Offset(x, y);
                    dx += x;
                    dy += y;
                }
                break;
            case 7:
                list.Normalize();
                ASSERT_TRUE(IsNormalized(list)) << "sequence " << sequence << ", step " << step;
                break;
            case 8:
                ASSERT_EQ(list.Overlaps(moved(rect)), (model & CellsOf(grid, rect)).any()) << Describe(list);
                break;
            default:
                list.Add(moved(rect));
                model |= CellsOf(grid, rect);
                break;
            }
            ASSERT_TRUE(Covers(list, grid, model, dx, dy))
                << "operation " << operation << ", sequence " << sequence << ", step " << step;
            ASSERT_TRUE(Covers(collector, grid, collected, dx, dy)) << "cut out by operation " << operation;
        }
    }
    EXPECT_EQ(RectNodePool::GetLiveCount(), 0u);
}

TEST(RectListModel, RandomSequencesOnASmallGridCoverWhatTheModelCoversWithoutOverlapAndNormalizeIntoJoinedBands)
{
    RunRandomSequences(Grid{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}, true, 14);
}

TEST(RectListModel, RandomSequencesWithEdgesAtThe32BitLimitsCoverWhatTheModelCovers)
{
    RunRandomSequences(Grid{{kMin, kMin + 1, kMin + 2, -1, 0, 1, kMax - 2, kMax - 1, kMax}}, false, 102);
}

}  // namespace
}  // namespace ZV
