#include "ControlBase/TextWrapping.h"

#include "ControlBase/AppendItem.h"
#include "Renderer/Font.h"
#include "Renderer/MeasurementRenderer.h"
#include "Utilities/Storage/Array.h"

#include <algorithm>
#include <limits>

namespace ZV {

namespace {

// What a following line does not start with.
bool IsLeadingBlank(wchar_t character)
{
    return character == L' ' || character == L'\t' || character == L'\r' || character == L'\n';
}

// What is left of a paragraph of the text, the characters from `start` to `end`, which the lines still to be made
// take.
struct ParagraphRest {
    const WideString& text;
    std::uint32_t start;
    std::uint32_t end;

    const wchar_t* GetData() const { return text.GetData() + start; }
    std::uint32_t GetLength() const { return end - start; }
    WideString Left(std::uint32_t count) const
    {
        return text.Mid(static_cast<int>(start), std::min(count, GetLength()));
    }
};

bool IsBlankOnly(const ParagraphRest& text)
{
    return std::all_of(text.GetData(), text.GetData() + text.GetLength(), IsLeadingBlank);
}

// Where the text may break: before a space (not the first character), after a hyphen, and at the end. A break is
// named by the number of characters before it.
class Breaks {
public:
    explicit Breaks(const ParagraphRest& text) : mCharacters(text.GetData()), mLength(text.GetLength()) {}

    // The first break after `end`; false when there is none.
    bool After(std::uint32_t end, std::uint32_t& next) const
    {
        for (std::uint32_t at = end + 1; at <= mLength; ++at) {
            if (IsBreak(at)) {
                next = at;
                return true;
            }
        }
        return false;
    }
    // The last break before `end`; false when there is none.
    bool Before(std::uint32_t end, std::uint32_t& previous) const
    {
        for (std::uint32_t at = end; at-- > 1;) {
            if (IsBreak(at)) {
                previous = at;
                return true;
            }
        }
        return false;
    }

private:
    bool IsBreak(std::uint32_t at) const
    {
        return at == mLength || mCharacters[at] == L' ' || mCharacters[at - 1] == L'-';
    }

    const wchar_t* mCharacters;
    std::uint32_t mLength;
};

// Measures the heads of a line's text: in one pass over as much of the text as a line may take, where the renderer
// can, else one head at a time.
class HeadMeasurer {
public:
    // The heads go into `heads`. With layOut, the renderer's layout of the text measured is kept as well.
    HeadMeasurer(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const ParagraphRest& text,
                 float boxWidth, std::uint32_t lengthHint, bool layOut, Array<RectT<float>>& heads)
        : mRenderer(renderer), mFont(font), mText(text), mBoxWidth(boxWidth), mHeads(heads)
    {
        // A head as long as the line before may still fit: measure past it, and measure again when the whole
        // stretch fits but is not the whole text.
        std::uint32_t stretch = std::max(2 * lengthHint + kStretchBeyondHint, kFirstStretch);
        for (;;) {
            const bool whole = stretch >= text.GetLength();
            const WideString measured = text.Left(stretch);
            mInOnePass = renderer != nullptr &&
                         (layOut ? renderer->MeasureHeadsAndLayOut(measured, font, WidthLimit(), mHeads, mLayout)
                                 : renderer->MeasureHeads(measured, font, WidthLimit(), mHeads));
            if (!mInOnePass || whole || mHeads.GetCount() < stretch || !Fits(stretch)) {
                return;
            }
            stretch = stretch > text.GetLength() / 4 ? text.GetLength() : stretch * 4;
        }
    }

    // Whether the first `end` characters are narrower than the box.
    bool Fits(std::uint32_t end)
    {
        if (!mInOnePass) {
            return MeasureTextWidth(mRenderer, mText.Left(end), mFont) < mBoxWidth;
        }
        // Past the heads kept, every head is wider than the last of them.
        return end > 0 && end <= mHeads.GetCount() && DrawnWidth(mHeads.GetData()[end - 1]) < mBoxWidth;
    }

    // The measured box of the first `end` characters.
    RectT<float> Measure(std::uint32_t end)
    {
        if (mInOnePass && end > 0 && end <= mHeads.GetCount()) {
            return mHeads.GetData()[end - 1];
        }
        return mRenderer != nullptr ? mRenderer->MeasureText(mText.Left(end), mFont) : RectT<float>();
    }

    // The renderer's layout of the text when it holds the first `end` characters; else null.
    RCPtr<LLaidOutText> Layout(std::uint32_t end) const
    {
        return mInOnePass && mLayout && mLayout->GetCharacterCount() >= end ? mLayout : RCPtr<LLaidOutText>();
    }

private:
    static constexpr std::uint32_t kFirstStretch = 64;
    static constexpr std::uint32_t kStretchBeyondHint = 16;

    // Heads wider than the box never fit; the least positive limit where the box has no width.
    float WidthLimit() const { return std::max(mBoxWidth, std::numeric_limits<float>::min()); }

    LMeasurementRenderer* mRenderer;
    const ConstRCPtr<LFont>& mFont;
    const ParagraphRest& mText;
    float mBoxWidth;
    Array<RectT<float>>& mHeads;
    bool mInOnePass = false;
    RCPtr<LLaidOutText> mLayout;
};

// The number of characters of the text that make its next line: the longest head up to a break that fits, else the
// first word whole. Widths grow with the head, so the search starts at the break nearest the length of the line
// before (lines of a text tend to be alike) and walks up while the next head fits, or down until one does.
std::uint32_t FitCharacters(HeadMeasurer& heads, const ParagraphRest& text, std::uint32_t lengthHint)
{
    const Breaks breaks(text);
    std::uint32_t end = 0;
    std::uint32_t next = 0;
    if (breaks.After(0, end)) {
        while (breaks.After(end, next) && next <= lengthHint) {
            end = next;
        }
        if (heads.Fits(end)) {
            while (breaks.After(end, next) && heads.Fits(next)) {
                end = next;
            }
            return end;
        }
        while (breaks.Before(end, end)) {
            if (heads.Fits(end)) {
                return end;
            }
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

// Where WrapText puts the lines, and what it keeps of each.
struct WrappedLines {
    WideStringArray& lines;
    Array<RectT<float>>* boxes;
    RCPtrArray<LLaidOutText>* layouts;
};

void AppendLine(const WideString& line, const RectT<float>& box, const RCPtr<LLaidOutText>& layout,
                const WrappedLines& wrapped)
{
    AppendItem(wrapped.lines, line);
    if (wrapped.boxes != nullptr) {
        AppendItem(*wrapped.boxes, box);
    }
    if (wrapped.layouts != nullptr) {
        AppendItem(*wrapped.layouts, layout);
    }
}

void WrapParagraph(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, ParagraphRest rest,
                   float boxWidth, const WrappedLines& wrapped, Array<RectT<float>>& headRoom)
{
    std::uint32_t taken = 0;
    for (;;) {
        HeadMeasurer heads(renderer, font, rest, boxWidth, taken, wrapped.layouts != nullptr, headRoom);
        taken = FitCharacters(heads, rest, taken);
        AppendLine(rest.Left(taken), wrapped.boxes != nullptr ? heads.Measure(taken) : RectT<float>(),
                   heads.Layout(taken), wrapped);
        rest.start += taken;
        if (rest.GetLength() == 0) {
            return;
        }
        // Blanks alone would never start a word of their own: they end the paragraph as they are.
        if (IsBlankOnly(rest)) {
            const WideString remainder = rest.Left(rest.GetLength());
            AppendLine(remainder, wrapped.boxes != nullptr ? MeasureText(renderer, remainder, font) : RectT<float>(),
                       nullptr, wrapped);
            return;
        }
        while (IsLeadingBlank(*rest.GetData())) {
            ++rest.start;
        }
    }
}

}  // namespace

RectT<float> MeasureText(LMeasurementRenderer* renderer, const WideString& text, const ConstRCPtr<LFont>& font)
{
    return renderer != nullptr ? renderer->MeasureText(text, font) : RectT<float>();
}

float MeasureTextWidth(LMeasurementRenderer* renderer, const WideString& text, const ConstRCPtr<LFont>& font)
{
    return DrawnWidth(MeasureText(renderer, text, font));
}

void WrapText(LMeasurementRenderer* renderer, const ConstRCPtr<LFont>& font, const WideString& text, float boxWidth,
              WideStringArray& lines, Array<RectT<float>>* lineBoxes, RCPtrArray<LLaidOutText>* lineLayouts)
{
    const WrappedLines wrapped{lines, lineBoxes, lineLayouts};
    // The paragraphs as Split gives them: a line feed at the very end starts none.
    const wchar_t* characters = text.GetData();
    const std::uint32_t length = text.GetLength();
    std::uint32_t start = 0;
    // Every line measures its heads into it in turn, so that a line takes no heap block for them.
    Array<RectT<float>> heads;
    for (;;) {
        const auto end =
            static_cast<std::uint32_t>(std::find(characters + start, characters + length, L'\n') - characters);
        WrapParagraph(renderer, font, ParagraphRest{text, start, end}, boxWidth, wrapped, heads);
        start = end + 1;
        if (start >= length) {
            return;
        }
    }
}

}  // namespace ZV
