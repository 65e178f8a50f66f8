#pragma once

#include <cstdint>

namespace ZV {

class LNotificationDistributor;

// The key of a handler's binding: the distributor of a subscription (null for notifications handed straight to the
// receiver) and the canonical id, both compared by address.
class Receivable {
public:
    Receivable(const LNotificationDistributor* distributor, const wchar_t* id) : mDistributor(distributor), mId(id) {}
    Receivable(const Receivable&) = default;
    Receivable& operator=(const Receivable&) = default;
    virtual ~Receivable() = default;

    const LNotificationDistributor* GetDistributor() const { return mDistributor; }
    const wchar_t* GetId() const { return mId; }

    friend bool operator<(const Receivable& left, const Receivable& right)
    {
        const auto leftDistributor = reinterpret_cast<std::uintptr_t>(left.mDistributor);
        const auto rightDistributor = reinterpret_cast<std::uintptr_t>(right.mDistributor);
        if (leftDistributor != rightDistributor) {
            return leftDistributor < rightDistributor;
        }
        return reinterpret_cast<std::uintptr_t>(left.mId) < reinterpret_cast<std::uintptr_t>(right.mId);
    }
    friend bool operator==(const Receivable& left, const Receivable& right)
    {
        return left.mDistributor == right.mDistributor && left.mId == right.mId;
    }

private:
    const LNotificationDistributor* mDistributor;
    const wchar_t* mId;
};

}  // namespace ZV
