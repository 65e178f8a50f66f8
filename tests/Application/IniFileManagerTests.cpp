#include "Application/IniFileManager.h"

#include "DebuggerOutputCapture.h"
#include "Platform/StandardError.h"
#include "TestFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ContentOf;
using Testing::DebuggerOutputCapture;
using Testing::TemporaryFolder;
using Testing::WriteContent;

constexpr ZVRESULT kBadHandle = -1;
const WideString kVersionKey(L"1_0_0");
const WideString kProductName(L"Halvista Firmware Updater");

const WideString kRealLibraryFolder(ZV_TEST_INI_LIBRARY_FOLDER);

WideString FakeLibraryFolder(const char* fake)
{
    return WideString((std::string(ZV_TEST_FAKE_INI_LIBRARIES) + "/" + fake).c_str());
}

WideString Wide(const std::string& utf8)
{
    return WideString(utf8.c_str());
}

RCPtr<LIniFileManager> NewManager()
{
    return RCPtr<LIniFileManager>(new LIniFileManager, kNewObject);
}

std::size_t LinesWith(const std::string& text)
{
    std::size_t count = 0;
    for (const std::string& line : DebuggerOutputCapture::Texts()) {
        count += line.find(text) != std::string::npos ? 1 : 0;
    }
    return count;
}

// 5,000 UTF-16 units: letters beyond ASCII, a character outside the basic plane (two units), and the characters that
// the file format escapes.
WideString LongText()
{
    WideString text;
    const WideString pattern(L"Gr\u00FC\u00DFe \u6771\u4EAC \xD83D\xDE00 \"q\" \\ a=b; [s]\n");
    while (text.GetLength() + pattern.GetLength() <= 5000) {
        text += pattern;
    }
    while (text.GetLength() < 5000) {
        text.AppendChar(L'x');
    }
    return text;
}

TEST(SettingsLibrary, RoundTripsNumbersTextsAndArraysThroughWriteCloseAndReopen)
{
    TemporaryFolder folder;
    const WideString path = Wide(folder / "UserSettings.ini");
    RCPtr<LIniFileManager> manager = NewManager();
    ASSERT_EQ(manager->Load(kRealLibraryFolder), ZV_S_OK);
    EXPECT_EQ(manager->Load(kRealLibraryFolder), ZV_S_FALSE);

    IniFileHandle handle = 0;
    ASSERT_EQ(manager->OpenIniFile(path, kVersionKey, kProductName, handle), ZV_S_OK);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(manager->SetIniValueInt(handle, L"CurrentSkinIndex", 3), ZV_S_OK);
    EXPECT_EQ(manager->SetIniValueInt(handle, L"Window/Left", -40), ZV_S_OK);
    EXPECT_EQ(manager->SetIniValueStr(handle, L"Long", LongText()), ZV_S_OK);
    EXPECT_EQ(manager->SetArrayCount(handle, L"Recent", 3), ZV_S_OK);
    EXPECT_EQ(manager->SetArrayItemAt(handle, L"Recent", 0, L"/home/\u00E9l\u00E8ve/a.syx"), ZV_S_OK);
    EXPECT_EQ(manager->SetArrayItemAt(handle, L"Recent", 1, LongText()), ZV_S_OK);
    EXPECT_EQ(manager->SetArrayItemAt(handle, L"Recent", 2, L""), ZV_S_OK);
    EXPECT_EQ(manager->WriteIniFile(handle), ZV_S_OK);
    EXPECT_EQ(manager->CloseIniFile(handle, 0), ZV_S_OK);

    IniFileHandle reopened = 0;
    ASSERT_EQ(manager->OpenIniFile(path, kVersionKey, kProductName, reopened), ZV_S_OK);
    std::int32_t number = 0;
    EXPECT_EQ(manager->GetIniValueInt(reopened, L"CurrentSkinIndex", 0, number), ZV_S_OK);
    EXPECT_EQ(number, 3);
    EXPECT_EQ(manager->GetIniValueInt(reopened, L"Window/Left", 0, number), ZV_S_OK);
    EXPECT_EQ(number, -40);
    WideString text;
    EXPECT_EQ(manager->GetIniValueStr(reopened, L"Long", L"", text), ZV_S_OK);
    EXPECT_EQ(text.GetLength(), 5000u);
    EXPECT_EQ(text, LongText());
    EXPECT_EQ(manager->GetIniValueStr(reopened, L"Absent", L"d\u00E9faut", text), ZV_S_FALSE);
    EXPECT_EQ(text, WideString(L"d\u00E9faut"));

    std::int32_t count = 0;
    EXPECT_EQ(manager->GetArrayCount(reopened, L"Recent", count), ZV_S_OK);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(manager->GetArrayItemAt(reopened, L"Recent", 0, text), ZV_S_OK);
    EXPECT_EQ(text, WideString(L"/home/\u00E9l\u00E8ve/a.syx"));
    EXPECT_EQ(manager->GetArrayItemAt(reopened, L"Recent", 1, text), ZV_S_OK);
    EXPECT_EQ(text, LongText());
    EXPECT_EQ(manager->GetArrayItemAt(reopened, L"Recent", 2, text), ZV_S_OK);
    EXPECT_EQ(text, WideString());
    EXPECT_EQ(manager->RemoveArrayItemAt(reopened, L"Recent", 0), ZV_S_OK);
    EXPECT_EQ(manager->GetArrayCount(reopened, L"Recent", count), ZV_S_OK);
    EXPECT_EQ(count, 2);

    EXPECT_EQ(manager->GetKeyCount(reopened, L"", count), ZV_S_OK);
    EXPECT_EQ(count, 2);
    WideString name;
    EXPECT_EQ(manager->GetKeyNameAt(reopened, L"", 1, name), ZV_S_OK);
    EXPECT_EQ(name, WideString(L"Long"));
    EXPECT_TRUE(manager->DoesNodeExist(reopened, L"Window/Left"));
    EXPECT_FALSE(manager->DoesNodeExist(reopened, L"Window/Right"));
    EXPECT_EQ(manager->CloseIniFile(reopened, 0), ZV_S_OK);
    EXPECT_EQ(manager->Unload(), ZV_S_OK);
    EXPECT_EQ(manager->Unload(), ZV_S_FALSE);
}

TEST(SettingsLibrary, LoadsFromTheProgramsFolderFirstAndFromAFolderWithOrWithoutItsSeparator)
{
    for (const WideString& folder : {WideString(), kRealLibraryFolder, kRealLibraryFolder + WideString(L"/")}) {
        CIniFileManagerProxy proxy;
        EXPECT_EQ(proxy.Load(folder), ZV_S_OK) << folder.ToUTF8().GetData();
        TemporaryFolder files;
        IniFileHandle handle = 0;
        EXPECT_EQ(proxy.OpenIniFile(Wide(files / "a.ini"), kVersionKey, kProductName, handle), ZV_S_OK);
    }
}

// Every operation fails, leaves its out-values at their defaults and calls nothing.
void ExpectDefaultsOnly(IIniFileManager& manager)
{
    IniFileHandle handle = 5;
    EXPECT_EQ(manager.OpenIniFile(L"/tmp/never.ini", kVersionKey, kProductName, handle), ZV_E_FAIL);
    EXPECT_EQ(handle, 0);
    std::int32_t number = 0;
    EXPECT_EQ(manager.GetIniValueInt(7, L"CurrentSkinIndex", 4, number), ZV_E_FAIL);
    EXPECT_EQ(number, 4);
    WideString text(L"junk");
    EXPECT_EQ(manager.GetIniValueStr(7, L"Name", L"default", text), ZV_E_FAIL);
    EXPECT_EQ(text, WideString(L"default"));
    text = L"junk";
    EXPECT_EQ(manager.GetKeyNameAt(7, L"", 0, text), ZV_E_FAIL);
    EXPECT_EQ(text, WideString());
    text = L"junk";
    EXPECT_EQ(manager.GetArrayItemAt(7, L"Recent", 0, text), ZV_E_FAIL);
    EXPECT_EQ(text, WideString());
    std::int32_t count = 9;
    EXPECT_EQ(manager.GetKeyCount(7, L"", count), ZV_E_FAIL);
    EXPECT_EQ(count, 0);
    count = 9;
    EXPECT_EQ(manager.GetArrayCount(7, L"Recent", count), ZV_E_FAIL);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(manager.DoesNodeExist(7, L""));
    EXPECT_EQ(manager.SetIniValueInt(7, L"A", 1), ZV_E_FAIL);
    EXPECT_EQ(manager.SetIniValueStr(7, L"A", L"b"), ZV_E_FAIL);
    EXPECT_EQ(manager.SetArrayCount(7, L"A", 1), ZV_E_FAIL);
    EXPECT_EQ(manager.SetArrayItemAt(7, L"A", 0, L"b"), ZV_E_FAIL);
    EXPECT_EQ(manager.RemoveArrayItemAt(7, L"A", 0), ZV_E_FAIL);
    EXPECT_EQ(manager.WriteIniFile(7), ZV_E_FAIL);
    EXPECT_EQ(manager.CloseIniFile(7, 1), ZV_E_FAIL);
    EXPECT_EQ(manager.CloseAllIniFiles(), ZV_S_FALSE);
    EXPECT_EQ(manager.Unload(), ZV_S_FALSE);
}

TEST(SettingsLibrary, MissingBrokenOrIncompleteLibraryIsNotUsedAndTheSettingsKeepTheirDefaults)
{
    DebuggerOutputCapture capture;
    ExpectDefaultsOnly(*NewManager());

    TemporaryFolder empty;
    TemporaryFolder garbage;
    WriteContent(garbage / "libIniFileManager.so", std::string("\x7F" "ELF but nothing else", 21));
    // Cut short as by an interrupted copy: the system's loader alone would crash on most of these.
    const std::string realLibrary = ContentOf(std::string(ZV_TEST_INI_LIBRARY_FOLDER) + "/libIniFileManager.so");
    ASSERT_GT(realLibrary.size(), 60000u);
    TemporaryFolder cutShort[4];
    const std::size_t cutSizes[4] = {63, 1000, 4096, 30000};
    std::vector<WideString> folders = {Wide(empty.Path().string()), Wide(garbage.Path().string()),
                                       FakeLibraryFolder("missing_export")};
    for (int i = 0; i < 4; ++i) {
        WriteContent(cutShort[i] / "libIniFileManager.so", realLibrary.substr(0, cutSizes[i]));
        folders.push_back(Wide(cutShort[i].Path().string()));
    }
    for (const WideString& folder : folders) {
        RCPtr<LIniFileManager> manager = NewManager();
        EXPECT_EQ(manager->Load(folder), ZV_E_FAIL) << folder.ToUTF8().GetData();
        ExpectDefaultsOnly(*manager);
    }
    EXPECT_EQ(LinesWith("the settings keep their defaults"), folders.size());
    EXPECT_EQ(LinesWith("lacks the function RemoveArrayItemAt"), 1u);
    // Shorter than its header, the first is one that the system's loader refuses by itself.
    EXPECT_EQ(LinesWith("the file is cut short"), 3u);
}

TEST(SettingsLibrary, NonsenseSizesCountsAndHandlesFromTheLibraryLeaveTheDefaults)
{
    DebuggerOutputCapture capture;
    CIniFileManagerProxy proxy;
    ASSERT_EQ(proxy.Load(FakeLibraryFolder("nonsense_sizes")), ZV_S_OK);
    const WideString kDefault(L"the default");

    for (const wchar_t* nonsense : {L"needed:0", L"needed:-1", L"needed:-2147483648", L"needed:16777217",
                                    L"needed:2147483647", L"not-utf8"}) {
        WideString text;
        EXPECT_EQ(proxy.GetIniValueStr(1, nonsense, kDefault, text), ZV_E_FAIL);
        EXPECT_EQ(text, kDefault);
        text = L"junk";
        EXPECT_EQ(proxy.GetKeyNameAt(1, nonsense, 0, text), ZV_E_FAIL);
        EXPECT_EQ(text, WideString());
        EXPECT_EQ(proxy.GetArrayItemAt(1, nonsense, 0, text), ZV_E_FAIL);
        EXPECT_EQ(text, WideString());
    }
    EXPECT_EQ(LinesWith("asked for a text buffer of 16777217 bytes"), 3u);

    WideString text;
    EXPECT_EQ(proxy.GetIniValueStr(1, L"needed:2000", kDefault, text), -2) << "a second refusal is passed on";
    EXPECT_EQ(text, kDefault);
    EXPECT_EQ(proxy.GetIniValueStr(1, L"second-fails", kDefault, text), -3);
    EXPECT_EQ(text, kDefault);
    EXPECT_EQ(proxy.GetIniValueStr(1, L"unterminated", kDefault, text), ZV_S_OK);
    EXPECT_EQ(text, WideString(std::string(1023, 'a').c_str()));
    EXPECT_EQ(proxy.GetArrayItemAt(1, L"unterminated-long", 0, text), ZV_S_OK);
    EXPECT_EQ(text, WideString(std::string(2999, 'b').c_str()));
    EXPECT_EQ(proxy.GetIniValueStr(1, L"sound", kDefault, text), ZV_S_OK);
    EXPECT_EQ(text, WideString(L"sound"));

    for (const wchar_t* nonsense : {L"negative", L"huge"}) {
        std::int32_t count = 1;
        EXPECT_EQ(proxy.GetKeyCount(1, nonsense, count), ZV_E_FAIL);
        EXPECT_EQ(count, 0);
        count = 1;
        EXPECT_EQ(proxy.GetArrayCount(1, nonsense, count), ZV_E_FAIL);
        EXPECT_EQ(count, 0);
    }
    std::int32_t count = 1;
    EXPECT_EQ(proxy.GetArrayCount(1, L"junk-on-failure", count), -3);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(proxy.GetArrayCount(1, L"sound", count), ZV_S_OK);
    EXPECT_EQ(count, 3);
    std::int32_t number = 0;
    EXPECT_EQ(proxy.GetIniValueInt(1, L"junk-on-failure", 4, number), -3);
    EXPECT_EQ(number, 4);

    IniFileHandle handle = 5;
    EXPECT_EQ(proxy.OpenIniFile(L"no-handle", kVersionKey, kProductName, handle), ZV_E_FAIL);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(proxy.OpenIniFile(L"junk-on-failure", kVersionKey, kProductName, handle), -3);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(proxy.OpenIniFile(L"sound", kVersionKey, kProductName, handle), ZV_S_OK);
    EXPECT_EQ(handle, 7);
    EXPECT_TRUE(proxy.DoesNodeExist(handle, L"any"));
}

TEST(SettingsLibrary, FilesStillOpenAreWrittenAndClosedAtShutDownWhenTheManagerGoesAndOnUnload)
{
    TemporaryFolder folder;
    const std::string appPath = folder / "AppSettings.ini";
    const std::string userPath = folder / "UserSettings.ini";
    RCPtr<LIniFileManager> manager = NewManager();
    ASSERT_EQ(manager->Load(kRealLibraryFolder), ZV_S_OK);
    IniFileHandle app = 0;
    IniFileHandle user = 0;
    ASSERT_EQ(manager->OpenIniFile(Wide(appPath), kVersionKey, kProductName, app), ZV_S_OK);
    ASSERT_EQ(manager->OpenIniFile(Wide(userPath), kVersionKey, kProductName, user), ZV_S_OK);
    ASSERT_EQ(manager->SetIniValueInt(user, L"CurrentSkinIndex", 1), ZV_S_OK);
    ASSERT_EQ(manager->SetIniValueStr(app, L"Name", L"shared"), ZV_S_OK);

    EXPECT_EQ(manager->CloseAllIniFiles(), ZV_S_OK);
    EXPECT_NE(ContentOf(userPath).find("CurrentSkinIndex=1"), std::string::npos);
    EXPECT_NE(ContentOf(appPath).find("Name=shared"), std::string::npos);
    std::int32_t number = 0;
    EXPECT_EQ(manager->GetIniValueInt(user, L"CurrentSkinIndex", 0, number), kBadHandle) << "the file is closed";
    EXPECT_EQ(manager->CloseAllIniFiles(), ZV_S_FALSE);

    ASSERT_EQ(manager->OpenIniFile(Wide(userPath), kVersionKey, kProductName, user), ZV_S_OK);
    ASSERT_EQ(manager->SetIniValueInt(user, L"CurrentSkinIndex", 2), ZV_S_OK);
    EXPECT_EQ(manager->Unload(), ZV_S_OK);
    EXPECT_NE(ContentOf(userPath).find("CurrentSkinIndex=2"), std::string::npos);

    ASSERT_EQ(manager->Load(kRealLibraryFolder), ZV_S_OK);
    ASSERT_EQ(manager->OpenIniFile(Wide(userPath), kVersionKey, kProductName, user), ZV_S_OK);
    ASSERT_EQ(manager->SetIniValueInt(user, L"CurrentSkinIndex", 3), ZV_S_OK);
    manager = nullptr;
    EXPECT_NE(ContentOf(userPath).find("CurrentSkinIndex=3"), std::string::npos);
}

// A file the user made read-only is never replaced, not even by root; a write that fails or is left out says so in
// one line, as a file that cannot be read does, and the file is closed all the same.
TEST(SettingsLibrary, AReadOnlyFileIsLeftAsItIsAndEveryWriteThatFailsOrIsLeftOutIsSaidInOneLine)
{
    DebuggerOutputCapture capture;
    TemporaryFolder folder;
    CIniFileManagerProxy proxy;
    ASSERT_EQ(proxy.Load(kRealLibraryFolder), ZV_S_OK);
    const auto openAndChange = [&](const std::string& path) {
        IniFileHandle handle = 0;
        EXPECT_EQ(proxy.OpenIniFile(Wide(path), kVersionKey, kProductName, handle), ZV_S_OK);
        EXPECT_EQ(proxy.SetIniValueInt(handle, L"CurrentSkinIndex", 2), ZV_S_OK);
        return handle;
    };
    const auto statusOf = [](const std::string& path) {
        struct stat status {};
        EXPECT_EQ(stat(path.c_str(), &status), 0);
        return status;
    };

    const std::string kept = "[Halvista Firmware Updater]\nCurrentSkinIndex=1\n";
    const std::string readOnly = folder.Write("UserSettings.ini", kept);
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    const ino_t inode = statusOf(readOnly).st_ino;
    EXPECT_EQ(proxy.CloseIniFile(openAndChange(readOnly), 1), -9);
    EXPECT_EQ(ContentOf(readOnly), kept);
    EXPECT_EQ(statusOf(readOnly).st_ino, inode);
    EXPECT_EQ(LinesWith("The settings file " + readOnly +
                        " is read-only and is left as it is; its changes are lost (ZVRESULT = FFFFFFF7)."),
              1u);

    // A folder the user may not write; root may write any folder, but not one whose place a file has taken.
    const std::string blocked = folder / "blocked";
    std::filesystem::create_directory(blocked);
    const IniFileHandle handle = openAndChange(blocked + "/AppSettings.ini");
    if (getuid() == 0) {
        std::filesystem::remove(blocked);
        WriteContent(blocked, "a file");
    } else {
        ASSERT_EQ(chmod(blocked.c_str(), 0555), 0);
    }
    EXPECT_LT(proxy.WriteIniFile(handle), 0);
    EXPECT_LT(proxy.CloseAllIniFiles(), 0);
    EXPECT_EQ(LinesWith("The settings file " + blocked +
                        "/AppSettings.ini cannot be written; its changes are lost (ZVRESULT = FFFFFFFD)."),
              2u);
    EXPECT_EQ(proxy.CloseAllIniFiles(), ZV_S_FALSE);
    EXPECT_EQ(proxy.CloseIniFile(handle, 0), kBadHandle);
    (void)chmod(blocked.c_str(), 0755);

    // Root writing a user's file leaves it the user's.
    if (getuid() == 0) {
        const std::string others = folder.Write("Others.ini", kept);
        ASSERT_EQ(chown(others.c_str(), 12345, 12345), 0);
        EXPECT_EQ(proxy.CloseIniFile(openAndChange(others), 1), ZV_S_OK);
        EXPECT_NE(ContentOf(others).find("CurrentSkinIndex=2"), std::string::npos);
        EXPECT_EQ(statusOf(others).st_uid, 12345u);

        // Another user's link in place of a file that was open: named on the standard error, and in no other line.
        const std::string swapped = folder.Write("Swapped.ini", kept);
        const IniFileHandle open = openAndChange(swapped);
        std::filesystem::remove(swapped);
        std::filesystem::create_symlink(others, swapped);
        ASSERT_EQ(lchown(swapped.c_str(), 12345, 12345), 0);
        const std::string captured = folder / "stderr";
        {
            const Platform::StandardErrorRedirection redirection(captured.c_str());
            EXPECT_EQ(proxy.CloseIniFile(open, 1), kIniFileUnsafe);
        }
        EXPECT_EQ(ContentOf(captured), "The settings file " + swapped +
                                           " lies in a folder or behind a link that another user controls; it is "
                                           "neither read nor written.\n");
        EXPECT_EQ(LinesWith(swapped), 0u);
    }
}

// The proxy is made before the library is loaded, so the program lets it go at exit after anything the library made
// as a static object of its own.
TEST(SettingsLibraryDeathTest, ManagerThatLivesUntilExitStillWritesItsFilesOnTheWayOut)
{
    TemporaryFolder folder;
    const std::string path = folder / "UserSettings.ini";
    EXPECT_EXIT(
        {
            static CIniFileManagerProxy proxy;
            IniFileHandle handle = 0;
            if (proxy.Load(kRealLibraryFolder) != ZV_S_OK ||
                proxy.OpenIniFile(Wide(path), kVersionKey, kProductName, handle) != ZV_S_OK ||
                proxy.SetIniValueInt(handle, L"CurrentSkinIndex", 4) != ZV_S_OK) {
                std::_Exit(1);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_NE(ContentOf(path).find("CurrentSkinIndex=4"), std::string::npos);
}

}  // namespace
}  // namespace ZV
