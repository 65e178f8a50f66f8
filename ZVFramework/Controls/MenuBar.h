#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"

namespace ZV {

class LMenuItemUpdater;

// What a window's logic asks of its menu bar: that every menu of the bar asks the updater's control about its items
// (LControl::IsCommandEnabled) before it opens. And what the bar's menus ask of it.
class IMenuBar {
public:
    // 1 when the bar had that updater already, else 0.
    [[nodiscard]] virtual ZVRESULT SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater) = 0;
    // An item of one of the bar's menus was chosen: the control that had the focus before the bar took it gets it
    // back.
    virtual void RestoreFocus() = 0;

protected:
    ~IMenuBar() = default;
};

}  // namespace ZV
