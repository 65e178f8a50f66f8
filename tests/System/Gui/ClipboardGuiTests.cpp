// Google Test first: the desktop's headers define None.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "System/Gui/LoopTurns.h"
#include "TestFiles.h"
#include "System/RecordingRootWindow.h"

#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "ObjectBase/Holder.h"
#include "Platform/DesktopWindows.h"
#include "Platform/NativeWindow.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "System/ClipBoard.h"
#include "System/MessageLoop.h"
#include "System/OSWindow.h"
#include "Utilities/Storage/WrapperStringable.h"
#include "support/WindowPixels.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ZV {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using Testing::LRecordingRootWindow;
using Testing::RunCommandWhileLoopTurns;
using Testing::RunLoopUntil;
using Testing::TemporaryFolder;
using Testing::TestWindowHost;

// "Grüße", a character beyond the first plane (the G clef) and the euro sign.
const wchar_t* const kWideText = L"Gr\x00FC\x00DF" L"e \xD834\xDD1E \x20AC";
const char* const kUtf8Text = "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9D\x84\x9E \xE2\x82\xAC";
const char* const kLatin1Text = "Gr\xFC\xDF" "e ? ?";

// About three mebibytes of the same: far more than one request can carry.
WideString MakeLargeWideText()
{
    WideString text;
    for (int line = 0; line < 200000; ++line) {
        text += WideString(kWideText);
        text.AppendChar(L'\n');
    }
    return text;
}

std::string ToUtf8(const WideString& text)
{
    const auto utf8 = text.ToUTF8();
    return std::string(utf8.GetData(), utf8.GetLength());
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Another client of the desktop that takes the clipboard and never answers for it.
class SilentOwner {
public:
    SilentOwner() : mDisplay(XOpenDisplay(nullptr))
    {
        if (mDisplay != nullptr) {
            mWindow = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, 1, 1, 0, 0, 0);
            mClipboard = XInternAtom(mDisplay, "CLIPBOARD", False);
        }
    }
    SilentOwner(const SilentOwner&) = delete;
    SilentOwner& operator=(const SilentOwner&) = delete;
    ~SilentOwner()
    {
        if (mDisplay != nullptr) {
            XCloseDisplay(mDisplay);
        }
    }

    void TakeClipboard()
    {
        XSetSelectionOwner(mDisplay, mClipboard, mWindow, CurrentTime);
        XSync(mDisplay, False);
    }
    Window GetClipboardOwner() { return XGetSelectionOwner(mDisplay, mClipboard); }

private:
    Display* mDisplay;
    Window mWindow = None;
    Atom mClipboard = None;
};

// A text editor that writes down the commands it performs; it cannot paste.
class LTestEditor : public ITextEditTarget {
public:
    bool CanPerformEdit(std::int32_t command) const override { return command != kEditPaste; }
    ZVRESULT PerformEdit(std::int32_t command) override
    {
        commands.push_back(command);
        return ZV_S_OK;
    }
    std::vector<std::int32_t> commands;
};

class ClipboardGui : public ::testing::Test {
protected:
    ClipboardGui()
    {
        LGDIRenderer::Register();
        OSWindow::SetRootWindowFactory(&LRecordingRootWindow::Make);
    }
    ~ClipboardGui() override
    {
        mClipboard = nullptr;
        if (mWindow) {
            mWindow->Destroy();
        }
        GetMessageLoop().ReleaseDeferred();
        LRecordingRootWindow::GetLastMade() = nullptr;
    }
    void SetUp() override
    {
        // The window puts the desktop's events into the loop, and with them the requests of other programs.
        mWindow = OSWindow::CreateOnDesktop(LRenderer::kGdi, "ZVClipboardTest", 80, 60, nullptr);
        ASSERT_TRUE(mWindow) << "no X display";
        ASSERT_EQ(mWindow->CreateRenderer(LRenderer::kGdi), ZV_S_OK);
        mRoot = LRecordingRootWindow::GetLastMade();
        mService = Platform::GetDesktopClipboard();
        ASSERT_NE(mService, nullptr);
        mClipboard = LClipboard::Create();
    }

    // Another program copies the text; true once it owns the clipboard.
    bool CopyWithOtherProgram(const std::string& utf8Text)
    {
        const Window before = mOtherClient.GetClipboardOwner();
        const std::string file = mFolder.Write("copied", utf8Text);
        // It stays behind to answer one paste; its output must not hold the test's open.
        if (RunCommandWhileLoopTurns("xclip -selection clipboard -loops 1 -i < " + file + " > /dev/null 2>&1") != 0) {
            return false;
        }
        return RunLoopUntil([&] {
            const Window owner = mOtherClient.GetClipboardOwner();
            return owner != None && owner != before && !mService->IsOwner();
        });
    }
    // What another program pastes when it asks for the target; its exit status.
    int PasteWithOtherProgram(const std::string& target, std::string& pasted)
    {
        const int status = RunCommandWhileLoopTurns("timeout 20 xclip -selection clipboard -o -t " + target + " > " +
                                                    mFolder.Path().string() + "/pasted");
        pasted = mFolder.Read("pasted");
        return status;
    }
    std::string ReadContentAsUtf8()
    {
        const RCPtr<LRefCountedObject> content = mClipboard->GetContent();
        const auto* text = dynamic_cast<const WideString*>(content.Get());
        return text != nullptr ? ToUtf8(*text) : "(no text)";
    }

    TestWindowHost mHost;
    TemporaryFolder mFolder;
    SilentOwner mOtherClient;
    RCPtr<OSWindow> mWindow;
    RCPtr<LRecordingRootWindow> mRoot;
    Platform::IClipboardService* mService = nullptr;
    RCPtr<LClipboard> mClipboard;
};

TEST_F(ClipboardGui, TextCopiedByAnotherProgramReadsBackWithItsAccentsAndASurrogatePairAlsoWhenLarge)
{
    ASSERT_TRUE(CopyWithOtherProgram(kUtf8Text));
    const RCPtr<LRefCountedObject> content = mClipboard->GetContent();
    const auto* text = dynamic_cast<const WideString*>(content.Get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text, WideString(kWideText));
    EXPECT_EQ(text->GetData()[6], 0xD834);
    EXPECT_EQ(text->GetData()[7], 0xDD1E);
    // Sent in pieces by the other program.
    const WideString large = MakeLargeWideText();
    ASSERT_TRUE(CopyWithOtherProgram(ToUtf8(large)));
    EXPECT_TRUE(ReadContentAsUtf8() == ToUtf8(large));
}

TEST_F(ClipboardGui, TextWeCopyIsPastedByAnotherProgramAsUtf8AndAsLatin1AlsoWhenLarge)
{
    ASSERT_EQ(mClipboard->SetContent(LStringWrapper::Create(kWideText)), ZV_S_OK);
    EXPECT_TRUE(mService->IsOwner());
    std::string pasted;
    EXPECT_EQ(PasteWithOtherProgram("UTF8_STRING", pasted), 0);
    EXPECT_EQ(pasted, kUtf8Text);
    EXPECT_EQ(PasteWithOtherProgram("text/plain\\;charset=utf-8", pasted), 0);
    EXPECT_EQ(pasted, kUtf8Text);
    EXPECT_EQ(PasteWithOtherProgram("STRING", pasted), 0);
    EXPECT_EQ(pasted, kLatin1Text);
    EXPECT_EQ(PasteWithOtherProgram("TARGETS", pasted), 0);
    EXPECT_THAT(SplitLines(pasted), UnorderedElementsAre("TARGETS", "TIMESTAMP", "UTF8_STRING",
                                                         "text/plain;charset=utf-8", "STRING", "TEXT"));
    const WideString large = MakeLargeWideText();
    ASSERT_EQ(mClipboard->SetContent(LStringWrapper::Create(large)), ZV_S_OK);
    EXPECT_EQ(PasteWithOtherProgram("UTF8_STRING", pasted), 0);
    EXPECT_TRUE(pasted == ToUtf8(large)) << pasted.size() << " bytes pasted";
}

TEST_F(ClipboardGui, AFrameworkObjectComesBackWithoutARequestToTheDesktopAndOtherProgramsSeeNoText)
{
    const RCPtr<LHolder<int>> object = LHolder<int>::Create(7);
    ASSERT_EQ(mClipboard->SetContent(RCPtr<LRefCountedObject>(object.Get())), ZV_S_OK);
    const Platform::NativeWindow& native = *mWindow->GetWindowHandle();
    const unsigned long serial = Testing::NextRequestSerial(native);
    const RCPtr<LRefCountedObject> content = mClipboard->GetContent();
    EXPECT_EQ(Testing::NextRequestSerial(native), serial);
    EXPECT_EQ(content.Get(), static_cast<LRefCountedObject*>(object.Get()));
    std::string pasted;
    EXPECT_EQ(PasteWithOtherProgram("TARGETS", pasted), 0);
    EXPECT_THAT(SplitLines(pasted), UnorderedElementsAre("TARGETS", "TIMESTAMP", "_ZV_FRAMEWORK_OBJECT"));
    EXPECT_NE(PasteWithOtherProgram("UTF8_STRING", pasted), 0);
    EXPECT_NE(PasteWithOtherProgram("STRING", pasted), 0);
}

TEST_F(ClipboardGui, AnotherClientTakingTheClipboardDropsOurContentAndASilentOwnerCannotHoldAReadUp)
{
    ASSERT_EQ(mClipboard->SetContent(LStringWrapper::Create(kWideText)), ZV_S_OK);
    mOtherClient.TakeClipboard();
    EXPECT_TRUE(RunLoopUntil([&] { return !mService->IsOwner(); }));
    // The owner never answers; the read gives up and, the content having been dropped, finds none.
    EXPECT_TRUE(mClipboard->GetContent().IsNull());
    ASSERT_EQ(mClipboard->SetContent(LStringWrapper::Create(L"again")), ZV_S_OK);
    EXPECT_TRUE(mService->IsOwner());
    EXPECT_EQ(ReadContentAsUtf8(), "again");
}

TEST_F(ClipboardGui, EditRequestsReachTheFocusedTextEditorOfTheActiveWindowAndWithoutOneAreNotPerformed)
{
    mClipboard->Initialize();
    const RCPtr<LTestEditor> editor(new LTestEditor());
    mRoot->SetFocusedTextEditor(RCPtr<ITextEditTarget>(editor.Get()));
    mHost.mActiveRoot = mRoot.Get();
    ASSERT_EQ(
        GetApplicationNotificationCenter()->PostNotification(LNotification::Create(L"NID_EDIT_COPY_REQ", nullptr)),
        ZV_S_OK);
    EXPECT_TRUE(RunLoopUntil([&] { return !editor->commands.empty(); }));
    EXPECT_THAT(editor->commands, ElementsAre(kEditCopy));
    EXPECT_TRUE(mClipboard->CanPerformEdit(kEditCut));
    EXPECT_EQ(mClipboard->PerformEdit(kEditCut), ZV_S_OK);
    // The editor cannot paste: it is not asked to.
    EXPECT_FALSE(mClipboard->CanPerformEdit(kEditPaste));
    EXPECT_EQ(mClipboard->PerformEdit(kEditPaste), ZV_S_FALSE);
    EXPECT_THAT(editor->commands, ElementsAre(kEditCopy, kEditCut));
    mRoot->SetFocusedTextEditor(nullptr);
    EXPECT_FALSE(mClipboard->CanPerformEdit(kEditCopy));
    EXPECT_EQ(mClipboard->PerformEdit(kEditCopy), ZV_S_FALSE);
    mRoot->SetFocusedTextEditor(RCPtr<ITextEditTarget>(editor.Get()));
    mHost.mActiveRoot = nullptr;
    EXPECT_EQ(mClipboard->PerformEdit(kEditDelete), ZV_S_FALSE);
    EXPECT_THAT(editor->commands, ElementsAre(kEditCopy, kEditCut));
}

}  // namespace
}  // namespace ZV
