#pragma once

#include "Engine/UpdateProcessor.h"

#include <string>

// How the program ends when the update processor has done all there is to do without the window.

// Exit codes.
inline constexpr int kExitFinished = 1;      // a silent run finished: the update completed, or none was needed
// A silent run whose update failed, or that could not update (without a display, or once its window closed).
inline constexpr int kExitUpdateFailed = 3;

struct HeadlessOutcome {
    int ExitCode = kExitFinished;
    // One line for the standard error, with its newline; empty when all went as asked.
    std::string ErrorLine;
};

// Tells how the program ends after the processor's initialisation answered that the window is not needed. An update
// still running is cancelled, and its end waited for, so that the program never ends in the middle of it: the
// processor has waited for it as long as a silent run may. One whose last image message is on its way goes on to the
// end that the device confirms, or to its own bounds. A device back from its update on another build than the file's
// did not take it (exit code 3).
HeadlessOutcome FinishWithoutWindow(LUpdateProcessor& processor);

// Tells how a silent run ends that cannot update and has no display for the window that would say why: exit code 3
// with what stopped it (the file, the device and the ports looked for).
HeadlessOutcome FinishWithoutDisplay(LUpdateProcessor& processor);

// Tells how a silent run ends that was asked to end before its update got on its way: exit code 3, and where that left
// the device, which was sent nothing more.
HeadlessOutcome FinishAskedToEndBeforeUpdate(LUpdateProcessor& processor);

// The line (with its newline) that tells how the update that went on without the window ended: that it finished, or
// why it did not, in the words of a silent run.
std::string DescribeUpdateEnd(LUpdateProcessor& processor);
