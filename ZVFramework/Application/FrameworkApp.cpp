#include "Application/FrameworkApp.h"

#include "Application/StartupError.h"
#include "Application/WaitCursor.h"
#include "ControlBase/DebugLine.h"
#include "Controls/FrameworkControlClasses.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "ObjectBase/Exception.h"
#include "Platform/DesktopWindows.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/MessageLoop.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

namespace ZV {

namespace {

constexpr wchar_t kSkinIndexKey[] = L"CurrentSkinIndex";
constexpr wchar_t kLoadingSkinText[] = L"Loading Skin...";
constexpr wchar_t kHotKeyPrefix[] = L"GHK";
constexpr std::int32_t kUserSettings = 1;

LFrameworkApp* gApplication = nullptr;

}  // namespace

LFrameworkApp* GetFrameworkApp()
{
    return gApplication;
}

class LFrameworkApp::WindowHost final : public LApplicationWindowHost {
public:
    WindowHost(LFrameworkApp& application, const WideString& windowClassName)
        : LApplicationWindowHost(windowClassName), mApplication(application)
    {
    }

    bool ProcessIdle(bool firstCall) override { return mApplication.ProcessIdle(firstCall); }
    void OnDataCopy(const WideString& text) override { (void)mApplication.OnSecondInstanceCommandLine(text); }
    CursorHandle GetNamedCursor(const wchar_t* name) override { return mApplication.LoadCursor(name); }

private:
    LFrameworkApp& mApplication;
};

LFrameworkApp::LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                             const WideString& commandLine, const WideString& windowClassName)
    : mFactory(factory), mCommandLine(commandLine.ToUTF8()), mFrameworkStrings(frameworkStrings),
      mApplicationStrings(factory ? factory->GetApplicationStringTable() : nullptr),
      mHotKeyManager(LGlobalHotKeyManager::Create(
          RCPtr<LNotificationReceiver>(const_cast<LNotificationReceiver*>(
              GetApplicationNotificationCenter()->GetPostingReceiver().Get())))),
      mClipboard(LClipboard::Create()), mPreviousControlServices(SetControlServices(this)),
      mPreviousRenderingServices(SetRenderingServices(this)),
      mWindows(std::make_unique<WindowHost>(*this, windowClassName))
{
    gApplication = this;
}

LFrameworkApp::~LFrameworkApp()
{
    mWindows = nullptr;
    GetMessageLoop().ReleaseDeferred();
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
    const RCPtr<OSWindow> window = GetMainWindow();
    if (!window) {
        return;
    }
    if (!window->GetBackEnd().IsVisible()) {
        (void)window->Show(kShow);
    }
    (void)window->BringToTop();
    // The window hands the command line on while it takes input.
    window->ReceiveDataCopy(tag, data, size);
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
    if (const RCPtr<LRootWindow> root = GetMainRootWindow()) {
        (void)root->RedrawAll();
    }
    OnBeforeMessageLoop();
    (void)ProcessIdle(true);
    for (;;) {
        try {
            PumpMessages();
            break;
        } catch (const std::exception& exception) {
            ShowStartupError(mFrameworkStrings.Get(), exception.what(), GetMessageBoxOwner());
        } catch (...) {
            ShowStartupError(mFrameworkStrings.Get(), "", GetMessageBoxOwner());
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
    const bool more = mWindows->LApplicationWindowHost::ProcessIdle(firstPass);
    // The pass may have ended the program already.
    const RCPtr<OSWindow>& window = mWindows->GetMainWindow();
    if (!mExitRequested && window && !window->GetBackEnd().Exists()) {
        EndWithoutMainWindow();
    }
    return more;
}

void LFrameworkApp::EndWithoutMainWindow()
{
    const bool ending = CanExit();
    const bool displayLost = Platform::IsDesktopLost();
    if (!std::exchange(mMainWindowLost, true)) {
        OnMainWindowLost(displayLost, ending);
    }
    const std::string loss =
        displayLost ? "The main window went with the display" : "The main window was destroyed from outside";
    if (ending) {
        WriteDebugLine(loss + ".");
        if (mTickHeldWithoutWindow) {
            GetMessageLoop().StopTick();
        }
        ExitApplication();
        return;
    }
    if (!mTickHeldWithoutWindow) {
        // Without the window's timer nothing would bring the loop back to see the update end.
        mTickHeldWithoutWindow = true;
        GetMessageLoop().StartTick();
        WriteDebugLine(loss + "; the program ends once the update has ended.");
    }
}

const Platform::NativeWindow* LFrameworkApp::GetMessageBoxOwner() const
{
    return GetMainWindow() ? mWindows->GetMessageBoxOwner() : nullptr;
}

LApplicationWindowHost& LFrameworkApp::GetWindows()
{
    return *mWindows;
}

RCPtr<OSWindow> LFrameworkApp::GetMainWindow() const
{
    const RCPtr<OSWindow>& window = mWindows->GetMainWindow();
    return window && window->GetBackEnd().Exists() ? window : nullptr;
}

RCPtr<LRootWindow> LFrameworkApp::GetMainRootWindow() const
{
    return mWindows->GetMainRootWindow();
}

RCPtr<LRootWindow> LFrameworkApp::GetActiveRootWindow() const
{
    return RCPtr<LRootWindow>(RCPtr<IRootWindowTarget>(mWindows->GetActiveRootWindow()));
}

void LFrameworkApp::ExitApplication()
{
    mExitRequested = true;
    WriteDebugLine("The exit request is honoured.");
    if (const RCPtr<OSWindow> window = GetMainWindow()) {
        // Keeps the window's place for the next start.
        window->Destroy();
        WriteDebugLine("The main window is closed.");
    }
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
    for (std::uint32_t window = 0; window < mWindows->GetRootWindowCount(); ++window) {
        // Held: the idle pass of the wait cursor may end the window.
        const RCPtr<LRootWindow> root = mWindows->GetRootWindow(window);
        const LWaitCursor waitCursor(kLoadingSkinText);
        IWindowOSServices* services = root->GetWindowServices();
        // The focused control comes back after its looks changed.
        const bool active = services != nullptr && services->IsActive();
        if (active) {
            root->OnKillFocus();
        }
        // A root control the skin does not have keeps its looks.
        (void)mFactory->ApplySkinToControl(root->GetRootControl());
        // The root window reads its size and place from its OS window whenever it is asked; the whole of it is
        // painted with the new looks at the next paint.
        const RectT<zlong> client = root->GetScreenBounds();
        root->InvalidateRect({0, 0, static_cast<double>(client.width), static_cast<double>(client.height)});
        if (active) {
            root->OnSetFocus();
        }
    }
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

void LFrameworkApp::GetCursorPosition(PointT<zlong>& point)
{
    if (const RCPtr<LRootWindow> root = GetActiveRootWindow()) {
        if (IWindowOSServices* services = root->GetWindowServices()) {
            point = services->ClientToScreen(root->GetCursorPosition());
            return;
        }
    }
    const Platform::WindowPoint pointer = Platform::GetDesktopPointerPosition();
    point = {pointer.x, pointer.y};
}

std::uint32_t LFrameworkApp::GetMouseButtons()
{
    if (const RCPtr<LRootWindow> root = GetActiveRootWindow()) {
        return root->GetMouseButtonState();
    }
    struct ButtonKey {
        std::uint8_t virtualKey;
        std::uint32_t bit;
    };
    std::uint32_t buttons = 0;
    for (const ButtonKey button : {ButtonKey{0x01, 1}, ButtonKey{0x04, 2}, ButtonKey{0x02, 4}}) {
        bool down = false;
        bool toggled = false;
        if (Succeeded(IsKeyDown(button.virtualKey, down, toggled)) && down) {
            buttons |= button.bit;
        }
    }
    return buttons;
}

RCPtr<LStatusBar> LFrameworkApp::GetStatusBar()
{
    return nullptr;
}

RCPtr<LFont> LFrameworkApp::GetDefaultFont()
{
    return mDefaultFont ? mDefaultFont : IControlServices::GetDefaultFont();
}

RCPtr<LMeasurementRenderer> LFrameworkApp::GetMeasurementRenderer()
{
    if (const RCPtr<OSWindow> window = GetMainWindow(); window && window->GetRenderer()) {
        return window->GetRenderer();
    }
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
