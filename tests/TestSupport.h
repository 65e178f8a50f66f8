#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <exception>
#include <string>

namespace ZV::Testing {

// How long a test waits for what must happen: long enough that only a fault makes the wait fail.
inline constexpr std::chrono::milliseconds kBoundedWait{5000};
// The same for the framework's waits, which count milliseconds.
inline constexpr std::uint32_t kBoundedWaitMilliseconds = static_cast<std::uint32_t>(kBoundedWait.count());

// Exception texts end in the source path and line of the throw: compare everything before them exactly and those
// two by shape.
// True for " : <path> : Line <digits>" with a path of letters, digits and "_./\\-".
inline bool IsPathAndLine(const std::string& text)
{
    const std::string pathStart = " : ";
    const std::string lineStart = " : Line ";
    const std::size_t line = text.rfind(lineStart);
    if (text.rfind(pathStart, 0) != 0 || line == std::string::npos || line <= pathStart.size()) {
        return false;
    }
    for (std::size_t i = pathStart.size(); i < line; ++i) {
        const char c = text[i];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '/' || c == '\\' ||
              c == '-')) {
            return false;
        }
    }
    const std::size_t digits = line + lineStart.size();
    return digits < text.size() && text.find_first_not_of("0123456789", digits) == std::string::npos;
}

inline ::testing::AssertionResult TextMatchesThrow(const std::string& text, const std::string& expectedPrefix)
{
    if (text.rfind(expectedPrefix, 0) != 0) {
        return ::testing::AssertionFailure() << "text \"" << text << "\" does not begin with \"" << expectedPrefix
                                             << "\"";
    }
    if (!IsPathAndLine(text.substr(expectedPrefix.size()))) {
        return ::testing::AssertionFailure() << "text \"" << text << "\" does not end in \" : <path> : Line <n>\" "
                                             << "right after \"" << expectedPrefix << "\"";
    }
    return ::testing::AssertionSuccess();
}

// The text of the exception of that kind which the action throws, or "nothing thrown"; other kinds pass through.
template <class Kind = std::exception, class Action>
std::string ThrownText(Action action)
{
    try {
        action();
    } catch (const Kind& error) {
        return error.what();
    }
    return "nothing thrown";
}

// Whether the action throws an exception of that kind whose text matches as TextMatchesThrow says.
template <class Kind, class Action>
::testing::AssertionResult ThrowsText(Action action, const std::string& expectedPrefix)
{
    return TextMatchesThrow(ThrownText<Kind>(action), expectedPrefix);
}

}  // namespace ZV::Testing
