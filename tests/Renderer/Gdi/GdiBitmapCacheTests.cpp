#include "Renderer/ArgbColours.h"
#include "Renderer/Gdi/GdiTestCanvas.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/Colorizer.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ZV {
namespace {

using Testing::GdiCanvas;

using Testing::kArgbBlue;

// A clock that tests move by hand.
class ManualClock : public IRenderingServices {
public:
    ManualClock() : mPrevious(SetRenderingServices(this)) {}
    ~ManualClock() { SetRenderingServices(mPrevious); }
    zulong GetTimeMs() override { return now; }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return nullptr; }

    zulong now = 1000;

private:
    IRenderingServices* mPrevious;
};

// The bytes of the heap in use, mapped blocks included. Under a sanitizer, whose allocator the C library does not
// see, it stays still.
std::int64_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

TEST(GdiBitmapCache, DropsAPreScaledBitmapNotDrawnBetweenTwoPurgesAndKeepsOneInUse)
{
    ManualClock clock;
    GdiCanvas canvas(40, 20);
    const RCPtr<LBitmap> used = LBitmap::CreateFilledBitmap({5, 5}, LColor(1, 0, 0, 1));
    const RCPtr<LBitmap> idle = LBitmap::CreateFilledBitmap({5, 5}, LColor(1, 0, 0, 1));
    const auto frame = [&](bool drawIdle) {
        canvas.Start();
        canvas.Renderer().DrawBitmap(used, {0, 0, 20, 20}, 0);
        if (drawIdle) {
            canvas.Renderer().DrawBitmap(idle, {20, 0, 20, 20}, 0);
        }
        clock.now += LGDIRenderer::kPurgeIntervalMs + 1;
        canvas.Finish();
    };
    // Each copy of 20 x 20 pixels takes 1600 bytes.
    frame(true);
    EXPECT_EQ(canvas.Renderer().GetPreScaledBytes(), 3200u) << "drawn before the purge: kept";
    frame(false);
    EXPECT_EQ(canvas.Renderer().GetPreScaledBytes(), 1600u) << "not drawn between two purges: dropped";
    frame(false);
    EXPECT_EQ(canvas.Renderer().GetPreScaledBytes(), 1600u) << "drawn in every period: kept";
    frame(true);
    EXPECT_EQ(canvas.Pixel(25, 5), 0xFFFF0000u) << "made anew when drawn again";
    EXPECT_EQ(canvas.Renderer().GetPreScaledBytes(), 3200u);
}

TEST(GdiBitmapCache, AWindowGrownThroughFourHundredSizesKeepsItsBackgroundWithinTheBudget)
{
    GdiCanvas canvas(800, 700);
    const RCPtr<LBitmap> background = LBitmap::CreateFilledBitmap({400, 300}, LColor(0, 0, 1, 1));
    const std::int64_t before = HeapInUse();
    std::int64_t most = 0;
    std::size_t mostKept = 0;
    for (zlong grown = 0; grown < 400; ++grown) {
        canvas.Start();
        canvas.Renderer().DrawBitmap(background, {0, 0, 400 + grown, 300 + grown}, 0);
        canvas.Finish();
        most = std::max(most, HeapInUse() - before);
        mostKept = std::max(mostKept, canvas.Renderer().GetPreScaledBytes());
    }
    EXPECT_LE(mostKept, LGDIRenderer::kDefaultPreScaledBudget);
    // Besides the copies, a frame holds a few megabytes for a moment.
    EXPECT_LT(most, static_cast<std::int64_t>(LGDIRenderer::kDefaultPreScaledBudget) + (16 << 20));
    EXPECT_EQ(canvas.Pixel(798, 698), kArgbBlue) << "the newest size is drawn";

    // A smaller budget lets the oldest go at once; a copy larger than all of it is drawn and not kept.
    canvas.Renderer().SetPreScaledBudget(1 << 20);
    EXPECT_LE(canvas.Renderer().GetPreScaledBytes(), std::size_t{1} << 20);
    canvas.Start();
    canvas.Renderer().FillRect({0, 0, 800, 700}, LColor(), false);
    canvas.Renderer().DrawBitmap(background, {0, 0, 700, 600}, 0);
    canvas.Finish();
    EXPECT_EQ(canvas.Pixel(699, 599), kArgbBlue);
    EXPECT_LE(canvas.Renderer().GetPreScaledBytes(), std::size_t{1} << 20);
}

TEST(GdiBitmapCache, BitmapsDrawnOnceAndLetGoAreFreedAndTheirCopiesGoAtThePurges)
{
    ManualClock clock;
    GdiCanvas canvas(64, 64);
    const std::int64_t before = HeapInUse();
    for (int index = 0; index < 20; ++index) {
        // 4 MiB of pixels each, drawn small.
        const RCPtr<LBitmap> image = LBitmap::CreateFilledBitmap({1024, 1024}, LColor(0, 0, 1, 1));
        canvas.Start();
        canvas.Renderer().DrawBitmap(image, {0, 0, 64, 64}, 0);
        canvas.Finish();
        EXPECT_EQ(image->GetRefCount(), 1) << "the renderer holds nothing of the bitmap";
    }
    for (int purge = 0; purge < 2; ++purge) {
        clock.now += LGDIRenderer::kPurgeIntervalMs + 1;
        canvas.Start();
        canvas.Finish();
    }
    EXPECT_EQ(canvas.Renderer().GetPreScaledBytes(), 0u);
    EXPECT_LT(HeapInUse() - before, std::int64_t{4} << 20) << "the images' memory came back";
}

TEST(GdiBitmap, PixelsWrittenThroughTheirAccessOrAColorizerAreDrawnAsWritten)
{
    GdiCanvas canvas(10, 10);
    const RCPtr<LBitmap> sheet = LBitmap::CreateFilledBitmap({10, 5}, LColor(1, 0, 0, 1));
    const RCPtr<LBitmap> cell = sheet->CreateSubBitmap(0, 0, 5, 5);
    // Stretched twice as large: the pixel at (2, 2) shows the cell's pixel at (1, 1).
    const auto drawn = [&] {
        canvas.Start();
        canvas.Renderer().DrawBitmap(cell, {0, 0, 10, 10}, 0);
        canvas.Finish();
        return canvas.Pixel(2, 2);
    };
    EXPECT_EQ(drawn(), 0xFFFF0000u);
    {
        const ConstRCPtr<LBitmapData> pixels = sheet->GetPixelData();
        *pixels->GetPixelPointer(1, 1) = kArgbBlue;
        EXPECT_EQ(drawn(), kArgbBlue) << "written while the pixels are open";
        *pixels->GetPixelPointer(1, 1) = 0xFF00FF00u;
        EXPECT_EQ(drawn(), 0xFF00FF00u) << "written again";
    }
    const RCPtr<LColorizer> white(new LColorizer(LColorizer::kSolidFill, LColor(1, 1, 1, 1), LColor(1, 1, 1, 1)));
    LBitmap::ApplyColorizer(sheet, white, 1);
    EXPECT_EQ(drawn(), 0xFFFFFFFFu) << "tinted through the sheet the cell shows";
}

}  // namespace
}  // namespace ZV
