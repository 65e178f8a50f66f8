#include "ControlBase/Harness/PaintedControl.h"

#include "ControlBase/StringTable.h"
#include "Renderer/Font.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/Color.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace ZV::Testing {

namespace {

constexpr double kCharacterWidth = 7;
constexpr double kLineHeight = 16;

std::string Parameter(const RCPtr<LControlDescriptor>& descriptor, const wchar_t* key)
{
    WideString text;
    if (descriptor && descriptor->GetCreateParams()) {
        descriptor->GetCreateParams()->GetString(key, text);
    }
    return text.ToUTF8().GetData();
}

}  // namespace

ZVRESULT LPaintedControl::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const std::string looks = Parameter(descriptor, L"LOOKS");
    if (!looks.empty()) {
        mLooks.clear();
        std::istringstream list(looks);
        for (std::string item; std::getline(list, item, ';');) {
            std::istringstream fields(item);
            Look look;
            fields >> look.weight >> look.insets[0] >> look.insets[1] >> look.insets[2] >> look.insets[3];
            mLooks.push_back(look);
        }
    }
    std::istringstream hole(Parameter(descriptor, L"HOLE"));
    hole >> mHole.x >> mHole.y >> mHole.width >> mHole.height;
    std::istringstream box(Parameter(descriptor, L"TEXT_BOX"));
    for (double& value : mTextBox) {
        box >> value;
    }
    mText = Parameter(descriptor, L"TEXT");
    SetScrollableContent(Parameter(descriptor, L"SCROLLABLE") == "true");
    return LRecordingControl::ApplyDescriptor(descriptor);
}

ZVRESULT LPaintedControl::ProcessRelayout(const PointT<zlong>&)
{
    (void)ApplyLayout();
    return ZV_S_OK;
}

bool LPaintedControl::GetLookFrame(std::uint32_t index, LookFrame& frame) const
{
    if (index >= mLooks.size()) {
        return false;
    }
    const Look& look = mLooks[index];
    const PointT<zlong> size = GetSize().ToLongPoint();
    frame = LookFrame();
    frame.present = true;
    frame.weight = look.weight;
    frame.clientRect = {look.insets[0], look.insets[1], std::max(size.x - look.insets[0] - look.insets[2], 0),
                        std::max(size.y - look.insets[1] - look.insets[3], 0)};
    return true;
}

void LPaintedControl::DrawLookLayer(std::uint32_t index, LookLayer layer, LRenderer& renderer, const RectList&,
                                    const PointT<double>& textOffset)
{
    LookFrame frame;
    (void)GetLookFrame(index, frame);
    const LColor color(0, 0, static_cast<float>(index + 1) / 255.0f, 1);
    switch (layer) {
    case LookLayer::kClientParts:
        renderer.FillRect(frame.clientRect, color, true);
        break;
    case LookLayer::kNonClientParts:
        renderer.FrameRect({0, 0, GetSize().ToLongPoint().x, GetSize().ToLongPoint().y}, color, 1);
        break;
    case LookLayer::kLabelText:
        renderer.DrawText(GetName(), nullptr,
                          {frame.clientRect.x - RoundToLong(textOffset.x),
                           frame.clientRect.y - RoundToLong(textOffset.y)},
                          color);
        break;
    }
}

bool LPaintedControl::IsTransparentAtPoint(const PointT<zlong>& point)
{
    const bool inHole = point.x >= mHole.x && point.y >= mHole.y && point.x < mHole.x + mHole.width &&
                        point.y < mHole.y + mHole.height;
    if (inHole) {
        return true;
    }
    for (const Look& look : mLooks) {
        if (look.weight > 0) {
            return false;
        }
    }
    return true;
}

bool LPaintedControl::MeasureLabelText(LabelTextExtent& extent)
{
    if (mText.empty()) {
        return false;
    }
    const PointT<double> size = GetSize();
    const double left = mTextBox[0] + mTextBox[1] * size.x;
    const double right = mTextBox[2] + mTextBox[3] * size.x;
    const double top = mTextBox[4] + mTextBox[5] * size.y;
    const double bottom = mTextBox[6] + mTextBox[7] * size.y;
    extent.box = {left, top, right - left, bottom - top};
    extent.boxGrowth = {mTextBox[3] - mTextBox[1], mTextBox[7] - mTextBox[5]};
    extent.width = kCharacterWidth * static_cast<double>(mText.size());
    const double lines = mWordWrap && extent.box.width > 0 ? std::ceil(extent.width / extent.box.width) : 1;
    extent.height = kLineHeight * lines;
    return true;
}

bool LPaintedControl::SetLabelTextWordWrap(bool wordWrap)
{
    const bool changed = mWordWrap != wordWrap;
    mWordWrap = wordWrap;
    return changed;
}

}  // namespace ZV::Testing
