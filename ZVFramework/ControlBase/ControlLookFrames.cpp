// The looks as the drawing, hit testing and layout of a control take them. The look objects answer for a control
// that has them; without them a control has only the weights of its look state, each over its whole rectangle.
#include "ControlBase/Control.h"

namespace ZV {

bool LControl::GetLookFrame(std::uint32_t index, LookFrame& frame) const
{
    if (index >= mLooks.weights.GetCount()) {
        return false;
    }
    frame = LookFrame();
    frame.weight = mLooks.weights.GetData()[index];
    frame.clientRect = RectT<zlong>(0, 0, RoundToLong(mSize.x), RoundToLong(mSize.y));
    return true;
}

void LControl::DrawLookLayer(std::uint32_t, LookLayer, LRenderer&, const RectList&, const PointT<double>&) {}

void LControl::SizeLooks(const PointT<zlong>&) {}

bool LControl::MeasureLabelText(LabelTextExtent&)
{
    return false;
}

bool LControl::SetLabelTextWordWrap(bool)
{
    return false;
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
