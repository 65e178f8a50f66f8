#pragma once

#include "Notification/NotificationClient.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "System/TextEditTarget.h"

#include <cstdint>

namespace ZV {

namespace Platform {
class IClipboardService;
}  // namespace Platform

// The application's one clipboard. Text is exchanged with other programs through the desktop's clipboard; any other
// object stays in this process, and the desktop only learns that the clipboard holds something other programs
// cannot paste. The last content is kept: while this process owns the desktop's clipboard, what it copied comes
// back as the very same object, without asking the desktop. The application's edit requests become edit commands
// of the focused text editor in the active window. User-interface thread only.
class LClipboard : public LNotificationClient {
public:
    // Over the desktop's clipboard; without a desktop the content stays in the process.
    static RCPtr<LClipboard> Create();
    // Over the given service (null: in the process only), which must outlive the clipboard.
    static RCPtr<LClipboard> Create(Platform::IClipboardService* service);
    LClipboard(const LClipboard&) = delete;
    LClipboard& operator=(const LClipboard&) = delete;
    ~LClipboard() override;

    // Subscribes "NID_EDIT_CUT_REQ", "NID_EDIT_COPY_REQ", "NID_EDIT_PASTE_REQ" and "NID_EDIT_DELETE_REQ" at the
    // application's notification centre; throws when a subscription fails.
    void Initialize();
    // This process's own content while it owns the desktop's clipboard; otherwise the text another program offers,
    // null when it offers none, and the content as it was when the owner did not answer in time.
    RCPtr<LRefCountedObject> GetContent();
    // 0 on success; 0x80004005 when the desktop's clipboard could not be taken, the object being kept all the same;
    // 1 when called while a call is under way. A null object drops the content and leaves the desktop as it is.
    [[nodiscard]] ZVRESULT SetContent(const RCPtr<LRefCountedObject>& object);
    // Whether the focused text editor of the active window can perform the edit command.
    bool CanPerformEdit(std::int32_t command);
    // The focused text editor's result; 1 when no editor could perform the command.
    [[nodiscard]] ZVRESULT PerformEdit(std::int32_t command);

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override;

private:
    explicit LClipboard(Platform::IClipboardService* service);

    RCPtr<ITextEditTarget> FindFocusedTextEditor() const;
    std::int32_t OnCutRequest(const ConstRCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);
    std::int32_t OnCopyRequest(const ConstRCPtr<LNotificationDistributor>& sender,
                               const RCPtr<LNotification>& notification);
    std::int32_t OnPasteRequest(const ConstRCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);
    std::int32_t OnDeleteRequest(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LClipboard>> mHandler;
    Platform::IClipboardService* mService;
    RCPtr<LRefCountedObject> mContent;
    bool mBusy = false;
};

// The application's clipboard, which text editors copy to and paste from: the one installed, else one made on first
// use over the desktop's clipboard. User-interface thread only.
RCPtr<LClipboard> GetClipboard();
// Installs the clipboard that GetClipboard answers from now on (null: one made on next use); answers the one before.
RCPtr<LClipboard> SetClipboard(const RCPtr<LClipboard>& clipboard);

}  // namespace ZV
