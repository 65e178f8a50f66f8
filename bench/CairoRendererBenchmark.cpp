// The Cairo renderer on a skin-like scene, offscreen and presented to a window under X: a whole 400 x 311 frame
// (a background image, 20 tinted image parts, 10 text runs) and the frame of one dirty 100 x 24 button. Each is
// run side by side with the least a Cairo program must do for the same pixels (ready-made surfaces and glyphs
// painted straight onto one surface), and the button frame against the whole frame.
#include "Platform/WindowSurface.h"
#include "Platform/X11Display.h"
#include "Platform/X11Window.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "SideBySide.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/Colorizer.h"
#include "support/WindowPixels.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace ZV;

constexpr zlong kWidth = 400;
constexpr zlong kHeight = 311;
const RectT<zlong> kButton(150, 200, 100, 24);
const wchar_t* const kLabels[] = {L"UPDATE FIRMWARE", L"RESTART", L"NEXT", L"Halvista Left", L"Firmware 2.14",
                                  L"Device found", L"Allow downgrade", L"Scan again", L"Exit", L"Ready to update"};

// A bitmap whose pixels vary, as a skin's images do.
RCPtr<LBitmap> PatternBitmap(zlong width, zlong height, zulong seed)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({width, height}, LColor(0, 0, 0, 1));
    const ConstRCPtr<LBitmapData> pixels = bitmap->GetPixelData();
    for (zlong y = 0; y < height; ++y) {
        for (zlong x = 0; x < width; ++x) {
            *pixels->GetPixelPointer(x, y) = 0xFF000000u | ((x * 7 + seed) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 |
                                             ((x + y + seed) & 0xFF);
        }
    }
    return bitmap;
}

// What the skin gives a window: a background, tinted parts from a sheet, and labels.
struct Scene {
    RCPtr<LBitmap> background = PatternBitmap(200, 150, 3);
    RCPtr<LBitmap> sheet = PatternBitmap(120, 24, 11);
    std::vector<RCPtr<LBitmap>> parts;
    std::vector<RectT<zlong>> partPlaces;
    RCPtr<LFont> font = LFont::GetFont(L"Arial", 8.25f, LFont::kRegular);

    Scene()
    {
        for (int index = 0; index < 20; ++index) {
            const ConstRCPtr<LColorizer> tint(new LColorizer(LColorizer::kSolidFill,
                                                             LColor(index / 20.0f, 0.5f, 1 - index / 20.0f, 1),
                                                             LColor(index / 20.0f, 0.5f, 1 - index / 20.0f, 1)));
            parts.push_back(LBitmap::CreatePartBitmap(tint, 0.4f, {40, 24},
                                                      sheet->CreateSubBitmap((index % 3) * 40, 0, 40, 24), nullptr));
            partPlaces.emplace_back(index % 4 * 100, 40 + index / 4 * 50, 90, 24);
        }
        partPlaces[13] = kButton;
    }

    void DrawAll(LRenderer& renderer) const
    {
        renderer.DrawBitmap(background, {0, 0, kWidth, kHeight}, 0);
        for (std::size_t index = 0; index < parts.size(); ++index) {
            renderer.DrawBitmap(parts[index], partPlaces[index], 0);
        }
        for (int index = 0; index < 10; ++index) {
            renderer.DrawText(kLabels[index], font, {partPlaces[index * 2].x + 6, partPlaces[index * 2].y + 5},
                              LColor(1, 1, 1, 1));
        }
    }

    // What the root window draws for one dirty button: what lies under it, clipped to it.
    void DrawButton(LRenderer& renderer) const
    {
        const RectT<double> bounds(kButton.x, kButton.y, kButton.width, kButton.height);
        renderer.PushClip(bounds, bounds, nullptr, true);
        renderer.PushOffset({-bounds.x, -bounds.y});
        renderer.DrawBitmap(background, {0, 0, kWidth, kHeight}, 0);
        renderer.DrawBitmap(parts[13], kButton, 0);
        renderer.DrawText(kLabels[6], font, {kButton.x + 6, kButton.y + 5}, LColor(1, 1, 1, 1));
        renderer.PopState();
        renderer.PopState();
    }
};

// One context of the renderer, offscreen or on a window, framed with a dirty region.
class Target {
public:
    explicit Target(const Platform::NativeWindow* window) : mWindow(window)
    {
        mRenderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, window, window == nullptr, mContext);
    }

    template <class Draw>
    void Frame(const RectT<zlong>& dirty, Draw draw)
    {
        RectList& region = mContext->GetDirtyRegion();
        region.Clear();
        region.Add({dirty.x, dirty.y, dirty.x + dirty.width, dirty.y + dirty.height});
        mRenderer->RenderStart(mContext);
        draw(*mRenderer);
        mRenderer->RenderFinish(mContext);
        if (mWindow != nullptr) {
            Testing::WaitForServer(*mWindow);
        }
    }

private:
    const Platform::NativeWindow* mWindow;
    RCPtr<LGDIRenderer> mRenderer{new LGDIRenderer()};
    RCPtr<LRenderContextInfo> mContext;
};

// The same pixels with Cairo alone: every image already fitted and premultiplied, every label already laid out.
class RawCairo {
public:
    explicit RawCairo(const Platform::NativeWindow* window) : mWindow(window)
    {
        if (window != nullptr) {
            mWindowSurface = std::make_unique<Platform::WindowSurface>(*window, kWidth, kHeight);
        }
        mBackground = Fill(kWidth, kHeight, 0.2);
        for (int index = 0; index < 20; ++index) {
            mParts.push_back(Fill(90, 24, index / 20.0));
        }
        cairo_t* scratch = cairo_create(mSurface);
        cairo_select_font_face(scratch, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(scratch, 11);
        mFont = cairo_scaled_font_reference(cairo_get_scaled_font(scratch));
        cairo_destroy(scratch);
        for (const wchar_t* label : kLabels) {
            cairo_glyph_t* glyphs = nullptr;
            int count = 0;
            const auto utf8 = WideString(label).ToUTF8();
            cairo_scaled_font_text_to_glyphs(mFont, 0, 0, utf8.GetData(), static_cast<int>(utf8.GetLength()), &glyphs,
                                             &count, nullptr, nullptr, nullptr);
            mLabels.emplace_back(glyphs, count);
        }
    }
    ~RawCairo()
    {
        for (auto& label : mLabels) {
            cairo_glyph_free(label.first);
        }
        for (cairo_surface_t* part : mParts) {
            cairo_surface_destroy(part);
        }
        cairo_surface_destroy(mBackground);
        cairo_scaled_font_destroy(mFont);
        cairo_destroy(mGraphics);
        cairo_surface_destroy(mSurface);
    }

    void Frame(const RectT<zlong>& dirty, bool button)
    {
        cairo_save(mGraphics);
        cairo_rectangle(mGraphics, dirty.x, dirty.y, dirty.width, dirty.height);
        cairo_clip(mGraphics);
        Paint(mBackground, 0, 0);
        const int first = button ? 13 : 0;
        for (int index = first; index < (button ? 14 : 20); ++index) {
            Paint(mParts[index], index % 4 * 100, 40 + index / 4 * 50);
        }
        cairo_set_scaled_font(mGraphics, mFont);
        cairo_set_source_rgb(mGraphics, 1, 1, 1);
        for (int index = button ? 6 : 0; index < (button ? 7 : 10); ++index) {
            cairo_identity_matrix(mGraphics);
            cairo_translate(mGraphics, 8, 40 + index * 20);
            cairo_show_glyphs(mGraphics, mLabels[index].first, mLabels[index].second);
        }
        cairo_restore(mGraphics);
        cairo_surface_flush(mSurface);
        if (mWindowSurface) {
            cairo_t* window = mWindowSurface->GetContext();
            cairo_set_source_surface(window, mSurface, 0, 0);
            cairo_rectangle(window, dirty.x, dirty.y, dirty.width, dirty.height);
            cairo_fill(window);
            mWindowSurface->Flush();
            Testing::WaitForServer(*mWindow);
        }
    }

private:
    cairo_surface_t* Fill(int width, int height, double shade) const
    {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* graphics = cairo_create(surface);
        cairo_set_source_rgb(graphics, shade, 0.5, 1 - shade);
        cairo_paint(graphics);
        cairo_destroy(graphics);
        return surface;
    }
    void Paint(cairo_surface_t* surface, double x, double y)
    {
        cairo_set_source_surface(mGraphics, surface, x, y);
        cairo_paint(mGraphics);
    }

    const Platform::NativeWindow* mWindow;
    cairo_surface_t* mSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* mGraphics = cairo_create(mSurface);
    std::unique_ptr<Platform::WindowSurface> mWindowSurface;
    cairo_surface_t* mBackground;
    std::vector<cairo_surface_t*> mParts;
    cairo_scaled_font_t* mFont;
    std::vector<std::pair<cairo_glyph_t*, int>> mLabels;
};

// The window the presented runs draw into, when there is a display.
struct Display {
    std::unique_ptr<Platform::DisplayConnection> connection = Platform::DisplayConnection::Open();
    std::unique_ptr<Platform::X11Window> window =
        connection ? Platform::X11Window::Create(*connection, kWidth, kHeight) : nullptr;
};

// Runs the work with the window of the presented runs (null for the offscreen ones); skips without a display.
template <class Work>
void WithTarget(benchmark::State& state, Work work)
{
    if (state.range(0) == 0) {
        work(nullptr);
        return;
    }
    static Display display;
    if (!display.window) {
        state.SkipWithError("no X display");
        return;
    }
    work(&display.window->GetNativeWindow());
}

void FullFrame(benchmark::State& state)
{
    WithTarget(state, [&](const Platform::NativeWindow* window) {
        Scene scene;
        Target ours(window);
        RawCairo raw(window);
        const RectT<zlong> all(0, 0, kWidth, kHeight);
        bench::RunSideBySide(state, [&] { ours.Frame(all, [&](LRenderer& renderer) { scene.DrawAll(renderer); }); },
                             [&] { raw.Frame(all, false); });
    });
}

void ButtonFrame(benchmark::State& state)
{
    WithTarget(state, [&](const Platform::NativeWindow* window) {
        Scene scene;
        Target ours(window);
        RawCairo raw(window);
        ours.Frame({0, 0, kWidth, kHeight}, [&](LRenderer& renderer) { scene.DrawAll(renderer); });
        bench::RunSideBySide(
            state, [&] { ours.Frame(kButton, [&](LRenderer& renderer) { scene.DrawButton(renderer); }); },
            [&] { raw.Frame(kButton, true); });
    });
}

// ours_ns is the button frame, std_ns the whole frame: the ratio is what a dirty button costs of a full repaint.
void ButtonAgainstFullFrame(benchmark::State& state)
{
    WithTarget(state, [&](const Platform::NativeWindow* window) {
        Scene scene;
        Target target(window);
        const RectT<zlong> all(0, 0, kWidth, kHeight);
        bench::RunSideBySide(
            state, [&] { target.Frame(kButton, [&](LRenderer& renderer) { scene.DrawButton(renderer); }); },
            [&] { target.Frame(all, [&](LRenderer& renderer) { scene.DrawAll(renderer); }); });
    });
}

// A label drawn every frame is laid out once: against Cairo's text call, which lays it out on every call.
void UnchangedLabel(benchmark::State& state)
{
    Scene scene;
    Target target(nullptr);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* graphics = cairo_create(surface);
    cairo_select_font_face(graphics, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(graphics, 11);
    target.Frame({0, 0, 0, 0}, [&](LRenderer& renderer) {
        bench::RunSideBySide(
            state, [&] { renderer.DrawText(kLabels[9], scene.font, {10, 10}, LColor(0, 0, 0, 1)); },
            [&] {
                cairo_move_to(graphics, 12, 20);
                cairo_show_text(graphics, "Ready to update");
            });
    });
    cairo_destroy(graphics);
    cairo_surface_destroy(surface);
}

}  // namespace

BENCHMARK(FullFrame)->ArgName("presented")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ButtonFrame)->ArgName("presented")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ButtonAgainstFullFrame)->ArgName("presented")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnchangedLabel)->Unit(benchmark::kMicrosecond);
