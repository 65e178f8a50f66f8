// The test programs' main. Like the program, a test program ignores SIGPIPE from the start: code under test that
// writes to a connection a test ended on purpose (an X server that killed it) then meets an error, as it does in the
// program, instead of ending the whole test program with the signal.
#include "Platform/StandardError.h"

#include <gtest/gtest.h>

int main(int argumentCount, char** arguments)
{
    ZV::Platform::IgnoreClosedPipes();
    ::testing::InitGoogleTest(&argumentCount, arguments);
    return RUN_ALL_TESTS();
}
