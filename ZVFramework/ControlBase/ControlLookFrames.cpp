// The looks as the drawing, hit testing and layout of a control take them. A number of the look list that the skin
// gives no look is there, with its weight, but not present.
#include "ControlBase/Control.h"

#include <algorithm>

namespace ZV {

bool LControl::GetLookFrame(std::uint32_t index, LookFrame& frame) const
{
    const std::uint32_t count = mLooks.weights.GetCount();
    if (index >= std::max<std::uint32_t>(count, 1)) {
        return false;
    }
    frame = LookFrame();
    // A control without any look still holds its children: they are drawn and hit once, over the whole control.
    frame.weight = count == 0 ? 1.0f : mLooks.weights.GetData()[index];
    const LLook* look = LookAt(static_cast<std::int32_t>(index));
    frame.present = look != nullptr;
    frame.clientRect =
        look != nullptr ? look->GetClientRect() : RectT<zlong>(0, 0, RoundToLong(mSize.x), RoundToLong(mSize.y));
    return true;
}

void LControl::DrawLookLayer(std::uint32_t index, LookLayer layer, LRenderer& renderer, const RectList& region,
                             const PointT<double>& textOffset)
{
    LLook* look = LookAt(static_cast<std::int32_t>(index));
    if (look == nullptr) {
        return;
    }
    // A look answers 1 where it has nothing of that layer; the pass goes on either way.
    switch (layer) {
    case LookLayer::kClientParts:
        (void)look->DrawClientParts(renderer, region);
        break;
    case LookLayer::kNonClientParts:
        (void)look->DrawNonClientParts(renderer, region);
        break;
    case LookLayer::kLabelText:
        (void)look->DrawLabelText(renderer, region, textOffset);
        break;
    }
}

void LControl::SizeLooks(const PointT<zlong>& size)
{
    mLayoutState.clientRectKept = false;
    for (std::uint32_t index = 0; index < mLooks.looks.GetCount(); ++index) {
        if (const RCPtr<LLook>& look = mLooks.looks.GetData()[index]) {
            (void)look->SetSize(size.x, size.y);
        }
    }
}

bool LControl::MeasureLabelText(LabelTextExtent& extent)
{
    const RCPtr<LLook> look = GetLook(-1);
    if (!look || !look->GetText()) {
        return false;
    }
    const TextProperties& properties = look->GetDescriptor()->GetTextProperties();
    const LFontText& text = *look->GetText();
    extent.box = look->GetTextBox().ToDouble();
    extent.boxGrowth =
        PointT<double>(properties.rightRel - properties.leftRel, properties.bottomRel - properties.topRel);
    extent.width = static_cast<double>(text.GetMaxLineWidth());
    extent.height = static_cast<double>(text.GetHeightForWidth(look->GetTextBox().width));
    return true;
}

bool LControl::SetLabelTextWordWrap(bool wordWrap)
{
    // Every look shows the same text in a box of the same rules: they wrap alike, whichever look shows.
    bool changed = false;
    for (std::uint32_t index = 0; index < mLooks.looks.GetCount(); ++index) {
        const RCPtr<LLook>& look = mLooks.looks.GetData()[index];
        if (look && look->GetText() && look->GetText()->SetWordWrap(wordWrap)) {
            changed = true;
        }
    }
    return changed;
}

RectT<double> LControl::GetClientRect(std::int32_t lookIndex) const
{
    LookFrame frame;
    if (lookIndex >= 0 && GetLookFrame(static_cast<std::uint32_t>(lookIndex), frame) && frame.present) {
        return frame.clientRect.ToDouble();
    }
    // The active look: the first present one of weight above 0, else the first present one.
    bool found = false;
    RectT<zlong> firstPresent;
    for (std::uint32_t index = 0; GetLookFrame(index, frame); ++index) {
        if (!frame.present) {
            continue;
        }
        if (frame.weight > 0) {
            return frame.clientRect.ToDouble();
        }
        if (!found) {
            found = true;
            firstPresent = frame.clientRect;
        }
    }
    return found ? firstPresent.ToDouble() : RectT<double>(0, 0, mSize.x, mSize.y);
}

}  // namespace ZV
