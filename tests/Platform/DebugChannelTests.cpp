#include "Platform/DebuggerOutput.h"
#include "Platform/StandardError.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace ZV::Platform {
namespace {

using Testing::ContentOf;

TEST(DebuggerOutput, ReachesStandardErrorOnlyWhileZvDebugOutputIsSet)
{
    Testing::TemporaryFolder folder;
    const std::string captured = folder / "stderr.txt";
    {
        StandardErrorRedirection redirection(captured.c_str());
        ASSERT_TRUE(redirection.IsActive());
        setenv("ZV_DEBUG_OUTPUT", "1", 1);
        WriteDebuggerOutput("shown \xE2\x9C\x93\n");
        setenv("ZV_DEBUG_OUTPUT", "", 1);
        WriteDebuggerOutput("hidden while empty\n");
        unsetenv("ZV_DEBUG_OUTPUT");
        WriteDebuggerOutput("hidden while unset\n");
        WriteToStandardError("direct\n", 7);
    }
    EXPECT_EQ(ContentOf(captured), "shown \xE2\x9C\x93\ndirect\n");
}

}  // namespace
}  // namespace ZV::Platform
