#include "Platform/VersionInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV::Platform {
namespace {

std::uint32_t SizeOf(const std::string& block)
{
    return static_cast<std::uint32_t>(block.size());
}

TEST(VersionBlock, TranslationsAndValuesAreFoundByTheirQueryPaths)
{
    const std::string block = "# comment=ignored\r\n"
                              "\\VarFileInfo\\Translation=040704b0  040904E4\r\n"
                              "\\StringFileInfo\\040704b0\\ProductName=Halvista \xC3\xA4=x\n"
                              "\\StringFileInfo\\040704b0\\Empty=";
    std::vector<VersionTranslation> translations;
    ASSERT_TRUE(QueryVersionTranslations(block.data(), SizeOf(block), translations));
    ASSERT_EQ(translations.size(), 2u);
    EXPECT_EQ(translations[0].languageId, 0x0407);
    EXPECT_EQ(translations[0].codePage, 0x04B0);
    EXPECT_EQ(translations[1].languageId, 0x0409);
    EXPECT_EQ(translations[1].codePage, 0x04E4);

    std::string value;
    ASSERT_TRUE(QueryVersionValue(block.data(), SizeOf(block), "\\StringFileInfo\\040704B0\\productname", value));
    EXPECT_EQ(value, "Halvista \xC3\xA4=x") << "paths match without regard to case; the value runs to the line's end";
    ASSERT_TRUE(QueryVersionValue(block.data(), SizeOf(block), "\\StringFileInfo\\040704b0\\Empty", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(QueryVersionValue(block.data(), SizeOf(block), "\\StringFileInfo\\040704b0\\Missing", value));
    EXPECT_FALSE(QueryVersionValue(block.data(), SizeOf(block), "# comment", value));
}

TEST(VersionBlock, EmptyTableIsFoundButAMissingOrMalformedOneIsNot)
{
    std::vector<VersionTranslation> translations;
    const std::string empty = "\\VarFileInfo\\Translation=\n";
    EXPECT_TRUE(QueryVersionTranslations(empty.data(), SizeOf(empty), translations));
    EXPECT_TRUE(translations.empty());

    const std::string missing = "\\StringFileInfo\\040904b0\\ProductName=x\n";
    EXPECT_FALSE(QueryVersionTranslations(missing.data(), SizeOf(missing), translations));
    for (const std::string malformed : {"\\VarFileInfo\\Translation=0409", "\\VarFileInfo\\Translation=040904bz"}) {
        EXPECT_FALSE(QueryVersionTranslations(malformed.data(), SizeOf(malformed), translations)) << malformed;
        EXPECT_TRUE(translations.empty());
    }
}

}  // namespace
}  // namespace ZV::Platform
