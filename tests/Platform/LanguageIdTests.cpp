#include "Platform/LanguageId.h"

#include "LocaleEnvironment.h"

#include <gtest/gtest.h>


namespace ZV::Platform {
namespace {

using Testing::LocaleEnvironment;

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

}  // namespace
}  // namespace ZV::Platform
