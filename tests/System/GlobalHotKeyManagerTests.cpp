#include "System/GlobalHotKeyManager.h"

#include "ControlBase/StringTableTestSupport.h"
#include "Notification/NotificationTestSupport.h"
#include "System/ShortcutText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

std::string HotKeyText(const WideString& text)
{
    return text.ToUTF8().GetData();
}

class HotKeyTest : public ::testing::Test {
protected:
    std::vector<std::string> Posted() const
    {
        std::vector<std::string> ids;
        for (const Delivery& delivery : log) {
            EXPECT_EQ(delivery.sender, nullptr);
            EXPECT_EQ(delivery.value, -1) << "no parameter";
            ids.push_back(HotKeyText(delivery.id));
        }
        return ids;
    }

    std::vector<Delivery> log;
    RCPtr<LGlobalHotKeyManager> manager = LGlobalHotKeyManager::Create(LRecordingClient::Create("receiver", log));
};

TEST_F(HotKeyTest, HotKeysOfTheDemoTablePostTheirIdsOnKeyDownAndNothingOnKeyUp)
{
    const RCPtr<LControlFactory> factory = Testing::FactoryWithDemoStrings(0x0409);
    ASSERT_EQ(manager->LoadHotKeys(factory->GetApplicationStringTable(), L"GHK"), 0);
    constexpr std::uint32_t kCtrl = kModifierCtrl | kModifierLeftCtrl;
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x4F, true, 0, kCtrl)), 0);
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x4F, false, 1, kCtrl)), 1) << "a key-up";
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x70, true, 1, 0)), 0) << "F1 repeated";
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x73, true, 0, kModifierAlt)), 0);
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x01, kCtrl)), 0) << "the character Ctrl+A";
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x71, true, 0, 0)), 1) << "F2 stands under an empty id";
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x6B, true, 0, kCtrl)), 1) << "a local hot key";
    EXPECT_EQ(Posted(), (std::vector<std::string>{"NID_FILE_OPEN_REQ", "NID_HELP_REQ", "NID_APP_EXIT_REQ",
                                                   "NID_SELECT_ALL_REQ"}));

    EXPECT_FALSE(manager->HasHotKey(L"NID_REOPEN_REQ")) << "its key came first under NID_FILE_OPEN_REQ";
    ASSERT_EQ(manager->GetHotKeys(L"NID_FILE_OPEN_REQ").GetCount(), 1u);
    EXPECT_EQ(HotKeyText(GetShortcutText(manager->GetHotKeys(L"NID_FILE_OPEN_REQ").GetData()[0])), "Ctrl+O");
    EXPECT_EQ(manager->LoadHotKeys(factory->GetApplicationStringTable(), L"LHK"), 0);
    EXPECT_EQ(HotKeyText(manager->FindNotification(KeyCode(0x6B, true, 0, kCtrl))), "NID_ZOOM_IN_REQ");
    EXPECT_EQ(manager->LoadHotKeys(nullptr, L"GHK"), ZV_E_INVALIDARG);
}

TEST_F(HotKeyTest, AKeyPostsOneIdAnIdMayHaveSeveralKeysAndIdsAreCutAtTheirLastPoint)
{
    const KeyCode ctrlO = ParseShortcutText(L"Ctrl+VKEY_O");
    EXPECT_EQ(manager->RegisterHotKey(ctrlO, L"NID_OPEN"), 0);
    EXPECT_EQ(manager->RegisterHotKey(ctrlO, L"NID_OTHER"), ZV_E_INVALIDARG) << "a duplicate under another id";
    EXPECT_EQ(manager->RegisterHotKey(ctrlO, L"NID_OPEN"), ZV_E_INVALIDARG) << "and under the same";
    EXPECT_EQ(manager->RegisterHotKey(ParseShortcutText(L"VKEY_F3"), L""), ZV_E_INVALIDARG);
    EXPECT_EQ(manager->RegisterHotKey(ParseShortcutText(L"VKEY_F3"), L"NID_OPEN"), 0);
    EXPECT_EQ(manager->GetHotKeys(L"NID_OPEN").GetCount(), 2u);
    EXPECT_EQ(manager->RegisterHotKey(ParseShortcutText(L"o"), L"NID_LETTER"), 0);
    EXPECT_EQ(manager->RegisterHotKey(ParseShortcutText(L"Shift+o"), L"NID_SHIFTED"), ZV_E_INVALIDARG);

    const RCPtr<LStringTable> table(new LStringTable());
    EXPECT_TRUE(Succeeded(table->SetString(L"GHK.MENU.FILE.NID_DOTTED", L"VKEY_F6")));
    EXPECT_TRUE(Succeeded(table->SetString(L"GHKX.NID_WRONG_PREFIX", L"VKEY_F7")));
    EXPECT_TRUE(Succeeded(table->SetString(L"GHK.NID_EMPTY_TEXT", L"")));
    EXPECT_EQ(manager->LoadHotKeys(table, L"GHK"), 0);
    EXPECT_EQ(HotKeyText(manager->FindNotification(ParseShortcutText(L"VKEY_F6"))), "NID_DOTTED");
    EXPECT_EQ(HotKeyText(manager->FindNotification(ParseShortcutText(L"VKEY_F7"))), "");
    EXPECT_EQ(manager->ProcessKey(KeyCode(0, false, 1, 0)), 1) << "the empty text names a key-down of no key";
    EXPECT_TRUE(log.empty());

    EXPECT_TRUE(Succeeded(table->SetString(L"GHK.NID_BLANK_TEXT", L" ")));
    EXPECT_EQ(manager->LoadHotKeys(table, L"GHK"), 0);
    EXPECT_EQ(manager->ProcessKey(KeyCode(static_cast<std::uint16_t>(L' '), 0)), 1) << "a blank text is no Space";
    EXPECT_EQ(manager->ProcessKey(KeyCode(0x20, true, 0, 0)), 1) << "nor the Space key";
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(LGlobalHotKeyManager::Create(nullptr), nullptr);
}

}  // namespace
}  // namespace ZV
