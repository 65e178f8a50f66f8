#include "ControlBase/LayoutDescriptor.h"

namespace ZV {

ZVRESULT LLayoutDescriptor::RenameControlReference(const WideString& oldName, const WideString& newName)
{
    bool changed = false;
    for (WideString* reference :
         {&xPosition.toControlName, &xSize.toControlName, &yPosition.toControlName, &ySize.toControlName}) {
        if (*reference == oldName) {
            *reference = newName;
            changed = true;
        }
    }
    return changed ? ZV_S_OK : ZV_S_FALSE;
}

}  // namespace ZV
