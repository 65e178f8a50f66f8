#include "Notification/NotificationCenterManager.h"
#include "System/CursorNames.h"
#include "Utilities/Storage/SharedStrings.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

TEST(StartUpGlobals, SharedStringsHoldTheirTextsAndTheEmptyOnesShareTheBufferOfEveryEmptyString)
{
    EXPECT_EQ(GetOneSpace(), WideString(L" "));
    EXPECT_EQ(GetLineSeparator(), WideString(L"\n"));
    EXPECT_EQ(GetApplicationCenterName(), WideString(L"application"));
    EXPECT_EQ(GetBase64Alphabet().size(), 64u);
    EXPECT_EQ(GetEmptyString().GetData(), WideString().GetData());
    EXPECT_EQ(GetEmptyNarrowString().GetData(), NarrowString().GetData());
}

TEST(StartUpGlobals, CursorNamesComeInTheCursorTablesOrderWithTheArrowFirstAndAgainLast)
{
    const WideString* names = GetCursorNames();
    EXPECT_EQ(names[0], WideString(L"UI_CURSOR_APP_STARTING"));
    EXPECT_EQ(names[1], WideString(L"UI_CURSOR_ARROW"));
    EXPECT_EQ(names[11], WideString(L"UI_CURSOR_HAND"));
    EXPECT_EQ(names[kCursorNameCount - 2], WideString(L"UI_CURSOR_MAG_MINUS"));
    EXPECT_EQ(names[kCursorNameCount - 1], WideString(L"UI_CURSOR_ARROW"));
}

}  // namespace
}  // namespace ZV
