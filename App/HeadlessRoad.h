#pragma once

#include "Engine/UpdateProcessor.h"

#include <string>

// What the program does while it has no window: it follows the update switches and ends.

// Exit codes.
inline constexpr int kExitFinished = 1;      // a silent run finished: the update completed, or none was needed
inline constexpr int kExitWindowNeeded = 2;  // the start needs the window, which is not built yet
inline constexpr int kExitUpdateFailed = 3;  // a silent run whose update failed, or whose image was refused
inline constexpr int kExitStartupFailure = -1;

inline constexpr const char* kStartupFailureText =
    "The application encountered problems during startup and will now close.";

struct HeadlessOutcome {
    int ExitCode = kExitFinished;
    // One line for the standard error, with its newline; empty when all went as asked.
    std::string ErrorLine;
};

// Creates the update processor, initialises it with the command line and tells how the program ends. An update
// still running at the end is waited for, and cancelled when it takes too long, so that the program never ends in
// the middle of it. An empty factory talks through the process's MIDI driver.
HeadlessOutcome RunWithoutWindow(const ZV::WideString& commandLine, MidiCommFactory midiFactory = {});
