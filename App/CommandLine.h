#pragma once

#include "Utilities/Storage/StringT.h"

#include <string>

// The program's arguments (without the program's own name) as one command line, joined by blanks. An argument that
// holds a blank is enclosed in double quotes so that it stays one: a switch with a value ("-NAME=value") has its
// value enclosed, where the switch finder looks for the quotes, any other argument the whole of it; an argument or
// value that begins with a double quote is taken as enclosed already. An empty value is written as "", so that the
// switch names no file wherever it stands.
//
// Arguments must be UTF-8 text: a file name cut at a byte that is not could name another file. False when one is
// not, with a sentence naming it in refusal.
bool JoinCommandLine(int argumentCount, const char* const* arguments, ZV::WideString& commandLine,
                     std::string& refusal);
