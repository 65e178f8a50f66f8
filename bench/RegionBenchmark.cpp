#include "Renderer/RectList.h"
#include "Renderer/RectNodePool.h"
#include "SideBySide.h"
#include "Threading/CountingPoolAllocator.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using namespace ZV;

// A window's invalidation between two paints: small dirty rectangles from controls that changed, a few opaque areas
// cut out, then the region tidied and walked by the paint.
struct Workload {
    std::vector<RectEdges> dirty;
    std::vector<RectEdges> opaque;
};

const Workload& GetWorkload()
{
    static const Workload workload = [] {
        constexpr int kWindowWidth = 1280;
        constexpr int kWindowHeight = 800;
        std::mt19937 random(2024);
        std::uniform_int_distribution<zlong> size(4, 48);
        std::uniform_int_distribution<zlong> x(0, kWindowWidth - 48);
        std::uniform_int_distribution<zlong> y(0, kWindowHeight - 48);
        Workload made;
        for (int i = 0; i < 200; ++i) {
            const zlong left = x(random);
            const zlong top = y(random);
            made.dirty.push_back({left, top, left + size(random), top + size(random)});
        }
        for (int i = 0; i < 4; ++i) {
            const zlong left = x(random);
            const zlong top = y(random);
            made.opaque.push_back({left, top, left + 120, top + 60});
        }
        return made;
    }();
    return workload;
}

std::int64_t Area(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    return (right - left) * (bottom - top);
}

// The region type's run: the list only joins its nodes into bands once, when the paint asks for it. The area
// walked and the rectangle count come back through the arguments.
void RunRectList(const Workload& workload, std::int64_t& area, std::uint32_t& rects)
{
    RectList region;
    for (const RectEdges& rect : workload.dirty) {
        region.Add(rect);
    }
    for (const RectEdges& rect : workload.opaque) {
        region.SubtractRect(rect);
    }
    region.Normalize();
    area = 0;
    rects = 0;
    for (const RectNode* node = region.GetHead(); node != nullptr; node = node->next) {
        area += Area(node->left, node->top, node->right, node->bottom);
        ++rects;
    }
    benchmark::DoNotOptimize(area);
}

// The same sequence on pixman's region, which keeps itself in bands after every operation.
void RunPixman(const Workload& workload, std::int64_t& area, int& rects)
{
    pixman_region32_t region;
    pixman_region32_init(&region);
    for (const RectEdges& rect : workload.dirty) {
        pixman_region32_union_rect(&region, &region, rect.left, rect.top, static_cast<unsigned>(rect.right - rect.left),
                                   static_cast<unsigned>(rect.bottom - rect.top));
    }
    for (const RectEdges& rect : workload.opaque) {
        pixman_region32_t cut;
        pixman_region32_init_rect(&cut, rect.left, rect.top, static_cast<unsigned>(rect.right - rect.left),
                                  static_cast<unsigned>(rect.bottom - rect.top));
        pixman_region32_subtract(&region, &region, &cut);
        pixman_region32_fini(&cut);
    }
    area = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&region, &rects);
    for (int i = 0; i < rects; ++i) {
        area += Area(boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2);
    }
    benchmark::DoNotOptimize(area);
    pixman_region32_fini(&region);
}

// ours_ns is the region type, std_ns pixman, run in turns under the same load; the two areas must agree.
void RectListAgainstPixmanInvalidation(benchmark::State& state)
{
    const Workload& workload = GetWorkload();
    // The node pool's block is made once per process, before the heap is watched.
    RectList().Add({0, 0, 1, 1});
    Testing::CountingPoolAllocator heap;
    std::int64_t area = 0;
    std::uint32_t rects = 0;
    std::int64_t pixmanArea = 0;
    int pixmanRects = 0;
    bench::RunSideBySide(state, [&] { RunRectList(workload, area, rects); },
                         [&] { RunPixman(workload, pixmanArea, pixmanRects); });
    if (area != pixmanArea) {
        state.SkipWithError("the region and pixman cover different areas");
    }
    state.counters["area"] = static_cast<double>(area);
    state.counters["rects"] = rects;
    state.counters["pixman rects"] = pixmanRects;
    state.counters["peak nodes"] = RectNodePool::GetPeakCount();
    state.counters["heap calls"] = heap.GetCalls();
}
BENCHMARK(RectListAgainstPixmanInvalidation);

// A window relaid out after a resize: the window's area, then the old and new areas of 500 controls inside it.
std::vector<RectEdges> RelayoutRects()
{
    std::vector<RectEdges> rects{{0, 0, 1001, 801}};
    for (int column = 0; column < 20; ++column) {
        for (int row = 0; row < 25; ++row) {
            const zlong left = column * 50;
            const zlong top = row * 32;
            rects.push_back({left, top, left + 50, top + 32});
            rects.push_back({left + 1, top + 1, left + 51, top + 33});
        }
    }
    return rects;
}

// ours_ns the region type, std_ns pixman, adding the rectangles of one relayout; the window stays one node.
void RectListAgainstPixmanFullyDirtyWindow(benchmark::State& state)
{
    const std::vector<RectEdges> rects = RelayoutRects();
    std::uint32_t nodes = 0;
    bench::RunSideBySide(
        state,
        [&] {
            RectList region;
            for (const RectEdges& rect : rects) {
                region.Add(rect);
            }
            nodes = region.GetCount();
        },
        [&] {
            pixman_region32_t region;
            pixman_region32_init(&region);
            for (const RectEdges& rect : rects) {
                pixman_region32_union_rect(&region, &region, rect.left, rect.top,
                                           static_cast<unsigned>(rect.right - rect.left),
                                           static_cast<unsigned>(rect.bottom - rect.top));
            }
            benchmark::DoNotOptimize(pixman_region32_n_rects(&region));
            pixman_region32_fini(&region);
        });
    state.counters["nodes"] = nodes;
}
BENCHMARK(RectListAgainstPixmanFullyDirtyWindow);

}  // namespace
