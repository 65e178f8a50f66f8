#pragma once

#include "Application/ApplicationFolders.h"
#include "Application/FrameworkApp.h"
#include "Application/IniFileManager.h"
#include "Application/StartupError.h"
#include "Application/Version.h"
#include "ControlBase/DebugLine.h"
#include "Notification/InternTable.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"
#include "Platform/Clock.h"
#include "Platform/DesktopWindows.h"
#include "Platform/LanguageId.h"
#include "Platform/MessageBox.h"

#include <chrono>
#include <stdexcept>
#include <string>

namespace ZV {

// The platform's level of the application: the program's version information, folders, clocks and message boxes,
// the settings manager, the exit request, and the order of start-up and shut-down around the framework's level. T
// is the program's own class, which derives from this one.
template <class T>
class LApplicationBase : public LFrameworkApp {
public:
    // The settings manager loads the settings library at once, from the program's folder or where the system looks;
    // without it the program runs without settings.
    LApplicationBase(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                     const WideString& commandLine)
        : LFrameworkApp(factory, frameworkStrings, commandLine, T::kWindowClassName),
          mSettingsManager(new LIniFileManager()),
          mLastTick(Platform::GetMillisecondTick())
    {
        if (Failed(mSettingsManager->Load(WideString()))) {
            WriteDebugLine("The settings library could not be loaded; the program runs without settings.");
        }
    }

    // Runs the framework's level, then subscribes the application to the exit request. 0, or ZV_E_FAIL when the
    // framework's level failed.
    [[nodiscard]] ZVRESULT RunApplicationStartup() override
    {
        if (Failed(LFrameworkApp::RunApplicationStartup())) {
            return ZV_E_FAIL;
        }
        if (RegisterForNotification(GetApplicationNotificationCenter(), kExitRequestId, 0) == nullptr) {
            return ZV_E_FAIL;
        }
        return ZV_S_OK;
    }

    // The framework's level, then every settings file still open is written, when it changed, and closed, so that no
    // setting is lost; the debug output says which it came to.
    [[nodiscard]] ZVRESULT RunApplicationShutdown() override
    {
        (void)LFrameworkApp::RunApplicationShutdown();
        WriteDebugLine("Shut-down: the factory, the hot keys and the clipboard are released.");
        const ZVRESULT closed = mSettingsManager->CloseAllIniFiles();
        if (Failed(closed)) {
            WriteDebugLine("Shut-down: a settings file could not be written; the settings files are closed.");
        } else if (closed == ZV_S_FALSE) {
            WriteDebugLine("Shut-down: no settings file was open.");
        } else if (closed == kIniFileUnchanged) {
            WriteDebugLine("Shut-down: the settings files are closed unwritten, as nothing in them changed.");
        } else {
            WriteDebugLine("Shut-down: the settings files are written and closed.");
        }
        return ZV_S_OK;
    }

    // The exit request ends the program unless CanExit holds it back: then it is dropped, and the program goes on.
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        if (!notification || notification->GetId() != InternString(kExitRequestId)) {
            LFrameworkApp::ReceiveNotification(sender, notification);
            return;
        }
        if (!CanExit()) {
            WriteDebugLine("The exit request is dropped: the application may not end now.");
            return;
        }
        ExitApplication();
    }

    WideString GetCompanyName() override { return Version(Platform::kProgramModule).GetCompanyName(); }
    WideString GetProductName() override { return Version(Platform::kProgramModule).GetProductName(); }
    WideString GetProductVersion() override { return Version(Platform::kProgramModule).GetProductVersion(); }
    WideString GetApplicationName() override { return GetProductName(); }
    std::uint32_t GetLocaleId() override { return Platform::GetUserDefaultLanguageId(); }

    WideString GetFolder(std::int32_t id) override
    {
        WideString path;
        const bool needsNames = id == kSharedDataFolder || id == kUserDataFolder;
        if (!FindApplicationFolder(id, needsNames ? GetCompanyName() : WideString(),
                                   needsNames ? GetProductName() : WideString(), path)) {
            ZV_THROW_IN(JoinTemplateName("ZV::MFCFrameworkApp", TypeName<T>()) + "::GetFolder", std::out_of_range,
                        "Unknown Path ID.");
        }
        return path;
    }

    IIniFileManager& GetSettingsManager() override { return *mSettingsManager; }

    double GetElapsedSeconds() override
    {
        const std::uint32_t tick = GetTimeMilliseconds();
        // Unsigned: a wrap of the clock still gives the time that passed.
        mElapsedSeconds += static_cast<double>(tick - mLastTick) / 1000.0;
        mLastTick = tick;
        return mElapsedSeconds;
    }
    std::uint32_t GetTimeMilliseconds() override { return Platform::GetMillisecondTick(); }

    SystemTime GetSystemTime() override
    {
        using namespace std::chrono;
        const auto now = floor<milliseconds>(system_clock::now());
        const auto today = floor<days>(now);
        const year_month_day date(today);
        const hh_mm_ss time(now - today);
        return SystemTime{static_cast<int>(date.year()),
                          static_cast<std::int32_t>(static_cast<unsigned>(date.month())),
                          static_cast<std::int32_t>(weekday(today).c_encoding()),
                          static_cast<std::int32_t>(static_cast<unsigned>(date.day())),
                          static_cast<std::int32_t>(time.hours().count()),
                          static_cast<std::int32_t>(time.minutes().count()),
                          static_cast<std::int32_t>(time.seconds().count()),
                          static_cast<std::int32_t>(time.subseconds().count())};
    }

    std::int32_t ShowMessageBox(const WideString& text, const WideString& caption, std::uint32_t flags) override
    {
        return Platform::ShowMessageBox(caption.ToUTF8().GetData(), text.ToUTF8().GetData(), flags,
                                        GetMessageBoxOwner());
    }
    std::int32_t ShowCursor(bool show) override { return Platform::ShowDesktopPointer(show); }
    [[nodiscard]] ZVRESULT SetCursorPosition(zlong x, zlong y) override
    {
        return Platform::MoveDesktopPointer({x, y}) ? ZV_S_OK : ZV_E_FAIL;
    }
    // Nothing on this desktop sends the broadcast; granted.
    std::int32_t OnPowerBroadcast(std::uint32_t, std::intptr_t) override { return 1; }

    void CreateControlByName(RCPtr<LControl>& control, const WideString& name,
                             const RCPtr<IRootWindow>& rootWindow) override
    {
        const RCPtr<LControlFactory>& factory = GetFactory();
        control = factory ? factory->CreateControlByName(name, rootWindow) : nullptr;
    }
    [[nodiscard]] std::int32_t CreateRootWindow(const RCPtr<LControl>& control, bool systemMenu, bool minimiseBox,
                                                bool maximiseBox) override
    {
        CheckRootWindowControl(control);
        RCPtr<OSWindow> window;
        return GetWindows().CreateRootWindow(control, {systemMenu, minimiseBox, maximiseBox, false}, GetRendererKind(),
                                             window);
    }
    [[nodiscard]] std::int32_t RunModalRootWindow(const RCPtr<LControl>& control, bool systemMenu) override
    {
        CheckRootWindowControl(control);
        RCPtr<OSWindow> window;
        if (Failed(GetWindows().CreateRootWindow(control, {systemMenu, false, false, true}, GetRendererKind(),
                                                 window))) {
            return ZV_E_FAIL;
        }
        return window->RunModal();
    }

    // The main window on the desktop, titled with the company's name, for the skin's main control; throws when the
    // skin has no such control or there is no desktop to show it on. 0, or the failure of a step.
    [[nodiscard]] ZVRESULT CreateMainWindow(std::int32_t rendererKind) override
    {
        const RCPtr<LControlFactory>& factory = GetFactory();
        const WideString controlName = GetMainControlName();
        const std::string function = JoinTemplateName("ZV::LApplicationBase", TypeName<T>()) + "::CreateMainWindow";
        if (!factory || !factory->FindControlDescriptor(controlName)) {
            ZV_THROW_NULL_POINTER_IN(function, std::runtime_error, "Invalid Control Name");
        }
        if (Platform::GetDesktopEventSource() == nullptr) {
            ZV_THROW_IN(function, std::runtime_error, kNoDisplayReason);
        }
        return GetWindows().CreateMainWindow(rendererKind, controlName, GetCompanyName());
    }

    // Toggled tells whether a lock key is on; it is false for any other key.
    [[nodiscard]] ZVRESULT IsKeyDown(std::uint8_t virtualKey, bool& down, bool& toggled) override
    {
        down = GetWindows().IsKeyDown(virtualKey);
        toggled = Platform::IsDesktopKeyToggled(virtualKey);
        return ZV_S_OK;
    }
    RectT<zlong> GetWorkArea() override { return GetWindows().GetWorkArea(); }
    // The desktop's cursor of the name; 0 before the main window is made.
    CursorHandle LoadCursor(const wchar_t* name) override
    {
        return GetWindows().LApplicationWindowHost::GetNamedCursor(name);
    }

private:
    // A control that a root window of its own can show: one with a descriptor of the current skin.
    void CheckRootWindowControl(const RCPtr<LControl>& control) const
    {
        const std::string function = JoinTemplateName("ZV::LApplicationBase", TypeName<T>()) + "::CreateRootWindow";
        const RCPtr<LControlDescriptor> descriptor = control ? control->GetControlDescriptor() : nullptr;
        if (!descriptor) {
            ZV_THROW_NULL_POINTER_IN(function, std::runtime_error, "Control descriptor is null");
        }
        const RCPtr<LControlFactory>& factory = GetFactory();
        if (!factory || !factory->FindControlDescriptor(descriptor->GetName())) {
            ZV_THROW_NULL_POINTER_IN(function, std::runtime_error, "Invalid Control Name");
        }
    }

    RCPtr<LIniFileManager> mSettingsManager;
    // The clock's reading at the last call, and the seconds counted up to it.
    std::uint32_t mLastTick;
    double mElapsedSeconds = 0.0;
};

}  // namespace ZV
