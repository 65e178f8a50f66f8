#pragma once

#include "ControlBase/SubControlSettings.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"

namespace ZV {

// The placement and size rules of one control, as its SubControl element sets them; a new one holds the defaults.
// Descriptors derived from one another share it.
class LLayoutDescriptor : public virtual LRefCountedObject, public SubControlSettings {
public:
    // The position and size rules that place the control by the sibling of the old name place it by the new name;
    // the limits keep theirs. 0 when a rule changed, 1 when none named the old name.
    [[nodiscard]] ZVRESULT RenameControlReference(const WideString& oldName, const WideString& newName);
    // The position and size rules place the control over the whole client frame: a top-level control's is its
    // window's client area. Docking, named references and the limits keep theirs.
    void FillClientFrame();
};

}  // namespace ZV
