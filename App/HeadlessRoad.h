#pragma once

#include "Engine/UpdateProcessor.h"

#include <string>

// How the program ends when the update processor has done all there is to do without the window.

// Exit codes.
inline constexpr int kExitFinished = 1;      // a silent run finished: the update completed, or none was needed
inline constexpr int kExitUpdateFailed = 3;  // a silent run whose update failed, or whose image was refused

struct HeadlessOutcome {
    int ExitCode = kExitFinished;
    // One line for the standard error, with its newline; empty when all went as asked.
    std::string ErrorLine;
};

// Tells how the program ends after the processor's initialisation answered that the window is not needed. An update
// still running is cancelled, so that the program never ends in the middle of it: the processor has waited for it as
// long as a silent run may.
HeadlessOutcome FinishWithoutWindow(LUpdateProcessor& processor);
