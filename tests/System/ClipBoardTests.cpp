#include <gtest/gtest.h>

#include "ObjectBase/Holder.h"
#include "Platform/ClipboardService.h"
#include "System/ClipBoard.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <functional>
#include <string>

namespace ZV {
namespace {

// The desktop's clipboard as the test sets it up: whether taking it succeeds, what another owner answers, and a
// hook that runs while this process takes it.
class FakeClipboardService : public Platform::IClipboardService {
public:
    bool OfferText(std::string utf8Text, std::string latin1Text) override
    {
        offeredUtf8 = std::move(utf8Text);
        offeredLatin1 = std::move(latin1Text);
        return Take();
    }
    bool OfferPrivateObject() override { return Take(); }
    bool IsOwner() const override { return owner; }
    ReadResult ReadText(std::string& text, bool& latin1) override
    {
        text = otherText;
        latin1 = otherTextIsLatin1;
        return otherAnswer;
    }
    void SetOwnershipLostHandler(std::function<void()> handler) override { lost = std::move(handler); }

    bool takeSucceeds = true;
    std::function<void()> whileTaking;
    bool owner = false;
    std::string offeredUtf8;
    std::string offeredLatin1;
    std::string otherText;
    bool otherTextIsLatin1 = false;
    ReadResult otherAnswer = ReadResult::kNoAnswer;
    std::function<void()> lost;

private:
    bool Take()
    {
        if (whileTaking) {
            whileTaking();
        }
        owner = takeSucceeds;
        return takeSucceeds;
    }
};

const WideString* AsText(const RCPtr<LRefCountedObject>& content)
{
    return dynamic_cast<const WideString*>(content.Get());
}

TEST(Clipboard, AFailureToTakeTheDesktopsClipboardKeepsTheObjectAndTheNextCopyWorks)
{
    FakeClipboardService service;
    const RCPtr<LClipboard> clipboard = LClipboard::Create(&service);
    service.takeSucceeds = false;
    const RCPtr<LRefCountedObject> first(LStringWrapper::Create(L"first").Get());
    EXPECT_EQ(clipboard->SetContent(first), ZV_E_FAIL);
    EXPECT_EQ(clipboard->GetContent(), first);
    service.takeSucceeds = true;
    const RCPtr<LRefCountedObject> second(LHolder<int>::Create(2).Get());
    EXPECT_EQ(clipboard->SetContent(second), ZV_S_OK);
    EXPECT_EQ(clipboard->GetContent(), second);
    // Without a desktop the object stays in the process.
    const RCPtr<LClipboard> alone = LClipboard::Create(nullptr);
    EXPECT_EQ(alone->SetContent(first), ZV_E_FAIL);
    EXPECT_EQ(alone->GetContent(), first);
}

TEST(Clipboard, ALossReportedWhileTakingTheClipboardIsRefusedAndALaterLossDropsTheContent)
{
    FakeClipboardService service;
    const RCPtr<LClipboard> clipboard = LClipboard::Create(&service);
    service.whileTaking = [&] { service.lost(); };
    const RCPtr<LRefCountedObject> text(LStringWrapper::Create(L"kept").Get());
    EXPECT_EQ(clipboard->SetContent(text), ZV_S_OK);
    EXPECT_EQ(clipboard->GetContent(), text);
    service.owner = false;
    service.lost();
    service.otherAnswer = Platform::IClipboardService::ReadResult::kNoAnswer;
    EXPECT_TRUE(clipboard->GetContent().IsNull());
}

TEST(Clipboard, TextIsOfferedAsUtf8AndLatin1AndTextOfOthersEndsAtItsFirstNul)
{
    FakeClipboardService service;
    const RCPtr<LClipboard> clipboard = LClipboard::Create(&service);
    const RCPtr<LRefCountedObject> text(LStringWrapper::Create(L"\x00E9t\x00E9 \xD83D\xDE00 \x20AC").Get());
    EXPECT_EQ(clipboard->SetContent(text), ZV_S_OK);
    EXPECT_EQ(service.offeredUtf8, "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC");
    EXPECT_EQ(service.offeredLatin1, "\xE9t\xE9 ? ?");
    service.owner = false;
    service.otherAnswer = Platform::IClipboardService::ReadResult::kText;
    service.otherText = std::string("ab\0cd", 5);
    ASSERT_NE(AsText(clipboard->GetContent()), nullptr);
    EXPECT_EQ(*AsText(clipboard->GetContent()), L"ab");
    service.otherText = "\xE9t\xE9";
    service.otherTextIsLatin1 = true;
    EXPECT_EQ(*AsText(clipboard->GetContent()), L"\x00E9t\x00E9");
    // An owner that does not answer leaves the content; one without text empties it.
    service.otherAnswer = Platform::IClipboardService::ReadResult::kNoAnswer;
    EXPECT_EQ(*AsText(clipboard->GetContent()), L"\x00E9t\x00E9");
    service.otherAnswer = Platform::IClipboardService::ReadResult::kNoText;
    EXPECT_TRUE(clipboard->GetContent().IsNull());
}

}  // namespace
}  // namespace ZV
