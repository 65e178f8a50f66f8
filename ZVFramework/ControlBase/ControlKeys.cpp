// Keys: local hot keys, sibling keys and Tab navigation.
#include "ControlBase/Control.h"

namespace ZV {

void LControl::OnKey(const RCPtr<LKeyParam>&) {}

ZVRESULT LControl::OnKeyDown(const RCPtr<LKeyParam>&)
{
    return ZV_S_FALSE;
}

ZVRESULT LControl::SendSiblingKey(const RCPtr<LKeyParam>&)
{
    return ZV_E_NOTIMPL;
}

void LControl::ProcessHotKey(const RCPtr<LKeyParam>&) {}

void LControl::ProcessNavigationKey(const RCPtr<LKeyParam>&) {}

std::int32_t LControl::OnSiblingKey(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    return ZV_S_FALSE;
}

}  // namespace ZV
