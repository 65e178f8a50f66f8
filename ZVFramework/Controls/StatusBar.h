#pragma once

#include "ControlBase/Control.h"
#include "Notification/NotificationQueue.h"

namespace ZV {

class LLabel;

// A strip whose label "label1" shows the latest status text. Texts may be posted from any thread: they wait in the
// bar's own queue and the latest of them reaches the label at the next idle pass of the user-interface thread. The
// queue delivers to the bar itself, a cycle that the bar counts as an internal reference and breaks when it is let
// go. Never takes the focus.
class LStatusBar : public LControl, private LNotificationQueue {
public:
    using LControl::LControl;

    // From any thread: queues the text for the label. 0; 0x80004005 before the bar is initialised or once it is
    // let go.
    [[nodiscard]] ZVRESULT PostText(const WideString& text);
    // User-interface thread: the queued texts first, then this one, and the whole window drawn afresh at once. 0.
    [[nodiscard]] ZVRESULT SetTextNow(const WideString& text);
    // The label's own "LABEL" text; empty without one.
    WideString GetDefaultText() const;

    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT ProcessCreateParams() override;
    void OnIdle(const RCPtr<LNotification>& idle) override;
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    std::int32_t OnSetStatusText(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    void ShowText(const WideString& text);

    RCPtr<LNotificationHandler<LStatusBar>> mOwnHandler;
    RCPtr<LLabel> mLabel;
};

}  // namespace ZV
