#include "Renderer/ArgbColours.h"
#include "Renderer/ColorRectList.h"
#include "Renderer/OpenGL/GLTestWindow.h"
#include "Renderer/Polyline.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/BitmapData.h"

#include <gtest/gtest.h>

#include <functional>

namespace ZV {
namespace {

using Testing::Image;

constexpr std::uint32_t kBlack = 0xFF000000u;
using Testing::kArgbRed;
using Testing::kArgbGreen;
using Testing::kArgbBlue;

// The application's clock as the renderers read it, set by the test.
class TestClock : public IRenderingServices {
public:
    TestClock() : mPrevious(SetRenderingServices(this)) {}
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;
    ~TestClock() { SetRenderingServices(mPrevious); }

    zulong GetTimeMs() override { return mNow; }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return nullptr; }
    void Advance(zulong milliseconds) { mNow += milliseconds; }

private:
    IRenderingServices* mPrevious;
    zulong mNow = 1000;
};

class GLCacheGui : public Testing::GLWindowTest {
protected:
    // One frame on a black window; answers how many lists it compiled and what the window shows.
    std::uint32_t Frame(const std::function<void(LRenderer&)>& draw)
    {
        const std::uint32_t before = Renderer().GetCompiledListCount();
        Start();
        Renderer().FillRect({0, 0, kWidth, kHeight}, LColor(0, 0, 0, 1), true);
        draw(Renderer());
        Finish();
        mShown = Snapshot();
        return Renderer().GetCompiledListCount() - before;
    }

    Image mShown;
};

TEST_F(GLCacheGui, ACachedPolylineCompilesOnceReplaysAndCompilesOnceMoreAfterAChange)
{
    PolylineT<float> path;
    path.AddPoint({10, 10});
    path.AddPoint({60, 10});
    const auto draw = [&](LRenderer& renderer) {
        renderer.DrawPolyline(path, LColor(1, 0, 0, 1), {0, 0}, {1, 1}, true);
    };
    EXPECT_EQ(Frame(draw), 1u);
    EXPECT_EQ(mShown.At(30, 10), kArgbRed);
    EXPECT_EQ(Frame(draw), 0u) << "replayed";
    EXPECT_EQ(mShown.At(30, 10), kArgbRed);

    // Points changed behind the renderer's back, the flag cleared: the list still shows the old line.
    path.AddPoint({60, 50});
    path.ClearChanged();
    EXPECT_EQ(Frame(draw), 0u);
    EXPECT_EQ(mShown.At(60, 30), kBlack);

    path.AddPoint({10, 50});
    EXPECT_EQ(Frame(draw), 1u) << "the changed path compiles again";
    EXPECT_EQ(mShown.At(60, 30), kArgbRed);
    EXPECT_EQ(mShown.At(30, 50), kArgbRed);
    EXPECT_FALSE(path.IsChanged());
    EXPECT_EQ(Frame(draw), 0u);

    const auto drawUncached = [&](LRenderer& renderer) {
        renderer.DrawPolyline(path, LColor(0, 1, 0, 1), {0, 0}, {1, 1}, false);
    };
    EXPECT_EQ(Frame(drawUncached), 0u) << "uncached: drawn directly";
    EXPECT_EQ(mShown.At(30, 10), kArgbGreen);
    EXPECT_EQ(Frame(draw), 1u) << "drawing uncached dropped the list";
}

TEST_F(GLCacheGui, APolygonsOutlineAndFillKeepAListEachAndAChangeCompilesEachOnce)
{
    PolylineT<float> square;
    for (const PointT<float>& corner : {PointT<float>(20, 20), PointT<float>(60, 20), PointT<float>(60, 60),
                                        PointT<float>(20, 60)}) {
        square.AddPoint(corner);
    }
    const auto draw = [&](LRenderer& renderer) {
        renderer.FillPolygon(square, LColor(0, 0, 1, 1), {0, 0}, {1, 1}, true);
        renderer.DrawPolygon(square, LColor(1, 0, 0, 1), {0, 0}, {1, 1}, true);
    };
    EXPECT_EQ(Frame(draw), 2u);
    EXPECT_EQ(Frame(draw), 0u);
    EXPECT_EQ(mShown.At(40, 40), kArgbBlue);
    EXPECT_EQ(mShown.At(20, 40), kArgbRed) << "the outline's closing edge";

    square.AddPoint({20, 80});
    EXPECT_EQ(Frame(draw), 2u) << "the fill read the change and dropped the outline's list too";
    EXPECT_EQ(mShown.At(20, 70), kArgbRed);
    EXPECT_EQ(Frame(draw), 0u);

    // A translation and a colour of their own at each draw: neither is compiled into the list.
    EXPECT_EQ(Frame([&](LRenderer& renderer) {
                  renderer.FillPolygon(square, LColor(0, 1, 0, 1), {100, 0}, {1, 1}, true);
              }),
              0u);
    EXPECT_EQ(mShown.At(140, 40), kArgbGreen);
    EXPECT_EQ(mShown.At(40, 40), kBlack);
}

TEST_F(GLCacheGui, ACachedColourListCompilesOnceAndAgainOnceAfterAChange)
{
    ColorRectListT<float> rects;
    rects.Add({0, 0, 20, 20}, kArgbRed);
    const auto draw = [&](LRenderer& renderer) { renderer.DrawColorRectList(rects, {10, 10}, true); };
    EXPECT_EQ(Frame(draw), 1u);
    EXPECT_EQ(Frame(draw), 0u);
    EXPECT_EQ(mShown.At(15, 15), kArgbRed);
    rects.Add({0, 0, 40, 40}, kArgbBlue);
    EXPECT_EQ(Frame(draw), 1u);
    EXPECT_EQ(mShown.At(15, 15), kArgbRed) << "the first rectangle stays on top";
    EXPECT_EQ(mShown.At(45, 45), kArgbBlue);
    rects.SetScale(2, 2);
    EXPECT_EQ(Frame(draw), 1u);
    EXPECT_EQ(mShown.At(85, 85), kArgbBlue);
    const ColorRectListT<float> copy = rects;
    EXPECT_NE(ColorRectListT<float>::GetHandle(copy), ColorRectListT<float>::GetHandle(rects));
}

TEST_F(GLCacheGui, APurgeAfterFiveMinutesDropsWhatWasNotUsedSinceThePurgeBefore)
{
    TestClock clock;
    const RCPtr<LGLRenderer> renderer(new LGLRenderer(nullptr, &GetNativeWindow()));
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, &GetNativeWindow(), false, context), ZV_S_OK);
    PolylineT<float> used;
    used.AddPoint({0, 0});
    used.AddPoint({10, 0});
    PolylineT<float> unused = used;
    const auto frame = [&](std::initializer_list<const PolylineT<float>*> paths) {
        const std::uint32_t before = renderer->GetCompiledListCount();
        EXPECT_EQ(renderer->RenderStart(context), ZV_S_OK);
        for (const PolylineT<float>* path : paths) {
            renderer->DrawPolyline(*path, LColor(1, 1, 1, 1), {0, 0}, {1, 1}, true);
        }
        EXPECT_EQ(renderer->RenderFinish(context), ZV_S_OK);
        return renderer->GetCompiledListCount() - before;
    };
    EXPECT_EQ(frame({&used, &unused}), 2u);
    clock.Advance(LGLRenderer::kPurgeIntervalMs);
    EXPECT_EQ(frame({}), 0u) << "not yet due: nothing purged";
    EXPECT_EQ(frame({&used, &unused}), 0u);
    clock.Advance(1);
    EXPECT_EQ(frame({}), 0u) << "the first purge: both were used since the start";
    EXPECT_EQ(frame({&used}), 0u);
    clock.Advance(LGLRenderer::kPurgeIntervalMs + 1);
    EXPECT_EQ(frame({}), 0u) << "the second purge";
    EXPECT_EQ(frame({&used}), 0u) << "used since the first purge: kept";
    EXPECT_EQ(frame({&unused}), 1u) << "not used since the first purge: dropped";
}

TEST_F(GLCacheGui, ABitmapIsUploadedOnceASpriteSheetOnceForAllItsPartsAndAgainWhenItsPixelsChange)
{
    const RCPtr<LBitmap> sheet = LBitmap::CreateFilledBitmap({20, 10}, LColor(1, 0, 0, 1));
    const RCPtr<LBitmap> left = sheet->CreateSubBitmap(0, 0, 10, 10);
    const RCPtr<LBitmap> right = sheet->CreateSubBitmap(10, 0, 10, 10);
    const std::uint32_t before = Renderer().GetTextureUploadCount();
    const auto draw = [&](LRenderer& renderer) {
        renderer.DrawBitmap(left, {0, 0, 10, 10}, 0);
        renderer.DrawBitmap(right, {20, 0, 10, 10}, 0);
        renderer.DrawBitmap(sheet, {40, 0, 20, 10}, 0);
    };
    Frame(draw);
    Frame(draw);
    EXPECT_EQ(Renderer().GetTextureUploadCount() - before, 1u);
    EXPECT_EQ(mShown.At(25, 5), kArgbRed);

    {
        const ConstRCPtr<LBitmapData> pixels = sheet->GetPixelData();
        *pixels->GetPixelPointer(15, 5) = kArgbBlue;
    }
    Frame(draw);
    EXPECT_EQ(Renderer().GetTextureUploadCount() - before, 2u);
    EXPECT_EQ(mShown.At(25, 5), kArgbBlue) << "the part drawn with the new pixel";
    EXPECT_EQ(mShown.At(55, 5), kArgbBlue) << "and the sheet";
    EXPECT_EQ(mShown.At(5, 5), kArgbRed);
}

}  // namespace
}  // namespace ZV
