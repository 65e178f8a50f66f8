#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"
#include "Notification/NotificationHandler.h"

#include <exception>
#include <string>

namespace ZV {

// Writes the text of a failure that cannot be thrown, because the stack is already unwinding, to the debug output.
void ReportUnthrownFailure(const ThrowSite& site, ZVRESULT result);

// A scope guard that takes one subscription of a handler's owner away and puts it back: from its construction to
// its destruction no notification of that id from that distributor reaches the owner. Afterwards the owner is
// registered again with the same flags, as the last registered client of the id, and bound to the same function.
template <class T>
class CAutoNotificationDisabler {
public:
    CAutoNotificationDisabler(const RCPtr<LNotificationHandler<T>>& handler,
                              const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
        : mHandler(handler), mDistributor(distributor), mId(InternString(id))
    {
        if (mHandler.IsNull()) {
            ThrowFailedResult(ZV_THROW_SITE_IN(FunctionName("CAutoNotificationDisabler")), ZV_E_INVALIDARG);
        }
        const ZVRESULT found = mHandler->GetHandler(mDistributor, mId, mSavedHandler, mSavedFlags);
        if (Failed(found)) {
            ThrowFailedResult(ZV_THROW_SITE_IN(FunctionName("CAutoNotificationDisabler")), found);
        }
        // The owner's own override would erase its other handlers' bindings too.
        const ZVRESULT unregistered =
            mHandler->GetOwner()->LNotificationClient::UnregisterForNotification(mDistributor, mId);
        const bool erased = mHandler->EraseHandler(mDistributor, mId);
        if (!erased || Failed(unregistered)) {
            ThrowFailedResult(ZV_THROW_SITE_IN(FunctionName("CAutoNotificationDisabler")),
                              erased ? unregistered : ZV_E_FAIL);
        }
    }
    CAutoNotificationDisabler(const CAutoNotificationDisabler&) = delete;
    CAutoNotificationDisabler& operator=(const CAutoNotificationDisabler&) = delete;

    // Throws when the subscription cannot be put back, unless an exception is already passing through, which would
    // end the program: then the failure goes to the debug output.
    ~CAutoNotificationDisabler() noexcept(false)
    {
        const ZVRESULT restored = mHandler->AddHandler(mSavedHandler, mDistributor, mId, mSavedFlags);
        if (Failed(restored)) {
            const std::string function = FunctionName("~CAutoNotificationDisabler");
            const ThrowSite site = ZV_THROW_SITE_IN(function);
            if (std::uncaught_exceptions() > mUncaughtAtStart) {
                ReportUnthrownFailure(site, restored);
            } else {
                ThrowFailedResult(site, restored);
            }
        }
    }

private:
    static std::string FunctionName(const char* member)
    {
        return JoinTemplateName("ZV::CAutoNotificationDisabler", TypeName<T>()) + "::" + member;
    }

    RCPtr<LNotificationHandler<T>> mHandler;
    ConstRCPtr<LNotificationDistributor> mDistributor;
    const wchar_t* mId;
    std::uint32_t mSavedFlags = 0;
    typename LNotificationHandler<T>::MemberFunction mSavedHandler = nullptr;
    int mUncaughtAtStart = std::uncaught_exceptions();
};

}  // namespace ZV
