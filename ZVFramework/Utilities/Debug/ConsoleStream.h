#pragma once

#include "Threading/Mutex.h"

#include <ostream>
#include <streambuf>
#include <string>

namespace ZV {

// Writes UTF-16 text to the standard error as UTF-8, as it comes. (The standard wide error stream would take each
// wchar_t as a whole code point and convert it through the locale, which garbles UTF-16 and breaks surrogate pairs.)
// A high surrogate at the end of a write waits for its partner; threads may share the buffer.
class Utf8ErrorStreamBuffer : public std::basic_streambuf<wchar_t> {
protected:
    std::streamsize xsputn(const wchar_t* text, std::streamsize count) override;
    // No put area is ever set up, so every single character comes through here.
    int_type overflow(int_type unit) override;

private:
    Mutex mLock;
    std::wstring mPending;
};

// The process's one wide stream on the standard error.
std::basic_ostream<wchar_t>& GetWideErrorStream();

}  // namespace ZV
