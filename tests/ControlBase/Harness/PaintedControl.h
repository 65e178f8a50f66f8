#pragma once

#include "ControlBase/Harness/RecordingControl.h"

#include <string>
#include <vector>

namespace ZV::Testing {

// A control with looks of its own, set by its create parameters, for tests of drawing, hit testing, layout and
// scrolling while the looks of the skin are not there. Each look draws its client parts as one fill of its client
// area (colour 0xFF0000nn, nn its index plus 1), its non-client parts as one frame round the control, and its label
// text (the control's name) at its client origin. The control is opaque wherever a look of weight above 0 is, except
// over its hole, and lays itself out again when the window or its parent resizes, as controls do.
//
// Create parameters:
// - "LOOKS": looks separated by ";", each "weight left top right bottom" (the client area's insets from the
//   control's edges). Without it: one look of weight 1 without insets.
// - "HOLE": "x y width height", an area where the control is transparent.
// - "TEXT_BOX": "leftAbs leftRel rightAbs rightRel topAbs topRel bottomAbs bottomRel", and "TEXT": a label text in
//   that box, 7 pixels a character and 16 a line, wrapped into as many lines as the box's width needs while word
//   wrap is on.
// - "SCROLLABLE": "true" keeps the content in a content buffer.
class LPaintedControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    [[nodiscard]] ZVRESULT ProcessRelayout(const PointT<zlong>& size) override;

    bool GetLookFrame(std::uint32_t index, LookFrame& frame) const override;
    void DrawLookLayer(std::uint32_t index, LookLayer layer, LRenderer& renderer, const RectList& region,
                       const PointT<double>& textOffset) override;
    bool IsTransparentAtPoint(const PointT<zlong>& point) override;
    bool MeasureLabelText(LabelTextExtent& extent) override;
    bool SetLabelTextWordWrap(bool wordWrap) override;

    void SetLookWeight(std::uint32_t index, float weight) { mLooks.at(index).weight = weight; }
    bool IsWordWrapOn() const { return mWordWrap; }
    void SetLabelText(const std::string& text) { mText = text; }

private:
    struct Look {
        float weight = 1;
        zlong insets[4] = {};
    };

    std::vector<Look> mLooks{Look()};
    RectT<zlong> mHole;
    double mTextBox[8] = {};
    std::string mText;
    bool mWordWrap = false;
};

}  // namespace ZV::Testing
