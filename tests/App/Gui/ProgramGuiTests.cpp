// The program itself on the desktop, started as its own process as a user starts it, against the simulated device.
#include "App/Gui/ProgramOnDesktop.h"
#include "Platform/InstanceChannel.h"
#include "Platform/InstanceLock.h"
#include "System/Gui/DesktopInput.h"
#include "TestFiles.h"

#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

using ::testing::_;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;
using namespace std::chrono_literals;

constexpr WindowArea kAboveHeading{0, 0, 400, 16};
constexpr WindowArea kHeading{0, 16, 400, 24};
constexpr WindowArea kBelowHeading{0, 40, 400, 18};
constexpr WindowArea kFileStatusText{28, 82, 344, 16};

class ProgramGui : public ProgramOnDesktop {
protected:
    // The program sending a small image, as it starts, to a device in update mode that holds once it took the image,
    // so that the update is seen running until the test releases the device (ReleaseHold).
    std::unique_ptr<ProgramUnderTest> StartUpdating(std::map<std::string, std::string> environment = {})
    {
        const std::string image = mFolder / "image.syx";
        WriteContent(image, std::string("\xF0\x01\x02\xF7\xF0\x03\x04\xF7", 8));
        environment.insert({{"ZV_SIM_DEVICE", "update"}, {"ZV_SIM_CUES", "1.image#2:hold"}});
        return Start({"-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
                     std::move(environment));
    }
    // Once the device took the first image message: the update runs. A request to end that came before would end
    // the program instead.
    bool WaitForUpdateRunning(ProgramUnderTest& program)
    {
        return WaitUntil(
            [&] {
                return ContentOf(mFolder / "device.log").find(" RX F0 01 02 F7") != std::string::npos ||
                       program.CheckEnded();
            },
            {}, kHangGuard) &&
               !program.CheckEnded();
    }

    static bool WaitForLine(const ProgramUnderTest& program, const std::string& prefix, std::size_t count = 1)
    {
        return WaitUntil([&] { return program.LinesStartingWith(prefix).size() >= count; }, {}, kHangGuard);
    }
};

// An image of the resources as its file has it, 0xAARRGGBB, rows from the top.
std::vector<std::uint32_t> ReadResourceImage(const char* path, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint32_t> pixels;
    if (png_image_begin_read_from_file(&image, path) == 0) {
        return pixels;
    }
    image.format = PNG_FORMAT_BGRA;
    pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        pixels.clear();
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

// The skin's background as its image file has it, 0x00RRGGBB.
std::vector<std::uint32_t> ReadBackgroundImage(int& width, int& height)
{
    std::vector<std::uint32_t> pixels = ReadResourceImage(ZV_TEST_RESOURCES_DIR "/Skin/Background.png", width, height);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0x00FFFFFF;
    }
    return pixels;
}

// The pixels of the area that differ between two images of the window.
int CountDifferences(const std::vector<std::uint32_t>& shown, const std::vector<std::uint32_t>& background, int width,
                     const WindowArea& area)
{
    if (shown.size() != background.size()) {
        return 0;
    }
    int differences = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * width + x;
            differences += shown[index] != background[index] ? 1 : 0;
        }
    }
    return differences;
}

TEST_F(ProgramGui, StartedTwiceTheSecondHandsOverItsCommandLineOnceAndEndsAndAKilledFirstLeavesNoStaleLock)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    std::unique_ptr<ProgramUnderTest> first = Start({});
    ASSERT_NE(WaitForMainWindow(*first), 0u) << first->ReadStandardError();

    const auto secondStart = std::chrono::steady_clock::now();
    // A name that would start a line of its own in the first one's debug output.
    const std::unique_ptr<ProgramUnderTest> second = Start({"-SILENT", "-FIRMWARE_IMAGE_NAME=a b\n.syx"});
    ASSERT_TRUE(WaitForProgramEnd(*second));
    const auto secondTook = std::chrono::steady_clock::now() - secondStart;
    RecordProperty("SecondStartMilliseconds",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(secondTook).count()));
    EXPECT_EQ(second->GetExitCode(), 255) << second->ReadStandardError();
    EXPECT_THAT(second->LinesStartingWith("The program is running already"),
                ElementsAre("The program is running already and took this command line; this start ends."));
    EXPECT_TRUE(WaitForLine(*first, "A later start handed over its command line:"));
    EXPECT_THAT(
        first->LinesStartingWith("A later start"),
        ElementsAre("A later start handed over its command line: -SILENT -FIRMWARE_IMAGE_NAME=\"a b\\x0A.syx\""));
    EXPECT_TRUE(first->IsRunning());

    first->Kill();
    ASSERT_TRUE(first->WasEndedBySignal());
    const std::unique_ptr<ProgramUnderTest> next = Start({});
    ASSERT_NE(WaitForMainWindow(*next), 0u) << next->ReadStandardError();
    // The next start is the first instance now: a later one hands over to it, even one without a runtime folder.
    const std::unique_ptr<ProgramUnderTest> later = Start({"-ALWAYS_UPDATE"}, {{"XDG_RUNTIME_DIR", ""}});
    ASSERT_TRUE(WaitForProgramEnd(*later));
    EXPECT_EQ(later->GetExitCode(), 255);
    EXPECT_TRUE(WaitForLine(*next, "A later start handed over its command line: -ALWAYS_UPDATE"));
    EXPECT_TRUE(next->IsRunning());
}

TEST_F(ProgramGui, TheMainWindowHasTheSkinsSizePixelsClassTitleAndIconAFixedSizeAndComesBackWhereItClosedOnTheDesktop)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    std::unique_ptr<ProgramUnderTest> program = Start({});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    const DesktopWatcher::Geometry geometry = mDesktop.GetGeometry(window);
    EXPECT_EQ(geometry.width, 400);
    EXPECT_EQ(geometry.height, 311);
    EXPECT_EQ(mInput.ReadTitle(window), "Corvan");
    int iconWidth = 0;
    int iconHeight = 0;
    std::vector<std::uint32_t> icon = ReadResourceImage(ZV_TEST_RESOURCES_DIR "/AppIcon.png", iconWidth, iconHeight);
    ASSERT_FALSE(icon.empty());
    icon.insert(icon.begin(), {static_cast<std::uint32_t>(iconWidth), static_cast<std::uint32_t>(iconHeight)});
    EXPECT_EQ(mInput.ReadIcon(window), icon);
    const DesktopInput::SizeHints hints = mInput.ReadSizeHints(window);
    EXPECT_EQ(hints.minimumWidth, 400);
    EXPECT_EQ(hints.maximumWidth, 400);
    EXPECT_EQ(hints.minimumHeight, 311);
    EXPECT_EQ(hints.maximumHeight, 311);

    // The main control draws the skin's background with its heading in the band across the header, and over the
    // content its status texts and the buttons that fit a start without a device: SCAN FOR DEVICE and EXIT, not
    // RESTART.
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> background = ReadBackgroundImage(width, height);
    ASSERT_EQ(width, 400);
    ASSERT_EQ(height, 311);
    const auto drawnAsTheSkinHasIt = [&] {
        const std::vector<std::uint32_t> shown = mDesktop.ReadPixels(window, width, height);
        const auto differences = [&](const WindowArea& area) {
            return CountDifferences(shown, background, width, area);
        };
        const auto mostlyDrawn = [&](const WindowArea& area) {
            return differences(area) > area.width * area.height / 2;
        };
        return shown.size() == background.size() && differences(kAboveHeading) == 0 && differences(kHeading) > 0 &&
               differences(kBelowHeading) == 0 && differences(kFileStatusText) > 0 && mostlyDrawn(kMiddleButton) &&
               mostlyDrawn(kExitButton) && differences(kRestartButton) == 0;
    };
    EXPECT_TRUE(WaitUntil(drawnAsTheSkinHasIt, {}, kHangGuard));

    ASSERT_TRUE(MoveWindow(window, 123, 87));
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();

    std::unique_ptr<ProgramUnderTest> again = Start({});
    const unsigned long reopened = WaitForMainWindow(*again);
    ASSERT_NE(reopened, 0u);
    const DesktopWatcher::Geometry restored = mDesktop.GetGeometry(reopened);
    EXPECT_EQ(restored.x, 123);
    EXPECT_EQ(restored.y, 87);
    EXPECT_EQ(restored.width, 400);
    EXPECT_EQ(restored.height, 311);
    mInput.RequestClose(reopened);
    ASSERT_TRUE(WaitForProgramEnd(*again));

    // A place kept from a larger desktop, or moved off it since, opens wholly on the 1280 x 1024 screen.
    struct OffDesktop {
        const char* kept;
        int x;
        int y;
    };
    for (const OffDesktop place : {OffDesktop{"5000 5000 400 311", 880, 713}, OffDesktop{"-300 -200 400 311", 0, 0},
                                   OffDesktop{"1100 900 400 311", 880, 713}}) {
        SCOPED_TRACE(place.kept);
        WriteContent(mFolder / ("data/" + kWindowClass + "/WindowPlacement"), std::string(place.kept) + "\n");
        std::unique_ptr<ProgramUnderTest> moved = Start({});
        const unsigned long onDesktop = WaitForMainWindow(*moved);
        ASSERT_NE(onDesktop, 0u) << moved->ReadStandardError();
        const DesktopWatcher::Geometry shown = mDesktop.GetGeometry(onDesktop);
        EXPECT_EQ(shown.x, place.x);
        EXPECT_EQ(shown.y, place.y);
        mInput.RequestClose(onDesktop);
        ASSERT_TRUE(WaitForProgramEnd(*moved));
    }
}

TEST_F(ProgramGui, TheWindowSpeaksGermanToGermanUsersAndEnglishToUsersOfALanguageItDoesNotHave)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    // The pointer away from the window, so that no button shows its hover look.
    mInput.MoveTo(1279, 1023);
    const auto exitButtonIn = [&](const std::string& language) {
        std::unique_ptr<ProgramUnderTest> program =
            Start({}, {{"LC_ALL", language}, {"LC_MESSAGES", language}, {"LANG", language}});
        const unsigned long window = WaitForMainWindow(*program);
        EXPECT_NE(window, 0u) << program->ReadStandardError();
        if (window == 0) {
            return std::vector<std::uint32_t>{};
        }
        const std::vector<std::uint32_t> button = SettledPixels(window, kExitButton);
        EXPECT_FALSE(button.empty());
        mInput.RequestClose(window);
        EXPECT_TRUE(WaitForProgramEnd(*program));
        return button;
    };
    const std::vector<std::uint32_t> english = exitButtonIn("en_US.UTF-8");
    const std::vector<std::uint32_t> german = exitButtonIn("de_DE.UTF-8");
    const std::vector<std::uint32_t> portuguese = exitButtonIn("pt_BR.UTF-8");
    ASSERT_FALSE(english.empty());
    // "BEENDEN" and "EXIT" on the same button.
    EXPECT_NE(german, english);
    EXPECT_EQ(portuguese, english);
}

TEST_F(ProgramGui, WithTwoDevicesAtStartTheWindowSelectsTheFirstAndOffersTheUpdateAsWithOne)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    mInput.MoveTo(1279, 1023);
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7", 4));
    const auto start = [&](const char* devices) {
        return Start({"-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image}, {{"ZV_SIM_DEVICE", devices}});
    };
    std::unique_ptr<ProgramUnderTest> program = start("normal");
    unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    // "UPDATE FIRMWARE", where a window without a selected device offers "SCAN FOR DEVICE".
    const std::vector<std::uint32_t> updateButton = SettledPixels(window, kMiddleButton);
    ASSERT_FALSE(updateButton.empty());
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));

    program = start("two");
    window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    EXPECT_TRUE(WaitUntil([&] { return SettledPixels(window, kMiddleButton) == updateButton; }, {}, kHangGuard));
    EXPECT_THAT(program->LinesStartingWith("Multiple devices found."), Not(IsEmpty()));
    mInput.RequestClose(window);
    EXPECT_TRUE(WaitForProgramEnd(*program));
}

TEST_F(ProgramGui, AJunkFileIsShownAsInvalidAndNeverSendsTheDeviceIntoUpdateModeNeitherAtStartNorWhenSpoiledLater)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    mInput.MoveTo(1279, 1023);
    const std::string image = mFolder / "image.syx";
    const std::string junk = "not a firmware image";
    const auto start = [&] {
        return Start({"-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image}, {{"ZV_SIM_DEVICE", "normal"}});
    };
    const auto refusals = [](const ProgramUnderTest& program) {
        return program.LinesStartingWith("FirmwareUpdater: the firmware file ");
    };
    const auto close = [&](ProgramUnderTest& program, unsigned long window) {
        mInput.RequestClose(window);
        EXPECT_TRUE(WaitForProgramEnd(program));
        EXPECT_EQ(ContentOf(mFolder / "device.log").find(" STATE restarting"), std::string::npos)
            << "the device was sent into update mode";
    };

    // "The firmware update file is missing or invalid.", as a missing file shows it.
    std::unique_ptr<ProgramUnderTest> program = start();
    unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    const std::vector<std::uint32_t> invalidFile = SettledPixels(window, kFileStatusText);
    ASSERT_FALSE(invalidFile.empty());
    close(*program, window);

    WriteContent(image, junk);
    program = start();
    window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    EXPECT_EQ(SettledPixels(window, kFileStatusText), invalidFile);
    ClickInWindow(window, kMiddleButton);
    EXPECT_THAT(refusals(*program),
                ElementsAre("FirmwareUpdater: the firmware file \"" + image +
                            "\" was refused at byte offset 0: a byte stands outside any message; nothing "
                            "was sent"));
    close(*program, window);

    // Fit when the program started, spoiled before the click on "UPDATE FIRMWARE".
    WriteContent(image, std::string("\xF0\x01\x02\xF7", 4));
    program = start();
    window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    // The file text is blank for a file found; "UPDATE FIRMWARE" is offered.
    ASSERT_FALSE(SettledPixels(window, kMiddleButton).empty());
    EXPECT_THAT(refusals(*program), IsEmpty());
    WriteContent(image, junk);
    ClickInWindow(window, kMiddleButton);
    EXPECT_TRUE(WaitUntil([&] { return SettledPixels(window, kFileStatusText) == invalidFile; }, {}, kHangGuard));
    EXPECT_THAT(refusals(*program), ElementsAre(HasSubstr("was refused at byte offset 0")));
    close(*program, window);
}

TEST_F(ProgramGui, ARequestToEndASilentUpdateIsAnsweredAtOnceAndTheProgramEndsWithTheOutcomeAfterTheWholeImage)
{
    // Long enough (1.5 s of pauses) that the signals reach the program while it sends, on a loaded machine too.
    constexpr int kMessages = 1500;
    std::string image;
    for (int message = 0; message < kMessages; ++message) {
        image += std::string("\xF0\x01\x02\x03\xF7", 5);
    }
    const std::string path = mFolder / "image.syx";
    WriteContent(path, image);
    const std::string log = mFolder / "device.log";
    const auto imageMessagesReceived = [&] {
        const std::string received = ContentOf(log);
        std::size_t count = 0;
        for (std::size_t at = received.find("RX F0 01 02 03 F7"); at != std::string::npos;
             at = received.find("RX F0 01 02 03 F7", at + 1)) {
            ++count;
        }
        return count;
    };
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        std::filesystem::remove(log);
        std::unique_ptr<ProgramUnderTest> program =
            Start({"-SILENT", "-START_UPDATE_AUTOMATICALLY", "-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + path},
                  {{"ZV_SIM_DEVICE", "update"}, {"ZV_SIM_FLASH_MS", "100"}});
        ASSERT_TRUE(WaitUntil([&] { return imageMessagesReceived() > 0 || !program->IsRunning(); }, {}, kHangGuard));
        program->Signal(signal);
        program->Signal(signal);
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater: asked"),
                    ElementsAre("FirmwareUpdater: asked to end; the update goes on, and the program ends when it has "
                                "ended"));
        EXPECT_EQ(imageMessagesReceived(), static_cast<std::size_t>(kMessages));
        EXPECT_NE(ContentOf(log).find(" STATE done"), std::string::npos);
    }
}

TEST_F(ProgramGui, AnExitRequestDuringAnUpdateIsDroppedAndOneAfterItEndsTheProgramWith1InItsShutDownOrder)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    std::unique_ptr<ProgramUnderTest> program = StartUpdating();
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    ASSERT_TRUE(WaitForUpdateRunning(*program)) << program->ReadStandardError();

    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForLine(*program, "The exit request is dropped: the application may not end now."));
    EXPECT_TRUE(program->IsRunning());
    EXPECT_TRUE(program->LinesStartingWith("The exit request is honoured").empty());
    ReleaseHold();

    // Once the device has taken the image, the next request that comes after the update ends the program.
    ASSERT_TRUE(WaitUntil([&] { return ContentOf(mFolder / "device.log").find(" STATE done") != std::string::npos; },
                          {}, kHangGuard));
    ASSERT_TRUE(AskUntilEnded(*program, [&] { mInput.RequestClose(window); }));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    std::vector<std::string> order;
    for (const char* prefix : {"The exit request is honoured", "The main window is closed", "Shut-down:"}) {
        for (const std::string& line : program->LinesStartingWith(prefix)) {
            order.push_back(line);
        }
    }
    EXPECT_THAT(order, ElementsAre("The exit request is honoured.", "The main window is closed.",
                                   "Shut-down: the factory, the hot keys and the clipboard are released.",
                                   "Shut-down: the settings files are written and closed.",
                                   "Shut-down: the application object is released."));
    const std::string settings = ContentOf(mFolder / "data/Corvan/Halvista Firmware Updater/UserSettings.ini");
    EXPECT_THAT(settings, HasSubstr("CurrentSkinIndex=0"));
}

TEST_F(ProgramGui, AnExitRequestDuringAnUpdateIsDroppedAndAClickOnExitOnceTheUpdateIsSentEndsTheProgramWith1)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    // Back from its restart at once, the device answers no version request: the window's look for it after the
    // update waits seconds for an answer.
    std::unique_ptr<ProgramUnderTest> program =
        StartUpdating({{"ZV_SIM_FAULT", "no-version"}, {"ZV_SIM_RESTART_MS", "0"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    ASSERT_TRUE(WaitForUpdateRunning(*program)) << program->ReadStandardError();
    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForLine(*program, "The exit request is dropped: the application may not end now."));
    ReleaseHold();

    // EXIT comes back once the device has the image; a click on it is the user's request to end, also while the
    // window still looks for the device.
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> background = ReadBackgroundImage(width, height);
    ASSERT_TRUE(WaitUntil([&] { return ContentOf(mFolder / "device.log").find(" STATE done") != std::string::npos; },
                          {}, kHangGuard));
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<std::uint32_t> shown = mDesktop.ReadPixels(window, width, height);
            return CountDifferences(shown, background, width, kExitButton) > kExitButton.width * kExitButton.height / 2;
        },
        {}, kHangGuard));
    ClickInWindow(window, kExitButton);
    ASSERT_TRUE(WaitForProgramEnd(*program)) << program->ReadStandardError();
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    EXPECT_THAT(program->LinesStartingWith("The exit request is"),
                ElementsAre("The exit request is dropped: the application may not end now.",
                            "The exit request is honoured."));
}

TEST_F(ProgramGui, ASkinWithoutTheFileVersionLabelEndsTheStartWithTheStartupErrorNamingIt)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    // The box ends as the user closes it, and as the system's requests to end close it.
    for (const int signal : {0, SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        std::unique_ptr<ProgramUnderTest> program = Start({}, {}, ZV_TEST_PROGRAM_WITHOUT_FILE_VERSION);
        ASSERT_TRUE(WaitForLine(*program, "Error: ")) << program->ReadStandardError();
        const unsigned long box = WaitForErrorBox(*program);
        ASSERT_NE(box, 0u) << program->ReadStandardError();
        EXPECT_TRUE(program->IsRunning()) << "the box waits for the user";
        if (signal == 0) {
            mInput.RequestClose(box);
        } else {
            program->Signal(signal);
        }
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 255);
        // On the standard error and once more as debug output.
        EXPECT_THAT(program->LinesStartingWith("Runtime Error"),
                    AllOf(Not(IsEmpty()), Each(StartsWith("Runtime Error : Null Pointer : LMainControl couldn't find "
                                                          "labelFileFirmwareVersion : ZV::LMainControl::Initialize : "
                                                          "UI/MainControl : Line "))));
        EXPECT_THAT(program->LinesStartingWith("Error: "),
                    ElementsAre("Error: The application encountered problems during startup and will now close."));
    }
}

TEST_F(ProgramGui, ASystemRequestToEndWaitsForTheUpdateThenEndsAsClosingTheWindowDoesAndKeepsTheWindowsPlace)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    std::unique_ptr<ProgramUnderTest> program = StartUpdating();
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    ASSERT_TRUE(MoveWindow(window, 201, 99));

    // Once the image goes out, the window's loop runs.
    ASSERT_TRUE(WaitForUpdateRunning(*program)) << program->ReadStandardError();
    program->Signal(SIGTERM);
    ASSERT_TRUE(WaitForLine(*program, "The exit request is dropped: the application may not end now."));
    EXPECT_TRUE(program->IsRunning());
    ReleaseHold();

    // The request held back ends the program once the update has ended, with no other request.
    ASSERT_TRUE(WaitForProgramEnd(*program)) << program->ReadStandardError();
    EXPECT_NE(ContentOf(mFolder / "device.log").find(" STATE done"), std::string::npos);
    EXPECT_FALSE(program->WasEndedBySignal());
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
    EXPECT_THAT(program->LinesStartingWith("The system asks the program to end."), ElementsAre(_));
    EXPECT_THAT(program->LinesStartingWith("FirmwareUpdater:"), ElementsAre("FirmwareUpdater: the update finished"));
    EXPECT_THAT(program->LinesStartingWith("Shut-down: the settings files are written and closed."), Not(IsEmpty()));

    std::unique_ptr<ProgramUnderTest> again = Start({});
    const unsigned long reopened = WaitForMainWindow(*again);
    ASSERT_NE(reopened, 0u);
    const DesktopWatcher::Geometry restored = mDesktop.GetGeometry(reopened);
    EXPECT_EQ(restored.x, 201);
    EXPECT_EQ(restored.y, 99);
}

TEST_F(ProgramGui, WithoutTheSettingsLibraryOrWithABrokenOneTheProgramStillShowsItsWindowAndKeepsTheUsersFile)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string settingsFolder = mFolder / "data/Corvan/Halvista Firmware Updater";
    std::filesystem::create_directories(settingsFolder);
    const std::string userSettings = "[Halvista Firmware Updater]\nCurrentSkinIndex=3\n";
    WriteContent(settingsFolder + "/UserSettings.ini", userSettings);

    // The program alone in a folder of its own, then beside a library that answers nonsense.
    const std::string alone = mFolder / "alone";
    const std::string broken = mFolder / "broken";
    for (const std::string& folder : {alone, broken}) {
        std::filesystem::create_directory(folder);
        std::filesystem::copy_file(ZV_TEST_PROGRAM, folder + "/FirmwareUpdater");
    }
    std::filesystem::copy_file(ZV_TEST_NONSENSE_INI_LIBRARY, broken + "/libIniFileManager.so");

    for (const std::string& folder : {alone, broken}) {
        SCOPED_TRACE(folder);
        std::unique_ptr<ProgramUnderTest> program = Start({}, {}, folder + "/FirmwareUpdater");
        const unsigned long window = WaitForMainWindow(*program);
        ASSERT_NE(window, 0u) << program->ReadStandardError();
        mInput.RequestClose(window);
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_EQ(ContentOf(settingsFolder + "/UserSettings.ini"), userSettings);
    }

    // With the library, a file that it cannot use, or that its user may not write, is kept too; the debug output
    // names it once and never says that the settings were written.
    struct Kept {
        const char* what;
        std::string content;
        std::filesystem::perms permissions;
        std::string said;
        std::string shutDown;
    };
    const Kept files[] = {
        {"not text", std::string("CurrentSkinIndex=3\0\x01\n", 21), std::filesystem::perms::owner_all,
         " cannot be used; the defaults stand in for it", "Shut-down: no settings file was open."},
        {"read-only", userSettings, std::filesystem::perms::owner_read, " is read-only and is left as it is",
         "Shut-down: a settings file could not be written; the settings files are closed."},
    };
    for (const Kept& file : files) {
        SCOPED_TRACE(file.what);
        const std::string path = settingsFolder + "/UserSettings.ini";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        WriteContent(path, file.content);
        std::filesystem::permissions(path, file.permissions);
        std::unique_ptr<ProgramUnderTest> program = Start({});
        const unsigned long window = WaitForMainWindow(*program);
        ASSERT_NE(window, 0u) << program->ReadStandardError();
        mInput.RequestClose(window);
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
        EXPECT_EQ(ContentOf(path), file.content);
        EXPECT_THAT(program->LinesStartingWith("The settings file "), ElementsAre(HasSubstr(file.said)));
        if (!file.shutDown.empty()) {
            EXPECT_THAT(program->LinesStartingWith("Shut-down: "), Contains(file.shutDown));
        }
    }
}

TEST_F(ProgramGui, BesideAFirstThatNeverAnswersASecondStartEndsWith255AndHalfSentHandOversNeverStopTheWindow)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    const std::string folder = mFolder / "state" + "/" + kWindowClass + "Prevent-" + host;
    const std::string channel = folder + "/socket";

    // A first instance that holds the lock and never reads its channel, as one busy with a long silent update.
    {
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        Platform::InstanceLock::Outcome outcome;
        std::string refusal;
        const std::unique_ptr<Platform::InstanceLock> lock =
            Platform::InstanceLock::TryAcquire(folder + "/lock", outcome, refusal);
        ASSERT_TRUE(lock);
        const std::unique_ptr<Platform::InstanceChannelListener> busy =
            Platform::InstanceChannelListener::Listen(channel);
        ASSERT_TRUE(busy);
        const std::unique_ptr<ProgramUnderTest> second = Start({"-SILENT"}, {{"ZV_DEBUG_OUTPUT", ""}});
        ASSERT_TRUE(WaitForProgramEnd(*second));
        EXPECT_EQ(second->GetExitCode(), 255);
        EXPECT_EQ(second->ReadStandardError(),
                  "The program is running already but does not answer; this start ends.\n");
        EXPECT_EQ(mDesktop.FindMappedWindow(kWindowClass), 0u);
    }

    // Peers that each send half a header and then nothing; one that the program lets go is replaced at once, so
    // that eight always wait on the program. The channel is reached through its folder, whose name may be longer
    // than an address holds.
    std::unique_ptr<ProgramUnderTest> first = Start({});
    const unsigned long window = WaitForMainWindow(*first);
    ASSERT_NE(window, 0u) << first->ReadStandardError();
    ASSERT_FALSE(SettledPixels(window, kExitButton).empty());
    const int channelFolder = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(channelFolder, 0);
    const std::string reachedChannel = "/proc/self/fd/" + std::to_string(channelFolder) + "/socket";
    std::vector<int> stalled(8, -1);
    const auto keepStalled = [&] {
        for (int& connection : stalled) {
            pollfd ended{connection, POLLIN, 0};
            if (connection >= 0 && poll(&ended, 1, 0) == 0) {
                continue;
            }
            if (connection >= 0) {
                close(connection);
            }
            connection = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            reachedChannel.copy(address.sun_path, sizeof address.sun_path - 1);
            const char halfHeader[] = {0x65, 0x04, 0x00, 0x00};
            if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
                send(connection, halfHeader, sizeof halfHeader, MSG_NOSIGNAL) != sizeof halfHeader) {
                close(connection);
                connection = -1;
            }
        }
    };
    keepStalled();
    EXPECT_EQ(std::count(stalled.begin(), stalled.end(), -1), 0) << "not every peer reached the channel";
    ClickInWindow(window, kExitButton);
    EXPECT_TRUE(WaitUntil(
        [&] {
            keepStalled();
            return first->CheckEnded();
        },
        {first->GetEndDescriptor()}, 5s))
        << "the window did not answer EXIT";
    for (const int connection : stalled) {
        if (connection >= 0) {
            close(connection);
        }
    }
    close(channelFolder);
    ASSERT_TRUE(WaitForProgramEnd(*first));
    EXPECT_EQ(first->GetExitCode(), 1) << first->ReadStandardError();
}

TEST_F(ProgramGui, WithTwoDevicesTheAutomaticStartUpdatesTheFirstWithTheWholeImageAndNeverTouchesTheSecond)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    const std::string messages[] = {"F0 01 02 F7", "F0 03 04 F7", "F0 05 06 F7"};
    const std::string image = mFolder / "image.syx";
    WriteContent(image, std::string("\xF0\x01\x02\xF7\xF0\x03\x04\xF7\xF0\x05\x06\xF7", 12));
    const std::string log = mFolder / "device.log";
    std::unique_ptr<ProgramUnderTest> program =
        Start({"-START_UPDATE_AUTOMATICALLY", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image},
              {{"ZV_SIM_DEVICE", "two"}, {"ZV_SIM_RESTART_MS", "300"}, {"ZV_SIM_FLASH_MS", "300"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();

    ASSERT_TRUE(WaitUntil([&] { return ContentOf(log).find(" STATE done") != std::string::npos; }, {}, kHangGuard))
        << "the first device was never updated: " << program->ReadStandardError();
    for (const std::string& message : messages) {
        EXPECT_NE(ContentOf(log).find(" RX " + message + "\n"), std::string::npos) << message;
    }
    const std::string second = ContentOf(log + ".2");
    for (const char* touched : {" STATE restarting", " STATE update", " STATE done", " RX F0 01 02 F7"}) {
        EXPECT_EQ(second.find(touched), std::string::npos) << "the second device went through" << touched;
    }
    EXPECT_THAT(program->LinesStartingWith("Multiple devices found."),
                ElementsAre("Multiple devices found. Handling multiple devices is not implemented. Only the first "
                            "connected device will be updated."));

    ASSERT_TRUE(AskUntilEnded(*program, [&] { mInput.RequestClose(window); }));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
}

TEST_F(ProgramGui, AnUpdateStartedAutomaticallyBeforeTheWindowShowsTheArrowThenNextThenSuccessAndNeverRestart)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    constexpr WindowArea kProcessText{28, 102, 344, 66};
    const CursorImage arrow = mInput.FontCursor(XC_left_ptr);
    mInput.MoveTo(1279, 1023);
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> background = ReadBackgroundImage(width, height);
    const auto differences = [&](unsigned long window, const WindowArea& area) {
        return CountDifferences(mDesktop.ReadPixels(window, width, height), background, width, area);
    };
    const auto shown = [&](unsigned long window, const WindowArea& area) {
        return differences(window, area) > area.width * area.height / 2;
    };
    const std::string log = mFolder / "device.log";

    // The device is in update mode already: the update starts before the window exists, and the device, once it took
    // the image, holds until the window's first frame has been seen.
    std::unique_ptr<ProgramUnderTest> program = StartUpdating({{"ZV_SIM_RESTART_MS", "300"}});
    const unsigned long window = WaitForMainWindow(*program);
    ASSERT_NE(window, 0u) << program->ReadStandardError();
    const DesktopWatcher::Geometry geometry = mDesktop.GetGeometry(window);
    EXPECT_EQ(mInput.CursorAt(geometry.x + 200, geometry.y + 8), arrow)
        << "not the arrow over the window before the device changed";
    mInput.MoveTo(1279, 1023);
    ReleaseHold();

    // Once the device has the image: the instructions with NEXT, not RESTART.
    ASSERT_TRUE(WaitUntil([&] { return ContentOf(log).find(" STATE done") != std::string::npos; }, {}, kHangGuard));
    ASSERT_TRUE(WaitUntil([&] { return shown(window, kMiddleButton); }, {}, kHangGuard));
    const std::vector<std::uint32_t> instructions = SettledPixels(window, kProcessText);
    ASSERT_FALSE(instructions.empty());
    EXPECT_FALSE(shown(window, kRestartButton)) << "RESTART after an update that went well";

    // The device restarts by itself; NEXT finds it running the new build.
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::string content = ContentOf(log);
            const std::size_t done = content.find(" STATE done");
            return content.find(" STATE normal", done) != std::string::npos;
        },
        {}, kHangGuard));
    ClickInWindow(window, kMiddleButton);
    EXPECT_TRUE(WaitUntil([&] { return differences(window, kMiddleButton) == 0; }, {}, kHangGuard))
        << "NEXT stays";
    // The look at the device ends with the outcome's text, however long it takes.
    EXPECT_FALSE(SettledPixels(window, kProcessText, instructions).empty()) << "the instructions stay after NEXT";
    EXPECT_EQ(differences(window, kRestartButton), 0) << "RESTART with the success text";

    mInput.RequestClose(window);
    ASSERT_TRUE(WaitForProgramEnd(*program));
    EXPECT_EQ(program->GetExitCode(), 1) << program->ReadStandardError();
}

TEST_F(ProgramGui, AnArgumentThatIsNotUtf8ShowsTheStartupErrorInTheUsersLanguageAndTheSystemsRequestsToEndAreItsOK)
{
    ASSERT_TRUE(mDesktop.IsOpen());
    constexpr std::uint32_t kErrorIconRed = 0xD32F2F;
    const struct {
        int signal;
        const char* language;
        const char* title;
    } cases[] = {{SIGTERM, "en_US.UTF-8", "Error"},
                 {SIGINT, "en_US.UTF-8", "Error"},
                 {SIGHUP, "en_US.UTF-8", "Error"},
                 {SIGQUIT, "de_DE.UTF-8", "Fehler"}};
    for (const auto& run : cases) {
        SCOPED_TRACE(run.signal);
        std::unique_ptr<ProgramUnderTest> program =
            Start({"-FIRMWARE_IMAGE_NAME=\xFF\n\xFE.syx"}, {{"LC_ALL", run.language}});
        const unsigned long box = WaitForErrorBox(*program, run.title);
        ASSERT_NE(box, 0u) << program->ReadStandardError();
        // The error icon in the box's upper left corner, once the box is painted.
        EXPECT_TRUE(WaitUntil(
            [&] {
                int red = 0;
                for (const std::uint32_t pixel : mDesktop.ReadPixels(box, 64, 64)) {
                    red += pixel == kErrorIconRed ? 1 : 0;
                }
                return red > 250;
            },
            {}, 10s));
        program->Signal(run.signal);
        ASSERT_TRUE(WaitForProgramEnd(*program));
        EXPECT_FALSE(program->WasEndedBySignal());
        EXPECT_EQ(program->GetExitCode(), 255);
        // The reason is the one line; the box says nothing more there.
        EXPECT_EQ(program->ReadStandardError(),
                  "Argument 1 is not UTF-8 text, so it cannot name a file: -FIRMWARE_IMAGE_NAME=\\xFF\\x0A\\xFE.syx\n");
    }
}

TEST_F(ProgramGui, AnImageCutWhileTheDeviceRestartsIsNeverSentByTheWindowsAutomaticStartNorByAClick)
{
    ASSERT_TRUE(mDesktop.IsOpen() && mInput.IsOpen());
    mInput.MoveTo(1279, 1023);
    const std::string image = mFolder / "image.syx";
    const std::string log = mFolder / "device.log";
    for (const bool click : {false, true}) {
        SCOPED_TRACE(click ? "a click on UPDATE FIRMWARE" : "the automatic start");
        std::filesystem::remove(log);
        WriteContent(image, std::string("\xF0\x01\x02\xF7\xF0\x03\x04\xF7", 8));
        std::vector<std::string> arguments{"-ALWAYS_UPDATE", "-ABSOLUTE_FIRMWARE_FILE_PATH=" + image};
        if (!click) {
            arguments.push_back("-START_UPDATE_AUTOMATICALLY");
        }
        // The device holds in its restart until the image is cut.
        std::filesystem::remove(mFolder / "release");
        std::unique_ptr<ProgramUnderTest> program =
            Start(arguments, {{"ZV_SIM_DEVICE", "normal"}, {"ZV_SIM_CUES", "1.restarting:hold"}});
        unsigned long window = 0;
        if (click) {
            window = WaitForMainWindow(*program);
            ASSERT_NE(window, 0u) << program->ReadStandardError();
            ASSERT_FALSE(SettledPixels(window, kMiddleButton).empty());
            ClickInWindow(window, kMiddleButton);
        }
        ASSERT_TRUE(WaitForHold(*program, 1)) << program->ReadStandardError();
        WriteContent(image, std::string("\xF0\x01\x02\xF7", 4));
        ReleaseHold();
        EXPECT_TRUE(WaitForLine(*program, "FirmwareUpdater: the firmware file "));
        EXPECT_THAT(
            program->LinesStartingWith("FirmwareUpdater: the firmware file "),
            ElementsAre("FirmwareUpdater: the firmware file \"" + image +
                        "\" changed after it was checked; nothing was sent, and the device waits in update mode"));
        EXPECT_EQ(ContentOf(log).find("RX F0 01 02 F7"), std::string::npos) << "half the image was sent";
        window = WaitForMainWindow(*program);
        ASSERT_NE(window, 0u) << program->ReadStandardError();
        mInput.RequestClose(window);
        EXPECT_TRUE(WaitForProgramEnd(*program));
    }
}

}  // namespace
}  // namespace ZV::Testing
