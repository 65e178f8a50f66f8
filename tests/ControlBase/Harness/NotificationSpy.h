#pragma once

#include "ControlBase/Control.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace ZV::Testing {

// Subscribes to notifications of controls and writes down each one as it arrives: the sender's name, the id, and
// what the parameter held at that moment (condition masks as "old>new" in hex, the button and point of button
// records, the point of pointer records). Condition records are rewritten in place, so they are read at once.
class LNotificationSpy : public LNotificationClient {
public:
    static RCPtr<LNotificationSpy> Create();

    void Watch(const RCPtr<LControl>& control, std::initializer_list<const wchar_t*> ids);
    // Runs after each notification of the id has been written down; an empty action ends that.
    void OnEach(const wchar_t* id, std::function<void(const LNotification&)> action);
    // The lines written down since the last call.
    std::vector<std::string> TakeLines();

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override;

private:
    LNotificationSpy() = default;

    std::vector<std::string> mLines;
    std::map<const wchar_t*, std::function<void(const LNotification&)>> mActions;
};

}  // namespace ZV::Testing
