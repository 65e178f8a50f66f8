#include "Platform/FolderListing.h"

#include "TestFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace ZV::Platform {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

void Touch(const std::string& path)
{
    std::ofstream(path) << "x";
}

TEST(FolderListing, FontPatternFindsFilesOfEitherCaseSortedAndNoFolders)
{
    Testing::TemporaryFolder folder;
    Touch(folder / "b.TTF");
    Touch(folder / "a.ttf");
    Touch(folder / "C.ttf");
    Touch(folder / "notes.txt");
    std::filesystem::create_directory(folder / "folder.ttf");
    std::filesystem::create_directory_symlink(folder.Path(), folder / "link.ttf");
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(ListMatchingFiles(folder.Path().c_str(), "*.TTF", names), FolderListingResult::ok);
    EXPECT_THAT(names, ElementsAre("a.ttf", "b.TTF", "C.ttf"));
}

TEST(FolderListing, StarDotStarListsEveryFile)
{
    Testing::TemporaryFolder folder;
    Touch(folder / "Makefile");
    Touch(folder / "a.b.c");
    std::vector<std::string> names;
    EXPECT_EQ(ListMatchingFiles(folder.Path().c_str(), "*.*", names), FolderListingResult::ok);
    EXPECT_THAT(names, ElementsAre("a.b.c", "Makefile"));
}

TEST(FolderListing, MissingFolderOrAFileInsteadOfAFolderIsReportedAndListsNothing)
{
    Testing::TemporaryFolder folder;
    Touch(folder / "plain");
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(ListMatchingFiles((folder / "absent").c_str(), "*", names), FolderListingResult::folderMissing);
    EXPECT_THAT(names, IsEmpty());
    EXPECT_EQ(ListMatchingFiles((folder / "plain").c_str(), "*", names), FolderListingResult::folderMissing);
}

}  // namespace
}  // namespace ZV::Platform
