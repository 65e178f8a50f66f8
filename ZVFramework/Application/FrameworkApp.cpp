#include "Application/FrameworkApp.h"

#include "Application/StartupError.h"
#include "ControlBase/DebugLine.h"
#include "Controls/FrameworkControlClasses.h"
#include "Notification/IdleProcessing.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/MessageLoop.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <string>

namespace ZV {

namespace {

constexpr std::int32_t kHandOverCommandLineTag = 0x465;
constexpr wchar_t kSkinIndexKey[] = L"CurrentSkinIndex";
constexpr wchar_t kHotKeyPrefix[] = L"GHK";
constexpr std::int32_t kUserSettings = 1;

LFrameworkApp* gApplication = nullptr;

}  // namespace

LFrameworkApp* GetFrameworkApp()
{
    return gApplication;
}

LFrameworkApp::LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                             const WideString& commandLine)
    : mFactory(factory), mCommandLine(commandLine.ToUTF8()), mFrameworkStrings(frameworkStrings),
      mApplicationStrings(factory ? factory->GetApplicationStringTable() : nullptr),
      mHotKeyManager(LGlobalHotKeyManager::Create(
          RCPtr<LNotificationReceiver>(const_cast<LNotificationReceiver*>(
              GetApplicationNotificationCenter()->GetPostingReceiver().Get())))),
      mClipboard(LClipboard::Create()), mPreviousControlServices(SetControlServices(this)),
      mPreviousRenderingServices(SetRenderingServices(this))
{
    gApplication = this;
}

LFrameworkApp::~LFrameworkApp()
{
    SetRenderingServices(mPreviousRenderingServices);
    SetControlServices(mPreviousControlServices);
    LNotificationCenterManager::GetInstance() = nullptr;
    EnableNotificationPool(false);
    gApplication = nullptr;
}

void LFrameworkApp::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {}

ZVRESULT LFrameworkApp::PreApplicationStartup(const WideString&)
{
    return ZV_S_OK;
}

ZVRESULT LFrameworkApp::PostApplicationStartup(const WideString&)
{
    return ZV_S_OK;
}

void LFrameworkApp::ReceiveHandOver(std::int32_t tag, const char* data, std::size_t size)
{
    if (tag != kHandOverCommandLineTag || data == nullptr) {
        return;
    }
    const std::size_t length = std::find(data, data + size, '\0') - data;
    WideString text;
    // Text that is not UTF-8 is still handed on, with its bad bytes replaced.
    (void)text.AssignFromUTF8(data, static_cast<int>(std::min<std::size_t>(length, INT_MAX)));
    (void)OnSecondInstanceCommandLine(text);
}

ZVRESULT LFrameworkApp::OnSecondInstanceCommandLine(const WideString& commandLine)
{
    WriteDebugLine("A later start handed over its command line: " + std::string(commandLine.ToUTF8().GetData()));
    return ZV_S_OK;
}

ZVRESULT LFrameworkApp::RunApplicationStartup()
{
    try {
        ZV_THROW_IF_FAILED(RegisterFrameworkControlClasses(*mFactory));
        if (mApplicationStrings && mHotKeyManager) {
            ZV_THROW_IF_FAILED(mHotKeyManager->LoadHotKeys(mApplicationStrings, kHotKeyPrefix));
        }
        if (mClipboard) {
            mClipboard->Initialize();
        }
        SetSkin(GetCurrentSkinIndex());
    } catch (const std::exception&) {
        return ZV_E_FAIL;
    }
    return ZV_S_OK;
}

void LFrameworkApp::RunMessageLoop()
{
    (void)ProcessIdle(true);
    for (;;) {
        try {
            PumpMessages();
            break;
        } catch (const std::exception& exception) {
            ShowStartupError(mFrameworkStrings.Get(), exception.what());
        } catch (...) {
            ShowStartupError(mFrameworkStrings.Get(), "");
        }
        // Honoured at the next idle pass, unless an update runs.
        (void)GetApplicationNotificationCenter()->PostNotification(LNotification::Create(kExitRequestId, nullptr));
    }
    (void)ProcessIdle(true);
    GetMessageLoop().ClearQuit();
}

void LFrameworkApp::PumpMessages()
{
    (void)GetMessageLoop().Run([] { return true; });
}

bool LFrameworkApp::ProcessIdle(bool firstPass)
{
    if (mExitRequested) {
        return false;
    }
    return ProcessIdleNotifications(firstPass, Array<IIdleProcessor*>());
}

void LFrameworkApp::ExitApplication()
{
    mExitRequested = true;
    WriteDebugLine("The exit request is honoured.");
    GetMessageLoop().PostQuit(0);
}

ZVRESULT LFrameworkApp::RunApplicationShutdown()
{
    mFactory = nullptr;
    mHotKeyManager = nullptr;
    mClipboard = nullptr;
    return ZV_S_OK;
}

std::int32_t LFrameworkApp::GetCurrentSkinIndex()
{
    const IniFileHandle userSettings = GetIniFile(kUserSettings);
    std::int32_t index = 0;
    if (userSettings != 0) {
        // An absent or unreadable value leaves the default.
        (void)GetSettingsManager().GetIniValueInt(userSettings, kSkinIndexKey, 0, index);
    }
    return index;
}

void LFrameworkApp::SetSkin(std::int32_t index)
{
    WideString face;
    float size = 0;
    std::int32_t style = LFont::kRegular;
    ZV_THROW_IF_FAILED(GetSystemFont(face, size, style));
    const std::int32_t skinCount = static_cast<std::int32_t>(mFactory->GetSkinCount());
    if (skinCount == 0) {
        return;
    }
    // A remembered index may come from another skin set, or be nonsense.
    index = std::clamp(index, 0, skinCount - 1);
    mFactory->SetCurrentSkinIndex(index);
    (void)mFactory->GetSkinFont(face, size, style);
    mDefaultFont = LFont::GetFont(face, size, style);
    if (const IniFileHandle userSettings = GetIniFile(kUserSettings); userSettings != 0) {
        // A value the library cannot keep leaves the next start at the first skin.
        (void)GetSettingsManager().SetIniValueInt(userSettings, kSkinIndexKey, index);
    }
}

ZVRESULT LFrameworkApp::SetStatusText(const WideString&, bool)
{
    return ZV_E_FAIL;
}

ZVRESULT LFrameworkApp::ResetStatusText(bool)
{
    return ZV_E_FAIL;
}

RCPtr<LFont> LFrameworkApp::GetDefaultFont()
{
    return mDefaultFont ? mDefaultFont : IControlServices::GetDefaultFont();
}

RCPtr<LMeasurementRenderer> LFrameworkApp::GetMeasurementRenderer()
{
    if (!mMeasurementRenderer) {
        mMeasurementRenderer = new LGDIRenderer();
    }
    return mMeasurementRenderer;
}

bool LFrameworkApp::GetFrameworkString(const WideString& key, WideString& text)
{
    return mFrameworkStrings && mFrameworkStrings->GetString(key, text);
}

}  // namespace ZV
