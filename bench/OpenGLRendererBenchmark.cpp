// The OpenGL renderer (Mesa's software renderer under Xvfb) against the Cairo renderer on the same scene, side by
// side in one run: whole 400 x 311 frames of a skin-like window (a stretched background, 20 tinted image parts from
// a sheet, 10 labels) over which every drawing operation of the renderer tests is drawn once (fills, frames, lines,
// a colour list, cached paths and polygons, tiles, a centred image), each renderer presenting to a window of its
// own and waiting until the server has it. Presented frames only: an offscreen OpenGL frame is still being drawn by
// the driver's threads when its call returns.
#include "Platform/X11Display.h"
#include "Platform/X11Window.h"
#include "Renderer/ColorRectList.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Renderer/OpenGL/GLRenderer.h"
#include "Renderer/Polyline.h"
#include "SideBySide.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/Colorizer.h"
#include "support/WindowPixels.h"

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <memory>
#include <vector>

namespace {

using namespace ZV;

constexpr zlong kWidth = 400;
constexpr zlong kHeight = 311;
const wchar_t* const kLabels[] = {L"UPDATE FIRMWARE", L"RESTART", L"NEXT", L"Halvista Left", L"Firmware 2.14",
                                  L"Device found", L"Allow downgrade", L"Scan again", L"Exit", L"Ready to update"};

// Pixels that vary, as a skin's images do.
RCPtr<LBitmap> PatternBitmap(zlong width, zlong height, zulong seed)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({width, height}, LColor(0, 0, 0, 1));
    const ConstRCPtr<LBitmapData> pixels = bitmap->GetPixelData();
    for (zlong y = 0; y < height; ++y) {
        for (zlong x = 0; x < width; ++x) {
            *pixels->GetPixelPointer(x, y) =
                0xFF000000u | ((x * 3 + seed) & 0xFF) << 16 | ((y * 9) & 0xFF) << 8 | ((x * y + seed) & 0xFF);
        }
    }
    return bitmap;
}

PolylineT<float> Path(std::initializer_list<PointT<float>> points)
{
    PolylineT<float> path;
    for (const PointT<float>& point : points) {
        path.AddPoint(point);
    }
    return path;
}

LColor Color(zulong argb)
{
    return LColor().SetFromARGB(argb);
}

struct Scene {
    RCPtr<LBitmap> background = PatternBitmap(200, 150, 5);
    RCPtr<LBitmap> sheet = PatternBitmap(120, 24, 17);
    RCPtr<LBitmap> tile = PatternBitmap(20, 10, 29);
    std::vector<RCPtr<LBitmap>> parts;
    RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 8.25f, LFont::kRegular);
    PolylineT<float> segments = Path({{230, 10}, {250, 10}, {230, 15}, {250, 15}});
    PolylineT<float> notched =
        Path({{300, 5}, {330, 5}, {330, 35}, {320, 35}, {320, 15}, {310, 15}, {310, 35}, {300, 35}});
    PolylineT<float> triangle = Path({{0, 0}, {30, 0}, {0, 30}});
    PolylineT<float> corner = Path({{350, 5}, {370, 5}, {370, 25}});
    ColorRectListT<float> rects;

    Scene()
    {
        for (int index = 0; index < 20; ++index) {
            const ConstRCPtr<LColorizer> tint(new LColorizer(LColorizer::kSolidFill,
                                                             LColor(index / 20.0f, 0.5f, 1 - index / 20.0f, 1),
                                                             LColor(index / 20.0f, 0.5f, 1 - index / 20.0f, 1)));
            parts.push_back(LBitmap::CreatePartBitmap(tint, 0.4f, {40, 24},
                                                      sheet->CreateSubBitmap((index % 3) * 40, 0, 40, 24), nullptr));
        }
        rects.Add(RectT<float>(0, 0, 20, 20), 0xFFFF0000u);
        rects.Add(RectT<float>(10, 10, 20, 20), 0xFF00FF00u);
    }

    void Draw(LRenderer& renderer) const
    {
        renderer.DrawBitmap(background, {0, 0, kWidth, kHeight}, 0);
        for (zlong index = 0; index < static_cast<zlong>(parts.size()); ++index) {
            renderer.DrawBitmap(parts[static_cast<std::size_t>(index)], {index % 4 * 100, 40 + index / 4 * 50, 90, 24},
                                0);
        }
        for (int index = 0; index < 10; ++index) {
            renderer.DrawText(kLabels[index], font, {(index % 2) * 200 + 6, 45 + (index / 2) * 50}, LColor(1, 1, 1, 1));
        }
        renderer.FillRect({10, 5, 30, 20}, Color(0xFFFF0000u), true);
        renderer.FrameRect({50, 5, 30, 20}, Color(0xFF00FF00u), 1);
        renderer.DrawRect({90, 5, 30, 20}, Color(0xFF0000FFu), Color(0xFFFFFFFFu), 1);
        renderer.DrawLine({130, 10}, {180, 10}, Color(0xFFFFFF00u), 1);
        renderer.DrawColorRectList(rects, {190, 2}, true);
        renderer.DrawLineSegments(segments, Color(0xFF00FFFFu), {0, 0}, {1, 1}, true);
        renderer.FillPolygon(notched, Color(0xFFFF00FFu), {0, 0}, {1, 1}, true);
        renderer.DrawPolygon(triangle, Color(0xFFFFFFFFu), {260, 5}, {1, 1}, true);
        renderer.DrawPolyline(corner, Color(0xFFFF8000u), {0, 0}, {1, 1}, true);
        renderer.DrawBitmap(tile, {10, 290, 250, 18}, 1);
        renderer.DrawBitmap(tile, {300, 285, 60, 24}, 2);
    }
};

// One renderer with one context on a window of its own, drawing whole frames of the scene.
class Target {
public:
    Target(RCPtr<LRenderer> renderer, const Platform::NativeWindow& window)
        : mRenderer(std::move(renderer)), mWindow(window)
    {
        (void)mRenderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, &window, false, mContext);
        mContext->GetDirtyRegion().Add({0, 0, kWidth, kHeight});
    }

    void Frame(const Scene& scene)
    {
        (void)mRenderer->RenderStart(mContext);
        scene.Draw(*mRenderer);
        (void)mRenderer->RenderFinish(mContext);
        Testing::WaitForServer(mWindow);
    }

private:
    RCPtr<LRenderer> mRenderer;
    const Platform::NativeWindow& mWindow;
    RCPtr<LRenderContextInfo> mContext;
};

RCPtr<LRenderer> MakeOpenGLRenderer(const Platform::NativeWindow& window)
{
    const RCPtr<LGLGlyphRenderer> glyphs(new LGLGlyphRenderer());
    return RCPtr<LRenderer>(new LGLRenderer(new LFreetypeFontRenderer(glyphs, glyphs), &window));
}

// Two windows of the display, one for each renderer.
struct Display {
    std::unique_ptr<Platform::DisplayConnection> connection = Platform::DisplayConnection::Open();
    std::unique_ptr<Platform::X11Window> openGLWindow =
        connection ? Platform::X11Window::Create(*connection, kWidth, kHeight) : nullptr;
    std::unique_ptr<Platform::X11Window> cairoWindow =
        connection ? Platform::X11Window::Create(*connection, kWidth, kHeight) : nullptr;
};

// ours_ns is the OpenGL renderer's frame, std_ns the Cairo renderer's.
void FullFrameAgainstCairo(benchmark::State& state)
{
    static Display display;
    if (!display.openGLWindow || !display.cairoWindow) {
        state.SkipWithError("no X display: OpenGL needs one");
        return;
    }
    const Scene scene;
    Target openGL(MakeOpenGLRenderer(display.openGLWindow->GetNativeWindow()), display.openGLWindow->GetNativeWindow());
    Target cairo(RCPtr<LRenderer>(new LGDIRenderer()), display.cairoWindow->GetNativeWindow());
    bench::RunSideBySide(state, [&] { openGL.Frame(scene); }, [&] { cairo.Frame(scene); });
}

}  // namespace

BENCHMARK(FullFrameAgainstCairo)->Unit(benchmark::kMicrosecond);
