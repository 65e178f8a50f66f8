#include "Controls/TextValidationParams.h"

namespace ZV {

LTextValidationParams::LTextValidationParams(const WideString& text) : mText(text), mInitialText(text) {}

RCPtr<LTextValidationParams> LTextValidationParams::Create(const WideString& text)
{
    return RCPtr<LTextValidationParams>(new LTextValidationParams(text), kNewObject);
}

}  // namespace ZV
