#include "Application/RootWindowTestWindow.h"

#include "ControlBase/CreateControl.h"
#include "ControlBase/Dialog.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "System/ClipBoard.h"
#include "System/TextEditTarget.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ZV {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Testing::SubControl;

// Top-level controls: "main" with an editor and a plain child, "other" alone, and a dialog.
std::string TwoRootsSkin()
{
    return SubControl("Test.Input", "main", "",
                      SubControl("Test.Input", "editor", R"(XPositionAbs="10" YPositionAbs="10" XSizeAbs="50")", "",
                                 {{"TEXT_EDITOR", "7"}}) +
                          SubControl("Test.Input", "plain", R"(XPositionAbs="70" YPositionAbs="10" XSizeAbs="50")")) +
           SubControl("Test.Input", "other", "") + SubControl("Test.Dialog", "dialog", "");
}

class RootWindowTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        mTest.mHarness.Register<LDialog>(L"Test.Dialog");
        mTest.Open(TwoRootsSkin(), 200, 100,
                   Testing::StringTable("Test|main", {{"GHK.NID_SAVE", "Ctrl+VKEY_S"}}));
    }

    Testing::RootWindowTestWindow mTest;
};

TEST_F(RootWindowTree, TheRootControlFillsTheClientAreaWithTheFocusAndBringsItsHotKeysIntoTheWindowsQueue)
{
    const RCPtr<LControl> root = mTest.mRoot->GetRootControl();
    EXPECT_EQ(root->GetPosition(), PointT<double>(0, 0));
    EXPECT_EQ(root->GetSize(), PointT<double>(200, 100));
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), mTest.Find(L"editor"));
    // Installed again, it stays as it is.
    EXPECT_EQ(mTest.mRoot->SetRootControl(root), ZV_S_FALSE);
    EXPECT_TRUE(root->IsVisible(false));
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), mTest.Find(L"editor"));
    const RCPtr<Testing::LNotificationSpy> spy = Testing::LNotificationSpy::Create();
    (void)spy->RegisterForNotification(mTest.mRoot->GetNotificationDistributor(), L"NID_SAVE", 0);
    EXPECT_EQ(mTest.mRoot->GetHotKeyManager()->ProcessKey(KeyCode(std::uint8_t{'S'}, true, 0, kModifierCtrl)),
              ZV_S_OK);
    EXPECT_THAT(spy->TakeLines(), IsEmpty());
    (void)mTest.mHost.ProcessIdle(true);
    EXPECT_THAT(spy->TakeLines(), ElementsAre("NID_SAVE"));
    // Another root control brings its own hot keys, and the old one leaves the window.
    ASSERT_EQ(mTest.mRoot->CreateRootControl(L"other"), ZV_S_OK);
    EXPECT_FALSE(mTest.mRoot->GetHotKeyManager()->HasHotKey(L"NID_SAVE"));
    EXPECT_FALSE(root->GetRootWindowRef());
    EXPECT_FALSE(mTest.Find(L"editor"));
    EXPECT_EQ(mTest.mRoot->CreateRootControl(L"missing"), ZV_E_FAIL);
}

TEST_F(RootWindowTree, TheClipboardsEditsReachTheFocusedTextEditorOfTheActiveWindowWithItsResult)
{
    const RCPtr<LClipboard> clipboard = LClipboard::Create(nullptr);
    EXPECT_TRUE(clipboard->CanPerformEdit(kEditCopy));
    EXPECT_EQ(clipboard->PerformEdit(kEditCopy), 7);
    EXPECT_THAT(Testing::ControlEvents(), ElementsAre("editor Edit 2"));
    ASSERT_TRUE(Succeeded(mTest.Find(L"plain")->SetFocus(true)));
    EXPECT_FALSE(clipboard->CanPerformEdit(kEditCopy));
    EXPECT_EQ(clipboard->PerformEdit(kEditCopy), ZV_S_FALSE);
}

TEST_F(RootWindowTree, AModalEndAskedForWaitsForTheNextIdlePassAndTheWindowThenCloses)
{
    EXPECT_EQ(mTest.mRoot->EndModal(3), ZV_S_OK);
    EXPECT_EQ(mTest.mDesktop->mDestroyCount, 0);
    (void)mTest.mHost.ProcessIdle(true);
    EXPECT_EQ(mTest.mDesktop->mDestroyCount, 1);
    EXPECT_EQ(mTest.mHost.GetRootWindowCount(), 0u);
    // Without its OS window there is no loop to end.
    EXPECT_FALSE(mTest.mRoot->GetWindowServices());
    EXPECT_EQ(mTest.mRoot->EndModal(3), ZV_E_FAIL);
}

TEST_F(RootWindowTree, ClosingTheWindowLetsGoOfTheRootWindowAndItsTree)
{
    ASSERT_GT(Testing::LRecordingControl::GetLiveCount(), 0);
    mTest.mWindow->Destroy();
    GetMessageLoop().ReleaseDeferred();
    EXPECT_EQ(Testing::LRecordingControl::GetLiveCount(), 0);
    EXPECT_EQ(mTest.mRoot->GetInternalRefCount(), 0);
    EXPECT_EQ(mTest.mRoot->GetRefCount(), 1);
}

// A second window, not the application's main one, asked by the desktop to close.
TEST_F(RootWindowTree, AWindowThatIsNotTheMainOneClosesOnRequestAndADialogIsAskedToCloseWithTwo)
{
    auto backEnd = std::make_unique<Testing::FakeWindowBackEnd>();
    Testing::FakeWindowBackEnd& desktop = *backEnd;
    const RCPtr<OSWindow> window = OSWindow::Create(std::move(backEnd), nullptr);
    ASSERT_EQ(window->AttachRenderer(mTest.mRenderer), ZV_S_OK);
    const RCPtr<LRootWindow> root(window->GetRootWindow());
    ASSERT_EQ(root->CreateRootControl(L"dialog"), ZV_S_OK);
    const RCPtr<LDialog> dialog(root->GetRootControl());
    // What showing the dialog hands it.
    (void)dialog->AddRef();
    desktop.GetSink().OnCloseRequested();
    EXPECT_TRUE(dialog->IsClosed());
    EXPECT_EQ(dialog->GetResult(), 2);
    (void)mTest.mHost.ProcessIdle(true);
    EXPECT_EQ(desktop.mDestroyCount, 1);
    // The main window only asks the application to end.
    mTest.Desktop().OnCloseRequested();
    (void)mTest.mHost.ProcessIdle(true);
    EXPECT_EQ(mTest.mDesktop->mDestroyCount, 0);
    ASSERT_EQ(mTest.mRoot->CreateRootControl(L"other"), ZV_S_OK);
    mTest.mRoot->RequestClose();
    (void)mTest.mHost.ProcessIdle(true);
    EXPECT_EQ(mTest.mDesktop->mDestroyCount, 1);
}

TEST_F(RootWindowTree, ADialogWhoseOwnWindowAnotherProgramDestroysClosesAsByItsCloseBoxAndFreesItsOwner)
{
    auto backEnd = std::make_unique<Testing::FakeWindowBackEnd>();
    Testing::FakeWindowBackEnd& desktop = *backEnd;
    const RCPtr<OSWindow> window = OSWindow::Create(std::move(backEnd), mTest.mWindow.Get());
    ASSERT_EQ(window->AttachRenderer(mTest.mRenderer), ZV_S_OK);
    const RCPtr<LRootWindow> root(window->GetRootWindow());
    ASSERT_EQ(root->CreateRootControl(L"dialog"), ZV_S_OK);
    const RCPtr<LDialog> dialog(root->GetRootControl());
    const RCPtr<Testing::LNotificationSpy> spy = Testing::LNotificationSpy::Create();
    spy->Watch(dialog, {L"NID_DIALOG_CLOSED"});
    (void)dialog->AddRef();
    Testing::ScriptedEventSource events;
    GetMessageLoop().AddSource(&events);
    events.Queue([&] {
        EXPECT_FALSE(mTest.mWindow->IsEnabled());
        desktop.mExists = false;
        desktop.GetSink().OnLost();
    });
    EXPECT_EQ(window->RunModal(), LDialog::kCloseBoxResult);
    GetMessageLoop().RemoveSource(&events);
    EXPECT_TRUE(dialog->IsClosed());
    EXPECT_THAT(spy->TakeLines(), ElementsAre("dialog NID_DIALOG_CLOSED"));
    (void)spy->UnregisterAllNotifications();
    EXPECT_EQ(dialog->GetRefCount(), 1) << "the reference it was shown with is given back";
    Testing::ControlEvents().clear();
    mTest.Click(MouseButton::kLeft, 80, 15);
    EXPECT_THAT(Testing::ControlEvents(), ElementsAre("plain Enter", "plain LeftDown 0", "plain LeftUp 0"));
}

TEST(RootWindowWithoutWindow, AProposedSizeOfNothingBecomesOnePixelAndNothingIsPaintedOrRouted)
{
    const RCPtr<LRootWindow> root = LRootWindow::Create(new Testing::LRecordingRenderer(), nullptr);
    zlong width = 0;
    zlong height = 0;
    EXPECT_EQ(root->ConstrainClientSize(width, height), 1);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
    EXPECT_EQ(root->GetScreenBounds(), RectT<zlong>(0, 0, 1024, 768));
    EXPECT_EQ(root->SetCapture(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(root->SetCursor(5), 0u);
    EXPECT_EQ(root->RedrawAll(), ZV_E_FAIL);
    root->RouteMouseButton(IRootWindowTarget::kPress, 1, 0, {10, 10});
    RectList region;
    root->CollectDirtyRegion(region);
    root->Paint(region);
    ASSERT_NE(region.GetHead(), nullptr);
    EXPECT_EQ(static_cast<RectEdges>(*region.GetHead()), (RectEdges{0, 0, 1024, 768}));
}

}  // namespace
}  // namespace ZV
