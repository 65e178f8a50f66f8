#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/StringTable.h"

namespace ZV {

// Whether the control's create parameters hold the flag with a text that, trimmed and in lower case, is "true".
inline bool IsCreateParamFlagSet(const LControl& control, const wchar_t* key)
{
    const RCPtr<LControlDescriptor>& descriptor = control.GetControlDescriptor();
    const LStringTable* parameters = descriptor ? descriptor->GetCreateParams().Get() : nullptr;
    WideString text;
    return parameters != nullptr && parameters->GetString(key, text) && text.Trim().ToLower() == L"true";
}

}  // namespace ZV
