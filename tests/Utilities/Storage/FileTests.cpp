#include "Utilities/Storage/ZVFile.h"

#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ZV {
namespace {

using Testing::ContentOf;
using Testing::TemporaryFolder;
using Testing::WriteContent;
using Testing::TextMatchesThrow;

template <class Action>
std::string ThrownText(Action action)
{
    return Testing::ThrownText<std::runtime_error>(action);
}

constexpr std::uint32_t kCreateReadWrite = File::kModeCreate | File::kModeReadWrite;

WideString Wide(const std::string& utf8)
{
    return WideString(utf8.c_str());
}

TEST(File, NonAsciiNameIsCreatedWrittenReadAtPositionsMeasuredAndDeletedOnClose)
{
    TemporaryFolder folder;
    const std::string name = "Caf\xC3\xA9 cr\xC3\xA8me \xC3\xA0 l'\xC5\x93uvre \xF0\x9F\x98\x80.bin";
    const std::string pathOnDisk = folder / name;
    {
        File file(Wide(folder.Path().string()), Wide(name), kCreateReadWrite | File::kModeDeleteOnClose);
        EXPECT_EQ(file.GetPath(), Wide(pathOnDisk));
        EXPECT_TRUE(std::filesystem::exists(pathOnDisk)) << "the name reaches the disk as UTF-8";

        EXPECT_EQ(file.Write("0123456789", 10, 0), 10u);
        EXPECT_EQ(file.Write("AB", 2, 4), 2u);
        EXPECT_EQ(file.GetLength(), 10u);

        char buffer[8] = {};
        EXPECT_EQ(file.Read(buffer, 3, 3), 3u);
        EXPECT_EQ(std::string(buffer, 3), "3AB");
        EXPECT_EQ(file.Read(buffer, 3, File::kCurrentPosition), 3u) << "reading on from where the last read ended";
        EXPECT_EQ(std::string(buffer, 3), "678");
        EXPECT_EQ(file.Read(buffer, 8, File::kCurrentPosition), 1u);
        EXPECT_EQ(file.Read(buffer, 8, File::kCurrentPosition), 0u) << "0 at the end of the file";
        EXPECT_EQ(file.Read(buffer, 8, 100), 0u) << "a position beyond the end reads nothing";

        EXPECT_EQ(file.Seek(-2, 2), 8);
        EXPECT_EQ(file.Write("YZ", 2, File::kCurrentPosition), 2u);
        EXPECT_EQ(ContentOf(pathOnDisk), "0123AB67YZ");
    }
    EXPECT_FALSE(std::filesystem::exists(pathOnDisk)) << "deleted when the last holder closed it";
}

TEST(File, WriteToAReadOnlyFileThrowsBeforeTouchingIt)
{
    TemporaryFolder folder;
    WriteContent(folder / "firmware.syx", "original");
    File file(Wide(folder.Path().string()), L"firmware.syx", File::kModeRead);
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { file.Write("x", 1, 0); }),
                                 "Runtime Error : file is read only : ZV::File::Write"));
    EXPECT_EQ(ContentOf(folder / "firmware.syx"), "original");
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8, 0), 8u) << "reading still works";
}

TEST(File, CopiesShareTheDescriptorAndOnlyTheLastCloseDeletes)
{
    TemporaryFolder folder;
    const std::string path = folder / "shared.tmp";
    auto original = std::make_unique<File>(Wide(folder.Path().string()), L"shared.tmp",
                                           kCreateReadWrite | File::kModeDeleteOnClose);
    File copy(*original);
    EXPECT_EQ(original->Close(), 0);
    EXPECT_TRUE(std::filesystem::exists(path)) << "another holder still uses the descriptor";
    EXPECT_EQ(copy.Write("still open", 10, 0), 10u);
    original.reset();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(copy.Close(), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(copy.Close(), 0) << "closing a closed file does nothing";
}

TEST(File, ExclusiveCreationFailsOnAnExistingFileAndMeansNothingWithoutCreate)
{
    TemporaryFolder folder;
    WriteContent(folder / "exists.bin", "kept");
    const WideString folderPath = Wide(folder.Path().string());
    File withoutCreate(folderPath, L"exists.bin", File::kModeExclusive | File::kModeReadWrite);
    EXPECT_EQ(withoutCreate.GetLength(), 4u);

    File exclusive;
    EXPECT_TRUE(TextMatchesThrow(
        ThrownText([&] { exclusive.Open(folderPath, L"exists.bin", File::kModeExclusive | kCreateReadWrite); }),
        "Runtime Error : open : ZV::File::Open"));
    EXPECT_EQ(ContentOf(folder / "exists.bin"), "kept") << "no open ever truncates";
    EXPECT_EQ(exclusive.Open(folderPath, L"new.bin", File::kModeExclusive | kCreateReadWrite), 0);
}

TEST(File, BadPathsAndCallsOnAClosedFileThrowTheirTexts)
{
    TemporaryFolder folder;
    File file;
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { file.Open(WideString(), WideString(), File::kModeRead); }),
                                 "Runtime Error : invalid pathname : ZV::File::Open"));
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { file.Open(Wide(folder.Path().string()), L"absent", 0x10000); }),
                                 "Runtime Error : open : ZV::File::Open"));
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { File(Wide(folder / "absent"), WideString(), File::kModeRead); }),
                                 "Runtime Error : open : ZV::File::Open"))
        << "the constructor lets the failure of Open out";

    // A closed file fails instead of reading some other descriptor.
    char buffer[4];
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { file.Read(buffer, 4, 0); }),
                                 "Runtime Error : lseek : ZV::File::Read"));
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { file.Read(buffer, 4, File::kCurrentPosition); }),
                                 "Runtime Error : read : ZV::File::Read"));
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { file.GetLength(); }), "Runtime Error : fstat : ZV::File::GetLength"));
    EXPECT_EQ(file.Seek(0, 0), -1);
    File writable(Wide(folder.Path().string()), L"w.bin", kCreateReadWrite);
    writable.Close();
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { writable.Write("x", 1, 0); }),
                                 "Runtime Error : lseek : ZV::File::Write"));
    EXPECT_TRUE(TextMatchesThrow(ThrownText([&] { writable.Write("x", 1, File::kCurrentPosition); }),
                                 "Runtime Error : write : ZV::File::Write"));
}

TEST(FilePaths, FileNameAndParentFolderSplitAtEitherSeparator)
{
    EXPECT_EQ(File::GetFileName(L"a\\b/c.txt"), L"c.txt");
    EXPECT_EQ(File::GetFileName(L"a/b\\c.txt"), L"c.txt");
    EXPECT_EQ(File::GetFileName(L"c.txt"), L"c.txt");
    EXPECT_EQ(File::GetFileName(L"a\\b\\"), L"a\\b\\") << "a trailing separator gives the whole path";

    EXPECT_EQ(File::GetParentFolder(L"/home/user/c.txt"), L"/home/user");
    EXPECT_EQ(File::GetParentFolder(L"a\\b/c.txt"), L"a\\b");
    EXPECT_EQ(File::GetParentFolder(L"/home/"), L"/home");
    EXPECT_EQ(File::GetParentFolder(L"/c.txt"), L"/") << "the root keeps its separator";
    EXPECT_EQ(File::GetParentFolder(L"c.txt"), L"");
}

TEST(FilePaths, LongPathNameIsThePathItselfEvenWhenNothingIsThere)
{
    TemporaryFolder folder;
    const WideString existing = Wide(folder.Path().string());
    EXPECT_EQ(File::GetLongPathName(existing), existing);
    const WideString missing = Wide(folder / "no/such/file.txt");
    EXPECT_EQ(File::GetLongPathName(missing), missing) << "a failed lookup gives the input back";
    const WideString tooLong = Wide(std::string(1000, 'x'));
    EXPECT_EQ(File::GetLongPathName(tooLong), tooLong);
}

TEST(FilePaths, FolderChainCreatesEveryMissingFolderButNotTheFileName)
{
    TemporaryFolder folder;
    EXPECT_TRUE(File::CreateFolderChain(Wide(folder / "x/y/f.txt"), true));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "x/y"));
    EXPECT_FALSE(std::filesystem::exists(folder / "x/y/f.txt"));

    EXPECT_TRUE(File::CreateFolderChain(Wide(folder / "p\\q/r"), false));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "p\\q/r")) << "'\\' splits as well";
    EXPECT_TRUE(File::CreateFolderChain(L"name-only.txt", true));

    WriteContent(folder / "blocker", "");
    EXPECT_FALSE(File::CreateFolderChain(Wide(folder / "blocker/sub/f.txt"), true));
}

TEST(FilePaths, EnsureFolderExistsAndFileExistsTellFoldersFromFiles)
{
    TemporaryFolder folder;
    EXPECT_EQ(File::EnsureFolderExists(Wide(folder / "settings/Corvan")), ZV_S_OK);
    EXPECT_EQ(File::EnsureFolderExists(Wide(folder / "settings/Corvan")), ZV_S_FALSE);
    WriteContent(folder / "plain", "");
    EXPECT_EQ(File::EnsureFolderExists(Wide(folder / "plain")), ZV_E_FAIL);
    EXPECT_EQ(File::EnsureFolderExists(Wide(folder / "plain/below")), ZV_E_FAIL);

    EXPECT_TRUE(File::FileExists(Wide(folder / "plain")));
    EXPECT_FALSE(File::FileExists(Wide(folder / "settings")));
    EXPECT_FALSE(File::FileExists(Wide(folder / "absent")));
}

TEST(FileListing, FindsMatchingFilesInEitherLetterCaseSortedWithFullPathsAndNoFoldersAndNothingInAMissingFolder)
{
    TemporaryFolder folder;
    for (const char* name : {"b.TTF", "a.ttf", "c.otf"}) {
        WriteContent(folder.Path().string() + "/" + name, "font");
    }
    std::filesystem::create_directory(folder.Path().string() + "/folder.ttf");
    WideStringArray found;
    EXPECT_TRUE(Succeeded(found.AddItem(WideString(L"left over"))));
    ASSERT_EQ(File::ListFiles(Wide(folder.Path().string()), WideString(L"*.TTF"), found), 2);
    ASSERT_EQ(found.GetCount(), 2u);
    EXPECT_TRUE(found.GetData()[0] == Wide(folder.Path().string() + "/a.ttf"));
    EXPECT_TRUE(found.GetData()[1] == Wide(folder.Path().string() + "/b.TTF"));
    EXPECT_EQ(File::ListFiles(Wide(folder.Path().string() + "/"), WideString(L"*.otf"), found), 1);
    EXPECT_TRUE(found.GetData()[0] == Wide(folder.Path().string() + "/c.otf")) << "no doubled separator";
    EXPECT_EQ(File::ListFiles(Wide(folder.Path().string()), WideString(L"*.pfb"), found), 0);
    EXPECT_TRUE(Succeeded(found.AddItem(WideString(L"left over"))));
    EXPECT_EQ(File::ListFiles(Wide(folder.Path().string() + "/absent"), WideString(L"*"), found), ZV_E_NOTIMPL);
    EXPECT_EQ(found.GetCount(), 0u) << "a missing folder empties the list";
}

}  // namespace
}  // namespace ZV
