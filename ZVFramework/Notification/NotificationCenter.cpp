#include "Notification/NotificationCenter.h"

namespace ZV {

LNotificationCenter::LNotificationCenter(const WideString& name) : mName(name)
{
    if (Succeeded(AttachDistributor(ConstRCPtr<LNotificationDistributor>(this)))) {
        AddInternalReferences(1);
    }
}

LNotificationCenter::~LNotificationCenter() = default;

ZVRESULT LNotificationCenter::ReleaseInternalReferences()
{
    (void)UnregisterAllClients();
    ConstRCPtr<LNotificationDistributor> attached = DetachDistributor();
    if (attached.Get() == static_cast<const LNotificationDistributor*>(this)) {
        // Lowered before the reference goes, so that Release does not take the remaining ones for internal ones.
        AddInternalReferences(-1);
    }
    attached = nullptr;
    (void)LNotificationQueue::ReleaseInternalReferences();
    return GetInternalRefCount() == 0 && GetRefCount() == 1 ? ZV_S_OK : ZV_E_FAIL;
}

}  // namespace ZV
