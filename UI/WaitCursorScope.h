#pragma once

#include "ControlBase/IRootWindow.h"
#include "ObjectBase/RefCountedObject.h"

namespace ZV {

class LControl;

// Shows the wait cursor over the window of a control's tree for as long as it lives, then the cursor that showed
// before; nested scopes give back their cursors in reverse order. Nothing without a window. User-interface thread
// only.
class WaitCursorScope {
public:
    explicit WaitCursorScope(const LControl& control);
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;
    ~WaitCursorScope();

private:
    RCPtr<IRootWindow> mRootWindow;
    CursorHandle mPreviousCursor = 0;
};

}  // namespace ZV
