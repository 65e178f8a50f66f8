#include "Platform/X11KeyTranslation.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <gtest/gtest.h>

namespace ZV::Platform {
namespace {

TEST(X11KeyTranslation, LettersAndDigitsComeFromTheUnshiftedSymbolOrTheShiftedDigit)
{
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_o, XK_O, false), 0x4F);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_A, XK_A, false), 0x41);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_7, XK_ampersand, false), 0x37);
    // The top row of a French keyboard types punctuation unshifted and digits shifted.
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_ampersand, XK_1, false), 0x31);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_eacute, XK_2, false), 0x32);
    // A letter of another script has no virtual key.
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_Cyrillic_a, XK_Cyrillic_A, false), 0);
}

TEST(X11KeyTranslation, TheNumericPadGivesDigitsWithNumLockAndNavigationWithout)
{
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_KP_Home, XK_KP_7, true), 0x67);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_KP_Home, XK_KP_7, false), 0x24);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_KP_Delete, XK_KP_Decimal, true), 0x6E);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_KP_Delete, XK_KP_Decimal, false), 0x2E);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_KP_Enter, XK_KP_Enter, false), 0x0D);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_KP_Add, XK_KP_Add, false), 0x6B);
}

TEST(X11KeyTranslation, PunctuationTabsFunctionAndMediaKeysHaveTheirOriginalNumbers)
{
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_semicolon, XK_colon, false), 0xBA);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_comma, XK_less, false), 0xBC);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_bracketleft, XK_braceleft, false), 0xDB);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_less, XK_greater, false), 0xE2);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_Tab, XK_ISO_Left_Tab, false), 0x09);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_ISO_Left_Tab, XK_ISO_Left_Tab, false), 0x09);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_F1, XK_F1, false), 0x70);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_F24, XK_F24, false), 0x87);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_Print, XK_Sys_Req, false), 0x2C);
    EXPECT_EQ(VirtualKeyFromKeysyms(XF86XK_AudioMute, 0, false), 0xAD);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_ISO_Level3_Shift, 0, false), 0);
}

TEST(X11KeyTranslation, ModifiersReportTheirGenericKeyAndAreTrackedBySide)
{
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_Shift_R, XK_Shift_R, false), 0x10);
    EXPECT_EQ(SidedVirtualKey(XK_Shift_R, 0x10), 0xA1);
    EXPECT_EQ(SidedVirtualKey(XK_Control_L, 0x11), 0xA2);
    EXPECT_EQ(SidedVirtualKey(XK_Alt_R, 0x12), 0xA5);
    EXPECT_EQ(SidedVirtualKey(XK_Meta_L, 0x12), 0xA4);
    EXPECT_EQ(VirtualKeyFromKeysyms(XK_Super_R, XK_Super_R, false), 0x5C);
    EXPECT_EQ(SidedVirtualKey(XK_a, 0x41), 0x41);
}

}  // namespace
}  // namespace ZV::Platform
