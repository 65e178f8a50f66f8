#include "Platform/X11Display.h"
#include "Platform/XLibraryFiles.h"

#include "DebuggerOutputCapture.h"
#include "TestFiles.h"
#include "support/AnotherUsersFiles.h"
#include "support/ScopedEnvironment.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ZV::Platform {
namespace {

using ::testing::IsSupersetOf;

// Whether opening the input method had the compose tables of the folder watched read.
bool InputMethodReadsIn(Display* display, const std::string& folder)
{
    const Testing::OpenWatch watch(folder);
    if (const XIM method = XOpenIM(display, nullptr, nullptr, nullptr)) {
        XCloseIM(method);
    }
    return watch.SawAnOpen();
}

// The X libraries read the home's compose table, resources and cursor themes, and what those include or the
// libraries' variables name, by their names: the user's own are read, what another user could change is not.
TEST(XLibraryFilesGui, TheUsersOwnComposeTableResourcesAndCursorsAreReadAndNothingAnotherUserCouldChange)
{
    if (getuid() != 0) {
        GTEST_SKIP() << "another user is needed, and only root can act as one";
    }
    const Testing::TemporaryFolder folder;
    const std::string home = folder / "home";
    const std::string theirs = folder / "theirs";
    const std::string cursor = Testing::ContentOf("/usr/share/icons/Adwaita/cursors/left_ptr");
    folder.Write("home/.Xdefaults", "ZvTest.own: yes\n#include \"more\"\n");
    folder.Write("home/more", "ZvTest.included: yes\n");
    folder.Write("home/.XCompose", "include \"%L\"\n");
    const std::string including = folder.Write("home/including", "include \"" + theirs + "/Compose\"\n");
    folder.Write("home/.icons/own/cursors/left_ptr", cursor);
    folder.Write("theirs/resources", "ZvTest.theirs: yes\n");
    folder.Write("theirs/Compose", "<a> <b> : \"c\"\n");
    folder.Write("theirs/icons/their-theme/cursors/left_ptr", cursor);
    Testing::GiveToAnotherUser(theirs);
    Testing::ScopedEnvironment environment;
    environment.Set("HOME", home.c_str());
    environment.Set("XENVIRONMENT", (theirs + "/resources").c_str());
    environment.Set("XCURSOR_PATH", (theirs + "/icons:~/.icons").c_str());
    for (const char* variable : {"XCOMPOSEFILE", "XCURSOR_THEME", "XLOCALEDIR"}) {
        environment.Set(variable, nullptr);
    }
    const Testing::DebuggerOutputCapture output;
    KeepXLibrariesToJudgedFiles();

    const std::unique_ptr<DisplayConnection> connection = DisplayConnection::Open();
    ASSERT_NE(connection, nullptr);
    Display* display = connection->GetDisplay();
    ASSERT_EQ(XResourceManagerString(display), nullptr) << "the home's resources are read only without the display's";
    EXPECT_STREQ(XGetDefault(display, "ZvTest", "own"), "yes");
    EXPECT_STREQ(XGetDefault(display, "ZvTest", "included"), "yes");
    EXPECT_EQ(XGetDefault(display, "ZvTest", "theirs"), nullptr);
    const std::unique_ptr<XcursorImage, decltype(&XcursorImageDestroy)> own(
        XcursorLibraryLoadImage("left_ptr", "own", 24), &XcursorImageDestroy);
    EXPECT_NE(own, nullptr);
    const std::unique_ptr<XcursorImage, decltype(&XcursorImageDestroy)> their(
        XcursorLibraryLoadImage("left_ptr", "their-theme", 24), &XcursorImageDestroy);
    EXPECT_EQ(their, nullptr);
    EXPECT_TRUE(InputMethodReadsIn(display, home)) << "the home's compose table";

    environment.Set("XCOMPOSEFILE", including.c_str());
    KeepXLibrariesToJudgedFiles();
    EXPECT_FALSE(InputMethodReadsIn(display, theirs));
    const std::string why = ", as " + theirs + " belongs to another user";
    EXPECT_THAT(output.Texts(),
                IsSupersetOf({"The X libraries read no resources from " + theirs + "/resources" + why + ".\n",
                              "The X libraries read no cursor themes from " + theirs + "/icons" + why + ".\n",
                              "The X libraries read no compose table from " + including + why +
                                  "; the locale's own is used.\n"}));
}

}  // namespace
}  // namespace ZV::Platform
