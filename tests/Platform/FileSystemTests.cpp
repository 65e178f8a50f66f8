#include "Platform/FileSystem.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace ZV::Platform {
namespace {

TEST(FileSystem, OnlyARegularFileOpensAndANamedPipeIsRefusedWithoutWaitingForAWriter)
{
    Testing::TemporaryFolder folder;
    const std::string pipe = folder / "image.syx";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(OpenFile(pipe.c_str(), FileOpenOptions{}), -1);
    EXPECT_EQ(errno, ENXIO);
    EXPECT_EQ(OpenFile(folder.Path().c_str(), FileOpenOptions{}), -1);
    EXPECT_EQ(errno, EISDIR);

    const std::string file = folder / "font.ttf";
    Testing::WriteContent(file, "bytes");
    const int descriptor = OpenFile(file.c_str(), FileOpenOptions{});
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(::fcntl(descriptor, F_GETFL) & O_NONBLOCK, 0) << "reads wait for their bytes as usual";
    char buffer[8] = {};
    EXPECT_EQ(ReadFile(descriptor, buffer, sizeof buffer), 5);
    EXPECT_TRUE(CloseFile(descriptor));
}

}  // namespace
}  // namespace ZV::Platform
