#pragma once

#include "Notification/ConditionsParam.h"

#include <cstdint>

namespace ZV {

// A condition change of a list's row control as the list passes it on: the masks and point of the row control's
// own record, the row it shows, its active look and whether the pointer is over it. Made new for each notification.
class LItemConditionsParam : public LConditionsParam {
public:
    static RCPtr<LItemConditionsParam> Create(const LConditionsParam& conditions, std::int32_t row,
                                              std::int32_t look, bool hover);

    std::int32_t GetRow() const { return mRow; }
    std::int32_t GetLook() const { return mLook; }
    bool IsHover() const { return mHover; }

private:
    LItemConditionsParam(const LConditionsParam& conditions, std::int32_t row, std::int32_t look, bool hover);

    std::int32_t mRow;
    std::int32_t mLook;
    bool mHover;
};

}  // namespace ZV
