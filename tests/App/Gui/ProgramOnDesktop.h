#pragma once

#include "App/Gui/ProgramUnderTest.h"
#include "System/Gui/DesktopInput.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Testing {

inline const std::string kWindowClass = "Corvan_DEVICE_FAMILY_NAME_String_FirmwareUpdater";
// Long enough that only a program that hangs makes a wait fail.
inline constexpr std::chrono::milliseconds kHangGuard{60000};
inline constexpr int kWindowWidth = 400;
inline constexpr int kWindowHeight = 311;

// Where the skin places controls in the main window.
struct WindowArea {
    int x;
    int y;
    int width;
    int height;
};
inline constexpr WindowArea kRestartButton{16, 269, 104, 30};
// SCAN FOR DEVICE, UPDATE FIRMWARE and NEXT take turns here.
inline constexpr WindowArea kMiddleButton{152, 269, 136, 30};
// Inside its border, which shows whether the button has the keyboard focus.
inline constexpr WindowArea kMiddleButtonText{156, 273, 128, 22};
inline constexpr WindowArea kExitButton{296, 269, 88, 30};

// The program itself on the desktop of the tests, over folders of the test's own and the simulated device.
class ProgramOnDesktop : public ::testing::Test {
protected:
    ProgramOnDesktop();

    // A program killed by the test leaves its window to the server to take away: the tests after this one find the
    // desktop as it was.
    void TearDown() override;

    // The program's process with the test's folders, the simulated device and debug output on its standard error (a
    // file of the test's unless it names another). The environment given comes before the defaults.
    std::unique_ptr<ProgramUnderTest> Start(const std::vector<std::string>& arguments,
                                            std::map<std::string, std::string> environment = {},
                                            const std::string& program = ZV_TEST_PROGRAM,
                                            const std::string& standardError = "");

    // The program's main window once it is mapped; 0 when it ended or the wait ran out first.
    unsigned long WaitForMainWindow(ProgramUnderTest& program);
    // The program's start-up error box once it is mapped, by its title; 0 when the program ended or the wait ran out
    // first.
    unsigned long WaitForErrorBox(ProgramUnderTest& program, const std::string& title = "Error");
    static bool WaitForProgramEnd(ProgramUnderTest& program);
    // Asks the program to end (ask sends the request) until it has: a request that comes before the program has taken
    // an update's end is dropped, and the next goes once the program said so. False when it did not end in time.
    static bool AskUntilEnded(ProgramUnderTest& program, const std::function<void()>& ask);
    // Until the simulated device's log (the first device's unless another is named) says that a device holds for the
    // n-th time at a moment that ZV_SIM_CUES names; false when the program ended or the wait ran out first.
    bool WaitForHold(ProgramUnderTest& program, int hold, const std::string& log = "");
    // The device that holds goes on: the file that ZV_SIM_RELEASE names gets its next line.
    void ReleaseHold();

    // Moves the window as a user does; true once the desktop has it there.
    bool MoveWindow(unsigned long window, int x, int y);

    // A click of the left button in the middle of the area, through the desktop; then the pointer goes where no
    // button shows its hover look.
    void ClickInWindow(unsigned long window, const WindowArea& area);

    // Once a device is back from its update, on another build than the file's: "NEXT", while the window still waits
    // for the device, finds it, and RESTART shows (true); false when it does not within the wait.
    bool WaitForRestartAfterNext(unsigned long window);

    // The area's pixels as the window shows them now; empty when the window cannot be read whole.
    std::vector<std::uint32_t> Pixels(unsigned long window, const WindowArea& area);
    // Drawn: more than the background's colours, one where no control is.
    static bool IsDrawn(const std::vector<std::uint32_t>& pixels);
    // The area's pixels once it is drawn and no longer changes, and unlike the unwanted look when one is given; empty
    // when the wait ran out first.
    std::vector<std::uint32_t> SettledPixels(unsigned long window, const WindowArea& area,
                                             const std::vector<std::uint32_t>& unwanted = {});

    TemporaryFolder mFolder;
    const std::string mDeviceLog = mFolder / "device.log";
    DesktopWatcher mDesktop;
    DesktopInput mInput;
    int mStarts = 0;

private:
    unsigned long WaitForMappedWindow(ProgramUnderTest& program, const std::function<unsigned long()>& find);
};

}  // namespace ZV::Testing
