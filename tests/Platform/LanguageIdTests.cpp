#include "Platform/LanguageId.h"

#include "LocaleEnvironment.h"

#include <gtest/gtest.h>

#include <optional>

namespace ZV::Platform {
namespace {

using Testing::LocaleEnvironment;

TEST(LanguageId, LocaleNamesMapToTheOriginalPlatformsIds)
{
    EXPECT_EQ(LanguageIdFromLocaleName("de_DE.UTF-8"), 0x0407);
    EXPECT_EQ(LanguageIdFromLocaleName("fr_FR.UTF-8"), 0x040C);
    EXPECT_EQ(LanguageIdFromLocaleName("en_US.UTF-8"), 0x0409);
    EXPECT_EQ(LanguageIdFromLocaleName("en_GB.UTF-8"), 0x0809);
    EXPECT_EQ(LanguageIdFromLocaleName("de_AT@euro"), 0x0C07);
    EXPECT_EQ(LanguageIdFromLocaleName("ja"), 0x0411);
    EXPECT_EQ(LanguageIdFromLocaleName("pt_BR"), 0x0416);
    EXPECT_EQ(LanguageIdFromLocaleName("PT_pt.utf8"), 0x0816) << "case does not matter";
    EXPECT_EQ(LanguageIdFromLocaleName("C"), 0x0409);
    EXPECT_EQ(LanguageIdFromLocaleName("C.UTF-8"), 0x0409);
    EXPECT_EQ(LanguageIdFromLocaleName("POSIX"), 0x0409);
    EXPECT_EQ(LanguageIdFromLocaleName(""), 0x0409);
    EXPECT_EQ(LanguageIdFromLocaleName("xx_YY"), 0x0409) << "an unknown language reads as English";
}

TEST(LanguageId, UserLanguageComesFromLcAllThenLcMessagesThenLang)
{
    LocaleEnvironment environment;
    LocaleEnvironment::Set("LANG", "de_DE.UTF-8");
    EXPECT_EQ(GetUserDefaultLanguageId(), 0x0407);
    LocaleEnvironment::Set("LC_MESSAGES", "fr_FR.UTF-8");
    EXPECT_EQ(GetUserDefaultLanguageId(), 0x040C);
    LocaleEnvironment::Set("LC_ALL", "");
    EXPECT_EQ(GetUserDefaultLanguageId(), 0x040C) << "an empty variable counts as unset";
    LocaleEnvironment::Set("LC_ALL", "ja_JP.UTF-8");
    EXPECT_EQ(GetUserDefaultLanguageId(), 0x0411);
    LocaleEnvironment::Set("LC_ALL", nullptr);
    LocaleEnvironment::Set("LC_MESSAGES", nullptr);
    LocaleEnvironment::Set("LANG", nullptr);
    EXPECT_EQ(GetUserDefaultLanguageId(), 0x0409);
}

TEST(LanguageId, OverriddenIdsWinUntilTheOverrideIsLifted)
{
    LocaleEnvironment environment;
    LocaleEnvironment::Set("LC_ALL", "de_DE.UTF-8");
    OverrideLanguageIds(0x0411, 0x0413);
    EXPECT_EQ(GetUserDefaultLanguageId(), 0x0411);
    EXPECT_EQ(GetSystemDefaultLanguageId(), 0x0413);
    OverrideLanguageIds(std::nullopt, 0x0413);
    EXPECT_EQ(GetUserDefaultLanguageId(), 0x0407) << "the user's id is read from the environment again";
    EXPECT_EQ(GetSystemDefaultLanguageId(), 0x0413);
    OverrideLanguageIds(std::nullopt, std::nullopt);
}

}  // namespace
}  // namespace ZV::Platform
