#include "UI/WaitCursorScope.h"

#include "ControlBase/Control.h"

namespace ZV {

WaitCursorScope::WaitCursorScope(const LControl& control) : mRootWindow(control.GetRootWindowRef())
{
    if (mRootWindow) {
        mPreviousCursor = mRootWindow->SetCursor(mRootWindow->GetNamedCursor(L"UI_CURSOR_WAIT"));
    }
}

WaitCursorScope::~WaitCursorScope()
{
    if (mRootWindow) {
        (void)mRootWindow->SetCursor(mPreviousCursor);
    }
}

}  // namespace ZV
