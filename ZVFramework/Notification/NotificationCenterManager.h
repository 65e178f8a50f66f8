#pragma once

#include "Notification/NotificationCenter.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// The process-wide keeper of the notification centres, by name. Centres may be looked up and created from any
// thread; processing runs on the user-interface thread and holds no lock while it delivers.
class LNotificationCenterManager : public virtual LRefCountedObject {
public:
    LNotificationCenterManager() = default;
    LNotificationCenterManager(const LNotificationCenterManager&) = delete;
    LNotificationCenterManager& operator=(const LNotificationCenterManager&) = delete;
    ~LNotificationCenterManager() override;

    static RCPtr<LNotificationCenterManager> Create();
    // The process-wide manager, made on first use. The application sets it to null when it ends, which releases the
    // manager and its centres.
    static RCPtr<LNotificationCenterManager>& GetInstance();

    // The centre of that name (letter case counts), or null.
    RCPtr<LNotificationCenter> FindNotificationCenter(const WideString& name) const;
    // A new centre, not kept by the manager.
    RCPtr<LNotificationCenter> CreateNotificationCenter(const WideString& name) const;
    // The centre of that name, made and kept when there is none yet; null for an empty name.
    RCPtr<LNotificationCenter> GetNotificationCenter(const WideString& name);

    // Processes every centre's queue, the last created first; true when any still holds notifications afterwards.
    bool ProcessNotifications(bool sendIdle);

private:
    RCPtr<LNotificationCenter> FindLocked(const WideString& name) const;
    std::uint32_t GetCentreCount() const;

    mutable Mutex mCentresLock;
    RCPtrArray<LNotificationCenter, 1, 0> mCentres;
};

// "application". Never destroyed: threads that post to the centre may outlive main.
const WideString& GetApplicationCenterName();
// The centre named "application", through which the update engine and other parts post to the user interface.
RCPtr<LNotificationCenter> GetApplicationNotificationCenter();

}  // namespace ZV
