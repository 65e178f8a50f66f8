#include "ControlBase/TextWrapping.h"

#include "ControlBase/AppendItem.h"
#include "Renderer/Font.h"
#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/Array.h"

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

// Where the text may break, in ascending order of the characters before the break: before a space (not the first
// character), after a hyphen, and at the end. Found as far as they are asked for.
class BreakFinder {
public:
    explicit BreakFinder(const WideString& text) : mCharacters(text.GetData()), mLength(text.GetLength()) {}

    // The characters before the break of that index; false past the last break.
    bool Get(std::uint32_t index, std::uint32_t& end)
    {
        while (mBreaks.GetCount() <= index && mScanned < mLength) {
            ++mScanned;
            if (mScanned == mLength || mCharacters[mScanned] == L' ' || mCharacters[mScanned - 1] == L'-') {
                AppendItem(mBreaks, mScanned);
            }
        }
        if (index >= mBreaks.GetCount()) {
            return false;
        }
        end = mBreaks.GetData()[index];
        return true;
    }

private:
    const wchar_t* mCharacters;
    std::uint32_t mLength;
    std::uint32_t mScanned = 0;
    Array<std::uint32_t> mBreaks;
};

// The number of characters of the text that make its next line: the longest head up to a break that fits, else the
// first word whole. Widths grow with the head, so the search starts at the break nearest the length of the line
// before (lines of a text tend to be alike) and walks up while the next head fits, or down until one does: a couple
// of measures a line instead of one a word.
std::uint32_t FitCharacters(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const WideString& text,
                            float boxWidth, std::uint32_t lengthHint)
{
    BreakFinder breaks(text);
    std::uint32_t end = 0;
    const auto fits = [&](std::uint32_t index) {
        return breaks.Get(index, end) && MeasureTextWidth(renderer, text.Left(end), font) < boxWidth;
    };
    std::uint32_t index = 0;
    std::uint32_t next = 0;
    while (breaks.Get(index + 1, next) && next <= lengthHint) {
        ++index;
    }
    if (fits(index)) {
        while (fits(index + 1)) {
            ++index;
        }
        (void)breaks.Get(index, end);
        return end;
    }
    while (index > 0) {
        if (fits(--index)) {
            return end;
        }
    }
    // Nothing fits: the first word whole.
    const wchar_t* characters = text.GetData();
    const std::uint32_t length = text.GetLength();
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
    std::uint32_t taken = 0;
    for (;;) {
        taken = FitCharacters(renderer, font, rest, boxWidth, taken);
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
