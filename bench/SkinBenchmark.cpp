#include "ControlBase/ControlFactory.h"
#include "Platform/EmbeddedResources.h"

#include <benchmark/benchmark.h>
#include <expat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace ZV;

constexpr int kPanels = 9;
constexpr int kControlsPerPanel = 21;

// A skin of 200 control descriptors (a main control, nine panels of 21 buttons and labels, a tool tip) over
// colorizers, colour and image parts, looks with text properties and look lists, written as a skin author does.
std::string MakeSkin()
{
    std::string skin = R"(<?xml version="1.0" encoding="utf-8"?>
<Z-Vireo_Skin_Definitions><Application Name="Bench"><Colorizers>)";
    for (int i = 0; i < 8; ++i) {
        skin += "<Colorizer Name=\"fill" + std::to_string(i) + "\" ColorType=\"SolidFill\" Color=\"0xFF20" +
                std::to_string(10 + i) + "40\"/>\n";
    }
    skin += "</Colorizers><Parts>";
    for (int i = 0; i < 12; ++i) {
        skin += "<Part Name=\"colour" + std::to_string(i) + "\" Width=\"8\" Height=\"8\" ResizeType=\"Stretch\" " +
                "ColorizerName=\"fill" + std::to_string(i % 8) + "\"/>\n";
        skin += "<Part Name=\"image" + std::to_string(i) + "\" Width=\"24\" Height=\"16\" ResizeType=\"Tile\" " +
                "ImageFile=\"Sheet.png\" ImageLocX=\"" + std::to_string(i * 24) + "\" ImageLocY=\"0\" " +
                "ColorizerName=\"fill1\" ColorizerAlphaMod=\"0.5\"/>\n";
    }
    skin += "</Parts><Looks>";
    for (int i = 0; i < 16; ++i) {
        const std::string n = std::to_string(i % 12);
        skin += "<Look Name=\"look" + std::to_string(i) + "\"><ClientPart Name=\"image" + n +
                "\" OffsetLeft=\"2\" OffsetTop=\"2\" OffsetRight=\"-2\" OffsetBottom=\"-2\"/><NonClientParts>" +
                "<NonClientPart Name=\"colour" + n + "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" " +
                "Height=\"2\"/><NonClientPart Name=\"colour" + n + "\" OffsetLeft=\"0\" OffsetBottom=\"0\" " +
                "OffsetRight=\"0\" Height=\"2\"/></NonClientParts><TextProperties TextLeftRel=\"0\" " +
                "TextLeftAbs=\"4\" TextRightRel=\"1\" TextRightAbs=\"-4\" TextHAlign=\"0.5\" TextTopRel=\"0\" " +
                "TextTopAbs=\"2\" TextBottomRel=\"1\" TextBottomAbs=\"-2\" TextVAlign=\"0.5\" " +
                "TextForegroundPart=\"colour0\"/></Look>\n";
    }
    skin += "</Looks><LookLists>";
    for (int i = 0; i < 8; ++i) {
        skin += "<LookList Name=\"looks" + std::to_string(i) + "\" NumLooks=\"2\"><Look Name=\"look" +
                std::to_string(2 * i) + "\" Index=\"0\"/><Look Name=\"look" + std::to_string(2 * i + 1) +
                "\" Index=\"1\"/></LookList>\n";
    }
    skin += R"(</LookLists><Skins><Skin Name="Default" FontName="Arial" FontSize="8.25" FontStyle="0">
<SubControl Class="Framework.Panel" Name="mainControl" XSizeAbs="800" YSizeAbs="600" XMinSizeToControl="Self"
 XMinSizeAbs="800" XMaxSizeToControl="Self" XMaxSizeAbs="800"><Skin Name="mainSkin" LookList="looks0">
)";
    for (int panel = 0; panel < kPanels; ++panel) {
        const std::string p = std::to_string(panel);
        skin += "<SubControl Class=\"Framework.Panel\" Name=\"panel" + p + "\" XPositionAbs=\"" +
                std::to_string(panel * 80) + "\" XSizeAbs=\"80\" YSizeToControl=\"Parent\" YSizeRel=\"1\" " +
                "LayoutOrder=\"" + std::to_string(kPanels - panel) + "\"><Skin Name=\"panelSkin\" " +
                "LookList=\"looks1\">\n";
        for (int control = 0; control < kControlsPerPanel; ++control) {
            const std::string c = std::to_string(control);
            const bool button = control % 3 != 0;
            skin += std::string("<SubControl Class=\"Framework.") + (button ? "Button" : "Label") + "\" Name=\"" +
                    (button ? "button" : "label") + p + "_" + c + "\" TabStop=\"" + c +
                    "\" YPositionToControl=\"Parent\" YPositionAbs=\"" + std::to_string(control * 24) +
                    "\" XSizeToControl=\"Parent\" XSizeRel=\"1\" XSizeAbs=\"-8\" YSizeAbs=\"22\" LayoutOrder=\"" +
                    std::to_string(control % 5) + "\" TextOverflowXType=\"Wrap\" FontStyle=\"1\">" +
                    "<Skin Name=\"controlSkin\" LookList=\"looks" + std::to_string(2 + control % 6) + "\"/>";
            if (control % 5 == 0) {
                skin += "<CreateParamList><CreateParam ID=\"AUTO_REPEAT\">True</CreateParam>"
                        "<CreateParam ID=\"TEXT\">line one&#10;line &amp; two</CreateParam></CreateParamList>";
            }
            skin += "</SubControl>\n";
        }
        skin += "</Skin></SubControl>\n";
    }
    skin += R"(</Skin></SubControl>
<SubControl Class="Framework.ToolTip" Name="toolTip" XSizeAbs="200" YSizeAbs="20"><Skin Name="tipSkin"
 LookList="looks7"/></SubControl>
</Skin></Skins></Application></Z-Vireo_Skin_Definitions>
)";
    return skin;
}

const std::string& GetSkin()
{
    static const std::string skin = MakeSkin();
    return skin;
}

// The skin as the resource "::Bench Skin.xml" names, and as a file.
const std::string& GetSkinFile()
{
    static const Platform::EmbeddedResource resource{"BENCH_SKIN_XML", "ZVXML",
                                                     reinterpret_cast<const unsigned char*>(GetSkin().c_str()),
                                                     GetSkin().size()};
    static const Platform::EmbeddedResourceTable table(&resource, 1);
    // Written once, removed when the program ends.
    static const struct TemporaryFile {
        TemporaryFile() { std::ofstream(path, std::ios::binary) << GetSkin(); }
        ~TemporaryFile() { std::filesystem::remove(path); }
        std::string path = (std::filesystem::temp_directory_path() / "zv-skin-benchmark.xml").string();
    } file;
    return file.path;
}

// A skin of image parts only, each naming one of as many files of its folder in lower case while the files are
// named in mixed case, as skins written for file systems that ignore letter case do; the last part is worn by the
// control "mainControl".
std::string MakeFolderSkin(int parts)
{
    std::string skin = R"(<?xml version="1.0" encoding="utf-8"?>
<Z-Vireo_Skin_Definitions><Application Name="Bench"><Parts>)";
    for (int i = 0; i < parts; ++i) {
        skin += "<Part Name=\"part" + std::to_string(i) + "\" Width=\"8\" Height=\"8\" ResizeType=\"Stretch\" " +
                "ImageFile=\"Image" + std::to_string(i) + ".PNG\" ImageLocX=\"0\" ImageLocY=\"0\"/>\n";
    }
    skin += "</Parts><Looks><Look Name=\"look\"><ClientPart Name=\"part" + std::to_string(parts - 1) +
            "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/></Look></Looks>" +
            R"(<LookLists><LookList Name="looks" NumLooks="1"><Look Name="look" Index="0"/></LookList></LookLists>
<Skins><Skin Name="Default"><SubControl Class="Framework.Panel" Name="mainControl"><Skin Name="mainSkin"
 LookList="looks"/></SubControl></Skin></Skins></Application></Z-Vireo_Skin_Definitions>
)";
    return skin;
}

// A skin folder of that many images and its skin, made once, removed when the program ends.
struct SkinFolder {
    explicit SkinFolder(int images)
        : path(std::filesystem::temp_directory_path() / ("zv-skin-folder-benchmark-" + std::to_string(images)))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directory(path);
        for (int i = 0; i < images; ++i) {
            std::ofstream(path / ("Image" + std::to_string(i) + ".png"));
        }
        skin = MakeFolderSkin(images);
        std::ofstream(path / "Skins.xml", std::ios::binary) << skin;
    }
    ~SkinFolder() { std::filesystem::remove_all(path); }
    SkinFolder(const SkinFolder&) = delete;
    SkinFolder& operator=(const SkinFolder&) = delete;

    std::filesystem::path path;
    std::string skin;
};

// A skin of about a megabyte that is nothing but look lists, each claiming the most looks a count can say.
std::string MakeLookListSkin()
{
    std::string skin = R"(<?xml version="1.0" encoding="utf-8"?>
<Z-Vireo_Skin_Definitions><Application Name="Bench"><LookLists>
)";
    for (int i = 0; skin.size() < (1u << 20) - 64; ++i) {
        skin += "<LookList Name=\"list" + std::to_string(i) + "\" NumLooks=\"0xFFFF\"/>\n";
    }
    return skin + "</LookLists></Application></Z-Vireo_Skin_Definitions>\n";
}

// The most memory this process has held at once, in megabytes.
double PeakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024;
        }
    }
    return 0;
}

int CountDescriptors(const LControlDescriptor& descriptor)
{
    int count = 1;
    for (std::uint32_t i = 0; i < descriptor.GetSubControls().GetCount(); ++i) {
        count += CountDescriptors(*descriptor.GetSubControls().GetData()[i]);
    }
    return count;
}

// The baseline: Expat alone over the same bytes, its callbacks doing nothing but count.
void XMLCALL CountElement(void* count, const XML_Char*, const XML_Char**)
{
    ++*static_cast<int*>(count);
}

void XMLCALL IgnoreEnd(void*, const XML_Char*) {}

void XMLCALL IgnoreText(void*, const XML_Char*, int) {}

int ParseWithExpatAlone(const std::string& document)
{
    int elements = 0;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &elements);
    XML_SetElementHandler(parser, &CountElement, &IgnoreEnd);
    XML_SetCharacterDataHandler(parser, &IgnoreText);
    XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE);
    XML_ParserFree(parser);
    return elements;
}

template <class Action>
double Milliseconds(Action action)
{
    const auto started = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

// Each iteration loads the skin into a new factory from the source and, side by side, parses the same bytes with
// Expat alone; the ratio is the cost of building the descriptors over reading the XML. The factory is handed to
// check once it has loaded.
template <class Check>
void LoadSkin(benchmark::State& state, const WideString& source, const std::string& document,
              const WideString& imagePrefix, Check check)
{
    double loading = 0;
    double expat = 0;
    for (auto _ : state) {
        RCPtr<LControlFactory> factory(new LControlFactory(L"Bench"));
        factory->SetImagePrefix(imagePrefix);
        const double loaded = Milliseconds([&] {
            if (factory->LoadSkins(source) != 0) {
                state.SkipWithError("the skin did not load");
            }
        });
        loading += loaded;
        state.SetIterationTime(loaded / 1000);
        check(*factory);
        expat += Milliseconds([&] { benchmark::DoNotOptimize(ParseWithExpatAlone(document)); });
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["load_ms"] = loading / iterations;
    state.counters["expat_ms"] = expat / iterations;
    state.counters["ratio_to_expat"] = loading / expat;
}

void LoadSkin(benchmark::State& state, const WideString& source)
{
    LoadSkin(state, source, GetSkin(), L"::", [&](const LControlFactory& factory) {
        state.counters["descriptors"] = CountDescriptors(*factory.FindControlDescriptor(L"mainControl")) + 1;
    });
}

void LoadSkinFromResource(benchmark::State& state)
{
    GetSkinFile();
    LoadSkin(state, L"::Bench Skin.xml");
}
BENCHMARK(LoadSkinFromResource)->UseManualTime()->Unit(benchmark::kMillisecond);

void LoadSkinFromFile(benchmark::State& state)
{
    LoadSkin(state, WideString(GetSkinFile().c_str()));
}
BENCHMARK(LoadSkinFromFile)->UseManualTime()->Unit(benchmark::kMillisecond);

// A skin folder of as many images as parts, every part naming its image in another letter case than the file's:
// each name is found among the folder's files. The ratio to Expat stays the same from 500 to 2,000 parts when the
// cost grows linearly with the parts.
void LoadSkinFromFolderWithImagesInAnotherCase(benchmark::State& state)
{
    const int parts = static_cast<int>(state.range(0));
    const SkinFolder folder(parts);
    const std::string prefix = folder.path.string() + "/";
    const WideString lastImage((prefix + "Image" + std::to_string(parts - 1) + ".png").c_str());
    LoadSkin(state, WideString((prefix + "Skins.xml").c_str()), folder.skin, WideString(prefix.c_str()),
             [&](const LControlFactory& factory) {
                 const RCPtr<LLookList>& looks =
                     factory.FindControlDescriptor(L"mainControl")->GetSkinDescriptor()->GetLookList();
                 if (looks->GetLook(0)->GetClientPart()->GetPart()->GetImage().fileName != lastImage) {
                     state.SkipWithError("an image was not found in its folder");
                 }
             });
    state.counters["parts"] = parts;
}
BENCHMARK(LoadSkinFromFolderWithImagesInAnotherCase)->Arg(500)->Arg(2000)->UseManualTime()->Unit(
    benchmark::kMillisecond);

// A megabyte of look lists that claim 65,535 looks each. Run alone, peak_rss_mb is the most memory the load took,
// the program's own included.
void LoadSkinOfHugeLookLists(benchmark::State& state)
{
    static const std::string document = MakeLookListSkin();
    for (auto _ : state) {
        RCPtr<LControlFactory> factory(new LControlFactory(L"Bench"));
        const double loaded = Milliseconds([&] {
            if (factory->ParseXML(document.data(), document.size()) != 0) {
                state.SkipWithError("the skin did not load");
            }
        });
        state.SetIterationTime(loaded / 1000);
    }
    state.counters["document_kb"] = static_cast<double>(document.size()) / 1024;
    state.counters["peak_rss_mb"] = PeakResidentMegabytes();
}
BENCHMARK(LoadSkinOfHugeLookLists)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
