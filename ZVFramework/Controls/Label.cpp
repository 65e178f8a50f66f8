#include "Controls/Label.h"

namespace ZV {

ZVRESULT LLabel::OnInitialized()
{
    SetNotFocusable(true);
    return ZV_S_OK;
}

WideString LLabel::GetToolTipText() const
{
    return IsTextClipped() ? GetText() : LControl::GetToolTipText();
}

}  // namespace ZV
