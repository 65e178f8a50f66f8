#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"

namespace ZV {

class LMenuDescriptor;

// What the control base asks of the control that the skin's "toolTip" describes, when a control shows its tool
// tip. The tool tip decides itself when it appears and when it goes.
class IToolTipPopup {
public:
    // Arms the tip, which has its text already.
    [[nodiscard]] virtual ZVRESULT Start() = 0;
    // Ends the tip; its parent removes it at the next idle pass.
    [[nodiscard]] virtual ZVRESULT Hide() = 0;

protected:
    ~IToolTipPopup() = default;
};

// What the control base asks of the control that the skin's "contextMenu" describes, when a control opens its
// context menu.
class IContextMenuPopup {
public:
    // Shows a copy of the menu. ZV_E_INVALIDARG for a null menu.
    [[nodiscard]] virtual ZVRESULT SetMenu(const RCPtr<LMenuDescriptor>& menu) = 0;
    // Places the popup at the pointer, inside the window, shows it and gives it the focus.
    [[nodiscard]] virtual ZVRESULT PlaceAtCursor() = 0;

protected:
    ~IContextMenuPopup() = default;
};

}  // namespace ZV
