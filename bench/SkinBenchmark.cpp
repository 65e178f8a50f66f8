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
// Expat alone; the ratio is the cost of building the descriptors over reading the XML.
void LoadSkin(benchmark::State& state, const WideString& source)
{
    double loading = 0;
    double expat = 0;
    int descriptors = 0;
    for (auto _ : state) {
        RCPtr<LControlFactory> factory(new LControlFactory(L"Bench"));
        factory->SetImagePrefix(L"::");
        const double loaded = Milliseconds([&] {
            if (factory->LoadSkins(source) != 0) {
                state.SkipWithError("the skin did not load");
            }
        });
        loading += loaded;
        state.SetIterationTime(loaded / 1000);
        descriptors = CountDescriptors(*factory->FindControlDescriptor(L"mainControl")) + 1;
        expat += Milliseconds([&] { benchmark::DoNotOptimize(ParseWithExpatAlone(GetSkin())); });
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["descriptors"] = descriptors;
    state.counters["load_ms"] = loading / iterations;
    state.counters["expat_ms"] = expat / iterations;
    state.counters["ratio_to_expat"] = loading / expat;
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

}  // namespace
