#include "Controls/ListBoxParams.h"

namespace ZV {

LItemConditionsParam::LItemConditionsParam(const LConditionsParam& conditions, std::int32_t row, std::int32_t look,
                                           bool hover)
    : LConditionsParam(conditions.GetPreviousConditions(), conditions.GetCurrentConditions(), conditions.GetPoint()),
      mRow(row),
      mLook(look),
      mHover(hover)
{
}

RCPtr<LItemConditionsParam> LItemConditionsParam::Create(const LConditionsParam& conditions, std::int32_t row,
                                                         std::int32_t look, bool hover)
{
    return RCPtr<LItemConditionsParam>(new LItemConditionsParam(conditions, row, look, hover), kNewObject);
}

}  // namespace ZV
