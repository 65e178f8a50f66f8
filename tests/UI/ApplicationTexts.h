#pragma once

#include <string>

// The window's status texts as the application's string tables give them in English.
namespace ZV::Testing {

inline const std::string kNoDevice =
    "The device was not found.\nPlug in your device and click the \"SCAN FOR DEVICE\" button.";
inline const std::string kLooking = "Looking for device.";
inline const std::string kTwoBlanks = "  ";
inline const std::string kThreeBlanks = "   ";
inline const std::string kNoFile = "Use the file menu to open a firmware file.";
inline const std::string kFileInvalid = "The firmware update file is missing or invalid.";
inline const std::string kReady = "Click the \"UPDATE FIRMWARE\" button to start the update process.";
inline const std::string kResetting = "The device is resetting. The update will begin momentarily.";
inline const std::string kInProgress = "Firmware update in progress. Do not disconnect the device.";
inline const std::string kAborted = "Update aborted.";
inline const std::string kSucceeded = "Your device has been successfully updated. You may now close this application.";
inline const std::string kNotSuccessful =
    "The update does not appear to have been successful. Press the \"RESTART\" button to try again.";
inline const std::string kAfterUpdate =
    "When \"Firmware Update Complete\" appears on all 3 screens, turn the device off and on, and then click "
    "\"NEXT.\" It may take a few moments for the device to return online after it has been reset.";
inline const std::string kSuccessUnknown =
    "Your device is not responding after an update.The success of the update is unknown. Unplug and replug in the "
    "device and press \"RESTART\"";
inline const std::string kNotNeeded = "The device is up to date. An update is not needed.";
inline const std::string kNoReason =
    "The device can not be updated because of an unknown error.   Press the \"RESTART\" "
    "button to attempt restart the update process.";
inline const std::string kSystemFailure = "The device can not be updated because of a system failure. Press the "
                                   "\"RESTART\" button to attempt restart the update process.";
inline const std::string kFileAccessFailure = "The device can not be updated because of a file access error. Press "
                                              "the \"RESTART\" button to attempt restart the update process.";
inline const std::string kDriverTooOld = "The device can not be updated because the system's MIDI driver is too old. "
                                         "Update the system and press the \"RESTART\" button.";
inline const std::string kDeviceAccessFailure = "The update has failed because the device can not be accessed. "
                                                "Unplug and replug in the device and press \"RESTART\"";

}  // namespace ZV::Testing
