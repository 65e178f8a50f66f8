// Context menus and the create parameters of a control.
#include "ControlBase/Control.h"

namespace ZV {

ZVRESULT LControl::ProcessCreateParams()
{
    return ZV_E_NOTIMPL;
}

RCPtr<LMenuDescriptor>& LControl::GetContextMenuDescriptor()
{
    return mContextMenu;
}

void LControl::OnContextMenuShown(const RCPtr<LControl>&) {}

}  // namespace ZV
