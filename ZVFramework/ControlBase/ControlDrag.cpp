// Drag tracking, drop targets and kinetic scrolling.
#include "ControlBase/Control.h"

namespace ZV {

ZVRESULT LControl::SetDragMode(std::int32_t mode, std::int32_t argument)
{
    mMouse.dragMode = mode;
    mMouse.dragArgument = argument;
    return ZV_S_OK;
}

void LControl::BeginDrag() {}

void LControl::RebaseDrag() {}

void LControl::ProcessMouseTracking(const RCPtr<LPointWithModifiersParam>&) {}

void LControl::OnTrackingMoved(const RCPtr<LPointWithModifiersParam>&) {}

void LControl::EndDrag() {}

bool LControl::CanHandle(const RCPtr<LControl>&)
{
    return false;
}

std::uint32_t LControl::GetDropScrollEdges(const RCPtr<LControl>&)
{
    return 0;
}

void LControl::GetSplitterBounds(RectT<double>&) {}

void LControl::OnDragEnter(const RCPtr<LControl>&) {}

void LControl::OnDragOver(const RCPtr<LControl>&, const PointT<double>&) {}

void LControl::OnDragLeave(const RCPtr<LControl>&) {}

ZVRESULT LControl::OnDrop(const RCPtr<LControl>&)
{
    return ZV_E_FAIL;
}

void LControl::StepKineticScroll(int) {}

}  // namespace ZV
