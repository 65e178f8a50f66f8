#pragma once

#include "ControlBase/Harness/NotificationSpy.h"
#include "ObjectBase/Holder.h"

#include <vector>

namespace ZV::Testing {

// Writes down what a value control (slider, knob) tells of its value, its drags and its key runs: the spy's lines,
// and the flags of its "NID_VALUE_CHANGE_CAPTURE" in order.
class ValueControlWatch {
public:
    ValueControlWatch() = default;
    ValueControlWatch(const ValueControlWatch&) = delete;
    ValueControlWatch& operator=(const ValueControlWatch&) = delete;

    void Watch(const RCPtr<LControl>& control)
    {
        if (!control) {
            return;
        }
        spy->Watch(control, {L"NID_VALUE_CHANGE", L"NID_VALUE_CHANGE_CAPTURE", L"NID_VALUE_CHANGE_KEY_DOWN",
                             L"NID_VALUE_CHANGE_KEY_UP"});
        spy->OnEach(L"NID_VALUE_CHANGE_CAPTURE", [this](const LNotification& notification) {
            const auto* held = dynamic_cast<const LHolder<bool>*>(notification.GetParameter().Get());
            captures.push_back(held != nullptr && held->GetValue());
        });
    }

    RCPtr<LNotificationSpy> spy = LNotificationSpy::Create();
    std::vector<bool> captures;
};

}  // namespace ZV::Testing
