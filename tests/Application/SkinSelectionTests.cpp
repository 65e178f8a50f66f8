#include "Application/ApplicationTest.h"

#include <filesystem>
#include <string>

namespace ZV::Testing {
namespace {

// The user's settings file is read and written through the settings library.
class SkinSelection : public ApplicationTest {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                                     "libIniFileManager.so")) {
            GTEST_SKIP() << "the settings library is not beside the test program";
        }
        std::filesystem::create_directories(std::filesystem::path(UserSettingsPath()).parent_path());
    }
};

TEST_F(SkinSelection, ARememberedIndexOutsideTheSkinsSelectsTheNearestAndThatIsWhatIsWrittenBack)
{
    for (const char* remembered : {"9", "-4", "-2147483648"}) {
        WriteContent(UserSettingsPath(), std::string("[Halvista Firmware Updater]\nCurrentSkinIndex=") + remembered +
                                             "\n");
        const RCPtr<TestApplication> application = MakeApplication();
        ASSERT_EQ(application->GetFactory()->GetSkinCount(), 1u);
        EXPECT_EQ(application->RunApplicationStartup(), ZV_S_OK) << remembered;
        EXPECT_EQ(application->GetFactory()->GetCurrentSkinIndex(), 0) << remembered;
        EXPECT_EQ(application->GetCurrentSkinIndex(), 0) << remembered;
        EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
        EXPECT_NE(ContentOf(UserSettingsPath()).find("CurrentSkinIndex=0"), std::string::npos) << remembered;
    }
}

TEST_F(SkinSelection, WithoutSkinsNothingIsSelectedOrWritten)
{
    WriteContent(UserSettingsPath(), "[Halvista Firmware Updater]\nCurrentSkinIndex=3\n");
    const RCPtr<LControlFactory> factory(new LControlFactory(L"Halvista Firmware Updater"));
    const RCPtr<TestApplication> application(new TestApplication(factory, nullptr, L""));
    ASSERT_EQ(factory->GetSkinCount(), 0u);
    application->SetSkin(application->GetCurrentSkinIndex());
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
    EXPECT_NE(ContentOf(UserSettingsPath()).find("CurrentSkinIndex=3"), std::string::npos);
}

}  // namespace
}  // namespace ZV::Testing
