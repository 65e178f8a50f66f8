#include "Renderer/FontRenderer/FreetypeFontRenderer.h"

#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "Renderer/FontRenderer/FreetypeState.h"
#include "Renderer/FontRenderer/GlyphLayout.h"
#include "Renderer/FontRenderer/HeadRecording.h"

#include FT_GLYPH_H

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>

namespace ZV {

namespace {

// What a glyph processor that lacks a glyph asks for besides its advances: the glyph's box (either bit) and its
// rasterised coverage.
constexpr std::uint32_t kNeedsBox = 6;
constexpr std::uint32_t kNeedsBitmap = 4;
// From this size on glyphs are rasterised in grey levels; below it in two levels, which small text reads better in.
constexpr float kGreyFromPoints = 8.0f;

struct GlyphDeleter {
    void operator()(FT_Glyph glyph) const { FT_Done_Glyph(glyph); }
};
using GlyphHolder = std::unique_ptr<std::remove_pointer_t<FT_Glyph>, GlyphDeleter>;

std::int32_t ClampToInt32(FT_Pos value)
{
    return static_cast<std::int32_t>(std::clamp<FT_Pos>(value, std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max()));
}

// Row y from the top; a negative pitch stores the rows from the bottom up.
const unsigned char* SourceRow(const FT_Bitmap& bitmap, unsigned int y)
{
    const std::ptrdiff_t pitch = bitmap.pitch;
    const std::ptrdiff_t row = pitch >= 0 ? y : static_cast<std::ptrdiff_t>(bitmap.rows) - 1 - y;
    return bitmap.buffer + row * (pitch >= 0 ? pitch : -pitch);
}

// One byte a pixel: two-level bitmaps become 0x00 and 0xFF. Null for a bitmap of another pixel format, or when the
// memory cannot be had.
RCPtr<LPixelBuffer<unsigned char>> CopyCoverage(const FT_Bitmap& source)
{
    const bool mono = source.pixel_mode == FT_PIXEL_MODE_MONO;
    if ((!mono && source.pixel_mode != FT_PIXEL_MODE_GRAY) || source.width > INT32_MAX || source.rows > INT32_MAX) {
        return nullptr;
    }
    const auto width = static_cast<zlong>(source.width);
    const auto rows = static_cast<zlong>(source.rows);
    const zlong stride = mono ? width : std::abs(source.pitch);
    RCPtr<LPixelBuffer<unsigned char>> coverage(new LPixelBuffer<unsigned char>(width, rows, stride));
    if (coverage->GetHeight() != rows || coverage->GetWidth() != width) {
        return nullptr;
    }
    for (unsigned int y = 0; y < source.rows; ++y) {
        const unsigned char* from = SourceRow(source, y);
        unsigned char* to = coverage->GetRow(static_cast<zlong>(y));
        if (mono) {
            for (unsigned int x = 0; x < source.width; ++x) {
                to[x] = (from[x >> 3] & (0x80 >> (x & 7))) != 0 ? 0xFF : 0x00;
            }
        } else if (stride != 0) {
            std::memcpy(to, from, static_cast<std::size_t>(stride));
        }
    }
    return coverage;
}

// Renders the face's current glyph, in the other mode when the first one fails.
bool RenderSlot(FT_GlyphSlot slot, bool grey)
{
    const FT_Render_Mode first = grey ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
    const FT_Render_Mode second = grey ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    return FT_Render_Glyph(slot, first) == 0 || FT_Render_Glyph(slot, second) == 0;
}

// Loads the glyph and fills in what the processor asked for; false when the glyph cannot be loaded or rasterised.
bool LoadGlyph(FT_Face face, FT_UInt index, std::uint32_t need, bool grey, GlyphRecord& record, GlyphHolder& glyph)
{
    FT_Glyph loaded = nullptr;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0 || FT_Get_Glyph(face->glyph, &loaded) != 0) {
        return false;
    }
    glyph.reset(loaded);
    record.advanceX = ClampToInt32(face->glyph->advance.x);
    record.advanceY = ClampToInt32(face->glyph->advance.y);
    record.glyphIndex = index;
    if ((need & kNeedsBox) != 0) {
        FT_BBox box{};
        FT_Glyph_Get_CBox(loaded, FT_GLYPH_BBOX_PIXELS, &box);
        record.left = ClampToInt32(box.xMin);
        record.top = ClampToInt32(-box.yMax);
        record.right = ClampToInt32(box.xMax);
        record.bottom = ClampToInt32(-box.yMin);
    }
    if ((need & kNeedsBitmap) != 0) {
        if (!RenderSlot(face->glyph, grey)) {
            return false;
        }
        record.bitmap = CopyCoverage(face->glyph->bitmap);
        return !record.bitmap.IsNull();
    }
    return true;
}

// The face at the font's size; null when FreeType cannot serve it.
FT_Face LookUpFace(LFreetypeState& state, const ConstRCPtr<LFont>& font)
{
    FT_Size size = nullptr;
    return state.LookupSize(LFontFileInfo::GetFileID(font), font->GetSize(), size) == 0 ? size->face : nullptr;
}

// Empties the record for the character and asks the processor for its glyph: the mask of what the font renderer must
// supply.
std::uint32_t LookUpCharacter(LGlyphProcessor& processor, std::int32_t character, GlyphRecord& record)
{
    record.character = character;
    record.bitmap = nullptr;
    record.left = record.top = record.right = record.bottom = 0;
    record.advanceX = record.advanceY = 0;
    record.glyphIndex = 0;
    return processor.LookupGlyph(record);
}

// A first glyph that reaches left of the pen is moved right onto it; later glyphs move by the pair's kerning.
void ApplyKerning(FT_Face face, FT_UInt previous, FT_UInt index, GlyphRecord& record)
{
    if (previous == 0) {
        if (record.left < 0) {
            record.penX -= static_cast<float>(record.left);
        }
        return;
    }
    FT_Vector kerning{};
    if (FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kerning) == 0) {
        record.penX += static_cast<float>(kerning.x) / 64.0f;
    }
}

// What a run that no one watches is told of, as LHeadRecording is.
struct UnwatchedRun {
    static void BeginRun(LGlyphProcessor&) {}
    static bool BeginCharacter(LGlyphProcessor&) { return true; }
    static void EndGlyph(const GlyphRecord&) {}
    static void EndRun(LGlyphProcessor&) {}
};

// Lays the text out in the face, handing every glyph to the processor and telling the run of each step.
template <class Run>
void LayOutRun(FT_Face face, const WideString& text, const ConstRCPtr<LFont>& font, LGlyphProcessor& processor,
               std::int32_t callerValue, float widthLimit, std::uint32_t flags, Run& run)
{
    const bool hasKerning = FT_HAS_KERNING(face);
    const bool grey = font->GetSize() >= kGreyFromPoints;
    GlyphRecord record;
    record.position = callerValue;
    FT_UInt previous = 0;
    processor.BeginFont(font, flags);
    run.BeginRun(processor);
    const wchar_t* characters = text.GetData();
    const std::uint32_t length = text.GetLength();
    for (std::uint32_t i = 0; i < length; ++i) {
        if (!run.BeginCharacter(processor)) {
            break;
        }
        const std::uint32_t need = LookUpCharacter(processor, static_cast<std::int32_t>(characters[i]), record);
        if (need == LGlyphProcessor::kEndOfRun) {
            break;
        }
        const FT_UInt index =
            need != 0 ? FT_Get_Char_Index(face, static_cast<FT_ULong>(characters[i])) : record.glyphIndex;
        GlyphHolder glyph;
        if (index == 0 || (need != 0 && !LoadGlyph(face, index, need, grey, record, glyph))) {
            continue;
        }
        if (hasKerning) {
            ApplyKerning(face, previous, index, record);
        }
        if (widthLimit > 0 && record.penX + static_cast<float>(record.right) > widthLimit) {
            break;
        }
        processor.ProcessGlyph(record);
        run.EndGlyph(record);
        record.penX += static_cast<float>(record.advanceX) / 64.0f;
        record.penY += static_cast<float>(record.advanceY) / 64.0f;
        record.bitmap = nullptr;
        previous = index;
        record.position = static_cast<std::int32_t>(i) + 1;
    }
    run.EndRun(processor);
    processor.EndFont();
}

}  // namespace

LFreetypeFontRenderer::LFreetypeFontRenderer(const RCPtr<LGlyphProcessor>& firstProcessor,
                                             const RCPtr<LGlyphProcessor>& secondProcessor)
    : LFontRenderer(firstProcessor, secondProcessor)
{
    // Without a font folder the catalogue stays empty and every file id names the system font.
    (void)ScanFontFolder();
    mState = LFreetypeState::Acquire();
    // File ids name other faces after a rescan.
    mState->ForgetFaces();
}

LFreetypeFontRenderer::~LFreetypeFontRenderer() = default;

ZVRESULT LFreetypeFontRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                               zlong& bottom)
{
    FT_Size size = nullptr;
    if (mState->LookupSize(LFontFileInfo::GetFileID(font), font->GetSize(), size) != 0) {
        return ZV_E_FAIL;
    }
    const FT_Size_Metrics& metrics = size->metrics;
    top = -ClampToInt32(metrics.ascender >> 6);
    bottom = -ClampToInt32(metrics.descender >> 6);
    const auto sizeInPixels = static_cast<zlong>(96.0 * font->GetSize() / 72.0);
    lineHeight = std::max({ClampToInt32(metrics.height >> 6), sizeInPixels, bottom - top});
    return ZV_S_OK;
}

void LFreetypeFontRenderer::RenderText(const WideString& text, const ConstRCPtr<LFont>& font,
                                       const RCPtr<LGlyphProcessor>& processor, std::int32_t callerValue,
                                       float widthLimit, std::uint32_t flags)
{
    if (processor.IsNull()) {
        return;
    }
    const FT_Face face = LookUpFace(*mState, font);
    if (face != nullptr) {
        UnwatchedRun run;
        LayOutRun(face, text, font, *processor, callerValue, widthLimit, flags, run);
    }
}

void LFreetypeFontRenderer::RecordHeads(const WideString& text, const ConstRCPtr<LFont>& font,
                                        LHeadRecording& recording)
{
    const RCPtr<LGlyphProcessor>& measurer = GetSecondProcessor();
    const FT_Face face = LookUpFace(*mState, font);
    if (face != nullptr) {
        LayOutRun(face, text, font, *measurer, 0, 0.0f, kMeasureFlags, recording);
    }
}

std::uint64_t LFreetypeFontRenderer::GetFaceGeneration() const
{
    return GetFontCatalogueGeneration();
}

bool LFreetypeFontRenderer::RenderLayout(const LLaidOutText& layout, std::uint32_t characters,
                                         const ConstRCPtr<LFont>& font, const RCPtr<LGlyphProcessor>& processor,
                                         std::uint32_t flags)
{
    const LGlyphLayout* glyphs = FindOwnLayout(layout, font, characters);
    if (glyphs == nullptr) {
        return false;
    }
    if (processor.IsNull()) {
        return true;
    }
    // Looked up only for a glyph that the processor lacks.
    FT_Face face = nullptr;
    const bool grey = font->GetSize() >= kGreyFromPoints;
    GlyphRecord record;
    processor->BeginFont(font, flags);
    const LGlyphLayout::Glyph* glyph = glyphs->GetGlyphs().GetData();
    const LGlyphLayout::Glyph* end = glyph + glyphs->GetGlyphs().GetCount();
    for (; glyph != end && glyph->characterIndex < characters; ++glyph) {
        // The processor may have let the glyph go since the measuring; then it is loaded by its index again.
        const std::uint32_t need = LookUpCharacter(*processor, glyph->character, record);
        if (need == LGlyphProcessor::kEndOfRun) {
            break;
        }
        const FT_UInt index = need != 0 ? glyph->glyphIndex : record.glyphIndex;
        if (need != 0 && face == nullptr) {
            face = LookUpFace(*mState, font);
        }
        GlyphHolder loaded;
        if (index == 0 || (need != 0 && (face == nullptr || !LoadGlyph(face, index, need, grey, record, loaded)))) {
            continue;
        }
        record.penX = glyph->penX;
        record.penY = glyph->penY;
        processor->ProcessGlyph(record);
        record.bitmap = nullptr;
        record.position = static_cast<std::int32_t>(glyph->characterIndex) + 1;
    }
    processor->EndFont();
    return true;
}

}  // namespace ZV
