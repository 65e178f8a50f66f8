#pragma once

#include "Notification/ConditionsParam.h"

#include <cstdint>

namespace ZV {

// Whether a condition bit came on, or went off, with this change of a control's condition mask.
inline bool TurnedOn(const LConditionsParam& conditions, std::uint32_t bit)
{
    return (conditions.GetCurrentConditions() & bit) != 0 && (conditions.GetPreviousConditions() & bit) == 0;
}

inline bool TurnedOff(const LConditionsParam& conditions, std::uint32_t bit)
{
    return (conditions.GetCurrentConditions() & bit) == 0 && (conditions.GetPreviousConditions() & bit) != 0;
}

}  // namespace ZV
