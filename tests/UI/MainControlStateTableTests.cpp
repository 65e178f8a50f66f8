// The main window against a scripted engine: for every combination of the update result, the device and file
// states, the allow-downgrade setting, whether an update is needed, whether the window started the update, whether
// the device's version is known, and the optional buttons of the skin, the controls that show and the texts they
// carry are those of the window's state table, with the application's own skin and English texts.

#include "UI/ApplicationTexts.h"
#include "UI/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

using Engine = ::LUpdateEngineInterface;

const std::string kDeviceVersionLine = "Device Firmware Version: 78500";
const std::string kFileVersionLine = "Update Firmware Version: 78822";

// What the engine says and what the window has done.
struct Situation {
    std::int32_t result = 0;
    std::int32_t device = 0;
    std::int32_t file = 0;
    bool allowDowngrade = false;
    bool updateNeeded = false;
    bool updateStarted = false;
    bool deviceVersionKnown = false;
    bool scanButton = false;
    bool nextButton = false;
    bool manualButton = false;

    std::string Describe() const
    {
        std::ostringstream text;
        text << "r=" << result << " ds=" << device << " fs=" << file << " downgrade=" << allowDowngrade
             << " needed=" << updateNeeded << " started=" << updateStarted << " version=" << deviceVersionKnown
             << " scan=" << scanButton << " next=" << nextButton << " manual=" << manualButton;
        return text.str();
    }
};

// The controls as the window is to show them; a control without a value keeps what it had.
struct Display {
    std::optional<bool> shown[13];
    std::optional<std::string> text[6];
};

const wchar_t* const kControls[13] = {
    L"labelDeviceInformation",
    L"labelFirmwareFileInformation",
    L"labelFileFirmwareVersion",
    L"labelDeviceFirmwareVersion",
    L"progressBar",
    L"buttonUpdateFirmware",
    L"labelUpdateProcessInformation",
    L"labelDeviceCannotUpdateError",
    L"buttonReinitialize",
    L"buttonExit",
    L"buttonScanForDevice",
    L"buttonManualDeviceReadyForUpdateButton",
    L"buttonManualDeviceHasUpdatedRescanButton",
};
enum Control { kDevice, kFile, kFileVersion, kDeviceVersionLabel, kProgress, kUpdate, kProcess, kCannot, kRestart,
               kExit, kScan, kManual, kNext };
const wchar_t* const kLabels[6] = {
    L"labelDeviceInformation",         L"labelFirmwareFileInformation", L"labelUpdateProcessInformation",
    L"labelDeviceCannotUpdateError",   L"labelDeviceFirmwareVersion",   L"labelFileFirmwareVersion",
};
enum Label { kDeviceText, kFileText, kProcessText, kCannotText, kDeviceVersionText, kFileVersionText };

// The window's table, as the user is to see it.
Display Expected(const Situation& s)
{
    const bool allowed = s.allowDowngrade || s.updateNeeded;
    const bool cannotUpdate = s.device == 4 || (s.device > 4 && s.file != 1 && !allowed);
    const bool canStart = s.file == 3 && allowed && (s.device == 5 || s.device == 7);
    Display d;
    switch (s.result) {
    case 0:
        d.shown[kDevice] = !cannotUpdate;
        d.shown[kFile] = !cannotUpdate;
        d.shown[kFileVersion] = s.file == 3;
        d.shown[kProgress] = false;
        d.shown[kUpdate] = canStart;
        d.shown[kProcess] = canStart || s.device == 6;
        d.shown[kCannot] = cannotUpdate;
        d.shown[kRestart] = s.device == 4;
        d.shown[kScan] = s.device == 1 || s.device == 3;
        d.shown[kManual] = s.device == 6;
        d.shown[kNext] = false;
        break;
    case 1:
        for (const Control hidden : {kDevice, kFile, kUpdate, kCannot, kRestart, kExit, kScan, kManual, kNext}) {
            d.shown[hidden] = false;
        }
        d.shown[kFileVersion] = d.shown[kProgress] = d.shown[kProcess] = true;
        break;
    case 2:
        for (const Control hidden : {kDevice, kProgress, kUpdate, kProcess, kScan, kManual, kNext}) {
            d.shown[hidden] = false;
        }
        d.shown[kFile] = d.shown[kFileVersion] = d.shown[kCannot] = d.shown[kRestart] = d.shown[kExit] = true;
        break;
    default:
        for (const Control hidden : {kDevice, kFile, kProgress, kUpdate, kCannot, kScan, kManual}) {
            d.shown[hidden] = false;
        }
        d.shown[kFileVersion] = d.shown[kProcess] = d.shown[kExit] = true;
        d.shown[kRestart] = s.result == 3 || (!s.updateStarted && (s.device != 5 || s.updateNeeded));
        d.shown[kNext] = s.result == 4 && s.device != 5;
        break;
    }
    d.shown[kDeviceVersionLabel] = s.device == 5 && s.deviceVersionKnown;

    switch (s.device) {
    case 0:
        d.text[kDeviceText] = "";
        break;
    case 1:
        d.text[kDeviceText] = kNoDevice;
        break;
    case 2:
        d.text[kDeviceText] = kLooking;
        break;
    case 3:
    case 5:
    case 7:
        d.text[kDeviceText] = kTwoBlanks;
        break;
    default:
        break;
    }
    d.text[kFileText] = s.file == 0 ? kNoFile : s.file == 3 ? kThreeBlanks : kFileInvalid;
    switch (s.result) {
    case 0:
        d.text[kProcessText] = s.device == 6 ? kResetting : kReady;
        break;
    case 1:
        d.text[kProcessText] = kInProgress;
        break;
    case 3:
        d.text[kProcessText] = kAborted;
        break;
    case 4:
        if (s.device == 5) {
            d.text[kProcessText] = s.updateNeeded ? kNotSuccessful : kSucceeded;
        } else {
            d.text[kProcessText] = s.updateStarted ? kAfterUpdate : kSuccessUnknown;
        }
        break;
    default:
        break;
    }
    // The scripted device cannot be used for a system failure; any other state has no reason.
    d.text[kCannotText] = !allowed && s.device != 4 ? kNotNeeded : s.device == 4 ? kSystemFailure : kNoReason;
    if (s.device >= 4 && s.deviceVersionKnown) {
        d.text[kDeviceVersionText] = kDeviceVersionLine;
    }
    if (s.file == 3) {
        d.text[kFileVersionText] = kFileVersionLine;
    }
    return d;
}

std::string SkinWith(bool scan, bool next, bool manual)
{
    std::string skin = ApplicationSkinDocument();
    if (manual) {
        skin = WithButtonLikeNext(skin, "buttonManualDeviceReadyForUpdateButton");
    }
    if (!scan) {
        skin = WithoutSubControl(skin, "buttonScanForDevice");
    }
    if (!next) {
        skin = WithoutSubControl(skin, "buttonManualDeviceHasUpdatedRescanButton");
    }
    return skin;
}

// Puts the window in the situation's state and compares what it shows; the mismatches go into the list.
void Check(MainWindowHarness& window, const Situation& s, std::vector<std::string>& mismatches)
{
    LScriptedEngine& engine = window.Engine();
    engine.SetResult(s.result);
    engine.SetDevice(s.device);
    engine.SetFile(s.file);
    engine.SetUpdateAvailable(s.updateNeeded);
    engine.SetDeviceVersionKnown(s.deviceVersionKnown);
    (void)window.GetUpdateProcessor()->SetAllowDowngrade(s.allowDowngrade);

    std::string before[6];
    for (int label = 0; label < 6; ++label) {
        before[label] = window.TextOf(kLabels[label]);
    }
    const bool exitBefore = window.IsShown(L"buttonExit");
    window.Refresh();

    const Display expected = Expected(s);
    for (int control = 0; control < 13; ++control) {
        if (!window.HasChild(kControls[control])) {
            continue;
        }
        const bool wanted = expected.shown[control].value_or(control == kExit ? exitBefore : false);
        if (window.IsShown(kControls[control]) != wanted) {
            mismatches.push_back(s.Describe() + ": " + WideString(kControls[control]).ToUTF8().GetData() +
                                 (wanted ? " hidden" : " shown"));
        }
    }
    for (int label = 0; label < 6; ++label) {
        const std::string wanted = expected.text[label].value_or(before[label]);
        if (window.TextOf(kLabels[label]) != wanted) {
            mismatches.push_back(s.Describe() + ": " + WideString(kLabels[label]).ToUTF8().GetData() + " says \"" +
                                 window.TextOf(kLabels[label]) + "\", not \"" + wanted + "\"");
        }
    }
}

TEST(MainControlStateTable, EveryCombinationShowsTheControlsAndTextsOfTheTable)
{
    std::vector<std::string> mismatches;
    for (const bool scan : {false, true}) {
        for (const bool next : {false, true}) {
            for (const bool manual : {false, true}) {
                for (const bool started : {false, true}) {
                    MainWindowHarness window(SkinWith(scan, next, manual));
                    window.Start();
                    LScriptedEngine& engine = window.Engine();
                    engine.SetCannotUpdateReason(2);
                    if (started) {
                        // The window starts the update of a device in update mode.
                        engine.SetDevice(Engine::kDeviceInUpdateMode);
                        engine.SetFile(Engine::kFilePresent);
                        engine.SetUpdateAvailable(true);
                        window.Click(L"buttonUpdateFirmware");
                        ASSERT_EQ(engine.CountCalls("StartUpdate"), 1u);
                    }
                    // Only the test's reports drive the window from here.
                    engine.SetNotificationsEnabled(false);
                    for (std::int32_t result = 0; result <= 4; ++result) {
                        for (std::int32_t device = 0; device <= 8; ++device) {
                            for (const std::int32_t file : {0, 1, 3}) {
                                for (int flags = 0; flags < 8; ++flags) {
                                    Situation s{result, device, file, (flags & 1) != 0, (flags & 2) != 0,
                                                started, (flags & 4) != 0, scan, next, manual};
                                    Check(window, s, mismatches);
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    const std::size_t shown = std::min<std::size_t>(mismatches.size(), 20);
    EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " mismatches, the first:\n"
                                    << [&] {
                                           std::string text;
                                           for (std::size_t i = 0; i < shown; ++i) {
                                               text += mismatches[i] + "\n";
                                           }
                                           return text;
                                       }();
}

}  // namespace
}  // namespace ZV::Testing
