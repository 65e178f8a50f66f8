#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace ZV::Testing {

// Exception texts end in the source path and line of the throw: compare everything before them exactly and those
// two by shape.
inline ::testing::AssertionResult TextMatchesThrow(const std::string& text, const std::string& expectedPrefix)
{
    static const std::regex pathAndLine(R"( : [A-Za-z0-9_./\\-]+ : Line [0-9]+$)");
    if (text.rfind(expectedPrefix, 0) != 0) {
        return ::testing::AssertionFailure() << "text \"" << text << "\" does not begin with \"" << expectedPrefix
                                             << "\"";
    }
    const std::string rest = text.substr(expectedPrefix.size());
    if (!std::regex_match(rest, pathAndLine)) {
        return ::testing::AssertionFailure() << "text \"" << text << "\" does not end in \" : <path> : Line <n>\" "
                                             << "right after \"" << expectedPrefix << "\"";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace ZV::Testing
