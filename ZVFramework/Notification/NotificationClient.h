#pragma once

#include "Notification/NotificationReceiver.h"
#include "Utilities/Storage/Array.h"

#include <cstdint>

namespace ZV {

// A receiver that subscribes: it registers itself at distributors for ids and remembers where it is registered.
// Each registration counts one internal reference on the client (the distributor's entry holds it), so that when its
// owners let it go the client drops every registration and is freed. Its destructor unregisters nothing.
class LNotificationClient : public LNotificationReceiver {
public:
    LNotificationClient() = default;
    LNotificationClient(const LNotificationClient&) = delete;
    LNotificationClient& operator=(const LNotificationClient&) = delete;
    ~LNotificationClient() override;

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override;

    // Registers this client at the distributor for the id with the flags (kNotifyLatestOnly); the canonical id, or
    // null for a null distributor or a null or empty id.
    const wchar_t* RegisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id,
                                           std::uint32_t flags);
    // 0 removed; 1 when this client holds no registration at all, or none for the id there; 0x80070057 for a null
    // distributor or id.
    [[nodiscard]] ZVRESULT UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                       const wchar_t* id) override;
    // Drops every registration everywhere; the number removed.
    std::int32_t UnregisterAllNotifications();

    // Drops every registration, then answers as the base does.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

    std::int32_t GetRegistrationCount() const { return mRegistrationCount; }
    // Every distributor at which this client holds a registration, each once, in order of first registration.
    const Array<LNotificationDistributor*>& GetSources() const { return mSources; }

private:
    std::int32_t mRegistrationCount = 0;
    Array<LNotificationDistributor*> mSources;
};

}  // namespace ZV
