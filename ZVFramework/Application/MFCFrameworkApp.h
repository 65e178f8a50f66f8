#pragma once

#include "Application/ApplicationFolders.h"
#include "Application/ExceptionMessage.h"
#include "Application/SingleInstance.h"
#include "Application/Splash.h"
#include "Application/StartupError.h"
#include "Application/Version.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/DebugLine.h"
#include "Notification/Notification.h"
#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"
#include "Platform/DesktopWindows.h"
#include "Platform/LanguageId.h"
#include "Platform/StandardError.h"
#include "Platform/TerminationRequests.h"
#include "Renderer/Renderer.h"
#include "Utilities/Debug/DebugConsoleSwitch.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Storage/ZVFile.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace ZV {

// The program as a process: its main body from the first line to the exit code. It makes the control factory with
// the string tables and the skin, keeps the program to one instance per user, reads the debug switch, then makes the
// application of class T, runs its start-up, opens its main window, runs the loop and shuts it down. Every failure
// on the way is shown to the user as the start-up error and ends the program with kExitStartupFailure; none ends it
// abnormally. A main window that cannot open for want of a display, where no box could show either, is one line on
// the standard error instead. While it starts, a splash shows the resource folder's "Splash.png" when there is one.
//
// T derives from LApplicationBase<T> and provides kWindowClassName, the name that the main window, the instance
// lock and the saved window place go by, and IsFinishedWithoutWindow, which tells the start-up results with which
// the program ends quietly, its work done without the window. User-interface thread only.
template <class T>
class MFCFrameworkApp {
public:
    // Also the exit code of a second start, which hands its command line to the first instance.
    static constexpr int kExitStartupFailure = -1;
    // The locale id that stands for the user's language.
    static constexpr std::int32_t kUserLocale = -1;

    MFCFrameworkApp() = default;
    MFCFrameworkApp(const MFCFrameworkApp&) = delete;
    MFCFrameworkApp& operator=(const MFCFrameworkApp&) = delete;

    // The main body: the command line is the program's arguments joined by blanks. Returns the exit code: the
    // application's when it ended without error (1 unless it says otherwise), kExitStartupFailure when the start
    // failed or a failure ended the program, or for a second start.
    int Main(const WideString& commandLine, std::int32_t localeId = kUserLocale)
    {
        mCommandLine = commandLine;
        EnableNotificationPool(true);
        mLocaleId =
            localeId == kUserLocale ? Platform::GetUserDefaultLanguageId() : static_cast<std::uint32_t>(localeId);
        int exitCode = kExitStartupFailure;
        if (InitApplication()) {
            exitCode = InitInstance() ? Run() : ExitInstance();
        }
        EndSplash();
        mFrameworkStrings = nullptr;
        mFactory = nullptr;
        return exitCode;
    }

    // The resource folder's "Splash.png" when that file exists; else empty. Resources built into the program ("::")
    // are no folder: a path made from them would name a file under whatever folder the program was started in.
    WideString GetSplashImagePath() const
    {
        WideString resources;
        (void)FindApplicationFolder(kResourceFolder, WideString(), WideString(), resources);
        if (resources.IsEmpty() || resources.Find(L"::") == 0) {
            return WideString();
        }
        const WideString path = resources + WideString(L"/Splash.png");
        return File::FileExists(path) ? path : WideString();
    }

    // With a picture, the splash shows it and its bar steps from 0 to 100 over kSplashSeconds.
    void StartSplash()
    {
        const WideString path = GetSplashImagePath();
        if (path.IsEmpty()) {
            return;
        }
        const ConstRCPtr<LBitmap> image = LBitmap::GetCachedBitmap(path);
        if (!image) {
            return;
        }
        if (!mSplash) {
            mSplash = std::make_unique<LSplash>();
        }
        mSplash->SetImage(image);
        mSplash->SplashThread();
        mSplash->StartProgress(0, 100, kSplashSeconds);
    }

    // The bar shows the end, then the splash goes.
    void EndSplash()
    {
        if (!mSplash) {
            return;
        }
        mSplash->SetProgress(100);
        mSplash->Stop();
        mSplash = nullptr;
    }

private:
    static constexpr std::int32_t kSplashSeconds = 8;

    // The splash goes first: it would stand in front of the message.
    void ReportStartupFailure(const char* detail)
    {
        EndSplash();
        ShowStartupError(mFrameworkStrings.Get(), detail);
    }

    std::string FunctionName(const char* member) const
    {
        return JoinTemplateName("ZV::MFCFrameworkApp", TypeName<T>()) + "::" + member;
    }

    // The renderers, the factory with its string tables and skin, and the single instance: false when the program
    // is to end, having handed its command line to the first instance or shown why it cannot start.
    bool InitApplication()
    {
        try {
            LRenderer::RegisterDrawingKinds();
            StartSplash();
            mFactory = new LControlFactory(Version(Platform::kProgramModule).GetProductName());
            WideString resources;
            (void)FindApplicationFolder(kResourceFolder, WideString(), WideString(), resources);
            ZV_THROW_IF_FAILED_IN(FunctionName("InitApplication"), mFactory->LoadResources(resources, mLocaleId));
            mFrameworkStrings = mFactory->GetFrameworkStringTable();
            SetExceptionMessageLookup(&LookUpExceptionMessage);
            // A later start ends here, whether the first instance took its command line or did not answer.
            const LSingleInstance::Role role =
                mSingleInstance.Claim(WideString(T::kWindowClassName) + WideString(L"Prevent"), mCommandLine.ToUTF8());
            return role != LSingleInstance::Role::kHandedOver && role != LSingleInstance::Role::kUnanswered;
        } catch (const std::exception& exception) {
            ReportStartupFailure(exception.what());
        } catch (...) {
            ReportStartupFailure("");
        }
        return false;
    }

    // The debug switch of the command line.
    bool InitInstance()
    {
        ApplyDebugConsoleSwitch(mCommandLine.ToUTF8().GetData(), GetDebugOutput());
        return true;
    }

    int Run()
    {
        try {
            mApplication = new T(mFactory, mFrameworkStrings, mCommandLine);
            (void)mApplication->PreApplicationStartup(mCommandLine);
            const ZVRESULT started = mApplication->RunApplicationStartup();
            if (Failed(started)) {
                if (!T::IsFinishedWithoutWindow(started)) {
                    ZV_THROW_IF_FAILED_IN(FunctionName("Run"), started);
                }
                return ShutDown();
            }
            (void)mApplication->PostApplicationStartup(mCommandLine);
            // The channel has listened since the claim, later starts waiting in it; from here the loop reads it.
            LFrameworkApp* application = mApplication.Get();
            (void)mSingleInstance.Listen([application](std::int32_t tag, const char* data, std::size_t size) {
                application->ReceiveHandOver(tag, data, size);
            });
            if (Platform::GetDesktopEventSource() == nullptr) {
                // No box can show there: the one line says why.
                Platform::WriteLineToStandardError(std::string(kNoDisplayReason) + "; this start ends.");
                (void)ShutDown();
                return kExitStartupFailure;
            }
            CatchTerminationRequests();
            if (IsAskedToEndBeforeTheWindow()) {
                WriteDebugLine("The system asks the program to end before its window opens.");
                return ShutDown();
            }
            ZV_THROW_IF_FAILED_IN(FunctionName("Run"), mApplication->CreateMainWindow(mApplication->GetRendererKind()));
            EndSplash();
            mApplication->RunMessageLoop();
            return ShutDown();
        } catch (const std::exception& exception) {
            ReportStartupFailure(exception.what());
        } catch (...) {
            ReportStartupFailure("");
        }
        // What was made goes all the same; a failure in that is only worth a line.
        try {
            (void)ShutDown();
        } catch (const std::exception& exception) {
            WriteDebugLine(exception.what());
        } catch (...) {
            WriteDebugLine("The shut-down after a failure failed as well.");
        }
        return kExitStartupFailure;
    }

    int ExitInstance() { return 1; }

    // The application's shut-down, then the application goes: the exit code it asks for.
    int ShutDown()
    {
        EndSplash();
        mSingleInstance.StopListening();
        if (mTerminationRequests) {
            GetMessageLoop().RemoveSource(mTerminationRequests.get());
            mTerminationRequests = nullptr;
        }
        if (!mApplication) {
            return ExitInstance();
        }
        // Let go of before the shut-down runs: a failure in it must not leave the object behind.
        RCPtr<T> application = std::move(mApplication);
        (void)application->RunApplicationShutdown();
        const int exitCode = application->GetExitCode();
        application = nullptr;
        WriteDebugLine("Shut-down: the application object is released.");
        return exitCode;
    }

    // A request that came while the program started (held back until now) ends it as closing its window would, before
    // the window opens and anything runs in it. So does one that a silent run answered after it chose its window.
    bool IsAskedToEndBeforeTheWindow()
    {
        const bool asked = (mTerminationRequests && mTerminationRequests->HasPendingEvent()) ||
                           Platform::WasTerminationRequestAnswered();
        return asked && mApplication->CanExit();
    }

    // From the window on, the system's request to end (logout, kill, Ctrl+C) ends the program as closing its window
    // does: never during an update, and with the settings written. The loop and the update's waits read it.
    void CatchTerminationRequests()
    {
        LFrameworkApp* application = mApplication.Get();
        mTerminationRequests = Platform::TerminationRequests::Catch([application] {
            WriteDebugLine("The system asks the program to end.");
            application->OnSystemRequestToEnd();
            // Asked while the request still waits to be taken, which holds back an update about to get on its way
            // on another thread: whichever came first wins, and the exit request carries out what was decided.
            (void)application->CanExit();
            (void)GetApplicationNotificationCenter()->PostNotification(LNotification::Create(kExitRequestId, nullptr));
        });
        if (mTerminationRequests) {
            GetMessageLoop().AddSource(mTerminationRequests.get());
        }
    }

    static WideString LookUpExceptionMessage(int exceptionNumber)
    {
        WideString format;
        const LFrameworkApp* application = GetFrameworkApp();
        const RCPtr<LStringTable> strings = application != nullptr ? application->GetFrameworkStringTable() : nullptr;
        if (strings && strings->GetString(L"EXCEPTION_ID", format)) {
            return WideString::Format(format.GetData(), exceptionNumber);
        }
        return WideString::Format(L"%s  (Error code = %d)", kStartupErrorText, exceptionNumber);
    }

    WideString mCommandLine;
    RCPtr<LControlFactory> mFactory;
    RCPtr<LStringTable> mFrameworkStrings;
    std::uint32_t mLocaleId = 0;
    RCPtr<T> mApplication;
    LSingleInstance mSingleInstance;
    std::unique_ptr<Platform::TerminationRequests> mTerminationRequests;
    // Null while none shows.
    std::unique_ptr<LSplash> mSplash;
};

}  // namespace ZV
