#include "App/Gui/ProgramOnDesktop.h"
#include "support/AnotherUsersFiles.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

namespace ZV::Testing {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;
using UserFiles = ProgramOnDesktop;
namespace fs = std::filesystem;

const std::string kSettingsFolder = "Corvan/Halvista Firmware Updater";

// A font configuration that names a cache folder and a folder with a font in it, which needs a cache.
void WriteFontConfiguration(const TemporaryFolder& folder, const std::string& file, const std::string& named)
{
    folder.Write(file, "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" + named + "/made-cache</cachedir><dir>" +
                           named + "/fonts</dir></fontconfig>\n");
    fs::create_directories(named + "/fonts");
    fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", named + "/fonts/Font.ttf");
}

TEST_F(UserFiles, TheUsersOwnLinksToTheirOwnFilesAreReadAndWrittenThroughAndStayLinks)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string settings = mFolder.Write("mine/settings.ini", "[Halvista Firmware Updater]\nMine=1\n");
    const std::string place = mFolder.Write("mine/place", "150 120 400 311\n");
    const std::string settingsLink = mFolder / ("data/" + kSettingsFolder + "/UserSettings.ini");
    const std::string placeLink = mFolder / ("data/" + kWindowClass + "/WindowPlacement");
    fs::create_directories(fs::path(settingsLink).parent_path());
    fs::create_directories(fs::path(placeLink).parent_path());
    fs::create_symlink(settings, settingsLink);
    fs::create_symlink("../../mine/place", placeLink);

    const std::unique_ptr<ProgramUnderTest> program = Start({});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    const DesktopWatcher::Geometry shown = mDesktop.GetGeometry(window);
    EXPECT_EQ(shown.x, 150);
    EXPECT_EQ(shown.y, 120);
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();

    EXPECT_TRUE(fs::is_symlink(settingsLink));
    EXPECT_TRUE(fs::is_symlink(placeLink));
    EXPECT_THAT(ContentOf(settings), AllOf(HasSubstr("Mine=1\n"), HasSubstr("CurrentSkinIndex=0\n")));
    EXPECT_EQ(ContentOf(place), "150 120 400 311\n");
    EXPECT_THAT(program->ReadStandardError(), Not(HasSubstr("another user")));
}

// As when root runs with a user's data folder (a sudo that keeps HOME): that user could point any name there at a
// file of root's at any moment, or read what root wrote. And a link of root's own into a folder of another user's
// leads where that user decides.
TEST_F(UserFiles, RootNeitherReadsNorWritesInAnotherUsersFolderOrThroughALinkIntoOneAndSaysSoOnce)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string rootsSettings = mFolder.Write("root/settings", "root's own settings\n");
    const std::string rootsPlace = mFolder.Write("root/place", "root's own place\n");

    // Another user's data folder, whose settings and place that user swaps for links to root's files while the
    // window is up.
    const std::string theirData = mFolder / "data";
    const std::string theirText = "[Halvista Firmware Updater]\nTheirs=1\n";
    const std::string settings = mFolder.Write("data/" + kSettingsFolder + "/UserSettings.ini", theirText);
    const std::string place = mFolder.Write("data/" + kWindowClass + "/WindowPlacement", "20 30 400 311\n");
    GiveToAnotherUser(theirData);
    std::unique_ptr<ProgramUnderTest> program = Start({});
    unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    for (const auto& [name, target] : {std::pair{settings, rootsSettings}, std::pair{place, rootsPlace}}) {
        fs::remove(name);
        fs::create_symlink(target, name);
        ASSERT_EQ(lchown(name.c_str(), kAnotherUser, kAnotherUser), 0);
    }
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    EXPECT_EQ(ContentOf(rootsSettings), "root's own settings\n");
    EXPECT_EQ(ContentOf(rootsPlace), "root's own place\n");
    EXPECT_TRUE(fs::is_symlink(settings));
    EXPECT_TRUE(fs::is_symlink(place));
    for (const std::string& folder : {theirData + "/" + kSettingsFolder, theirData + "/" + kWindowClass}) {
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "nothing made in it";
    }
    EXPECT_THAT(program->LinesStartingWith("The folder "),
                ElementsAre("The folder " + theirData + "/" + kSettingsFolder + " is not used, as " + theirData +
                            " belongs to another user; nothing is read from or written to it."));
    EXPECT_THAT(program->LinesStartingWith("The window's place"),
                ElementsAre("The window's place is neither read nor kept in " + place + ", as " + theirData +
                            " belongs to another user."));

    // Root's own data folder, its settings and place links of root's into a folder of another user's.
    const std::string theirs = mFolder / "theirs";
    const std::string theirSettings = mFolder.Write("theirs/settings.ini", theirText);
    const std::string theirPlace = mFolder.Write("theirs/place", "20 30 400 311\n");
    GiveToAnotherUser(theirs);
    const std::string rootsData = mFolder / "rootsData";
    const std::string settingsLink = rootsData + "/" + kSettingsFolder + "/UserSettings.ini";
    const std::string placeLink = rootsData + "/" + kWindowClass + "/WindowPlacement";
    fs::create_directories(fs::path(settingsLink).parent_path());
    fs::create_directories(fs::path(placeLink).parent_path());
    fs::create_symlink(theirSettings, settingsLink);
    fs::create_symlink(theirPlace, placeLink);
    program = Start({}, {{"XDG_DATA_HOME", rootsData}});
    window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    EXPECT_EQ(ContentOf(theirSettings), theirText);
    EXPECT_EQ(ContentOf(theirPlace), "20 30 400 311\n");
    EXPECT_THAT(program->LinesStartingWith("The settings file "),
                ElementsAre("The settings file " + settingsLink +
                            " lies in a folder or behind a link that another user controls; it is neither read nor "
                            "written."))
        << "one line, debug output and all";
    EXPECT_THAT(program->LinesStartingWith("The window's place"),
                ElementsAre("The window's place is neither read nor kept in " + placeLink + ", as " + theirs +
                            " belongs to another user."));
}

// Text conversions could cut the name at the byte that is not UTF-8: the settings would land in a folder above.
TEST_F(UserFiles, ADataFolderWhoseNameIsNotUtf8TextIsRefusedInOneLineAndNoSettingsLandElsewhere)
{
    const std::string cut = mFolder / "data";
    const std::string data = cut + "\xE4";
    const std::string settings = data + "/" + kSettingsFolder + "/UserSettings.ini";
    const std::string theirs = "[Halvista Firmware Updater]\nCurrentSkinIndex=1\n";
    fs::create_directories(fs::path(settings).parent_path());
    WriteContent(settings, theirs);

    const std::unique_ptr<ProgramUnderTest> program =
        Start({"-SILENT"}, {{"XDG_DATA_HOME", data}, {"DISPLAY", ""}});
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
    EXPECT_TRUE(fs::is_empty(cut)) << "nothing in the folder the name would be cut to";
    EXPECT_EQ(ContentOf(settings), theirs);
    EXPECT_THAT(program->LinesStartingWith("The folder "),
                ElementsAre("The folder " + cut + "\\xE4/" + kSettingsFolder +
                            " is not used, as its name is not UTF-8 text; nothing is read from or written to it."));
}

// The font library reads the configuration of the home it is started with, and makes the cache folders it names
// there: in another user's home, root's own. Where the program refuses the home, or the configuration folder, the
// library leaves it out; a home of root's own keeps its fonts.
TEST_F(UserFiles, RootStartsTheFontLibraryWithoutAHomeItRefusesAndMakesNothingThere)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    const auto writeFontConfiguration = [&](const std::string& file, const std::string& folder) {
        WriteFontConfiguration(mFolder, file, folder);
    };
    const std::string theirHome = mFolder / "their-home";
    writeFontConfiguration("their-home/.fonts.conf", theirHome);
    const std::string theirConfig = mFolder / "their-config";
    writeFontConfiguration("their-config/fontconfig/fonts.conf", theirConfig);
    GiveToAnotherUser(theirHome);
    GiveToAnotherUser(theirConfig);
    const std::string rootsHome = mFolder / "home";
    writeFontConfiguration("home/.fonts.conf", rootsHome);

    struct Folders {
        std::string home;
        std::string config;
        std::string refused;
    };
    for (const Folders& start : {Folders{theirHome, mFolder / "config", theirHome},
                                 Folders{rootsHome, theirConfig, theirConfig},
                                 Folders{rootsHome, mFolder / "config", ""}}) {
        SCOPED_TRACE(start.home + " " + start.config);
        const std::unique_ptr<ProgramUnderTest> program =
            Start({"-SILENT"}, {{"HOME", start.home},
                                {"XDG_CONFIG_HOME", start.config},
                                {"XDG_CACHE_HOME", mFolder / "cache"},
                                {"DISPLAY", ""}});
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
        if (start.refused.empty()) {
            EXPECT_TRUE(fs::is_directory(rootsHome + "/made-cache")) << "the user's own fonts are kept";
            EXPECT_THAT(program->LinesStartingWith("The font library"), ElementsAre());
        } else {
            EXPECT_FALSE(fs::exists(start.refused + "/made-cache"));
            EXPECT_THAT(program->LinesStartingWith("The font library"),
                        ElementsAre("The font library reads no fonts or settings from the home and keeps no cache "
                                    "there, as " +
                                    start.refused + " belongs to another user."));
        }
    }
}

// Where root runs with what another user may name or write: a sticky configuration folder of root's that they write
// into, their home and font configuration file (as "sudo -E" keeps them), relative configuration and data folders
// (which the libraries would take from wherever root stands, so that not even a font of root's own there counts),
// their folder among the shared data folders. The libraries read and make nothing there; root's own fonts are kept.
TEST_F(UserFiles, RootsLibrariesReadAndMakeNothingThatAnotherUserNamesOrPutsWhereTheyLook)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    const std::string sticky = mFolder / "sticky";
    const std::string inSticky = mFolder / "in-sticky";
    WriteFontConfiguration(mFolder, "sticky/fontconfig/fonts.conf", inSticky);
    mFolder.Write("sticky/alsa/asoundrc", "pcm.theirs { type hw card 0 }\n");
    for (const std::string& theirs : {sticky + "/fontconfig", sticky + "/alsa", inSticky}) {
        GiveToAnotherUser(theirs);
    }
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    const std::string theirHome = mFolder / "their-home";
    WriteFontConfiguration(mFolder, "their-home/fonts.conf", theirHome);
    GiveToAnotherUser(theirHome);
    const std::string font = ContentOf("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    const std::string current = mFolder / "current";
    mFolder.Write("current/relative/fonts/Font.ttf", font);
    const std::string theirShare = mFolder / "their-share";
    mFolder.Write("their-share/fonts/Font.ttf", font);
    GiveToAnotherUser(theirShare);
    const std::string rootsHome = mFolder / "home";
    WriteFontConfiguration(mFolder, "home/.fonts.conf", rootsHome);

    struct Road {
        std::map<std::string, std::string> environment;
        std::string current;
        std::string watched;
        std::vector<std::string> lines;
    };
    const std::string leftOut =
        "The font library reads no fonts or settings from the home and keeps no cache there, as ";
    for (const Road& road : {
             Road{{{"XDG_CONFIG_HOME", sticky}},
                   "",
                   inSticky + "/fonts/Font.ttf",
                   {leftOut + sticky + "/fontconfig belongs to another user.",
                    "The sound library reads no settings from " + sticky + "/alsa/asoundrc, as " + sticky +
                        "/alsa belongs to another user."}},
             Road{{{"HOME", theirHome}, {"FONTCONFIG_FILE", theirHome + "/fonts.conf"}},
                   "",
                   theirHome + "/fonts/Font.ttf",
                   {"The font library reads nothing that FONTCONFIG_FILE, FONTCONFIG_PATH or FONTCONFIG_SYSROOT names, "
                    "as " +
                        theirHome + " belongs to another user.",
                    leftOut + theirHome + " belongs to another user."}},
             Road{{{"XDG_CONFIG_HOME", "relative"}, {"XDG_DATA_HOME", "relative"}},
                   current,
                   current + "/relative/fonts/Font.ttf",
                   {"The font and sound libraries take XDG_CONFIG_HOME as unset, as relative is not an absolute path.",
                    "The font and sound libraries take XDG_DATA_HOME as unset, as relative is not an absolute path."}},
             Road{{{"HOME", rootsHome}, {"XDG_DATA_DIRS", theirShare + ":/usr/share"}},
                   "",
                   theirShare + "/fonts/Font.ttf",
                   {"XDG_DATA_DIRS is taken without " + theirShare + ", as " + theirShare +
                    " belongs to another user."}}}) {
        SCOPED_TRACE(road.watched);
        std::map<std::string, std::string> environment = road.environment;
        environment.insert({{"XDG_CACHE_HOME", mFolder / "cache"}, {"ZV_MIDI_DRIVER", "alsa"}, {"DISPLAY", ""}});
        // The font itself is watched: the program's look at its folder, as it judges the path, is no read of it.
        const OpenWatch watch(road.watched);
        // env starts the program in the folder given.
        const std::unique_ptr<ProgramUnderTest> program =
            road.current.empty()
                ? Start({"-SILENT"}, environment)
                : Start({"-C", road.current, ZV_TEST_PROGRAM, "-SILENT"}, environment, "/usr/bin/env");
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 3) << program->ReadStandardError();
        EXPECT_FALSE(watch.SawAnOpen()) << "the font library read the font";
        for (const std::string& line : road.lines) {
            EXPECT_THAT(program->ReadStandardError(), HasSubstr(line + "\n"));
        }
    }
    for (const std::string& theirs : {inSticky, theirHome}) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(theirs)) {
            struct stat status {};
            ASSERT_EQ(lstat(entry.path().c_str(), &status), 0);
            EXPECT_EQ(status.st_uid, kAnotherUser) << entry.path() << " was made by root";
        }
    }
    EXPECT_TRUE(fs::is_directory(rootsHome + "/made-cache")) << "root's own fonts are kept";
}

// A named pipe at a name that the libraries would read, here one that root's own settings include, would hold the
// program for good before its window shows, deaf to the requests to end.
TEST_F(UserFiles, ANamedPipeThatTheSettingsIncludeHoldsNeitherTheWindowNorTheEnd)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string pipe = mFolder / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string rootsHome = mFolder / "home";
    mFolder.Write("home/.fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig><include>" + pipe +
                                          "</include></fontconfig>\n");
    const std::string settings = mFolder.Write("home/.asoundrc", "<" + pipe + ">\n");

    const std::unique_ptr<ProgramUnderTest> program = Start({}, {{"ZV_MIDI_DRIVER", "alsa"}});
    ASSERT_NE(WaitForMainWindow(*program), 0u) << program->ReadStandardError();
    program->Signal(SIGTERM);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    EXPECT_THAT(program->LinesStartingWith("The font library"),
                ElementsAre("The font library reads no fonts or settings from the home and keeps no cache there, as " +
                            pipe + " is neither a file nor a folder."));
    EXPECT_THAT(program->LinesStartingWith("The sound library"),
                ElementsAre("The sound library reads no settings from " + settings + ", as " + pipe +
                            " is neither a file nor a folder."));
}

// The X libraries read a compose table, resources and cursor themes from the home by their names, and a named pipe
// there would hold the program for good before its window shows, deaf to the requests to end: as root with another
// user's home (as "sudo -E" keeps it), they read nothing there.
TEST_F(UserFiles, RootsXLibrariesReadNothingOfAnotherUsersHomeWhoseNamedPipesHoldNeitherTheWindowNorTheEnd)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string theirHome = mFolder / "their-home";
    fs::create_directories(theirHome + "/.icons/default/cursors");
    utsname system{};
    ASSERT_EQ(uname(&system), 0);
    for (const std::string& name : {std::string(".XCompose"), std::string(".Xdefaults"),
                                    ".Xdefaults-" + std::string(system.nodename),
                                    std::string(".icons/default/index.theme"),
                                    std::string(".icons/default/cursors/default")}) {
        ASSERT_EQ(mkfifo((theirHome + "/" + name).c_str(), 0600), 0) << name;
    }
    GiveToAnotherUser(theirHome);

    const std::unique_ptr<ProgramUnderTest> program = Start({}, {{"HOME", theirHome}});
    ASSERT_NE(WaitForMainWindow(*program), 0u) << program->ReadStandardError();
    program->Signal(SIGTERM);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    const std::string why = ", as " + theirHome + " belongs to another user";
    EXPECT_THAT(program->LinesStartingWith("The X libraries"),
                IsSupersetOf({"The X libraries read no compose table from " + theirHome + "/.XCompose" + why +
                                  "; the locale's own is used.",
                              "The X libraries read no cursor themes from " + theirHome + "/.icons" + why + ".",
                              "The X libraries read no resources from " + theirHome + "/.Xdefaults-" +
                                  system.nodename + why + "."}));
}

}  // namespace
}  // namespace ZV::Testing
