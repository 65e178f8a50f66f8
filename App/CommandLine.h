#pragma once

#include "Utilities/Storage/StringT.h"

#include <string>

// The program's arguments (without the program's own name) as one command line, each written by the command line's
// quoting rule (Utilities/Storage/CommandLineArguments.h), so that the line splits back into exactly these
// arguments, whatever blanks, double quotes or backslashes they hold.
//
// Arguments must be UTF-8 text: a file name cut at a byte that is not could name another file. False when one is
// not, with a sentence naming it in refusal.
bool JoinCommandLine(int argumentCount, const char* const* arguments, ZV::WideString& commandLine,
                     std::string& refusal);
