#include "ControlBase/KeyParams.h"

#include "ControlBase/Control.h"

namespace ZV {

LKeyParam::LKeyParam(const KeyCode& key, bool flag) : mKey(key), mFlag(flag) {}

LKeyParam::~LKeyParam() = default;

RCPtr<LKeyParam> LKeyParam::Create(const KeyCode& key, bool flag)
{
    return RCPtr<LKeyParam>(new LKeyParam(key, flag));
}

LSiblingKeyParam::LSiblingKeyParam(const KeyCode& key, const ConstRCPtr<LControl>& control)
    : mKey(key), mControl(control)
{
}

LSiblingKeyParam::~LSiblingKeyParam() = default;

RCPtr<LSiblingKeyParam> LSiblingKeyParam::Create(const KeyCode& key, const ConstRCPtr<LControl>& control)
{
    return RCPtr<LSiblingKeyParam>(new LSiblingKeyParam(key, control));
}

}  // namespace ZV
