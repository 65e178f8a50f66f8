#include "Application/Globals.h"

#include "Notification/NotificationCenter.h"
#include "Notification/NotificationCenterManager.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

TEST(StartupGlobals, SharedEmptyStringsAreTheOnesEveryNewStringHolds)
{
    EXPECT_EQ(gEmptyString.GetData(), WideString().GetData());
    EXPECT_EQ(gEmptyNarrowString.GetData(), NarrowString().GetData());
    EXPECT_TRUE(gOneSpace == L" ");
    EXPECT_TRUE(gLineSeparator == L"\n");
    EXPECT_EQ(gBase64Alphabet.size(), 64u);
}

TEST(StartupGlobals, CursorNamesExistBeforeMainInTheirOrder)
{
    EXPECT_TRUE(gCursorNames[0] == L"UI_CURSOR_APP_STARTING");
    EXPECT_TRUE(gCursorNames[11] == L"UI_CURSOR_HAND");
    EXPECT_TRUE(gCursorNames[kCursorNameCount - 1] == gCursorNames[1]) << "the arrow is named twice";
    for (const WideString& name : gCursorNames) {
        EXPECT_EQ(name.Find(WideString(L"UI_CURSOR_")), 0);
    }
}

TEST(StartupGlobals, ApplicationCentreCarriesTheSharedName)
{
    const RCPtr<LNotificationCenter> centre = LNotificationCenterManager::GetInstance()->GetNotificationCenter(gApplicationCenterName);
    ASSERT_TRUE(centre);
    EXPECT_EQ(centre.Get(), GetApplicationNotificationCenter().Get());
}

}  // namespace
}  // namespace ZV
