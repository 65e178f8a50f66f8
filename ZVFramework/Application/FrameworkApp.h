#pragma once

#include "Application/ApplicationWindowHost.h"
#include "Application/IIniFileManager.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/StringTable.h"
#include "Controls/StatusBar.h"
#include "Notification/NotificationClient.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/Font.h"
#include "Renderer/RenderingServices.h"
#include "System/ClipBoard.h"
#include "System/GlobalHotKeyManager.h"
#include "System/WindowOSServices.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace ZV {

// What the menu, the exit button and the main window's close box post to the application's notification centre.
inline constexpr wchar_t kExitRequestId[] = L"NID_APP_EXIT_REQ";

// The date and time as the system clock gives it, in UTC; the day of the week counts from Sunday (0).
struct SystemTime {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t dayOfWeek = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    std::int32_t milliseconds = 0;
};

// The application as the framework sees it: the one road from controls, windows and the program's own logic to the
// platform. It holds the control factory with its string tables, the application's hot keys and clipboard, the
// default font and the exit request, and it is the services that controls and renderers ask. Its operations come in
// three levels: this one, the framework's; LApplicationBase, the platform's; and the program's own class, which
// names its values. One object lives at a time and is reached through GetFrameworkApp while it does.
// User-interface thread only.
class LFrameworkApp : public LNotificationClient, public IControlServices, public IRenderingServices {
public:
    // The command line is the program's arguments joined by blanks; the window class name is what the main window,
    // its saved place and the program's single instance go by. From now on the application is the host of the
    // process's windows and the services of its controls and renderers.
    LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                  const WideString& commandLine, const WideString& windowClassName);
    LFrameworkApp(const LFrameworkApp&) = delete;
    LFrameworkApp& operator=(const LFrameworkApp&) = delete;
    // Ends the windows that are left, lets go of the process's notification centres and switches the notification
    // pool off.
    ~LFrameworkApp() override;

    // The exit request is the platform level's; the framework level ignores every notification.
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override;

    // --- The road from start to end (the process object drives it). ---

    // Hooks before and after the start-up; 0.
    [[nodiscard]] virtual ZVRESULT PreApplicationStartup(const WideString& commandLine);
    [[nodiscard]] virtual ZVRESULT PostApplicationStartup(const WideString& commandLine);
    // Registers the framework's control classes, loads the application's hot keys ("GHK" entries of its string
    // table), starts the clipboard and selects the skin that the user settings remember. 0, or ZV_E_FAIL when an
    // exception stopped it.
    [[nodiscard]] virtual ZVRESULT RunApplicationStartup();
    // The main window of the renderer kind, showing the main control; 0, or the failure.
    [[nodiscard]] virtual ZVRESULT CreateMainWindow(std::int32_t rendererKind) = 0;
    // Runs the loop until the exit request is honoured, with OnBeforeMessageLoop and an idle pass before it and an
    // idle pass after it. A failure that leaves the loop is shown to the user and posts the exit request, and the
    // loop goes on until the request is honoured: while an update runs the program does not end.
    virtual void RunMessageLoop();
    // The main window stands: an empty hook.
    virtual void OnBeforeMessageLoop() {}
    // The loop itself, until it is told to quit.
    virtual void PumpMessages();
    // One idle pass: the notifications queued for the application and each window's idle work. True when more
    // idle work waits; false, doing nothing, once the exit is requested. A main window that went without being
    // closed (another client destroyed it, or the display went away with it) ends the program as a close does, once
    // CanExit allows it.
    virtual bool ProcessIdle(bool firstPass);
    // The main window went without being closed: another client destroyed it, or the display went away with it
    // (displayLost); told once. Ending: the program ends now, else once CanExit allows it. An empty hook.
    virtual void OnMainWindowLost(bool displayLost, bool ending)
    {
        (void)displayLost;
        (void)ending;
    }
    // The loop took a request from the system to end (a signal); the exit request that it posts follows. An empty
    // hook.
    virtual void OnSystemRequestToEnd() {}
    // Releases the factory, the hot keys and the clipboard; 0.
    [[nodiscard]] virtual ZVRESULT RunApplicationShutdown();
    // Whether an exit request may end the program now. Asked as the system's request to end comes, and again as an
    // exit request is carried out; a yes may bind the program to end.
    virtual bool CanExit() = 0;
    bool IsExitRequested() const { return mExitRequested; }
    // The exit code of the program when it ends without an error; 1 unless the program says otherwise.
    virtual int GetExitCode() const { return 1; }

    // A message that a later start of the program handed over: the main window comes to the front, and a command
    // line (UTF-8, tag 0x465) goes on to OnSecondInstanceCommandLine while the window takes input.
    void ReceiveHandOver(std::int32_t tag, const char* data, std::size_t size);
    // The command line that a later start of the program handed over; an empty hook that answers 0.
    [[nodiscard]] virtual ZVRESULT OnSecondInstanceCommandLine(const WideString& commandLine);

    // --- The program's names and values. ---

    virtual WideString GetCompanyName() = 0;
    virtual WideString GetProductName() = 0;
    virtual WideString GetProductVersion() = 0;
    // The key that the settings files are opened with.
    virtual WideString GetVersionKey() = 0;
    virtual WideString GetApplicationName() = 0;
    // The skin's name of the main window's top-level control.
    virtual WideString GetMainControlName() = 0;
    virtual std::int32_t GetRendererKind() = 0;
    // The language of the string tables.
    virtual std::uint32_t GetLocaleId() = 0;

    // --- Services. ---

    // The folder of an ApplicationFolderId; an unknown id throws "Out of Range".
    virtual WideString GetFolder(std::int32_t id) = 0;
    // The settings manager; it fails every call when the settings library is missing.
    virtual IIniFileManager& GetSettingsManager() = 0;
    // The settings file of the index (0 the application's, 1 the user's), opened on first use; 0 when there is
    // none.
    virtual IniFileHandle GetIniFile(std::int32_t index) = 0;
    // The skin index that the user settings remember; 0 without them.
    virtual std::int32_t GetCurrentSkinIndex();
    // Makes the skin of the index current (kept within the skins there are) with its font, has every root window
    // show it, each under the wait cursor, and remembers it in the user settings. Without skins it only reads the
    // system font. Throws when the system font cannot be read.
    virtual void SetSkin(std::int32_t index);

    // Seconds since the application object was made, past the wrap of the millisecond clock.
    virtual double GetElapsedSeconds() = 0;
    // The millisecond clock, wrapping at 2^32.
    virtual std::uint32_t GetTimeMilliseconds() = 0;
    virtual SystemTime GetSystemTime() = 0;
    // Whether the key (or mouse button, by its virtual key) is down, and whether a lock key is on.
    [[nodiscard]] virtual ZVRESULT IsKeyDown(std::uint8_t virtualKey, bool& down, bool& toggled) = 0;
    // The part of the screen that windows may take: x, y, width, height; empty when it is not known.
    virtual RectT<zlong> GetWorkArea() = 0;
    // The cursor of a cursor name ("UI_CURSOR_HAND"); 0 for a name that has none.
    virtual CursorHandle LoadCursor(const wchar_t* name) = 0;
    // Tells the user something and waits until they close the box, which offers the buttons that the flags' low
    // four bits name (0 OK, 1 OK and Cancel, 2 Abort, Retry and Ignore, 3 Yes, No and Cancel, 4 Yes and No, 5 Retry
    // and Cancel, 6 Cancel, Try Again and Continue). Once the main window is there the box stays in front of the
    // active root window, else the first. The button that closed it: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore,
    // 6 Yes, 7 No, 10 Try Again, 11 Continue.
    virtual std::int32_t ShowMessageBox(const WideString& text, const WideString& caption, std::uint32_t flags) = 0;
    // Adds one to the pointer's show count (show) or takes one away; the pointer is hidden over the program's
    // windows while the count is below 0. The new count.
    virtual std::int32_t ShowCursor(bool show) = 0;
    // Moves the pointer to the point of the screen; ZV_E_FAIL when there is no desktop.
    [[nodiscard]] virtual ZVRESULT SetCursorPosition(zlong x, zlong y) = 0;
    // The pointer on the screen: where the active root window sees it, else where the desktop has it.
    virtual void GetCursorPosition(PointT<zlong>& point);
    // The mouse buttons held (1 left, 2 middle, 4 right): the active root window's, else the buttons' key states.
    virtual std::uint32_t GetMouseButtons();
    // The desktop's power-management broadcast for the main window, answered back to it; 1 grants it.
    virtual std::int32_t OnPowerBroadcast(std::uint32_t event, std::intptr_t data) = 0;
    // The status bar that status texts go to; this program has none.
    virtual RCPtr<LStatusBar> GetStatusBar();
    // The status bar's text: this application has no status bar, so both answer ZV_E_FAIL and do nothing.
    [[nodiscard]] ZVRESULT SetStatusText(const WideString& text, bool immediately) override;
    [[nodiscard]] ZVRESULT ResetStatusText(bool immediately) override;

    // --- Windows. ---

    // Null before the main window was made, and once it has closed.
    RCPtr<OSWindow> GetMainWindow() const;
    RCPtr<LRootWindow> GetMainRootWindow() const;
    // The last made root window whose window is active; null when none is.
    RCPtr<LRootWindow> GetActiveRootWindow() const;
    // A new top-level control of the current skin's control of that name, shown in the root window; null when the
    // skin has none.
    virtual void CreateControlByName(RCPtr<LControl>& control, const WideString& name,
                                     const RCPtr<IRootWindow>& rootWindow) = 0;
    // An extra top-level window for a top-level control, with its window menu and close box (when any flag is set)
    // and minimise and maximise boxes as the flags say, shown at once; resizable when the control's layout is. The
    // index of its root window, or ZV_E_FAIL when the window could not be made. Throws when the control has no
    // descriptor or the current skin has no control of its descriptor's name.
    [[nodiscard]] virtual std::int32_t CreateRootWindow(const RCPtr<LControl>& control, bool systemMenu,
                                                        bool minimiseBox, bool maximiseBox) = 0;
    // A window for the control as CreateRootWindow makes it, modal to the active root window and of fixed size, and
    // runs its modal loop: the loop's result (-1 when the application quits), or ZV_E_FAIL when the window could not
    // be made. Throws as CreateRootWindow does.
    [[nodiscard]] virtual std::int32_t RunModalRootWindow(const RCPtr<LControl>& control, bool systemMenu) = 0;

    const RCPtr<LControlFactory>& GetFactory() const { return mFactory; }
    const RCPtr<LStringTable>& GetFrameworkStringTable() const { return mFrameworkStrings; }
    const RCPtr<LStringTable>& GetApplicationStringTable() const { return mApplicationStrings; }
    const RCPtr<LClipboard>& GetClipboard() const { return mClipboard; }
    // The command line as UTF-8.
    const NarrowString& GetCommandLine() const { return mCommandLine; }

    // IControlServices.
    RCPtr<LControlFactory> GetControlFactory() override { return mFactory; }
    double GetTimeSeconds() override { return GetElapsedSeconds(); }
    RCPtr<LGlobalHotKeyManager> GetHotKeyManager() override { return mHotKeyManager; }
    // The skin's font, as SetSkin chose it.
    RCPtr<LFont> GetDefaultFont() override;

    // IRenderingServices.
    zulong GetTimeMs() override { return GetTimeMilliseconds(); }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override;
    bool GetFrameworkString(const WideString& key, WideString& text) override;

protected:
    // Ends the program: marks the exit as requested (from then on idle passes do nothing), closes the main window
    // and ends the loop, with it the modal loops of other windows.
    void ExitApplication();
    LApplicationWindowHost& GetWindows();
    // What message boxes stay in front of: the active root window's window, else the first one's; none before the
    // main window is made or once it has gone.
    const Platform::NativeWindow* GetMessageBoxOwner() const;

private:
    // The host that the process's windows report to: it hands idle passes, cursors and a later start's command line
    // on to the application.
    class WindowHost;

    // Nothing is left that could ask the program to end: it ends now, or as soon as CanExit allows.
    void EndWithoutMainWindow();

    RCPtr<LControlFactory> mFactory;
    NarrowString mCommandLine;
    RCPtr<LStringTable> mFrameworkStrings;
    RCPtr<LStringTable> mApplicationStrings;
    bool mExitRequested = false;
    // The main window went without being closed.
    bool mMainWindowLost = false;
    // The loop's tick, held while the program waits to end without its main window.
    bool mTickHeldWithoutWindow = false;
    RCPtr<LFont> mDefaultFont;
    RCPtr<LGlobalHotKeyManager> mHotKeyManager;
    RCPtr<LClipboard> mClipboard;
    // Text measured before a window has a renderer of its own.
    RCPtr<LMeasurementRenderer> mMeasurementRenderer;
    IControlServices* mPreviousControlServices;
    IRenderingServices* mPreviousRenderingServices;
    // Last: the windows go first.
    std::unique_ptr<WindowHost> mWindows;
};

// The application while it lives; null before and after.
LFrameworkApp* GetFrameworkApp();

}  // namespace ZV
