// Where the text box's characters, caret and selection lie, and which character boundary a point is nearest.
#include "Controls/TextBox.h"

#include "ControlBase/FontText.h"
#include "ControlBase/Look.h"
#include "ControlBase/TextWrapping.h"
#include "Renderer/Font.h"
#include "Renderer/RenderingServices.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

constexpr float kCoordinateLimit = 8388608.0f;

float ToLimitedFloat(double value)
{
    return static_cast<float>(std::clamp(value, static_cast<double>(-kCoordinateLimit),
                                         static_cast<double>(kCoordinateLimit)));
}

// Look 0's laid-out text, or null.
LFontText* TextOfLook(const LControl& control)
{
    const RCPtr<LLook> look = control.GetLookCount() > 0 ? control.GetLook(0) : nullptr;
    return look ? look->GetText().Get() : nullptr;
}

}  // namespace

RectT<float> LTextBox::GetTextRect() const
{
    const RCPtr<LLook> look = GetLookCount() > 0 ? GetLook(0) : nullptr;
    if (!look || !look->GetDescriptor() || !look->GetDescriptor()->HasTextProperties()) {
        return {};
    }
    const TextProperties& text = look->GetDescriptor()->GetTextProperties();
    const float width = ToLimitedFloat(GetSize().x);
    const float height = ToLimitedFloat(GetSize().y);
    const float left = text.leftRel * width + static_cast<float>(text.leftAbs);
    const float top = text.topRel * height + static_cast<float>(text.topAbs);
    return {left, top, text.rightRel * width + static_cast<float>(text.rightAbs) - left,
            text.bottomRel * height + static_cast<float>(text.bottomAbs) - top};
}

PointT<float> LTextBox::GetTextOrigin() const
{
    const RectT<float> room = GetTextRect();
    LFontText* text = TextOfLook(*this);
    if (text == nullptr || text->GetLineCount() == 0) {
        return {room.x, room.y};
    }
    const RectT<float>& line = text->GetLineRect(0);
    return {room.x + line.x, room.y + line.y};
}

float LTextBox::MeasurePrefix(std::int32_t count) const
{
    if (count <= 0) {
        return 0;
    }
    const RCPtr<LMeasurementRenderer> renderer = GetRenderingServices().GetMeasurementRenderer();
    return MeasureTextWidth(renderer.Get(), GetText().Left(static_cast<std::uint32_t>(count)), GetFont());
}

RectT<float> LTextBox::GetCharRect(std::int32_t index) const
{
    if (index < 0 || index > GetTextLength()) {
        return {};
    }
    const PointT<float> origin = GetTextOrigin();
    // Past the last character the one measured is the text's end: nothing.
    const WideString character = GetText().Mid(index, 1);
    const RCPtr<LMeasurementRenderer> renderer = GetRenderingServices().GetMeasurementRenderer();
    const RectT<float> measured = renderer ? renderer->MeasureText(character, GetFont()) : RectT<float>();
    const float width = MeasureTextWidth(renderer.Get(), character, GetFont()) - 1.0f;
    return {origin.x + MeasurePrefix(index), origin.y, std::clamp(width, -kCoordinateLimit, kCoordinateLimit),
            std::clamp(measured.height, -kCoordinateLimit, kCoordinateLimit)};
}

RectT<float> LTextBox::GetRangeRect(std::int32_t first, std::int32_t last) const
{
    const std::int32_t length = GetTextLength();
    if (first < 0 || first > length || last < 0 || last > length) {
        return {};
    }
    const RectT<float> left = GetCharRect(std::min(first, last));
    if (first == last) {
        return left;
    }
    const RectT<float> right = GetCharRect(std::max(first, last));
    return {left.x, left.y, right.x + right.width - left.x, left.height};
}

void LTextBox::UpdateCaretRect()
{
    const PointT<float> origin = GetTextOrigin();
    const float height = GetFont() ? static_cast<float>(std::max<zlong>(GetFont()->ResolveFontInfo(), 0)) : 0.0f;
    mCaretRect = {origin.x + MeasurePrefix(mEditor.GetCaret()) - 1.0f, origin.y, 1.0f, height};
}

bool LTextBox::GetLineText(std::uint32_t line, WideString& text, std::uint32_t maxChars) const
{
    LFontText* laidOut = TextOfLook(*this);
    if (laidOut == nullptr || line >= laidOut->GetLineCount()) {
        return false;
    }
    const WideString& whole = laidOut->GetLine(line);
    text = maxChars != 0 && maxChars < whole.GetLength() ? whole.Left(maxChars) : whole;
    return true;
}

std::int32_t LTextBox::HitTest(const PointT<zlong>& point) const
{
    const RectT<float> room = GetTextRect();
    const float x = std::clamp(static_cast<float>(point.x), room.x, room.x + room.width) +
                    ToLimitedFloat(GetScrollOffset().x);
    const float y = std::clamp(static_cast<float>(point.y), room.y, room.y + room.height) +
                    ToLimitedFloat(GetScrollOffset().y);
    std::uint32_t line = 0;
    if (LFontText* text = TextOfLook(*this); text != nullptr && text->GetLineCount() > 1) {
        const float lineZeroBottom = room.y + text->GetLineRect(0).height;
        const zlong fontHeight = GetFont() ? GetFont()->ResolveFontInfo() : 0;
        if (y > lineZeroBottom && fontHeight > 0) {
            const double below = std::trunc((y - lineZeroBottom) / static_cast<float>(fontHeight));
            line = static_cast<std::uint32_t>(std::min<double>(1.0 + below, text->GetLineCount() - 1));
        }
    }
    WideString lineText;
    (void)GetLineText(line, lineText, 0);
    const std::int32_t count = static_cast<std::int32_t>(lineText.GetLength());
    std::int32_t low = 0;
    std::int32_t high = count - 1;
    while (low <= high) {
        const std::int32_t middle = low + (high - low) / 2;
        const RectT<float> character = GetCharRect(middle);
        if (x > character.x + character.width) {
            low = middle + 1;
        } else if (x < character.x) {
            high = middle - 1;
        } else {
            return x >= character.x + character.width * 0.5f ? middle + 1 : middle;
        }
    }
    // Between two characters (each is drawn one pixel narrower than its advance), the boundary there.
    return std::min(low, count);
}

}  // namespace ZV
