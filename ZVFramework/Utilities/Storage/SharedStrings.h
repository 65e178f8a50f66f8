#pragma once

#include "Utilities/Storage/StringT.h"

#include <string>

// Strings that the whole framework shares, each made on first use (the program makes them all before main, in the
// order of its globals) and destroyed at exit.
namespace ZV {

const WideString& GetOneSpace();
const NarrowString& GetEmptyNarrowString();
// Passed wherever an empty folder or name is meant.
const WideString& GetEmptyString();
const std::string& GetBase64Alphabet();
// Label texts are split into lines at it.
const WideString& GetLineSeparator();

}  // namespace ZV
