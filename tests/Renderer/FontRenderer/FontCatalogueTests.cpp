#include "DebuggerOutputCapture.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "Renderer/FontRenderer/FontDirectories.h"
#include "Renderer/FontRenderer/SyntheticFontWriter.h"
#include "Renderer/FontRenderer/SystemFont.h"
#include "Renderer/RenderingServices.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::MacName;
using Testing::SyntheticFace;
using Testing::WindowsFace;
using Testing::WindowsName;

std::string Utf8(const WideString& text)
{
    return text.ToUTF8().GetData();
}

// The file name of a path and the face's place in it, as "name#index"; "-" for an empty slot.
std::string SlotText(const LFontFileInfo::Slot& slot)
{
    if (slot.path.IsEmpty()) {
        return "-";
    }
    return std::filesystem::path(Utf8(slot.path)).filename().string() + "#" + std::to_string(slot.faceIndex);
}

// The four slots of a family, regular to bold italic; "missing" when the family is not catalogued.
std::string SlotsOf(const char* family)
{
    const RCPtr<LFontFileInfo> info = FindFontFamily(WideString(family));
    if (info.IsNull()) {
        return "missing";
    }
    std::string text;
    for (std::int32_t style = 0; style < 4; ++style) {
        text += (style == 0 ? "" : " ") + SlotText(info->GetSlot(style));
    }
    return text;
}

// Rendering services whose system font is a given face.
class ScopedSystemFont : public IRenderingServices {
public:
    explicit ScopedSystemFont(const wchar_t* faceName) : mFaceName(faceName), mPrevious(SetRenderingServices(this)) {}
    ScopedSystemFont(const ScopedSystemFont&) = delete;
    ScopedSystemFont& operator=(const ScopedSystemFont&) = delete;
    ~ScopedSystemFont() { SetRenderingServices(mPrevious); }

    zulong GetTimeMs() override { return 0; }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return nullptr; }
    ZVRESULT GetSystemFont(WideString& faceName, float& size, std::int32_t& style) override
    {
        faceName = mFaceName;
        size = 9;
        style = 0;
        return ZV_S_OK;
    }

private:
    WideString mFaceName;
    IRenderingServices* mPrevious;
};

// Scans synthetic font files written into a folder of their own; the catalogue is emptied afterwards.
class FontCatalogueTest : public ::testing::Test {
protected:
    ~FontCatalogueTest() override
    {
        OverrideFontDirectories(std::nullopt);
        ClearFontCatalogue();
    }

    void Write(const std::string& name, const std::string& bytes) { Testing::WriteContent(mFolder / name, bytes); }

    void Scan()
    {
        WideStringArray folders;
        EXPECT_TRUE(Succeeded(folders.AddItem(WideString(mFolder.Path().c_str()))));
        OverrideFontDirectories(folders);
        ASSERT_EQ(ScanFontFolder(), ZV_S_OK);
    }

    Testing::TemporaryFolder mFolder;
};

TEST_F(FontCatalogueTest, FacesAreFiledByTheirMacintoshOrUSEnglishWindowsNamesEachCollectionFaceWithItsIndex)
{
    Write("MacOnly.ttf", Testing::WriteFontFile({{MacName(1, "Mac Family"), MacName(2, "Bold")}}));
    Write("WindowsOnly.ttf", Testing::WriteFontFile({{WindowsName(1, "Windows Family"), WindowsName(2, "Italic")}}));
    // A German record and a Unicode-platform record come first and are passed over.
    SyntheticFace german{{{3, 0x407, 1, "Deutsche Familie"}, {0, 0, 1, "Unicode Family"}, WindowsName(1, "English"),
                          WindowsName(2, "Regular")}};
    Write("Languages.ttf", Testing::WriteFontFile(german));
    Write("Pair.ttc",
          Testing::WriteCollection({WindowsFace("Collected", "Regular"), WindowsFace("Collected", "Bold Italic")}, 1));
    Write("Two.TTC", Testing::WriteCollection({WindowsFace("Second", "Bold"), WindowsFace("Third", "Italic")}, 2));
    Scan();

    EXPECT_EQ(SlotsOf("Mac Family"), "- MacOnly.ttf#0 - -");
    EXPECT_EQ(SlotsOf("Windows Family"), "- - WindowsOnly.ttf#0 -");
    EXPECT_EQ(SlotsOf("English"), "Languages.ttf#0 - - -");
    EXPECT_EQ(SlotsOf("Collected"), "Pair.ttc#0 - - Pair.ttc#1");
    EXPECT_EQ(SlotsOf("Second"), "- Two.TTC#0 - -");
    EXPECT_EQ(SlotsOf("Third"), "- - Two.TTC#1 -");
    EXPECT_EQ(SlotsOf("Deutsche Familie"), "missing");
    EXPECT_EQ(SlotsOf("Unicode Family"), "missing");
    EXPECT_EQ(GetFontFamilies().GetCount(), 6u);

    // A file id leads back to the path and the face of its style.
    const RCPtr<LFontFileInfo> collected = FindFontFamily(L"Collected");
    const std::int32_t id = LFontFileInfo::GetFileID(LFont::GetFont(L"Collected", 10, LFont::kBoldItalic));
    EXPECT_EQ(id, collected->GetIndex() * 4 + LFont::kBoldItalic);
    EXPECT_EQ(GetFontFilePath(id), collected->GetSlot(LFont::kBoldItalic).path);
    EXPECT_EQ(GetFontFaceIndex(id), 1);
    EXPECT_TRUE(GetFontFilePath(-1).IsEmpty());
    EXPECT_TRUE(GetFontFilePath(static_cast<std::int32_t>(GetFontFamilies().GetCount()) * 4).IsEmpty());
    EXPECT_EQ(GetFontFaceIndex(-4), 0);
}

TEST_F(FontCatalogueTest, TheLaterFileOfAStyleWinsCollectionsComeLastAndSubfamiliesMapToTheirStyles)
{
    Write("a.ttf", Testing::WriteFontFile(WindowsFace("Twin", "Regular")));
    Write("b.ttf", Testing::WriteFontFile(WindowsFace("Twin", "Regular")));
    Write("z.ttf", Testing::WriteFontFile(WindowsFace("Twin", "Bold")));
    Write("a.ttc", Testing::WriteCollection({WindowsFace("Twin", "Bold")}, 1));
    // Subfamily names as installed fonts spell them; a style of no slot of its own fills the regular slot only
    // while that is empty.
    Write("s1.ttf", Testing::WriteFontFile(WindowsFace("Styles", "Book")));
    Write("s2.ttf", Testing::WriteFontFile(WindowsFace("Styles", "Oblique")));
    Write("s3.ttf", Testing::WriteFontFile(WindowsFace("Styles", "Bold Oblique")));
    Write("s4.ttf", Testing::WriteFontFile(WindowsFace("Styles", "ExtraLight")));
    Write("s5.ttf", Testing::WriteFontFile(WindowsFace("Styles", "BOLD")));
    Write("l.ttf", Testing::WriteFontFile(WindowsFace("Light Only", "ExtraLight")));
    Write("m.ttf", Testing::WriteFontFile(WindowsFace("Medium", "Medium")));
    Write("n.ttf", Testing::WriteFontFile(WindowsFace("Medium", "Normal")));
    Scan();

    EXPECT_EQ(SlotsOf("Twin"), "b.ttf#0 a.ttc#0 - -");
    EXPECT_EQ(SlotsOf("Styles"), "s1.ttf#0 s5.ttf#0 s2.ttf#0 s3.ttf#0");
    EXPECT_EQ(SlotsOf("Light Only"), "l.ttf#0 - - -");
    EXPECT_EQ(SlotsOf("Medium"), "n.ttf#0 - - -");
}

TEST_F(FontCatalogueTest, CorruptAndUnreadableFilesAreSkipped)
{
    const std::string good = Testing::WriteFontFile(WindowsFace("Good", "Regular"));
    const std::string corrupt = Testing::WriteFontFile(WindowsFace("Corrupt", "Regular"));
    const std::size_t nameTable = Testing::NameTableStart(corrupt);
    Write("Good.ttf", good);

    Write("Empty.ttf", "");
    Write("Short.ttf", corrupt.substr(0, 10));
    Write("CutInTheNameRecords.ttf", corrupt.substr(0, nameTable + 6 + 12 + 5));
    Write("NoNameTable.ttf", Testing::WriteFontFile({{WindowsName(1, "Corrupt"), WindowsName(2, "Bold")}, false}));
    std::string bytes = corrupt;
    Testing::PutU32(bytes, Testing::kNameTableOffsetAt, 0xFFFFFFF0);
    Write("NameTablePastTheEnd.ttf", bytes);
    bytes = corrupt;
    Testing::PutU32(bytes, Testing::kNameTableOffsetAt, static_cast<std::uint32_t>(corrupt.size() - 3));
    Write("NameTableAtTheEnd.ttf", bytes);
    bytes = corrupt;
    Testing::PutU16(bytes, Testing::kTableCountAt, 0xFFFF);
    Write("HugeTableCount.ttf", bytes);
    bytes = corrupt;
    Testing::PutU16(bytes, nameTable + 2, 0xFFFF);
    Write("HugeNameCount.ttf", bytes);
    bytes = corrupt;
    Testing::PutU16(bytes, nameTable + 4, 0xFFFF);
    Write("TextsPastTheEnd.ttf", bytes);
    bytes = Testing::WriteCollection({WindowsFace("Corrupt", "Bold")}, 1);
    Testing::PutU32(bytes, 8, 0xFFFFFFFF);
    Write("HugeFaceCount.ttc", bytes);
    bytes = Testing::WriteCollection({WindowsFace("Corrupt", "Bold")}, 2);
    Testing::PutU32(bytes, 12, 0x7FFFFFFF);
    Write("FacePastTheEnd.ttc", bytes);
    Write("MacRomanName.ttf", Testing::WriteFontFile({{MacName(1, "Caf\x8E"), MacName(2, "Regular")}}));
    std::filesystem::create_directory(mFolder / "Folder.ttf");
    Write("NotUTF8\xFF.ttf", corrupt);
    Scan();

    EXPECT_EQ(GetFontFamilies().GetCount(), 1u);
    EXPECT_EQ(SlotsOf("Good"), "Good.ttf#0 - - -");
}

TEST_F(FontCatalogueTest, AFileOfMoreNamesThanAFontHasIsSkippedWithOneLineAndTheNextFileIsCatalogued)
{
    Write("A-Crafted.ttc",
          Testing::WriteCollectionSharingOneNameTable(256, Testing::LargestNameTable("Crafted", "Bold")));
    Write("B-Next.ttc", Testing::WriteCollection({WindowsFace("Next", "Regular")}, 1));
    const Testing::DebuggerOutputCapture debugger;
    Scan();

    EXPECT_EQ(SlotsOf("Crafted"), "missing");
    EXPECT_EQ(SlotsOf("Next"), "B-Next.ttc#0 - - -");
    const std::vector<std::string> lines = debugger.Texts();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Font file \"" + (mFolder / "A-Crafted.ttc") +
                            "\" skipped: it holds more faces or names than a font file does\n");
}

TEST_F(FontCatalogueTest, AMissingStyleTakesTheNearestOneAndKeepsItAndStyleBitsAboveTheTwoLowOnesDoNotCount)
{
    Write("BoldOnly.ttf", Testing::WriteFontFile(WindowsFace("Bold Only", "Bold")));
    Write("Next.ttf", Testing::WriteFontFile(WindowsFace("Next Family", "Regular")));
    Scan();
    const RCPtr<LFontFileInfo> boldOnly = FindFontFamily(L"Bold Only");
    const std::int32_t family = boldOnly->GetIndex() * 4;

    EXPECT_EQ(LFontFileInfo::GetFileID(LFont::GetFont(L"Bold Only", 10, LFont::kRegular)), family);
    EXPECT_EQ(SlotsOf("Bold Only"), "BoldOnly.ttf#0 BoldOnly.ttf#0 - -") << "the regular slot keeps the bold face";
    EXPECT_EQ(LFontFileInfo::GetFileID(LFont::GetFont(L"Bold Only", 10, LFont::kItalic)), family + LFont::kItalic);
    EXPECT_EQ(GetFontFilePath(family + LFont::kItalic), boldOnly->GetSlot(LFont::kBold).path);

    // Bold with underline (bit 4) is bold of this family, not a style of the next one.
    EXPECT_EQ(LFontFileInfo::GetFileID(LFont::GetFont(L"Bold Only", 10, LFont::kBold | 4)), family + LFont::kBold);
}

TEST_F(FontCatalogueTest, AnUncataloguedFaceFallsBackToTheSystemFontAndFailsWithoutIt)
{
    Write("Fallback.ttf", Testing::WriteFontFile(WindowsFace("Fallback Family", "Regular")));
    Write("Other.ttf", Testing::WriteFontFile(WindowsFace("Other", "Regular")));
    Scan();
    const std::int32_t fallback = FindFontFamily(L"Fallback Family")->GetIndex() * 4;
    const std::int32_t other = FindFontFamily(L"Other")->GetIndex() * 4;
    const RCPtr<LFont> lowerCase = LFont::GetFont(L"other", 11, LFont::kRegular);
    const std::int32_t referencesOutsideTheMap = lowerCase->GetRefCount();
    {
        const ScopedSystemFont system(L"Fallback Family");
        EXPECT_EQ(LFontFileInfo::GetFileID(LFont::GetFont(L"Not Installed", 11, LFont::kRegular)), fallback);
        EXPECT_EQ(LFontFileInfo::GetFileID(lowerCase), fallback) << "face names match in their own letter case";
        EXPECT_EQ(LFontFileInfo::GetFileID(LFont::GetFont(L"Other", 12, LFont::kRegular)), other);
    }
    const ScopedSystemFont system(L"Not Installed Either");
    EXPECT_EQ(LFontFileInfo::GetFileID(lowerCase), fallback) << "the family chosen before";
    EXPECT_EQ(GetFontMap().GetCount(), 3);
    EXPECT_TRUE(Testing::ThrowsText<std::runtime_error>(
        [] { LFontFileInfo::GetFileID(LFont::GetFont(L"Nowhere", 11, LFont::kRegular)); },
        "Runtime Error : ZV::LFontFileInfo::GetFileID"));

    // A rescan forgets the choices and lets go of the fonts.
    Scan();
    EXPECT_EQ(GetFontMap().GetCount(), 0);
    EXPECT_EQ(lowerCase->GetRefCount(), referencesOutsideTheMap);
}

TEST(InstalledFonts, DejaVuSansFillsItsFourStylesAndArialFallsBackToTheSystemFontsFamily)
{
    ASSERT_EQ(ScanFontFolder(), ZV_S_OK);
    EXPECT_EQ(SlotsOf("DejaVu Sans"),
              "DejaVuSans.ttf#0 DejaVuSans-Bold.ttf#0 DejaVuSans-Oblique.ttf#0 DejaVuSans-BoldOblique.ttf#0");
    const RCPtr<LFontFileInfo> dejaVu = FindFontFamily(L"DejaVu Sans");
    ASSERT_FALSE(dejaVu.IsNull());
    for (std::int32_t style = 0; style < 4; ++style) {
        const std::int32_t id = LFontFileInfo::GetFileID(LFont::GetFont(L"DejaVu Sans", 10, style));
        EXPECT_EQ(id, dejaVu->GetIndex() * 4 + style);
        EXPECT_EQ(GetFontFilePath(id), dejaVu->GetSlot(style).path);
    }

    WideString systemFace;
    float size = 0;
    std::int32_t style = 0;
    ASSERT_EQ(QuerySystemFont(systemFace, size, style), ZV_S_OK);
    const RCPtr<LFontFileInfo> system = FindFontFamily(systemFace);
    ASSERT_FALSE(system.IsNull()) << Utf8(systemFace);
    EXPECT_EQ(LFontFileInfo::GetFileID(LFont::GetFont(L"Arial", 8.25f, LFont::kRegular)), system->GetIndex() * 4);
    ClearFontCatalogue();
}

}  // namespace
}  // namespace ZV
