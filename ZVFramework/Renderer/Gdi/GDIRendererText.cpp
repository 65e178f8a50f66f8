// Text by font family: metrics, measuring and drawing.
#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "Renderer/Gdi/CairoDrawing.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"

namespace ZV {

namespace {

// The box MeasureText answers for a text that the font's run advances so far.
RectT<float> LineBox(const LGDIFont& face, double advance)
{
    return RectT<float>(0, static_cast<float>(face.GetTop()), static_cast<float>(face.GetPadding() + advance),
                        static_cast<float>(face.GetLineHeight()));
}

}  // namespace

ZVRESULT LGDIRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top, zlong& bottom)
{
    const LGDIFont* face = font.IsNull() ? nullptr : mFonts.GetFont(font);
    if (face == nullptr) {
        return ZV_E_FAIL;
    }
    lineHeight = face->GetLineHeight();
    top = face->GetTop();
    bottom = face->GetBottom();
    return ZV_S_OK;
}

RectT<float> LGDIRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    const LGDIFont* face = text.IsEmpty() || font.IsNull() ? nullptr : mFonts.GetFont(font);
    if (face == nullptr) {
        return {};
    }
    const LTextRun* run = mFonts.GetTextRun(font, *face, text);
    return LineBox(*face, run == nullptr ? 0.0 : run->GetAdvance());
}

bool LGDIRenderer::MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                                Array<RectT<float>>& heads)
{
    (void)heads.Clear();
    const LGDIFont* face = font.IsNull() ? nullptr : mFonts.GetFont(font);
    if (face == nullptr) {
        return false;
    }
    if (text.IsEmpty()) {
        return true;
    }
    // A run of only part of a text, not worth a place among the runs kept for drawing.
    const RCPtr<LTextRun> run = LTextRun::Create(*face, text);
    const std::uint32_t count = text.GetLength();
    if (run.IsNull() || static_cast<std::uint32_t>(run->GetGlyphCount()) != count) {
        return false;
    }
    // Glyphs stand at the sums of the advances before them, added in order, so the pen after a head is where its
    // next glyph stands: the same sum that the head's own run ends at.
    if (heads.SetCount(count) != static_cast<ZVRESULT>(count)) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    const cairo_glyph_t* glyphs = run->GetGlyphs();
    std::uint32_t kept = 0;
    while (kept < count) {
        const double advance = kept + 1 < count ? glyphs[kept + 1].x : run->GetAdvance();
        RectT<float>& head = heads.GetData()[kept++] = LineBox(*face, advance);
        if (widthLimit > 0 && DrawnWidth(head) > widthLimit) {
            break;
        }
    }
    (void)heads.SetCount(kept);
    return true;
}

void LGDIRenderer::DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>& position,
                            const LColor& color)
{
    if (mCurrentContext == nullptr || font.IsNull()) {
        return;
    }
    const LGDIFont* face = mFonts.GetFont(font);
    const LTextRun* run = face == nullptr ? nullptr : mFonts.GetTextRun(font, *face, text);
    if (run == nullptr) {
        return;
    }
    const RenderState& state = State();
    cairo_t* graphics = Graphics();
    // The line's top lies one pixel above the position, its baseline the font's top below that.
    cairo_translate(graphics, CairoDrawing::Limit(state.origin.x + position.x + face->GetPadding()),
                    CairoDrawing::Limit(state.origin.y + position.y - 1.0 - face->GetTop()));
    cairo_set_scaled_font(graphics, face->GetScaledFont());
    CairoDrawing::SetSourceColor(graphics, color, state.factor);
    cairo_show_glyphs(graphics, run->GetGlyphs(), run->GetGlyphCount());
    cairo_identity_matrix(graphics);
}

}  // namespace ZV
