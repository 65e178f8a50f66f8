#pragma once

#include "Utilities/Storage/StringT.h"

// The program's arguments (UTF-8, without the program's own name) as one command line, joined by blanks. An argument
// that holds a blank is enclosed in double quotes so that it stays one: a switch with a value ("-NAME=value") has
// its value enclosed, where the switch finder looks for the quotes, any other argument the whole of it.
ZV::WideString JoinCommandLine(int argumentCount, const char* const* arguments);
