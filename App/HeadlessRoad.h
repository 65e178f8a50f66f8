#pragma once

#include "Engine/UpdateProcessor.h"

#include <string>

// What the program does while it has no window: it follows the update switches and ends.

// Exit codes.
inline constexpr int kExitFinished = 1;      // the update processor finished without the window
inline constexpr int kExitWindowNeeded = 2;  // the start needs the window, which is not built yet
inline constexpr int kExitStartupFailure = -1;

inline constexpr const char* kStartupFailureText =
    "The application encountered problems during startup and will now close.";

// Creates the update processor, initialises it with the command line and returns the exit code. A start that
// needs the window says so in one line on the standard error. An update still running at the end is waited for,
// and cancelled when it takes too long, so that the program never ends in the middle of it.
int RunWithoutWindow(const ZV::WideString& commandLine);

// What the engine, as the processor left it, would show in the window: one short clause.
std::string DescribeEngineState(LUpdateEngineInterface& engine);
