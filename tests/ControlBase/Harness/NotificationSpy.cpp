#include "ControlBase/Harness/NotificationSpy.h"

#include "Notification/ConditionsParam.h"
#include "Notification/InternTable.h"
#include "Notification/MouseParams.h"

#include <cstdio>
#include <utility>

namespace ZV::Testing {

namespace {

std::string Narrow(const wchar_t* text)
{
    return WideString(text).ToUTF8().GetData();
}

std::string Describe(const LRefCountedObject* parameter)
{
    char text[64] = "";
    if (const auto* conditions = dynamic_cast<const LConditionsParam*>(parameter)) {
        std::snprintf(text, sizeof text, " %x>%x", static_cast<unsigned>(conditions->GetPreviousConditions()),
                      static_cast<unsigned>(conditions->GetCurrentConditions()));
    } else if (const auto* button = dynamic_cast<const LMouseButtonParam*>(parameter)) {
        std::snprintf(text, sizeof text, " %u (%d,%d)", static_cast<unsigned>(button->GetButton()),
                      static_cast<int>(button->GetX()), static_cast<int>(button->GetY()));
    } else if (const auto* pointer = dynamic_cast<const LPointWithModifiersParam*>(parameter)) {
        std::snprintf(text, sizeof text, " (%d,%d)", static_cast<int>(pointer->GetX()),
                      static_cast<int>(pointer->GetY()));
    }
    return text;
}

}  // namespace

RCPtr<LNotificationSpy> LNotificationSpy::Create()
{
    return RCPtr<LNotificationSpy>(new LNotificationSpy());
}

void LNotificationSpy::Watch(const RCPtr<LControl>& control, std::initializer_list<const wchar_t*> ids)
{
    for (const wchar_t* id : ids) {
        RegisterForNotification(control, id, 0);
    }
}

void LNotificationSpy::OnEach(const wchar_t* id, std::function<void(const LNotification&)> action)
{
    mActions[InternString(id)] = std::move(action);
}

std::vector<std::string> LNotificationSpy::TakeLines()
{
    return std::exchange(mLines, {});
}

void LNotificationSpy::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    const auto* control = dynamic_cast<const LControl*>(sender.Get());
    std::string line = control ? std::string(control->GetName().ToUTF8().GetData()) + " " : std::string();
    mLines.push_back(line + Narrow(notification->GetId()) + Describe(notification->GetParameter().Get()));
    if (const auto found = mActions.find(notification->GetId()); found != mActions.end() && found->second) {
        // A copy: the action may replace itself.
        const std::function<void(const LNotification&)> action = found->second;
        action(*notification);
    }
}

}  // namespace ZV::Testing
