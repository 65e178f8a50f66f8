#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>

namespace ZV {

class LControl;

// One key or character event on its way through the controls.
class LKeyParam : public virtual LRefCountedObject {
public:
    using Route = RCPtrArray<LControl, 1, 0>;

    // The flag is true for every key the window delivers, false for a key that a control issues itself.
    static RCPtr<LKeyParam> Create(const KeyCode& key, bool flag);
    ~LKeyParam() override;

    const KeyCode& GetKey() const { return mKey; }
    bool GetFlag() const { return mFlag; }
    // The controls that passed the key on, each appending itself; the last is the one the key came from. Empty
    // when made. Receivers get the record read-only and still extend its route.
    Route& GetRoute() const { return mRoute; }

private:
    LKeyParam(const KeyCode& key, bool flag);

    KeyCode mKey;
    bool mFlag;
    mutable Route mRoute;
};

// A key that a control offers to its siblings' hot keys ("NID_SIBLING_KEY").
class LSiblingKeyParam : public virtual LRefCountedObject {
public:
    static constexpr std::int32_t kPending = -1;
    static constexpr std::int32_t kConsumed = 0;

    static RCPtr<LSiblingKeyParam> Create(const KeyCode& key, const ConstRCPtr<LControl>& control);
    ~LSiblingKeyParam() override;

    const KeyCode& GetKey() const { return mKey; }
    // The control that offers the key.
    const ConstRCPtr<LControl>& GetControl() const { return mControl; }
    // kPending when made; a receiver that consumes the key sets kConsumed, one that looked at it without consuming
    // it may say so with any other non-zero value.
    std::int32_t GetPending() const { return mPending; }
    bool IsPending() const { return mPending != kConsumed; }
    // Receivers get the record read-only and answer through this field.
    void SetPending(std::int32_t pending) const { mPending = pending; }

private:
    LSiblingKeyParam(const KeyCode& key, const ConstRCPtr<LControl>& control);

    KeyCode mKey;
    ConstRCPtr<LControl> mControl;
    mutable std::int32_t mPending = kPending;
};

}  // namespace ZV
