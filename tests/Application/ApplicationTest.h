#pragma once

#include "Application/ApplicationFolders.h"
#include "Application/TestApplication.h"
#include "DebuggerOutputCapture.h"
#include "Platform/MessageBox.h"
#include "Platform/VersionInfo.h"
#include "TestFiles.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ZV::Testing {

inline WideString Wide(const std::string& utf8)
{
    return WideString(utf8.c_str());
}

inline std::string Utf8(const WideString& text)
{
    return text.ToUTF8().GetData();
}

// Each test has a home, data, settings, runtime and state folder of its own, sees message boxes as texts instead of
// windows, and reads the debug output; folders, version information and the environment come back afterwards.
class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest()
    {
        for (const char* folder : {"home", "data", "config", "runtime", "state"}) {
            std::filesystem::create_directory(mFolder / folder);
        }
        // The runtime folder is the user's alone, as the system makes it.
        std::filesystem::permissions(mFolder / "runtime", std::filesystem::perms::owner_all);
        mEnvironment.Set("HOME", (mFolder / "home").c_str());
        mEnvironment.Set("XDG_DATA_HOME", (mFolder / "data").c_str());
        mEnvironment.Set("XDG_CONFIG_HOME", (mFolder / "config").c_str());
        mEnvironment.Set("XDG_RUNTIME_DIR", (mFolder / "runtime").c_str());
        // Where the instance lock lives, whatever the tests' caller has set.
        mEnvironment.Set("XDG_STATE_HOME", (mFolder / "state").c_str());
        mPreviousPresenter =
            Platform::SetMessageBoxPresenter([this](const std::string& caption, const std::string& text) {
                const std::lock_guard hold(mBoxesLock);
                mBoxes.push_back(caption + ": " + text);
            });
    }
    ~ApplicationTest() override
    {
        Platform::SetMessageBoxPresenter(mPreviousPresenter);
        Platform::OverrideProgramVersionInfo(std::nullopt);
        SetApplicationFolderOverride(kResourceFolder, WideString());
    }

    // A factory with the string tables and the skin of the source ("::" for the program's resources), and an
    // application over it.
    static RCPtr<TestApplication> MakeApplication(const std::string& source = "::", std::uint32_t localeId = 0x0409)
    {
        const RCPtr<LControlFactory> factory(new LControlFactory(L"Halvista Firmware Updater"));
        EXPECT_EQ(factory->LoadResources(Wide(source), localeId), ZV_S_OK);
        return RCPtr<TestApplication>(new TestApplication(factory, factory->GetFrameworkStringTable(), L""));
    }

    std::vector<std::string> Boxes()
    {
        const std::lock_guard hold(mBoxesLock);
        return mBoxes;
    }

    // The debug output's lines that begin with the prefix, in order.
    static std::vector<std::string> DebugLinesStartingWith(const std::string& prefix)
    {
        std::vector<std::string> lines;
        for (const std::string& text : DebuggerOutputCapture::Texts()) {
            if (text.rfind(prefix, 0) == 0) {
                lines.push_back(text.substr(0, text.find_last_not_of('\n') + 1));
            }
        }
        return lines;
    }

    std::string UserSettingsPath() const
    {
        return (mFolder.Path() / "data" / "Corvan" / "Halvista Firmware Updater" / "UserSettings.ini").string();
    }

    TemporaryFolder mFolder;
    ScopedEnvironment mEnvironment;
    DebuggerOutputCapture mDebugOutput;

private:
    std::mutex mBoxesLock;
    std::vector<std::string> mBoxes;
    Platform::MessageBoxPresenter mPreviousPresenter;
};

}  // namespace ZV::Testing
