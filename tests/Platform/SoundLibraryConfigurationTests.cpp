#include "Platform/AlsaRawMidi.h"

#include "DebuggerOutputCapture.h"
#include "TestFiles.h"
#include "support/ScopedEnvironment.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV::Platform {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// ALSA's settings can name a library that it loads to open a device, and it reads them from the home. Root with
// another user's home, or configuration folder, loads none of theirs; root's own home keeps its settings.
TEST(SoundLibraryConfiguration, RootLoadsNoLibraryThatSettingsInAHomeItRefusesNameAndKeepsItsOwn)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    const Testing::TemporaryFolder folder;
    const std::string settings = "rawmidi_type.hw { lib \"" ZV_LOAD_MARKER_LIBRARY "\" }\n";
    folder.Write("their-home/.asoundrc", settings);
    folder.Write("their-config/alsa/asoundrc", settings);
    folder.Write("home/.asoundrc", settings);
    for (const char* theirs : {"their-home", "their-config"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder / theirs)) {
            ASSERT_EQ(lchown(entry.path().c_str(), 54321, 54321), 0);
        }
        ASSERT_EQ(lchown((folder / theirs).c_str(), 54321, 54321), 0);
    }
    const std::string marker = folder / "loaded";

    struct Start {
        std::string home;
        std::string config;
        std::string refused;
    };
    // Root's own home last: ALSA keeps the configuration it read of it for the rest of the process.
    for (const Start& start : {Start{folder / "their-home", folder / "config", folder / "their-home"},
                               Start{folder / "home", folder / "their-config", folder / "their-config"},
                               Start{folder / "home", folder / "config", ""}}) {
        SCOPED_TRACE(start.home + " " + start.config);
        Testing::ScopedEnvironment environment;
        environment.Set("HOME", start.home.c_str());
        environment.Set("XDG_CONFIG_HOME", start.config.c_str());
        environment.Set("ZV_TEST_LOAD_MARKER", marker.c_str());
        const Testing::DebuggerOutputCapture output;
        std::unique_ptr<AlsaRawMidiStream> stream;
        EXPECT_LT(CreateSystemAlsaRawMidi()->Open("hw:99,0,0", false, stream), 0) << "no such card";
        const std::string line = "The sound library reads no settings from the home, as " + start.refused +
                                 " belongs to another user.\n";
        if (start.refused.empty()) {
            EXPECT_TRUE(std::filesystem::exists(marker)) << "root's own settings are read";
            EXPECT_THAT(output.Texts(), Not(Contains(HasSubstr("The sound library"))));
        } else {
            EXPECT_FALSE(std::filesystem::exists(marker));
            EXPECT_THAT(output.Texts(), Contains(line));
        }
    }
}

}  // namespace
}  // namespace ZV::Platform
