#include "System/KeyCode.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

TEST(KeyCode, EventsCarryKeyOrCharacterModifiersAndSidesOfModifiersThatAreDown)
{
    const KeyCode down(0x74, true, 1, kModifierCtrl | kModifierLeftCtrl | kModifierShift | kModifierExtra);
    EXPECT_EQ(down.code, 0x00740000u | KeyCode::kCtrl | KeyCode::kShift | KeyCode::kExtra | KeyCode::kKeyDown);
    EXPECT_EQ(down.sidedModifiers, 0x04u);
    EXPECT_EQ(down.previousState, 1);
    EXPECT_EQ(KeyCode(0x74, false, 1, kModifierAlt | kModifierCmd).code, 0x00740000u | KeyCode::kAlt | KeyCode::kCmd);
    const KeyCode character(0x20AC, kModifierAlt | kModifierRightAlt);
    EXPECT_EQ(character.code, 0x20ACu | KeyCode::kAlt);
    EXPECT_EQ(character.sidedModifiers, 0x20u);

    EXPECT_EQ(GetSidedModifiers(0xDB6), 0u) << "sides without their modifiers";
    EXPECT_EQ(GetSidedModifiers(0xFFF), 0xFFu);
    EXPECT_EQ(GetSidedModifiers(kModifierShift | kModifierRightShift | kModifierCmd | kModifierLeftCmd), 0x42u);
}

TEST(KeyCode, CharactersMatchWithAnyCtrlAndShiftKeysOnlyWhenEqual)
{
    const KeyCode letter(L'S', 0);
    EXPECT_TRUE(letter.Matches(KeyCode(L'S', kModifierShift | kModifierCtrl)));
    EXPECT_FALSE(letter.Matches(KeyCode(L'S', kModifierAlt)));
    EXPECT_FALSE(letter.Matches(KeyCode(L's', 0)));
    KeyCode noKey = letter;
    noKey.code |= KeyCode::kNoKey;
    EXPECT_FALSE(letter.Matches(noKey)) << "a value that names no key matches only itself";

    const KeyCode f5(0x74, true, 0, kModifierCtrl);
    EXPECT_TRUE(f5.Matches(KeyCode(0x74, true, 1, kModifierCtrl | kModifierLeftCtrl))) << "sides take no part";
    EXPECT_FALSE(f5.Matches(KeyCode(0x74, false, 1, kModifierCtrl))) << "a key-up";
    EXPECT_FALSE(f5.Matches(KeyCode(0x74, true, 0, kModifierCtrl | kModifierShift)));
}

}  // namespace
}  // namespace ZV
