#include "ControlBase/TextWrapping.h"

#include "ControlBase/AppendItem.h"
#include "Renderer/Font.h"
#include "Renderer/MeasurementRenderer.h"

namespace ZV {

namespace {

// What a following line does not start with.
const wchar_t kLeadingBlanks[] = L" \t\r\n";

bool IsBlankOnly(const WideString& text)
{
    for (std::uint32_t index = 0; index < text.GetLength(); ++index) {
        const wchar_t character = text.GetData()[index];
        if (character != L' ' && character != L'\t' && character != L'\r' && character != L'\n') {
            return false;
        }
    }
    return true;
}

// The number of characters of the text that make its next line. A head ends before a space (not the first
// character) or after a hyphen, or it is the whole text; the longest that fits wins. Widths grow with the head, so the
// heads are tried from the shortest and the first that does not fit ends the search.
std::uint32_t FitCharacters(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const WideString& text,
                            float boxWidth)
{
    const wchar_t* characters = text.GetData();
    const std::uint32_t length = text.GetLength();
    std::uint32_t longest = 0;
    for (std::uint32_t end = 1; end <= length; ++end) {
        const bool isBreak = end == length || characters[end] == L' ' || characters[end - 1] == L'-';
        if (!isBreak) {
            continue;
        }
        if (!(MeasureTextWidth(renderer, text.Left(end), font) < boxWidth)) {
            break;
        }
        longest = end;
    }
    if (longest > 0) {
        return longest;
    }
    // Nothing fits: the first word whole.
    std::uint32_t wordEnd = 1;
    while (wordEnd < length && characters[wordEnd] != L' ') {
        ++wordEnd;
    }
    return length == 0 ? 0 : wordEnd;
}

void WrapParagraph(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const WideString& paragraph,
                   float boxWidth, WideStringArray& lines)
{
    WideString rest = paragraph;
    for (;;) {
        const std::uint32_t taken = FitCharacters(renderer, font, rest, boxWidth);
        AppendItem(lines, rest.Left(taken));
        const WideString remainder = rest.MidToEnd(static_cast<int>(taken));
        if (remainder.IsEmpty()) {
            return;
        }
        // Blanks alone would never start a word of their own: they end the paragraph as they are.
        if (IsBlankOnly(remainder)) {
            AppendItem(lines, remainder);
            return;
        }
        rest = remainder.TrimLeftChars(kLeadingBlanks);
    }
}

}  // namespace

float MeasureTextWidth(LMeasurementRenderer* renderer, const WideString& text, const ConstRCPtr<LFont>& font)
{
    if (renderer == nullptr) {
        return 0;
    }
    return DrawnWidth(renderer->MeasureText(text, font));
}

void WrapText(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const WideString& text, float boxWidth,
              WideStringArray& lines)
{
    const WideStringArray paragraphs = text.Split(L"\n");
    for (std::uint32_t index = 0; index < paragraphs.GetCount(); ++index) {
        WrapParagraph(renderer, font, paragraphs.GetData()[index], boxWidth, lines);
    }
}

}  // namespace ZV
