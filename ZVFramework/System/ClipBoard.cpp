#include "System/ClipBoard.h"

#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Platform/DesktopWindows.h"
#include "System/RootWindowTarget.h"
#include "System/WindowHost.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

namespace ZV {

namespace {

// Ends at the text's length or its first NUL, whichever comes first.
WideString DecodeText(const std::string& text, bool latin1)
{
    const std::size_t length = std::min(text.find('\0'), text.size());
    WideString decoded;
    if (latin1) {
        for (std::size_t index = 0; index < length; ++index) {
            decoded.AppendChar(static_cast<wchar_t>(static_cast<unsigned char>(text[index])));
        }
        return decoded;
    }
    // Bytes that are not UTF-8 are replaced, the rest of the text kept.
    (void)decoded.AssignFromUTF8(text.data(), static_cast<int>(std::min<std::size_t>(length, INT_MAX)));
    return decoded;
}

// "?" for each character that Latin-1 cannot hold; a surrogate pair is one character.
std::string EncodeLatin1(const WideString& text)
{
    std::string encoded;
    const wchar_t* units = text.GetData();
    const std::uint32_t length = text.GetLength();
    encoded.reserve(length);
    for (std::uint32_t index = 0; index < length; ++index) {
        const wchar_t unit = units[index];
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && index + 1 < length && units[index + 1] >= 0xDC00 &&
                          units[index + 1] <= 0xDFFF;
        index += pair ? 1 : 0;
        encoded += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return encoded;
}

// Set for the lifetime of the scope, cleared on every way out.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : mFlag(flag) { mFlag = true; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    ~BusyScope() { mFlag = false; }

private:
    bool& mFlag;
};

RCPtr<LClipboard>& ClipboardSlot()
{
    // Made after the desktop's clipboard, which the clipboard made on first use holds on to: it goes first at exit.
    static RCPtr<LClipboard> slot = (static_cast<void>(Platform::GetDesktopClipboard()), RCPtr<LClipboard>());
    return slot;
}

}  // namespace

RCPtr<LClipboard> GetClipboard()
{
    RCPtr<LClipboard>& slot = ClipboardSlot();
    if (!slot) {
        slot = LClipboard::Create();
    }
    return slot;
}

RCPtr<LClipboard> SetClipboard(const RCPtr<LClipboard>& clipboard)
{
    return std::exchange(ClipboardSlot(), clipboard);
}

RCPtr<LClipboard> LClipboard::Create()
{
    return Create(Platform::GetDesktopClipboard());
}

RCPtr<LClipboard> LClipboard::Create(Platform::IClipboardService* service)
{
    return RCPtr<LClipboard>(new LClipboard(service));
}

LClipboard::LClipboard(Platform::IClipboardService* service)
    : mHandler(new LNotificationHandler<LClipboard>(this)), mService(service)
{
    if (mService != nullptr) {
        // Another program took the clipboard: what this process copied is no longer what a paste gives.
        mService->SetOwnershipLostHandler([this] { (void)SetContent(nullptr); });
    }
}

LClipboard::~LClipboard()
{
    if (mService != nullptr) {
        mService->SetOwnershipLostHandler({});
    }
}

void LClipboard::Initialize()
{
    const RCPtr<LNotificationCenter> centre = GetApplicationNotificationCenter();
    const ConstRCPtr<LNotificationDistributor> distributor(centre.Get());
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnCutRequest, distributor, L"NID_EDIT_CUT_REQ", 0));
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnCopyRequest, distributor, L"NID_EDIT_COPY_REQ", 0));
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnPasteRequest, distributor, L"NID_EDIT_PASTE_REQ", 0));
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LClipboard::OnDeleteRequest, distributor, L"NID_EDIT_DELETE_REQ", 0));
}

void LClipboard::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification)
{
    mHandler->HandleNotification(sender, notification);
}

RCPtr<LRefCountedObject> LClipboard::GetContent()
{
    if (mService == nullptr || mService->IsOwner()) {
        return mContent;
    }
    std::string text;
    bool latin1 = false;
    switch (mService->ReadText(text, latin1)) {
    case Platform::IClipboardService::ReadResult::kText:
        mContent = LStringWrapper::Create(DecodeText(text, latin1));
        break;
    case Platform::IClipboardService::ReadResult::kNoText:
        mContent = nullptr;
        break;
    case Platform::IClipboardService::ReadResult::kNoAnswer:
        break;
    }
    return mContent;
}

ZVRESULT LClipboard::SetContent(const RCPtr<LRefCountedObject>& object)
{
    // Taking the desktop's clipboard may tell this very object that it lost it.
    if (mBusy) {
        return ZV_S_FALSE;
    }
    const BusyScope busy(mBusy);
    mContent = object;
    if (!object) {
        return ZV_S_OK;
    }
    if (mService == nullptr) {
        return ZV_E_FAIL;
    }
    if (const auto* text = dynamic_cast<const WideString*>(object.Get()); text != nullptr) {
        const auto utf8 = text->ToUTF8();
        return mService->OfferText(std::string(utf8.GetData(), utf8.GetLength()), EncodeLatin1(*text)) ? ZV_S_OK
                                                                                                          : ZV_E_FAIL;
    }
    return mService->OfferPrivateObject() ? ZV_S_OK : ZV_E_FAIL;
}

RCPtr<ITextEditTarget> LClipboard::FindFocusedTextEditor() const
{
    IWindowHost* host = GetWindowHost();
    IRootWindowTarget* root = host != nullptr ? host->GetActiveRootWindow() : nullptr;
    return root != nullptr ? root->FindFocusedTextEditor() : nullptr;
}

bool LClipboard::CanPerformEdit(std::int32_t command)
{
    const RCPtr<ITextEditTarget> editor = FindFocusedTextEditor();
    return editor && editor->CanPerformEdit(command);
}

ZVRESULT LClipboard::PerformEdit(std::int32_t command)
{
    const RCPtr<ITextEditTarget> editor = FindFocusedTextEditor();
    if (!editor || !editor->CanPerformEdit(command)) {
        return ZV_S_FALSE;
    }
    return editor->PerformEdit(command);
}

std::int32_t LClipboard::OnCutRequest(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    // What the editor answered is its own business; the request counts as handled.
    (void)PerformEdit(kEditCut);
    return 1;
}

std::int32_t LClipboard::OnCopyRequest(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)PerformEdit(kEditCopy);
    return 1;
}

std::int32_t LClipboard::OnPasteRequest(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)PerformEdit(kEditPaste);
    return 1;
}

std::int32_t LClipboard::OnDeleteRequest(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    (void)PerformEdit(kEditDelete);
    return 1;
}

}  // namespace ZV
