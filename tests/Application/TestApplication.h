#pragma once

#include "Application/ApplicationBase.h"
#include "Platform/FileSystem.h"

#include <functional>
#include <optional>

namespace ZV::Testing {

// An application of the framework's own, as a program makes one: its user settings in the user's data folder, a
// clock and an exit rule that tests set, and a start-up result that tests choose.
class TestApplication : public LApplicationBase<TestApplication> {
public:
    static constexpr wchar_t kWindowClassName[] = L"ZVTestApplication";
    static constexpr ZVRESULT kFinishedWithoutWindow = static_cast<ZVRESULT>(0x8000A020u);
    static bool IsFinishedWithoutWindow(ZVRESULT result) { return result == kFinishedWithoutWindow; }

    // What the next application made (by the process object, out of the test's reach) is to answer.
    static inline std::optional<ZVRESULT> sNextStartupResult;
    static inline int sNextExitCode = 1;

    TestApplication(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                    const WideString& commandLine)
        : LApplicationBase(factory, frameworkStrings, commandLine), mStartupResult(sNextStartupResult),
          mExitCode(sNextExitCode)
    {
    }

    // The framework's start-up, then the result the test chose, if any.
    [[nodiscard]] ZVRESULT RunApplicationStartup() override
    {
        const ZVRESULT started = LApplicationBase::RunApplicationStartup();
        return Failed(started) || !mStartupResult ? started : *mStartupResult;
    }
    bool CanExit() override { return !mCanExit || mCanExit(); }
    int GetExitCode() const override { return mExitCode; }
    WideString GetVersionKey() override { return L"1_0_0"; }
    WideString GetMainControlName() override { return L"mainControl"; }
    std::int32_t GetRendererKind() override { return 1; }
    IniFileHandle GetIniFile(std::int32_t index) override
    {
        if (index != 1) {
            return 0;
        }
        if (mUserSettings == 0) {
            const WideString folder = GetFolder(kUserDataFolder);
            if (!folder.IsEmpty() &&
                Failed(GetSettingsManager().OpenIniFile(folder + WideString(L"/UserSettings.ini"), GetVersionKey(),
                                                        GetProductName(), mUserSettings))) {
                mUserSettings = 0;
            }
        }
        return mUserSettings;
    }
    std::uint32_t GetTimeMilliseconds() override
    {
        return mClock ? *mClock : LApplicationBase::GetTimeMilliseconds();
    }

    std::optional<std::uint32_t> mClock;
    std::function<bool()> mCanExit;
    std::optional<ZVRESULT> mStartupResult;
    int mExitCode;

private:
    IniFileHandle mUserSettings = 0;
};

}  // namespace ZV::Testing
