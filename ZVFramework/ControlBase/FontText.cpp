#include "ControlBase/FontText.h"

#include "ControlBase/AppendItem.h"
#include "ControlBase/TextWrapping.h"
#include "Renderer/Font.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

constexpr float kSizeLimit = 8388608.0f;

zlong LimitAndRound(float value)
{
    return RoundToLong(std::clamp(value, -kSizeLimit, kSizeLimit));
}

RCPtr<LMeasurementRenderer> MeasurementRenderer()
{
    return GetRenderingServices().GetMeasurementRenderer();
}

}  // namespace

bool IsSameFont(const LFont* first, const LFont* second)
{
    if (first == second) {
        return true;
    }
    return first != nullptr && second != nullptr && first->GetFaceName().EqualsNoCase(second->GetFaceName()) &&
           first->GetSize() == second->GetSize() && first->GetStyle() == second->GetStyle();
}

LFontText::LFontText(const WideString& text, const RCPtr<LFont>& font) : mText(text), mFont(font) {}

RCPtr<LFontText> LFontText::Create(const WideString& text, const RCPtr<LFont>& font)
{
    return RCPtr<LFontText>(new LFontText(text, font), kNewObject);
}

void LFontText::EmptyCaches()
{
    (void)mLines.Clear();
    (void)mLineRects.Clear();
    (void)mLineLayouts.Clear();
}

ZVRESULT LFontText::SetText(const WideString& text)
{
    if (text == mText) {
        return kFontTextUnchanged;
    }
    mText = text;
    EmptyCaches();
    return kFontTextChanged;
}

ZVRESULT LFontText::SetFont(const RCPtr<LFont>& font)
{
    const bool changed = !IsSameFont(mFont.Get(), font.Get());
    mFont = font;
    if (!changed) {
        return kFontTextUnchanged;
    }
    EmptyCaches();
    return kFontTextChanged;
}

bool LFontText::SetWordWrap(bool wordWrap)
{
    if (wordWrap == mWordWrap) {
        return false;
    }
    mWordWrap = wordWrap;
    EmptyCaches();
    return true;
}

bool LFontText::SetAlignment(float horizontal, float vertical)
{
    if (horizontal == mHorizontalAlignment && vertical == mVerticalAlignment) {
        return false;
    }
    mHorizontalAlignment = horizontal;
    mVerticalAlignment = vertical;
    EmptyCaches();
    return true;
}

bool LFontText::SetBoxSize(const PointT<zlong>& size)
{
    if (size == mBoxSize) {
        return false;
    }
    mBoxSize = size;
    EmptyCaches();
    return true;
}

zlong LFontText::GetLineHeight() const
{
    return mFont ? std::max<zlong>(mFont->ResolveFontInfo(), 0) : 0;
}

void LFontText::BreakLines(zlong width, WideStringArray& lines, Array<RectT<float>>* lineBoxes,
                           RCPtrArray<LLaidOutText>* lineLayouts) const
{
    const RCPtr<LMeasurementRenderer> renderer = MeasurementRenderer();
    if (mWordWrap) {
        WrapText(renderer.Get(), mFont, mText, static_cast<float>(width), lines, lineBoxes, lineLayouts);
        return;
    }
    lines = mText.Split(L"\n");
    if (lineBoxes != nullptr) {
        for (std::uint32_t index = 0; index < lines.GetCount(); ++index) {
            AppendItem(*lineBoxes, MeasureText(renderer.Get(), lines.GetData()[index], mFont));
        }
    }
}

std::uint32_t LFontText::GetLineCount()
{
    if (mLineRects.GetCount() != 0) {
        return mLineRects.GetCount();
    }
    // The lines, their rectangles and layouts are emptied together, so they are built together, each line measured
    // once.
    (void)mLines.Clear();
    (void)mLineLayouts.Clear();
    Array<RectT<float>> measured;
    BreakLines(mBoxSize.x, mLines, &measured, &mLineLayouts);
    const float lineHeight = static_cast<float>(GetLineHeight());
    const std::uint32_t count = mLines.GetCount();
    const float top =
        std::trunc((static_cast<float>(mBoxSize.y) - static_cast<float>(count) * lineHeight) * mVerticalAlignment);
    for (std::uint32_t index = 0; index < count; ++index) {
        const RectT<float>& box = measured.GetData()[index];
        const float width = DrawnWidth(box);
        const float x = std::trunc((static_cast<float>(mBoxSize.x) - width) * mHorizontalAlignment);
        AppendItem(mLineRects, RectT<float>(x, top + static_cast<float>(index) * lineHeight, width, box.height));
    }
    return mLineRects.GetCount();
}

const WideString& LFontText::GetLine(std::uint32_t index) const
{
    static const WideString kNoLine;
    return index < mLines.GetCount() ? mLines.GetData()[index] : kNoLine;
}

const RectT<float>& LFontText::GetLineRect(std::uint32_t index) const
{
    static const RectT<float> kNoLine;
    return index < mLineRects.GetCount() ? mLineRects.GetData()[index] : kNoLine;
}

const LLaidOutText* LFontText::GetLineLayout(std::uint32_t index) const
{
    return index < mLineLayouts.GetCount() ? mLineLayouts.GetData()[index].Get() : nullptr;
}

PointT<zlong> LFontText::GetSize()
{
    const std::uint32_t count = GetLineCount();
    if (count == 0) {
        return {};
    }
    RectT<float> bounds = mLineRects.GetData()[0];
    for (std::uint32_t index = 1; index < count; ++index) {
        UnionRects(bounds, bounds, mLineRects.GetData()[index]);
    }
    return {LimitAndRound(bounds.width), LimitAndRound(bounds.height)};
}

zlong LFontText::GetMaxLineWidth() const
{
    const RCPtr<LMeasurementRenderer> renderer = MeasurementRenderer();
    const WideStringArray lines = mText.Split(L"\n");
    float widest = 0;
    for (std::uint32_t index = 0; index < lines.GetCount(); ++index) {
        widest = std::max(widest, MeasureTextWidth(renderer.Get(), lines.GetData()[index], mFont));
    }
    return static_cast<zlong>(std::clamp(widest + 0.99f, -kSizeLimit, kSizeLimit));
}

zlong LFontText::GetHeightForWidth(zlong width) const
{
    WideStringArray lines;
    BreakLines(width, lines);
    return static_cast<zlong>(lines.GetCount()) * GetLineHeight();
}

}  // namespace ZV
