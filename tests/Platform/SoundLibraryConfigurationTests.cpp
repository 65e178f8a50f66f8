#include "Platform/AlsaRawMidi.h"

#include "DebuggerOutputCapture.h"
#include "TestFiles.h"
#include "support/AnotherUsersFiles.h"
#include "support/ScopedEnvironment.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

namespace ZV::Platform {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

// Long enough that only an open that hangs makes the wait fail.
constexpr std::chrono::seconds kHangGuard{60};
const std::string kSettings = "rawmidi_type.hw { lib \"" ZV_LOAD_MARKER_LIBRARY "\" }\n";

// Opens a port that is not there, with a configuration made now; false when the open did not come back, and then the
// named pipes are let go, so that the test ends.
bool OpenComesBack(const std::vector<std::string>& pipes = {})
{
    std::future<int> opening = std::async(std::launch::async, [] {
        std::unique_ptr<AlsaRawMidiStream> stream;
        return CreateSystemAlsaRawMidi()->Open("hw:99,0,0", false, stream);
    });
    if (opening.wait_for(kHangGuard) == std::future_status::ready) {
        EXPECT_LT(opening.get(), 0) << "no such card";
        return true;
    }
    for (const std::string& pipe : pipes) {
        const int writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            close(writer);
        }
    }
    opening.wait();
    return false;
}

// ALSA's settings can name a library that it loads to open a device, and it reads them from the home and the
// configuration folder. Root loads nothing another user put there: not in that user's home or configuration folder,
// nor in a sticky folder of root's that they write into (a folder of theirs there, or their file as the home's), nor
// what a relative configuration folder finds in theirs from the current folder. Root's own settings are read.
TEST(SoundLibraryConfiguration, RootLoadsNoLibraryThatSettingsInAHomeItRefusesNameAndKeepsItsOwn)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    const Testing::TemporaryFolder folder;
    const std::string theirHome = folder.Write("their-home/.asoundrc", kSettings);
    const std::string theirConfig = folder.Write("their-config/alsa/asoundrc", kSettings);
    const std::string sticky = folder / "sticky";
    const std::string inSticky = folder.Write("sticky/alsa/asoundrc", kSettings);
    const std::string theirFileInSticky = folder.Write("sticky/.asoundrc", kSettings);
    ASSERT_EQ(lchown(theirFileInSticky.c_str(), Testing::kAnotherUser, Testing::kAnotherUser), 0);
    const std::string theirs = folder / "theirs";
    folder.Write("theirs/relative/alsa/asoundrc", kSettings);
    folder.Write("home/.asoundrc", kSettings);
    fs::create_directories(folder / "empty");
    for (const std::string& path : {folder / "their-home", folder / "their-config", sticky + "/alsa", theirs}) {
        Testing::GiveToAnotherUser(path);
    }
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    const std::string marker = folder / "loaded";

    struct Start {
        std::string home;
        std::string config;
        std::string current;
        std::string refusal;
    };
    const std::string here = fs::current_path();
    // Root's own settings last: the library they load stays loaded.
    for (const Start& start :
         {Start{folder / "their-home", folder / "empty", here,
                theirHome + ", as " + (folder / "their-home") + " belongs to another user"},
          Start{folder / "empty", folder / "their-config", here,
                theirConfig + ", as " + (folder / "their-config") + " belongs to another user"},
          Start{folder / "empty", sticky, here, inSticky + ", as " + sticky + "/alsa belongs to another user"},
          Start{sticky, folder / "empty", here, theirFileInSticky + ", as it belongs to another user"},
          Start{folder / "empty", "relative", theirs, "relative/alsa/asoundrc, as it is not an absolute path"},
          Start{folder / "home", folder / "empty", here, ""}}) {
        SCOPED_TRACE(start.home + " " + start.config);
        Testing::ScopedEnvironment environment;
        environment.Set("HOME", start.home.c_str());
        environment.Set("XDG_CONFIG_HOME", start.config.c_str());
        environment.Set("ZV_TEST_LOAD_MARKER", marker.c_str());
        const Testing::DebuggerOutputCapture output;
        fs::current_path(start.current);
        EXPECT_TRUE(OpenComesBack());
        fs::current_path(here);
        if (start.refusal.empty()) {
            EXPECT_TRUE(fs::exists(marker)) << "root's own settings are read";
            EXPECT_THAT(output.Texts(), Not(Contains(HasSubstr("The sound library"))));
        } else {
            EXPECT_FALSE(fs::exists(marker));
            EXPECT_THAT(output.Texts(), Contains("The sound library reads no settings from " + start.refusal + ".\n"));
        }
    }
}

// ALSA reads the files that a hook lists (in a load hook's list, "~/" is the home of the environment) or a "refer"
// function names, and whatever those name in turn, when it opens a device: root's own settings that name a file of
// another user's, directly or by a name made of variables, are left out whole. Root's own file named so is read.
TEST(SoundLibraryConfiguration, RootLoadsNoLibraryThatAFileNamedByAHookOrFunctionOfItsSettingsNames)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    const Testing::TemporaryFolder folder;
    const std::string theirs = folder.Write("their-home/.asoundrc.local", kSettings);
    Testing::GiveToAnotherUser(folder / "their-home");
    const std::string rootsOwn = folder.Write("roots/settings", kSettings);
    fs::create_directories(folder / "empty");
    const std::string marker = folder / "loaded";
    const auto hookLoading = [](const std::string& file) {
        return "@hooks [ { func load files [ " + file + " ] } ]\n";
    };
    const std::string madeOfVariables =
        "{ @func concat strings [ { @func getenv vars [ ZV_TEST_FOLDER ] default /nowhere } \"/.asoundrc.local\" ] }";

    struct Start {
        std::string home;
        std::string text;
    };
    int starts = 0;
    // Root's own file last: the library it loads stays loaded.
    for (const Start& start :
         {Start{folder / "their-home", hookLoading("\"~/.asoundrc.local\"")},
          Start{folder / "empty", hookLoading(madeOfVariables)},
          Start{folder / "empty", "rawmidi.hw.named { @func refer file \"" + theirs +
                                      "\" name defaults.rawmidi.card }\n"},
          Start{folder / "empty", hookLoading("\"" + rootsOwn + "\"")}}) {
        SCOPED_TRACE(start.text);
        // A line is said once in a process: each start has a configuration folder of its own.
        const std::string config = "config" + std::to_string(++starts);
        const std::string settings = folder.Write(config + "/alsa/asoundrc", start.text);
        Testing::ScopedEnvironment environment;
        environment.Set("HOME", start.home.c_str());
        environment.Set("XDG_CONFIG_HOME", (folder / config).c_str());
        environment.Set("ZV_TEST_FOLDER", (folder / "their-home").c_str());
        environment.Set("ZV_TEST_LOAD_MARKER", marker.c_str());
        const Testing::DebuggerOutputCapture output;
        EXPECT_TRUE(OpenComesBack());
        if (start.text.find(rootsOwn) != std::string::npos) {
            EXPECT_TRUE(fs::exists(marker)) << "root's own file is read";
        } else {
            EXPECT_FALSE(fs::exists(marker));
            EXPECT_THAT(output.Texts(), Contains("The sound library reads no settings from " + settings + ", as " +
                                                 (folder / "their-home") + " belongs to another user.\n"));
        }
    }
}

// A named pipe, at a name the settings list or one they include, would hold ALSA until somebody writes into it.
TEST(SoundLibraryConfiguration, ANamedPipeInTheSettingsOrIncludedByThemIsLeftOutWithoutWaiting)
{
    const Testing::TemporaryFolder folder;
    const std::string pipe = folder / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string including = folder.Write("including/.asoundrc", "<" + pipe + ">\n" + kSettings);
    fs::create_directories(folder / "piped");
    const std::string piped = folder / "piped/.asoundrc";
    ASSERT_EQ(mkfifo(piped.c_str(), 0600), 0);
    const std::string marker = folder / "loaded";

    for (const auto& [home, refusal] : {std::pair{folder / "including", including + ", as " + pipe},
                                        std::pair{folder / "piped", piped + ", as it"}}) {
        SCOPED_TRACE(home);
        Testing::ScopedEnvironment environment;
        environment.Set("HOME", home.c_str());
        environment.Set("XDG_CONFIG_HOME", nullptr);
        environment.Set("ZV_TEST_LOAD_MARKER", marker.c_str());
        const Testing::DebuggerOutputCapture output;
        EXPECT_TRUE(OpenComesBack({pipe, piped}));
        EXPECT_FALSE(fs::exists(marker));
        EXPECT_THAT(output.Texts(), Contains("The sound library reads no settings from " + refusal +
                                             " is neither a file nor a folder.\n"));
    }
}

}  // namespace
}  // namespace ZV::Platform
