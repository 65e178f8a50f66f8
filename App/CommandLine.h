#pragma once

#include "Utilities/Storage/StringT.h"

// The program's arguments (UTF-8, without the program's own name) as one command line: joined by blanks, with
// every argument that holds a blank enclosed in double quotes, so that a switch's value stays one value.
ZV::WideString JoinCommandLine(int argumentCount, const char* const* arguments);
