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

void LLayoutDescriptor::FillClientFrame()
{
    for (PositionRule* position : {&xPosition, &yPosition}) {
        position->placementAnchor = 0;
        position->toControlKind = kPositionToClient;
        position->rel = 0;
        position->abs = 0;
    }
    for (SizeRule* size : {&xSize, &ySize}) {
        size->toControlKind = kSizeToClient;
        size->rel = 1;
        size->abs = 0;
    }
}

}  // namespace ZV
