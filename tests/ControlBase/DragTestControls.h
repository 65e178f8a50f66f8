#pragma once

#include "ControlBase/ConditionMask.h"
#include "ControlBase/Harness/RecordingControl.h"
#include "Notification/ConditionsParam.h"

#include <string>

namespace ZV::Testing {

// Chooses its drag mode when a left press reaches it, as scroll views and splitters do, scrolls its content within
// the range the test gives, and records each scroll.
class LDragControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override
    {
        const std::uint32_t turnedOn = conditions->GetCurrentConditions() & ~conditions->GetPreviousConditions();
        if ((turnedOn & ConditionMask::kLeftPressed) != 0) {
            (void)SetDragMode(mode, argument);
        }
    }

    const PointT<double>& ScrollTo(const PointT<double>& offset) override
    {
        const PointT<double> before = GetScrollOffset();
        const PointT<double>& after = LRecordingControl::ScrollTo(offset);
        if (!(after == before)) {
            Record("ScrollTo " + std::to_string(static_cast<long>(after.x)) + "," +
                   std::to_string(static_cast<long>(after.y)));
        }
        return after;
    }

    RectT<double> GetScrollRange(const RCPtr<LControl>&) override { return range; }

    std::int32_t mode = 0;
    std::int32_t argument = 0;
    RectT<double> range{0, 0, 1000, 1000};
};

// Takes any dragged control, and records what the drag does over it.
class LDropTarget : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    bool CanHandle(const RCPtr<LControl>&) override { return true; }
    void OnDragEnter(const RCPtr<LControl>&) override { Record("Enter"); }
    void OnDragOver(const RCPtr<LControl>&, const PointT<double>& point) override
    {
        Record("Over " + std::to_string(static_cast<long>(point.x)) + "," + std::to_string(static_cast<long>(point.y)));
    }
    void OnDragLeave(const RCPtr<LControl>&) override { Record("Leave"); }
    ZVRESULT OnDrop(const RCPtr<LControl>&) override
    {
        Record("Drop");
        return ZV_S_OK;
    }
};

}  // namespace ZV::Testing
