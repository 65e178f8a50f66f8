#include "Application/ExceptionMessage.h"
#include "Application/Version.h"

#include "LocaleEnvironment.h"
#include "Platform/EmbeddedResources.h"
#include "Platform/LanguageId.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace ZV {
namespace {

using Testing::TextMatchesThrow;

constexpr const char* kStartupFailure =
    "The application encountered problems during startup and will now close.  (Error code = ";

std::string VersionUtf8(const WideString& text)
{
    return text.ToUTF8().GetData();
}

std::string TwoLanguageBlock()
{
    const Platform::EmbeddedResource* resource =
        Platform::FindEmbeddedResource("TWO_LANGUAGE_VERSION_INFO", "VERSION");
    return resource != nullptr ? std::string(reinterpret_cast<const char*>(resource->data), resource->size) : "";
}

// Each test chooses the user's locale and the blocks it reads; the environment, the language ids and the program's
// own block come back afterwards.
class VersionTest : public ::testing::Test {
protected:
    ~VersionTest() override
    {
        Platform::OverrideLanguageIds(std::nullopt, std::nullopt);
        Platform::OverrideProgramVersionInfo(std::nullopt);
        SetExceptionMessageLookup(nullptr);
    }

    static std::string ConstructionFailure(Platform::ModuleHandle module = Platform::kProgramModule)
    {
        return Testing::ThrownText<std::runtime_error>([module] { Version version(module); });
    }

private:
    Testing::LocaleEnvironment mLocaleEnvironment;
};

TEST_F(VersionTest, GermanUserReadsTheGermanStringsAndAFrenchOneFallsBackToEnglishNotToTheFirstEntry)
{
    Platform::OverrideProgramVersionInfo(TwoLanguageBlock());
    Platform::OverrideLanguageIds(std::nullopt, 0x0409);
    Testing::LocaleEnvironment::Set("LANG", "de_DE.UTF-8");
    const Version german(Platform::kProgramModule);
    EXPECT_EQ(VersionUtf8(german.GetProductName()), "Halvista Firmware-Aktualisierung");
    EXPECT_EQ(VersionUtf8(german.GetCompanyName()), "Corvan");

    Platform::OverrideLanguageIds(std::nullopt, 0x040C);
    Testing::LocaleEnvironment::Set("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(VersionUtf8(Version(Platform::kProgramModule).GetProductName()), "Halvista Firmware Updater");
}

TEST_F(VersionTest, TranslationChoiceComparesPrimaryLanguagesInRuleOrder)
{
    Platform::OverrideProgramVersionInfo(TwoLanguageBlock());
    Platform::OverrideLanguageIds(0x0809, 0x0407);
    EXPECT_EQ(VersionUtf8(Version(Platform::kProgramModule).GetProductName()), "Halvista Firmware Updater")
        << "a British user matches American English before the machine's German";

    Platform::OverrideLanguageIds(0x0411, 0x0C07);
    EXPECT_EQ(VersionUtf8(Version(Platform::kProgramModule).GetProductName()), "Halvista Firmware-Aktualisierung")
        << "with no Japanese entry the machine's language (Austrian German) decides";

    Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=041304b0 040704b0\n"
                                         "\\StringFileInfo\\041304b0\\ProductName=Dutch\n");
    Platform::OverrideLanguageIds(0x040C, 0x040C);
    EXPECT_EQ(VersionUtf8(Version(Platform::kProgramModule).GetProductName()), "Dutch")
        << "without French or English the first entry is read";
}

TEST_F(VersionTest, EmptyOrMissingTranslationTableThrowsException900)
{
    Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=\n"
                                         "\\StringFileInfo\\040904b0\\ProductName=x\n");
    EXPECT_TRUE(TextMatchesThrow(ConstructionFailure(),
                                 std::string("Runtime Error : ") + kStartupFailure + "900) : ZV::Version::Version"));
    Platform::OverrideProgramVersionInfo("\\StringFileInfo\\040904b0\\ProductName=x\n");
    EXPECT_TRUE(TextMatchesThrow(ConstructionFailure(),
                                 std::string("Runtime Error : ") + kStartupFailure + "900) : ZV::Version::Version"));
}

TEST_F(VersionTest, MissingVersionInfoOrModuleThrowsItsNumber)
{
    Platform::OverrideProgramVersionInfo("");
    EXPECT_TRUE(TextMatchesThrow(ConstructionFailure(),
                                 std::string("Runtime Error : ") + kStartupFailure + "902) : ZV::Version::Version"));
    const int unknownModule = 0;
    EXPECT_TRUE(TextMatchesThrow(ConstructionFailure(&unknownModule),
                                 std::string("Runtime Error : ") + kStartupFailure + "903) : ZV::Version::Version"));
}

TEST_F(VersionTest, ExceptionTextComesFromTheInstalledLookup)
{
    EXPECT_EQ(VersionUtf8(GetExceptionMessage(901)), std::string(kStartupFailure) + "901)");
    SetExceptionMessageLookup([](int number) { return WideString::Format(L"Fehler %d", number); });
    EXPECT_EQ(VersionUtf8(GetExceptionMessage(901)), "Fehler 901");
    Platform::OverrideProgramVersionInfo("");
    EXPECT_TRUE(TextMatchesThrow(ConstructionFailure(), "Runtime Error : Fehler 902 : ZV::Version::Version"));
    SetExceptionMessageLookup(nullptr);
    EXPECT_EQ(VersionUtf8(GetExceptionMessage(-1)), std::string(kStartupFailure) + "-1)");
}

}  // namespace
}  // namespace ZV
