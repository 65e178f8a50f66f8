// Google Test first: the desktop's headers define None.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "System/Gui/DesktopInput.h"
#include "System/Gui/LoopTurns.h"
#include "TestFiles.h"
#include "System/RecordingRootWindow.h"

#include "Platform/DebuggerOutput.h"
#include "Platform/NativeWindow.h"
#include "Platform/StandardError.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"
#include "System/OpenFileDialog.h"
#include "support/WindowPixels.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using Testing::DesktopInput;
using Testing::LRecordingRootWindow;
using Testing::RunLoopUntil;
using Testing::TemporaryFolder;
using Testing::TestWindowHost;

const wchar_t* const kFilter = L"Firmware Files (*.syx)|*.syx|All files (*.*)|*.*";
const wchar_t* const kTitle = L"Select the firmware file";

WideString Wide(const std::string& utf8)
{
    WideString text;
    (void)text.AssignFromUTF8(utf8.data(), static_cast<int>(utf8.size()));
    return text;
}

// Sets an environment variable for the test's lifetime, or removes it (null), and puts the old value back.
class EnvironmentSetting {
public:
    EnvironmentSetting(const char* name, const char* value) : mName(name)
    {
        if (const char* old = std::getenv(name); old != nullptr) {
            mOld = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;
    ~EnvironmentSetting() { mOld ? setenv(mName, mOld->c_str(), 1) : unsetenv(mName); }

private:
    const char* mName;
    std::optional<std::string> mOld;
};

class OpenFileDialogGui : public ::testing::Test {
protected:
    OpenFileDialogGui()
        : mLog("ZV_TEST_PICKER_LOG", (mFolder.Path().string() + "/arguments").c_str()),
          mHelper("ZV_OPEN_FILE_HELPER", ZV_TEST_FILE_PICKER)
    {
        mUpdate = mFolder.Write("firmware/update.syx", "F0 F7");
        mOther = mFolder.Write("firmware/other.syx", "F0 F7");
        for (const char* name : {"only-kdialog/kdialog", "both/zenity", "both/kdialog"}) {
            const std::filesystem::path link = mFolder.Path().string() + "/" + name;
            std::filesystem::create_directories(link.parent_path());
            std::filesystem::create_symlink(ZV_TEST_FILE_PICKER, link);
        }
        std::filesystem::create_directories(mFolder.Path().string() + "/none");
    }

    // The arguments the picker was given last, without its own name.
    std::vector<std::string> PickerArguments() const
    {
        const std::string log = mFolder.Read("arguments");
        std::vector<std::string> arguments;
        std::size_t start = 0;
        while (start < log.size()) {
            const std::size_t end = log.find('\0', start);
            arguments.push_back(log.substr(start, end - start));
            start = end + 1;
        }
        return arguments;
    }
    std::string FirmwareFolder() const { return mFolder.Path().string() + "/firmware"; }

    TemporaryFolder mFolder;
    EnvironmentSetting mLog;
    EnvironmentSetting mHelper;
    std::string mUpdate;
    std::string mOther;
};

TEST_F(OpenFileDialogGui, APrintedPathIsChosenAndTheNextPickerOpensInItsFolderWithTheFilterInZenitysSyntax)
{
    LOpenFileDialog dialog(nullptr);
    {
        EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (mUpdate + "\n").c_str());
        ASSERT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_S_OK);
    }
    EXPECT_EQ(dialog.GetFilePath(), Wide(mUpdate));
    EXPECT_THAT(PickerArguments(),
                ElementsAre("--file-selection", "--title=Select the firmware file",
                            "--file-filter=Firmware Files (*.syx) | *.syx", "--file-filter=All files (*.*) | *"));
    // A name without its extension: the default extension finds the file.
    EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (FirmwareFolder() + "/other").c_str());
    ASSERT_EQ(dialog.Show(kFilter, L"*.syx", kTitle, false), ZV_S_OK);
    EXPECT_EQ(dialog.GetFilePath(), Wide(mOther));
    EXPECT_THAT(PickerArguments(), Contains("--filename=" + FirmwareFolder() + "/"));
}

TEST_F(OpenFileDialogGui, KdialogGetsTheFolderAndTheFilterInItsOwnSyntaxAndIsTakenWhenThereIsNoZenity)
{
    EnvironmentSetting noHelper("ZV_OPEN_FILE_HELPER", nullptr);
    EnvironmentSetting path("PATH", (mFolder.Path().string() + "/only-kdialog").c_str());
    EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (mUpdate + "\n").c_str());
    LOpenFileDialog dialog(nullptr);
    ASSERT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_S_OK);
    ASSERT_EQ(dialog.Show(kFilter, L"syx", kTitle, true), ZV_S_OK);
    EXPECT_THAT(PickerArguments(),
                ElementsAre("--title", "Select the firmware file", "--getopenfilename", FirmwareFolder(),
                            "Firmware Files (*.syx)\nAll files (*)", "--multiple", "--separate-output"));
    // With both on the PATH, zenity is asked.
    EnvironmentSetting both("PATH", (mFolder.Path().string() + "/both").c_str());
    ASSERT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_S_OK);
    EXPECT_THAT(PickerArguments(), Contains("--file-selection"));
}

TEST_F(OpenFileDialogGui, ACancelledPickerFailsWithAnEmptyPathAndEachCallSetsItsOwnFlags)
{
    LOpenFileDialog dialog(nullptr);
    {
        // Several files chosen: the first is the one.
        EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (mUpdate + "\n" + mOther + "\n").c_str());
        ASSERT_EQ(dialog.Show(kFilter, L"syx", kTitle, true), ZV_S_OK);
        EXPECT_EQ(dialog.GetFilePath(), Wide(mUpdate));
        EXPECT_THAT(PickerArguments(), Contains("--multiple"));
    }
    {
        EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (mOther + "\n").c_str());
        EnvironmentSetting cancel("ZV_TEST_PICKER_EXIT", "1");
        EXPECT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_E_FAIL);
        EXPECT_TRUE(dialog.GetFilePath().IsEmpty());
        EXPECT_THAT(PickerArguments(), Not(Contains("--multiple")));
    }
    {
        // A path that names no file is no choice.
        EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (FirmwareFolder() + "/missing.syx\n").c_str());
        EXPECT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_E_FAIL);
        EXPECT_TRUE(dialog.GetFilePath().IsEmpty());
    }
    {
        // A name that is not UTF-8 is no choice either, though cut at its first such byte it names another file.
        const std::string notText = mFolder.Write("firmware/update.syx\xE4", "F0 F7");
        EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (notText + "\n").c_str());
        EXPECT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_E_FAIL);
        EXPECT_TRUE(dialog.GetFilePath().IsEmpty());
    }
    // The folder of the last file chosen is still where the picker opens. The program ignores SIGPIPE; the picker
    // does not inherit that.
    const auto previousDisposition = std::signal(SIGPIPE, SIG_IGN);
    EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", "");
    EXPECT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_E_FAIL);
    std::signal(SIGPIPE, previousDisposition);
    EXPECT_THAT(PickerArguments(), Contains("--filename=" + FirmwareFolder() + "/"));
    const unsigned long long sigpipeBit = 1ull << (SIGPIPE - 1);
    EXPECT_EQ(std::stoull(mFolder.Read("arguments.ignored"), nullptr, 16) & sigpipeBit, 0u);
}

TEST_F(OpenFileDialogGui, WithoutAnyPickerTheCallFailsAtOnceAndSaysSoInTheDebugOutputAndOnStandardError)
{
    static std::vector<std::string> debugLines;
    debugLines.clear();
    Platform::SetDebuggerOutputSink([](const char* text) { debugLines.emplace_back(text); });
    EnvironmentSetting noHelper("ZV_OPEN_FILE_HELPER", nullptr);
    EnvironmentSetting path("PATH", (mFolder.Path().string() + "/none").c_str());
    LOpenFileDialog dialog(nullptr);
    ZVRESULT result = ZV_S_OK;
    {
        const Platform::StandardErrorRedirection redirection((mFolder.Path().string() + "/stderr").c_str());
        ASSERT_TRUE(redirection.IsActive());
        result = dialog.Show(kFilter, L"syx", kTitle, false);
    }
    Platform::SetDebuggerOutputSink(nullptr);
    EXPECT_EQ(result, ZV_E_FAIL);
    EXPECT_TRUE(dialog.GetFilePath().IsEmpty());
    const std::string expected = "No file picker was found: install zenity or kdialog, or name a picker program in "
                                 "ZV_OPEN_FILE_HELPER.";
    EXPECT_THAT(mFolder.Read("stderr"), HasSubstr(expected));
    EXPECT_THAT(debugLines, Contains(HasSubstr(expected)));
    // A helper that is named but missing is named in the message.
    EnvironmentSetting missing("ZV_OPEN_FILE_HELPER", "/nowhere/picker");
    const Platform::StandardErrorRedirection redirection((mFolder.Path().string() + "/stderr").c_str());
    EXPECT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_E_FAIL);
    EXPECT_THAT(mFolder.Read("stderr"), HasSubstr("/nowhere/picker"));
}

// The owner window on the desktop, shown, with a recording root window.
class OpenFileDialogWindowGui : public OpenFileDialogGui {
protected:
    OpenFileDialogWindowGui()
    {
        LGDIRenderer::Register();
        OSWindow::SetRootWindowFactory(&LRecordingRootWindow::Make);
    }
    ~OpenFileDialogWindowGui() override
    {
        if (mWindow) {
            mWindow->Destroy();
        }
        GetMessageLoop().ClearQuit();
        GetMessageLoop().ReleaseDeferred();
        LRecordingRootWindow::GetLastMade() = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        mWindow = OSWindow::CreateOnDesktop(LRenderer::kGdi, "ZVOpenFileDialogTest", 120, 80, nullptr);
        ASSERT_TRUE(mWindow);
        ASSERT_EQ(mWindow->CreateRenderer(LRenderer::kGdi), ZV_S_OK);
        mRoot = LRecordingRootWindow::GetLastMade();
        mRoot->SetFill(LColor(0, 0, 1, 1));
        ASSERT_EQ(mWindow->SetBounds({100, 100, 120, 80}), ZV_S_OK);
        (void)mWindow->Show(kShow);
        ASSERT_TRUE(RunLoopUntil([&] {
            return mWindow->IsActive() && mWindow->GetBackEnd().GetClientOrigin() == Platform::WindowPoint{100, 100};
        }));
        ASSERT_EQ(mkfifo((mFolder.Path().string() + "/gate").c_str(), 0600), 0);
    }
    // Lets the waiting picker go on; false while it has not opened its end of the gate yet.
    bool OpenGate() const
    {
        const int gate = open((mFolder.Path().string() + "/gate").c_str(), O_WRONLY | O_NONBLOCK);
        if (gate < 0) {
            return false;
        }
        const bool written = write(gate, "go\n", 3) == 3;
        close(gate);
        return written;
    }
    // Whether a press has reached the root window since the last call that answered true.
    bool WasClicked()
    {
        bool clicked = false;
        for (const std::string& call : mRoot->TakeCalls()) {
            clicked = clicked || call.rfind("press", 0) == 0;
        }
        return clicked;
    }

    TestWindowHost mHost;
    DesktopInput mInput;
    RCPtr<OSWindow> mWindow;
    RCPtr<LRecordingRootWindow> mRoot;
};

TEST_F(OpenFileDialogWindowGui, TheWindowKeepsPaintingAndIdlingAndTakesNoClicksWhileThePickerRuns)
{
    EnvironmentSetting gate("ZV_TEST_PICKER_GATE", (mFolder.Path().string() + "/gate").c_str());
    EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (mUpdate + "\n").c_str());
    const Platform::NativeWindow& native = *mWindow->GetWindowHandle();
    int idleCalls = 0;
    int paintsBefore = 0;
    bool marked = false;
    bool clicked = false;
    std::uint32_t markedPixel = 0;
    mHost.mOnIdle = [&](bool) {
        ++idleCalls;
        if (!marked) {
            paintsBefore = mRoot->GetPaintCount();
            mRoot->AddMark({10, 10, 20, 20}, LColor(1, 0, 0, 1));
            marked = true;
        } else if (!clicked && mRoot->GetPaintCount() > paintsBefore) {
            Testing::WaitForServer(native);
            markedPixel = Testing::ReadWindowPixels(native, 15, 15, 1, 1).at(0);
            mInput.MoveTo(100 + 60, 100 + 40);
            mInput.Click(1);
            // The click is queued on this connection once the server has answered after it.
            Testing::WaitForServer(native);
            clicked = true;
        } else if (clicked) {
            (void)OpenGate();
        }
        return false;
    };
    LOpenFileDialog dialog(mWindow.Get());
    const ZVRESULT result = dialog.Show(kFilter, L"syx", kTitle, false);
    mHost.mOnIdle = nullptr;
    EXPECT_EQ(result, ZV_S_OK);
    EXPECT_EQ(markedPixel, 0xFF0000u);
    EXPECT_GE(idleCalls, 3);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(WasClicked());
    // Afterwards the window takes clicks again.
    EXPECT_TRUE(mWindow->IsEnabled());
    mInput.Click(1);
    bool clickedAfterwards = false;
    EXPECT_TRUE(RunLoopUntil([&] {
        clickedAfterwards = clickedAfterwards || WasClicked();
        return clickedAfterwards;
    }));
}

TEST_F(OpenFileDialogWindowGui, QuittingTheApplicationOrTheOwnerWindowGoingWhileThePickerRunsEndsThePickerAndTheCall)
{
    EnvironmentSetting gate("ZV_TEST_PICKER_GATE", (mFolder.Path().string() + "/gate").c_str());
    EnvironmentSetting answer("ZV_TEST_PICKER_ANSWER", (mUpdate + "\n").c_str());
    for (const bool ownerGoes : {false, true}) {
        SCOPED_TRACE(ownerGoes ? "owner destroyed by another program" : "quit");
        (void)mFolder.Write("arguments", "");
        bool destroyed = false;
        int idleSinceOwnerWent = 0;
        mHost.mOnIdle = [&](bool) {
            // Once the picker is up and waiting.
            if (mFolder.Read("arguments").empty()) {
                return false;
            }
            if (!ownerGoes) {
                GetMessageLoop().PostQuit(0);
            } else if (!std::exchange(destroyed, true)) {
                mInput.DestroyWindow(mWindow->GetWindowHandle()->window);
            } else if (!mWindow->GetBackEnd().Exists() && ++idleSinceOwnerWent == 100) {
                // Nothing else would end the wait.
                (void)OpenGate();
            }
            return false;
        };
        LOpenFileDialog dialog(mWindow.Get());
        EXPECT_EQ(dialog.Show(kFilter, L"syx", kTitle, false), ZV_E_FAIL);
        mHost.mOnIdle = nullptr;
        GetMessageLoop().ClearQuit();
        EXPECT_TRUE(dialog.GetFilePath().IsEmpty());
        EXPECT_LT(idleSinceOwnerWent, 100);
        // The picker was ended: nobody holds the gate's other end any more.
        EXPECT_FALSE(OpenGate());
        EXPECT_TRUE(mWindow->IsEnabled());
    }
    EXPECT_FALSE(mWindow->GetBackEnd().Exists());
}

}  // namespace
}  // namespace ZV
