#include "Platform/UserFolders.h"

#include "support/ScopedEnvironment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace ZV::Platform {
namespace {

TEST(UserFolders, XdgVariablesThatNameAbsolutePathsWinElseTheFoldersUnderHome)
{
    Testing::ScopedEnvironment environment;
    environment.Set("HOME", "/home/tester");
    environment.Set("XDG_DATA_HOME", "/data/here");
    environment.Set("XDG_CONFIG_HOME", "/config/here");
    EXPECT_EQ(GetUserDataFolder(), "/data/here");
    EXPECT_EQ(GetUserConfigFolder(), "/config/here");

    environment.Set("XDG_DATA_HOME", "relative");
    environment.Set("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(GetUserDataFolder(), "/home/tester/.local/share");
    EXPECT_EQ(GetUserConfigFolder(), "/home/tester/.config");

    environment.Set("HOME", nullptr);
    environment.Set("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(GetUserDataFolder(), "");
    EXPECT_EQ(GetUserConfigFolder(), "");
    EXPECT_EQ(GetDocumentsFolder(), "");
}

TEST(UserFolders, DocumentsFolderComesFromTheUsersFolderListElseDocumentsUnderHome)
{
    char folder[] = "/tmp/zv-user-dirs-XXXXXX";
    const std::string home = mkdtemp(folder);
    Testing::ScopedEnvironment environment;
    environment.Set("HOME", home.c_str());
    environment.Set("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(GetDocumentsFolder(), home + "/Documents");

    ASSERT_EQ(std::system(("mkdir " + home + "/.config").c_str()), 0);
    const std::string list = home + "/.config/user-dirs.dirs";
    std::ofstream(list) << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                        << "XDG_DOCUMENTS_DIR=\"$HOME/Papers and Letters\"\n";
    EXPECT_EQ(GetDocumentsFolder(), home + "/Papers and Letters");
    std::ofstream(list) << "XDG_DOCUMENTS_DIR=\"/srv/shared documents\"\n";
    EXPECT_EQ(GetDocumentsFolder(), "/srv/shared documents");
    // Unquoted or relative values are not the documents folder.
    std::ofstream(list) << "XDG_DOCUMENTS_DIR=$HOME/Unquoted\nXDG_DOCUMENTS_DIR=\"relative\"\n";
    EXPECT_EQ(GetDocumentsFolder(), home + "/Documents");
    // A list that others may write, of another user's, or in a folder of another user's would let that user name
    // the folder the program makes.
    std::ofstream(list) << "XDG_DOCUMENTS_DIR=\"/srv/shared documents\"\n";
    ASSERT_EQ(chmod(list.c_str(), 0666), 0);
    EXPECT_EQ(GetDocumentsFolder(), home + "/Documents");
    ASSERT_EQ(chmod(list.c_str(), 0644), 0);
    if (getuid() == 0) {
        ASSERT_EQ(chmod((home + "/.config").c_str(), 01777), 0);
        ASSERT_EQ(chown(list.c_str(), 54321, 54321), 0);
        EXPECT_EQ(GetDocumentsFolder(), home + "/Documents");
        ASSERT_EQ(chown((home + "/.config").c_str(), 54321, 54321), 0);
        EXPECT_EQ(GetDocumentsFolder(), home + "/Documents");
    }
    EXPECT_EQ(std::system(("rm -r " + home).c_str()), 0);
}

}  // namespace
}  // namespace ZV::Platform
