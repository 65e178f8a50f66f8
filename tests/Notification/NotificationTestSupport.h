#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationCenter.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"

#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Test classes are named like the framework's own, so that the texts that name them read as the framework's.
namespace ZV {

// A parameter record that counts its living instances.
class LTestRecord : public virtual LRefCountedObject {
public:
    static inline std::atomic<int> sLiving{0};

    explicit LTestRecord(int value) : mValue(value) { ++sLiving; }
    ~LTestRecord() override { --sLiving; }

    static RCPtr<LTestRecord> Create(int value) { return RCPtr<LTestRecord>(new LTestRecord(value)); }
    int GetValue() const { return mValue; }

private:
    const int mValue;
};

// A framework class whose living instances are counted.
template <class Base>
class LCounted : public Base {
public:
    static inline std::atomic<int> sLiving{0};

    template <class... Arguments>
    explicit LCounted(Arguments&&... arguments) : Base(std::forward<Arguments>(arguments)...)
    {
        ++sLiving;
    }
    ~LCounted() override { --sLiving; }
};

using LCountedDistributor = LCounted<LNotificationDistributor>;
using LCountedCenter = LCounted<LNotificationCenter>;

class LCountedQueue : public LCounted<LNotificationQueue> {
public:
    using LNotificationQueue::DetachDistributor;
};

// The value of a notification's LTestRecord parameter, or -1.
inline int ValueOf(const LNotification& notification)
{
    const ConstRCPtr<LTestRecord> record(notification.GetParameter());
    return record ? record->GetValue() : -1;
}

// One delivery as a client saw it. The notification's address identifies it only: by the time the log is read it
// may be destroyed or reused.
struct Delivery {
    std::string client;
    const wchar_t* id;
    const LNotificationDistributor* sender;
    const LNotification* notification;
    int value;
};

// A client that writes every delivery into a shared log and can act from inside a delivery.
class LRecordingClient : public LNotificationClient {
public:
    using Action = std::function<void(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)>;

    static inline std::atomic<int> sLiving{0};

    LRecordingClient(std::string name, std::vector<Delivery>& log) : mName(std::move(name)), mLog(log) { ++sLiving; }
    ~LRecordingClient() override { --sLiving; }

    static RCPtr<LRecordingClient> Create(std::string name, std::vector<Delivery>& log)
    {
        return RCPtr<LRecordingClient>(new LRecordingClient(std::move(name), log));
    }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        mLog.push_back({mName, notification->GetId(), sender.Get(), notification.Get(), ValueOf(*notification)});
        if (onReceive) {
            onReceive(sender, notification);
        }
    }

    Action onReceive;

private:
    std::string mName;
    std::vector<Delivery>& mLog;
};

// The names of the clients in the order they received.
inline std::vector<std::string> ClientsInOrder(const std::vector<Delivery>& log)
{
    std::vector<std::string> names;
    for (const Delivery& delivery : log) {
        names.push_back(delivery.client);
    }
    return names;
}

// Switches the notification pool on for the scope.
class NotificationPoolOn {
public:
    NotificationPoolOn() { EnableNotificationPool(true); }
    NotificationPoolOn(const NotificationPoolOn&) = delete;
    NotificationPoolOn& operator=(const NotificationPoolOn&) = delete;
    ~NotificationPoolOn() { EnableNotificationPool(false); }
};

inline RCPtr<LNotification> MakeNotification(const wchar_t* id, int value)
{
    return LNotification::Create(id, LTestRecord::Create(value));
}

}  // namespace ZV
