// The application's string tables as a file that people read and edit.

#include "UI/MainWindowHarness.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace ZV::Testing {
namespace {

TEST(ApplicationStrings, EveryLineOfTheTablesFitsIn120Columns)
{
    std::istringstream document(ApplicationStringsDocument());
    std::string line;
    for (int number = 1; std::getline(document, line); ++number) {
        // Characters, not bytes: UTF-8 continuation bytes take no column.
        std::size_t columns = 0;
        for (const char byte : line) {
            columns += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
        }
        EXPECT_LE(columns, 120u) << "line " << number << ": " << line;
    }
}

}  // namespace
}  // namespace ZV::Testing
