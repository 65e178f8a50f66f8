#include "Notification/NotificationCenterManager.h"

#include "Notification/InternTable.h"
#include "Notification/NotificationLock.h"
#include "ObjectBase/Exception.h"

namespace ZV {

namespace {

class ManagerInstance {
public:
    // What the manager's centres use when they go is built first, so that it outlives them.
    ManagerInstance()
    {
        GetNotificationLock();
        GetInternTable();
        GetNotificationSparePool();
        GetNotificationDistributors();
        GetNotificationQueueMutex();
    }
    ManagerInstance(const ManagerInstance&) = delete;
    ManagerInstance& operator=(const ManagerInstance&) = delete;

    RCPtr<LNotificationCenterManager>& Get()
    {
        MutexLock lock(mLock);
        if (mManager.IsNull()) {
            mManager = LNotificationCenterManager::Create();
        }
        return mManager;
    }

    RCPtr<LNotificationCenterManager> Hold()
    {
        MutexLock lock(mLock);
        return Get();
    }

private:
    Mutex mLock;
    RCPtr<LNotificationCenterManager> mManager;
};

ManagerInstance& TheManagerInstance()
{
    // Never destroyed: the update engine's worker may still post while the program exits.
    static ManagerInstance& instance = *new ManagerInstance;
    return instance;
}

}  // namespace

LNotificationCenterManager::~LNotificationCenterManager() = default;

RCPtr<LNotificationCenterManager> LNotificationCenterManager::Create()
{
    return RCPtr<LNotificationCenterManager>(new LNotificationCenterManager);
}

RCPtr<LNotificationCenterManager>& LNotificationCenterManager::GetInstance()
{
    return TheManagerInstance().Get();
}

RCPtr<LNotificationCenter> LNotificationCenterManager::FindNotificationCenter(const WideString& name) const
{
    MutexLock lock(mCentresLock);
    return FindLocked(name);
}

RCPtr<LNotificationCenter> LNotificationCenterManager::CreateNotificationCenter(const WideString& name) const
{
    return RCPtr<LNotificationCenter>(new LNotificationCenter(name));
}

RCPtr<LNotificationCenter> LNotificationCenterManager::GetNotificationCenter(const WideString& name)
{
    if (name.IsEmpty()) {
        return nullptr;
    }
    MutexLock lock(mCentresLock);
    RCPtr<LNotificationCenter> centre = FindLocked(name);
    if (centre.IsNull()) {
        centre = CreateNotificationCenter(name);
        ZV_THROW_IF_FAILED(mCentres.AddItem(centre));
    }
    return centre;
}

bool LNotificationCenterManager::ProcessNotifications(bool sendIdle)
{
    bool pending = false;
    for (std::uint32_t index = GetCentreCount(); index-- > 0;) {
        RCPtr<LNotificationCenter> centre;
        {
            // Centres are only ever appended, so an index once below the count stays valid.
            MutexLock lock(mCentresLock);
            centre = *mCentres.GetItemPointer(index);
        }
        if (centre->ProcessNotifications(sendIdle)) {
            pending = true;
        }
    }
    return pending;
}

RCPtr<LNotificationCenter> LNotificationCenterManager::FindLocked(const WideString& name) const
{
    for (std::uint32_t index = 0; index < mCentres.GetCount(); ++index) {
        const RCPtr<LNotificationCenter>& centre = *mCentres.GetItemPointer(index);
        if (centre->GetName() == name) {
            return centre;
        }
    }
    return nullptr;
}

std::uint32_t LNotificationCenterManager::GetCentreCount() const
{
    MutexLock lock(mCentresLock);
    return mCentres.GetCount();
}

const WideString& GetApplicationCenterName()
{
    static const WideString* const name = new WideString(L"application");
    return *name;
}

RCPtr<LNotificationCenter> GetApplicationNotificationCenter()
{
    return TheManagerInstance().Hold()->GetNotificationCenter(GetApplicationCenterName());
}

}  // namespace ZV
