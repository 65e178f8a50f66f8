#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/PointT.h"

#include <cstdint>

namespace ZV {

class LKeyParam;
class LMouseButtonParam;
class LMouseWheelParam;
class LPointWithModifiersParam;

// What a root window calls on the control that an input event belongs to. Every control implements it once, in
// LControl; controls react through LControl's hooks instead of overriding these.
//
// Results: 0 done, 1 refused or not handled, 0x80070057 for a null parameter or an unknown button.
class UITarget : public virtual LRefCountedObject {
public:
    [[nodiscard]] virtual ZVRESULT OnMouseEnter() = 0;
    [[nodiscard]] virtual ZVRESULT OnMouseMove(const RCPtr<LPointWithModifiersParam>& pointer) = 0;
    [[nodiscard]] virtual ZVRESULT OnMouseDown(const RCPtr<LMouseButtonParam>& press) = 0;
    [[nodiscard]] virtual ZVRESULT OnMouseUp(const RCPtr<LMouseButtonParam>& release) = 0;
    [[nodiscard]] virtual ZVRESULT OnMouseLeave() = 0;
    // Takes the capture for a press of the button (0: the capture alone) at a point of the control.
    [[nodiscard]] virtual ZVRESULT ProcessMouseDown(std::uint32_t button, std::int32_t x, std::int32_t y) = 0;
    // The capture is gone: 1 when the control held none.
    [[nodiscard]] virtual ZVRESULT OnCaptureLost() = 0;
    virtual void OnKey(const RCPtr<LKeyParam>& key) = 0;
    // Offer a wheel step to this control and, while nobody handles it, to the controls around it; 1 when nobody
    // did. The wheel hooks that controls override are LControl's OnMouseWheel and OnMouseHWheel.
    [[nodiscard]] virtual ZVRESULT DeliverMouseWheel(const RCPtr<LMouseWheelParam>& wheel) = 0;
    [[nodiscard]] virtual ZVRESULT DeliverMouseHWheel(const RCPtr<LMouseWheelParam>& wheel) = 0;
    // The window's client area changed to that size.
    [[nodiscard]] virtual ZVRESULT ProcessRelayout(const PointT<zlong>& size) = 0;
    virtual bool CanReleaseFocus() = 0;
    virtual bool ReleaseFocus() = 0;
};

}  // namespace ZV
