#include "Controls/Label.h"

namespace ZV {

ZVRESULT LLabel::OnInitialized()
{
    FixNotFocusable(true);
    // Looks start without weight, and a label has no state to choose one by: without a weighted look it would
    // show nothing.
    if (GetLookCount() > 0) {
        (void)SelectLook(0);
    }
    return ZV_S_OK;
}

WideString LLabel::GetToolTipText() const
{
    return IsTextClipped() ? GetText() : LControl::GetToolTipText();
}

}  // namespace ZV
