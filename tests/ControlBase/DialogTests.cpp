#include "ControlBase/Dialog.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/NotificationSpy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LNotificationSpy;
using Testing::SubControl;
using Lines = std::vector<std::string>;

std::int32_t gLiveDialogs = 0;

// Counts the dialogs alive and the times it closed.
class LCountedDialog : public LDialog {
public:
    LCountedDialog(const RCPtr<LControl>& parent, const WideString& name) : LDialog(parent, name) { ++gLiveDialogs; }
    ~LCountedDialog() override { --gLiveDialogs; }

    int mClosings = 0;

protected:
    void OnClosed() override { ++mClosings; }
};

const LCancelArgs& ClosingOf(const LNotification& notification)
{
    return dynamic_cast<const LCancelArgs&>(*notification.GetParameter());
}

// A dialog from a skin as the root of the harness's window, shown: the test holds one reference and has handed
// it the one it is shown with.
struct ShownDialog {
    explicit ShownDialog(ControlHarness& harness)
    {
        harness.Register<LCountedDialog>(L"Test.Dialog");
        harness.LoadSkin(SubControl("Test.Dialog", "dialog"));
        dialog = RCPtr<LCountedDialog>(dynamic_cast<LCountedDialog*>(harness.CreateRoot(L"dialog").Get()));
        first->Watch(dialog, {L"NID_DIALOG_CLOSING", L"NID_DIALOG_CLOSED"});
        second->Watch(dialog, {L"NID_DIALOG_CLOSING", L"NID_DIALOG_CLOSED"});
        held = dialog->GetRefCount();
        (void)dialog->AddRef();
    }

    RCPtr<LCountedDialog> dialog;
    std::int32_t held = 0;
    RCPtr<LNotificationSpy> first = LNotificationSpy::Create();
    RCPtr<LNotificationSpy> second = LNotificationSpy::Create();
};

TEST(Dialog, AReceiverThatCancelsKeepsTheDialogOpenAfterEveryReceiverHeardOfTheClosing)
{
    ControlHarness harness;
    ShownDialog shown(harness);
    // Receivers hear in the reverse order of subscription: the first to subscribe hears second, and cancels.
    shown.first->OnEach(L"NID_DIALOG_CLOSING", [](const LNotification& closing) { ClosingOf(closing).Cancel(); });

    shown.dialog->Close(7);
    EXPECT_EQ(shown.second->TakeLines(), (Lines{"dialog NID_DIALOG_CLOSING"}));
    EXPECT_EQ(shown.first->TakeLines(), (Lines{"dialog NID_DIALOG_CLOSING"}));
    EXPECT_FALSE(shown.dialog->IsClosed());
    EXPECT_EQ(shown.dialog->GetResult(), 7) << "kept from the attempt";
    EXPECT_EQ(harness.Window().GetModalEndRequests(), std::vector<std::int32_t>{});
    EXPECT_EQ(shown.dialog->GetRefCount(), shown.held + 1);

    RCPtr<LCancelArgs> closing;
    shown.dialog->SendClosing(closing);
    ASSERT_NE(closing, nullptr);
    EXPECT_TRUE(closing->IsCancelled());
    // The dialog stays shown until the test lets it go.
    (void)shown.dialog->Release();
}

TEST(Dialog, AClosedDialogEndsItsLoopOnceAndGivesItsShowReferenceBackOnceHoweverOftenItIsClosed)
{
    {
        ControlHarness harness;
        ShownDialog shown(harness);
        // A receiver of the closed dialog closes it again.
        shown.second->OnEach(L"NID_DIALOG_CLOSED", [&](const LNotification&) { shown.dialog->Close(4); });

        shown.dialog->Close(2);
        shown.dialog->Close(3);
        EXPECT_EQ(shown.second->TakeLines(), (Lines{"dialog NID_DIALOG_CLOSING", "dialog NID_DIALOG_CLOSED"}));
        EXPECT_EQ(harness.Window().GetModalEndRequests(), std::vector<std::int32_t>{2});
        EXPECT_EQ(shown.dialog->GetResult(), 2);
        EXPECT_EQ(shown.dialog->mClosings, 1);
        EXPECT_EQ(shown.dialog->GetRefCount(), shown.held);
        EXPECT_EQ(gLiveDialogs, 1);
    }
    EXPECT_EQ(gLiveDialogs, 0) << "given back once: neither kept nor freed twice";

    {
        ControlHarness harness;
        ShownDialog shown(harness);
        // A receiver closes the dialog while its closing is told: the close it started goes through once.
        shown.second->OnEach(L"NID_DIALOG_CLOSING", [&](const LNotification&) {
            shown.second->OnEach(L"NID_DIALOG_CLOSING", nullptr);
            shown.dialog->Close(5);
        });
        shown.dialog->Close(1);
        EXPECT_EQ(harness.Window().GetModalEndRequests(), std::vector<std::int32_t>{5});
        EXPECT_EQ(shown.first->TakeLines(), (Lines{"dialog NID_DIALOG_CLOSING", "dialog NID_DIALOG_CLOSED",
                                                   "dialog NID_DIALOG_CLOSING"}));
        EXPECT_EQ(shown.dialog->mClosings, 1);
        EXPECT_EQ(shown.dialog->GetRefCount(), shown.held);
    }
    EXPECT_EQ(gLiveDialogs, 0);

    // Without a window there is no loop to end; the rest of the close goes through.
    const RCPtr<LCountedDialog> loose(new LCountedDialog(nullptr, L"loose"));
    (void)loose->AddRef();
    loose->Close(0);
    EXPECT_TRUE(loose->IsClosed());
    EXPECT_EQ(loose->GetRefCount(), 1);
}

}  // namespace
}  // namespace ZV
