#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"

#include <cstdint>

namespace ZV {

// The edit commands that the application's edit requests become.
enum EditCommand : std::int32_t { kEditDelete = 0, kEditCut = 1, kEditCopy = 2, kEditPaste = 3 };

// A control that edits text, as the clipboard's edit commands reach it: the focused control's text editor.
// User-interface thread only.
class ITextEditTarget : public virtual LRefCountedObject {
public:
    virtual bool CanPerformEdit(std::int32_t command) const = 0;
    [[nodiscard]] virtual ZVRESULT PerformEdit(std::int32_t command) = 0;
};

}  // namespace ZV
