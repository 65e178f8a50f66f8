#pragma once

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace ZV::Testing {

// Runs the operation and expects the framework's "Out of Range" exception with a text that begins as given.
template <class Operation>
void ExpectOutOfRange(Operation operation, const std::string& expectedPrefix)
{
    try {
        operation();
        ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_TRUE(TextMatchesThrow(error.what(), expectedPrefix));
    }
}

}  // namespace ZV::Testing
