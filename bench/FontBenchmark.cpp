#include "Platform/FolderListing.h"
#include "Renderer/Font.h"
#include "Renderer/FontRenderer/FontCatalogue.h"
#include "Renderer/FontRenderer/FontDirectories.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/FontRenderer/SoftwareGlyphSink.h"
#include "Renderer/FontRenderer/SyntheticFontWriter.h"
#include "SideBySide.h"
#include "TestFiles.h"

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using namespace ZV;

// The installed font files that the catalogue reads, ".ttf" first, then ".ttc".
std::vector<std::string> InstalledFontFiles()
{
    std::vector<std::string> paths;
    const WideStringArray folders = GetFontDirectories();
    for (const char* pattern : {"*.ttf", "*.ttc"}) {
        for (std::uint32_t index = 0; index < folders.GetCount(); ++index) {
            const std::string folder = folders.GetItemPointer(index)->ToUTF8().GetData();
            std::vector<std::string> names;
            if (Platform::ListMatchingFiles(folder.c_str(), pattern, names) == Platform::FolderListingResult::ok) {
                for (const std::string& name : names) {
                    paths.push_back(folder + "/" + name);
                }
            }
        }
    }
    return paths;
}

// The catalogue's scan of the installed fonts against FreeType opening every face of the same files for its family
// and style names.
void ScanOfTheInstalledFonts(benchmark::State& state)
{
    const std::vector<std::string> paths = InstalledFontFiles();
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    std::size_t names = 0;
    bench::RunSideBySide(
        state, [] { benchmark::DoNotOptimize(ScanFontFolder()); },
        [&] {
            for (const std::string& path : paths) {
                FT_Face face = nullptr;
                for (FT_Long index = 0; FT_New_Face(library, path.c_str(), index, &face) == 0; ++index) {
                    names += std::char_traits<char>::length(face->family_name) + (face->style_name != nullptr);
                    const FT_Long faces = face->num_faces;
                    FT_Done_Face(face);
                    if (index + 1 >= faces) {
                        break;
                    }
                }
            }
        });
    benchmark::DoNotOptimize(names);
    FT_Done_FreeType(library);
    const double files = static_cast<double>(paths.size());
    state.counters["files"] = files;
    state.counters["ms_per_100_files"] = state.counters["ours_ns"] / 1e6 * 100.0 / files;
    ClearFontCatalogue();
}
BENCHMARK(ScanOfTheInstalledFonts)->Unit(benchmark::kMillisecond);

// A folder of one font file: the scan's catalogue is emptied afterwards.
class OneFileFolder {
public:
    explicit OneFileFolder(const std::string& bytes)
    {
        Testing::WriteContent(mFolder / "Collection.ttc", bytes);
        (void)mFolders.AddItem(WideString(mFolder.Path().c_str()));
    }

    void Scan()
    {
        OverrideFontDirectories(mFolders);
        benchmark::DoNotOptimize(ScanFontFolder());
        OverrideFontDirectories(std::nullopt);
        ClearFontCatalogue();
    }

private:
    Testing::TemporaryFolder mFolder;
    WideStringArray mFolders;
};

// A crafted collection of 256 faces that all point at one name table of 65,534 records, against the same table
// in a collection of one face: sharing the table, the 256 faces cost about what one does.
void ScanOfACollectionSharingOneNameTable(benchmark::State& state)
{
    const std::vector<Testing::SyntheticName> names = Testing::LargestNameTable("Crafted", "Bold");
    OneFileFolder crafted(Testing::WriteCollectionSharingOneNameTable(256, names));
    OneFileFolder oneFace(Testing::WriteCollectionSharingOneNameTable(1, names));
    bench::RunRoundsSideBySide(state, 1, [&] { crafted.Scan(); }, [&] { oneFace.Scan(); });
}
BENCHMARK(ScanOfACollectionSharingOneNameTable)->UseManualTime()->Unit(benchmark::kMillisecond);

// Measuring 100 characters with every glyph cached, against FreeType alone doing the least that a layout with
// kerning does: the glyph index, a cached advance and the pair's kerning for each character.
void MeasureTextWithWarmCaches(benchmark::State& state)
{
    const RCPtr<Testing::LSoftwareGlyphSink> sink(new Testing::LSoftwareGlyphSink());
    const RCPtr<LFreetypeFontRenderer> renderer(new LFreetypeFontRenderer(sink, sink));
    const RCPtr<LFont> font = LFont::GetFont(L"DejaVu Sans", 9, LFont::kRegular);
    std::wstring text;
    while (text.size() < 100) {
        text += L"The quick brown fox jumps over the lazy dog. ";
    }
    text.resize(100);
    const WideString measured(text.c_str());
    renderer->MeasureText(measured, font);

    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    FT_Face face = nullptr;
    const std::int32_t id = LFontFileInfo::GetFileID(font);
    FT_New_Face(library, GetFontFilePath(id).ToUTF8().GetData(), GetFontFaceIndex(id), &face);
    FT_Set_Char_Size(face, 0, 9 * 64, 96, 96);
    std::unordered_map<FT_UInt, FT_Pos> advances;
    for (const wchar_t character : text) {
        const FT_UInt index = FT_Get_Char_Index(face, character);
        FT_Load_Glyph(face, index, FT_LOAD_DEFAULT);
        advances[index] = face->glyph->advance.x;
    }

    bench::RunSideBySide(
        state, [&] { benchmark::DoNotOptimize(renderer->MeasureText(measured, font)); },
        [&] {
            FT_Pos pen = 0;
            FT_UInt previous = 0;
            for (const wchar_t character : text) {
                const FT_UInt index = FT_Get_Char_Index(face, character);
                FT_Vector kerning{};
                if (previous != 0) {
                    FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kerning);
                }
                pen += kerning.x + advances[index];
                previous = index;
            }
            benchmark::DoNotOptimize(pen);
        });
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(MeasureTextWithWarmCaches)->Unit(benchmark::kMicrosecond);

}  // namespace
