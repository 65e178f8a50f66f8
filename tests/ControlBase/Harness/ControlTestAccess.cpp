#include "ControlBase/Harness/ControlTestAccess.h"

namespace ZV {

void ControlTestAccess::Place(LControl& control, const RectT<double>& bounds)
{
    control.mPosition = {bounds.x, bounds.y};
    control.mSize = {bounds.width, bounds.height};
    control.UpdateConditions();
}

void ControlTestAccess::PlaceTree(LControl& control, const RectT<double>& bounds)
{
    Place(control, bounds);
    for (std::uint32_t index = 0; index < control.GetChildren().GetCount(); ++index) {
        PlaceTree(*control.GetChildren().GetAt(index, LControl::kInsertionOrder), bounds);
    }
}

}  // namespace ZV
