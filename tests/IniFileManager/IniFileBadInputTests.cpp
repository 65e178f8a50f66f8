#include "IniTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace Ini::Testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::vector<std::string> EntriesOf(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

ino_t InodeOf(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

TEST(IniFileBadInput, BinaryNonUtf8AndOversizedFilesAreRefusedAndLeftAsTheyWere)
{
    TemporaryFolder folder;
    const std::string path = folder / "UserSettings.ini";
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"[Halvista]\nCurrentSkinIndex=1\n\0\x01\x02\xFF"s, kIniNotText},
        {"[Halvista]\nName=\x80 stray continuation\n", kIniNotText},
        {"[Halvista]\nName=cut \xE2\x82", kIniNotText},
        {"[Halvista]\nName=overlong \xC0\xAF\n", kIniNotText},
        {"[Halvista]\nName=overlong \xE0\x80\xAF\n", kIniNotText},
        {"[Halvista]\nName=surrogate \xED\xA0\x80\n", kIniNotText},
        {"[Halvista]\nName=beyond U+10FFFF \xF4\x90\x80\x80\n", kIniNotText},
        {"[Halvista]\nName=Latin-1 Gr\xFC\xDF" "e\n", kIniNotText},
        {"; full\n" + std::string(kIniMaxFileSize - 8, ';') + '\n', kIniDone},
        {"; over\n" + std::string(kIniMaxFileSize - 7, ';') + '\n', kIniTooLarge},
    };
    for (const auto& [content, expected] : cases) {
        WriteContent(path, content);
        std::int32_t result = 0;
        const std::int32_t handle = Open(path, &result);
        EXPECT_EQ(result, expected) << content.substr(0, 40);
        if (handle != 0) {
            EXPECT_EQ(SetIniValueInt(handle, "CurrentSkinIndex", 2), kIniDone);
            EXPECT_EQ(CloseIniFile(handle, 0), kIniDone);
            continue;
        }
        EXPECT_EQ(ContentOf(path), content) << "a file that was not read must not be touched";
    }

    // Far beyond the limit, and never read into memory: only its size is looked at.
    WriteContent(path, "");
    fs::resize_file(path, std::uintmax_t{1} << 30);
    std::int32_t result = 0;
    EXPECT_EQ(Open(path, &result), 0);
    EXPECT_EQ(result, kIniTooLarge);
    EXPECT_EQ(fs::file_size(path), std::uintmax_t{1} << 30);
}

TEST(IniFileBadInput, TruncatedFileOpensAndTheLinesItCutShortSurviveTheNextWrite)
{
    TemporaryFolder folder;
    const std::string path = folder / "UserSettings.ini";
    WriteContent(path, "[Window]\nLeft=10\n[Unfinish\nTop=2");
    const std::int32_t handle = Open(path);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(GetInt(handle, "Window/Left", 0), 10);
    EXPECT_EQ(GetInt(handle, "Window/Top", 0), 2) << "a broken header does not start a section";
    EXPECT_EQ(SetIniValueInt(handle, "Window/Left", 11), kIniDone);
    EXPECT_EQ(CloseIniFile(handle, 1), kIniDone);
    EXPECT_EQ(ContentOf(path), "[Window]\nLeft=11\n[Unfinish\nTop=2\n\n[File]\nVersion=1_0_0\n");
}

TEST(IniFileBadInput, HandWrittenFileKeepsItsCommentsLayoutAndLineEndsWhereNothingChanged)
{
    TemporaryFolder folder;
    const std::string path = folder / "UserSettings.ini";
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    WriteContent(path, byteOrderMark +
                           "; written by hand\r\n[Halvista]\r\n  CurrentSkinIndex = 3  \r\nName = \"Quoted\" \r\n"
                           "stray line\r\n\r\n[Window]\r\nLeft=1\r\n");
    const std::int32_t handle = Open(path);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(GetInt(handle, "CurrentSkinIndex", 0), 3);
    EXPECT_EQ(GetText(handle, "Name"), "Quoted");
    EXPECT_EQ(SetIniValueInt(handle, "CurrentSkinIndex", 3), kIniDone);
    EXPECT_EQ(SetIniValueInt(handle, "Window/Left", 7), kIniDone);
    EXPECT_EQ(SetIniValueStr(handle, "New", "x"), kIniDone);
    EXPECT_EQ(CloseIniFile(handle, 1), kIniDone);
    EXPECT_EQ(ContentOf(path), byteOrderMark +
                                   "; written by hand\r\n[Halvista]\r\n  CurrentSkinIndex = 3  \r\n"
                                   "Name = \"Quoted\" \r\nstray line\r\nNew=x\r\n\r\n[Window]\r\nLeft=7\r\n\r\n"
                                   "[File]\r\nVersion=1_0_0\r\n");
}

TEST(IniFileBadInput, FolderNamedPipeAndMissingFolderFailAtOnceAndCreateNothing)
{
    TemporaryFolder folder;
    const std::string pipe = folder / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(folder / "folder.ini");
    WriteContent(folder / "file", "");
    for (const std::string& path : {pipe, folder / "folder.ini", folder / "missing/Settings.ini",
                                    folder / "file/Settings.ini"}) {
        std::int32_t result = 0;
        EXPECT_EQ(Open(path, &result), 0) << path;
        EXPECT_EQ(result, kIniFileError) << path;
    }
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST(IniFileBadInput, WriteReplacesTheFileWholeAndKeepsItsPermissionsAndTheLinkToIt)
{
    TemporaryFolder folder;
    const std::string path = folder / "Settings.ini";
    std::int32_t handle = Open(path);
    ASSERT_EQ(SetIniValueInt(handle, "A", 1), kIniDone);
    ASSERT_EQ(WriteIniFile(handle), kIniDone);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(SetIniValueInt(handle, "A", 2), kIniDone);
    ASSERT_EQ(CloseIniFile(handle, 1), kIniDone);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntriesOf(folder.Path()), std::vector<std::string>{"Settings.ini"}) << "no temporary file is left";

    const std::string link = folder / "Link.ini";
    fs::create_symlink(path, link);
    handle = Open(link);
    ASSERT_EQ(SetIniValueInt(handle, "A", 3), kIniDone);
    ASSERT_EQ(CloseIniFile(handle, 1), kIniDone);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(ContentOf(path).find("A=3"), std::string::npos);
}

TEST(IniFileBadInput, WriteThatCannotReplaceTheFileFailsAndLeavesWhatIsThere)
{
    TemporaryFolder folder;
    const std::string path = folder / "Settings.ini";
    const std::int32_t handle = Open(path);
    ASSERT_EQ(SetIniValueInt(handle, "A", 1), kIniDone);
    // Something else has taken the file's name meanwhile.
    fs::create_directory(path);
    WriteContent(path + "/inside", "kept");
    EXPECT_EQ(WriteIniFile(handle), kIniFileError);
    EXPECT_EQ(ContentOf(path + "/inside"), "kept");
    EXPECT_EQ(EntriesOf(folder.Path()), std::vector<std::string>{"Settings.ini"}) << "no temporary file is left";

    fs::remove_all(folder.Path());
    EXPECT_EQ(CloseIniFile(handle, 1), kIniFileError);
    EXPECT_FALSE(fs::exists(folder.Path()));
}

TEST(IniFileBadInput, FileIsRewrittenOnlyWhenSomethingChangedAndCloseWritesOnlyWhenAsked)
{
    TemporaryFolder folder;
    const std::string path = folder / "Settings.ini";
    WriteContent(path, "[Halvista]\nA=1\n");
    const ino_t before = InodeOf(path);
    std::int32_t handle = Open(path);
    ASSERT_EQ(SetIniValueInt(handle, "A", 1), kIniDone);
    ASSERT_EQ(WriteIniFile(handle), kIniUnchanged);
    ASSERT_EQ(SetIniValueInt(handle, "A", 2), kIniDone);
    ASSERT_EQ(CloseIniFile(handle, 0), kIniDone);
    EXPECT_EQ(InodeOf(path), before);
    EXPECT_EQ(ContentOf(path), "[Halvista]\nA=1\n");

    handle = Open(path);
    ASSERT_EQ(SetIniValueInt(handle, "A", 2), kIniDone);
    ASSERT_EQ(CloseIniFile(handle, 1), kIniDone);
    EXPECT_NE(InodeOf(path), before);
    EXPECT_EQ(ContentOf(path), "[Halvista]\nA=2\n\n[File]\nVersion=1_0_0\n");
    EXPECT_EQ(CloseIniFile(handle, 1), kIniBadHandle);
}

}  // namespace
}  // namespace Ini::Testing
