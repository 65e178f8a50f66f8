#include "Renderer/Gdi/GDIFonts.h"

#include "Platform/FontLibrary.h"
#include "Renderer/Font.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

constexpr double kPointsToPixels = 96.0 / 72.0;
// Far more than any surface shows; beyond it a face's metrics would not fit whole pixels.
constexpr double kMaxPixelSize = 16384.0;

// Whole pixels away from zero unless the value is within a thousandth of a whole number: a cell never loses its
// last partly covered pixel.
zlong RoundOutward(double value)
{
    const double widened = value >= 0 ? value + 0.499 : value - 0.499;
    return static_cast<zlong>(widened >= 0 ? widened + 0.5 : widened - 0.5);
}

void ReplaceBool(FcPattern* pattern, const char* option, bool value)
{
    FcPatternDel(pattern, option);
    FcPatternAddBool(pattern, option, value ? FcTrue : FcFalse);
}

void ReplaceInteger(FcPattern* pattern, const char* option, int value)
{
    FcPatternDel(pattern, option);
    FcPatternAddInteger(pattern, option, value);
}

// The options every face is drawn with, whatever the desktop's configuration says.
void FixRenderingOptions(FcPattern* pattern)
{
    ReplaceBool(pattern, FC_ANTIALIAS, true);
    ReplaceBool(pattern, FC_HINTING, true);
    ReplaceInteger(pattern, FC_HINT_STYLE, FC_HINT_SLIGHT);
    ReplaceBool(pattern, FC_AUTOHINT, false);
    ReplaceInteger(pattern, FC_RGBA, FC_RGBA_NONE);
    ReplaceBool(pattern, FC_EMBEDDED_BITMAP, false);
}

FcPattern* MatchFace(const LFont& font, double pixelSize)
{
    Platform::StartFontLibrary();
    FcPattern* pattern = FcPatternCreate();
    const auto family = font.GetFaceName().ToUTF8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.GetData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, (font.GetStyle() & LFont::kBold) != 0 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, (font.GetStyle() & LFont::kItalic) != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match != nullptr) {
        FixRenderingOptions(match);
    }
    return match;
}

cairo_font_options_t* CreateFontOptions()
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    return options;
}

bool IsHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Cairo takes only valid UTF-8: a surrogate without its partner becomes the replacement character.
StringT<char, wchar_t> ToValidUTF8(const WideString& text)
{
    const std::uint32_t length = text.GetLength();
    const wchar_t* units = text.GetData();
    const auto isPaired = [&](std::uint32_t index) {
        if (IsHighSurrogate(units[index])) {
            return index + 1 < length && IsLowSurrogate(units[index + 1]);
        }
        return !IsLowSurrogate(units[index]) || (index > 0 && IsHighSurrogate(units[index - 1]));
    };
    std::uint32_t index = 0;
    while (index < length && isPaired(index)) {
        ++index;
    }
    if (index == length) {
        return text.ToUTF8();
    }
    WideString repaired;
    for (index = 0; index < length; ++index) {
        repaired.AppendChar(isPaired(index) ? units[index] : L'\xFFFD');
    }
    return repaired.ToUTF8();
}

}  // namespace

RCPtr<LGDIFont> LGDIFont::Create(const LFont& font)
{
    const double pixelSize = static_cast<double>(font.GetSize()) * kPointsToPixels;
    if (!(std::fabs(pixelSize) <= kMaxPixelSize)) {
        return nullptr;
    }
    FcPattern* match = MatchFace(font, pixelSize);
    if (match == nullptr) {
        return nullptr;
    }
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
    cairo_matrix_t fontMatrix;
    cairo_matrix_init_scale(&fontMatrix, pixelSize, pixelSize);
    cairo_matrix_t deviceMatrix;
    cairo_matrix_init_identity(&deviceMatrix);
    cairo_font_options_t* options = CreateFontOptions();
    cairo_scaled_font_t* scaledFont = cairo_scaled_font_create(face, &fontMatrix, &deviceMatrix, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);
    if (cairo_scaled_font_status(scaledFont) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(scaledFont);
        return nullptr;
    }
    RCPtr<LGDIFont> result(new LGDIFont(scaledFont));
    result->ReadMetrics(pixelSize);
    return result;
}

LGDIFont::~LGDIFont()
{
    cairo_scaled_font_destroy(mScaledFont);
}

void LGDIFont::ReadMetrics(double pixelSize)
{
    mPadding = static_cast<zlong>(std::lround(pixelSize / 6.0));
    FT_Face face = cairo_ft_scaled_font_lock_face(mScaledFont);
    if (face == nullptr) {
        return;
    }
    const double em = face->units_per_EM > 0 ? face->units_per_EM : 2048.0;
    double ascent = face->ascender;
    double descent = -static_cast<double>(face->descender);
    double lineSpacing = face->height;
    // TrueType faces give their cell in the OS/2 table and their line gap in the horizontal header.
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
        lineSpacing = ascent + descent;
        if (const auto* header = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
            lineSpacing = std::max(lineSpacing, static_cast<double>(header->Ascender) - header->Descender +
                                                    header->Line_Gap);
        }
    }
    cairo_ft_scaled_font_unlock_face(mScaledFont);
    mTop = RoundOutward(-ascent / em * pixelSize);
    mBottom = RoundOutward(descent / em * pixelSize);
    // Rounded on its own, the line could end up a pixel shorter than the cell it holds, and cut off descenders.
    mLineHeight = std::max(RoundOutward(lineSpacing / em * pixelSize), mBottom - mTop);
}

RCPtr<LTextRun> LTextRun::Create(const LGDIFont& font, const WideString& text)
{
    const auto utf8 = ToValidUTF8(text);
    RCPtr<LTextRun> run(new LTextRun());
    const cairo_status_t status =
        cairo_scaled_font_text_to_glyphs(font.GetScaledFont(), 0, 0, utf8.GetData(), static_cast<int>(utf8.GetLength()),
                                         &run->mGlyphs, &run->mGlyphCount, nullptr, nullptr, nullptr);
    if (status != CAIRO_STATUS_SUCCESS || run->mGlyphCount == 0) {
        return nullptr;
    }
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(font.GetScaledFont(), run->mGlyphs, run->mGlyphCount, &extents);
    run->mAdvance = run->mGlyphs[0].x + extents.x_advance;
    return run;
}

LTextRun::~LTextRun()
{
    cairo_glyph_free(mGlyphs);
}

std::intptr_t GDIFontCache::GetFontId(const ConstRCPtr<LFont>& font)
{
    return font->GetUniqueID();
}

unsigned GDIFontCache::TextRunKey::GetHashBits(const TextRunKey& key)
{
    std::uint32_t hash = 2166136261u ^ static_cast<std::uint32_t>(key.fontId);
    const wchar_t* units = key.text.GetData();
    for (std::uint32_t index = 0, length = key.text.GetLength(); index < length; ++index) {
        hash = (hash ^ static_cast<std::uint32_t>(units[index])) * 16777619u;
    }
    return (hash ^ hash >> 8 ^ hash >> 16 ^ hash >> 24) & 0xFFu;
}

const LGDIFont* GDIFontCache::GetFont(const ConstRCPtr<LFont>& font)
{
    RCPtr<LGDIFont>& slot = mFonts.Get(font, false);
    if (slot.IsNull()) {
        slot = LGDIFont::Create(*font);
    }
    return slot.Get();
}

const LTextRun* GDIFontCache::GetTextRun(const ConstRCPtr<LFont>& font, const LGDIFont& face, const WideString& text)
{
    if (text.IsEmpty()) {
        return nullptr;
    }
    RCPtr<LTextRun>& slot = mRuns.Get(TextRunKey{font->GetUniqueID(), text}, false);
    if (slot.IsNull()) {
        slot = LTextRun::Create(face, text);
    }
    return slot.Get();
}

}  // namespace ZV
