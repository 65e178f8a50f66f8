#include "ControlBase/ControlFactory.h"
#include "SkinTestSupport.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace ZV {
namespace {

using Testing::LookOf;
using Testing::NewFactory;
using Testing::Parse;
using Testing::PartOf;
using Testing::SkinDocumentBuilder;
using Testing::TemporaryFolder;
using Testing::Text;
using Testing::WriteContent;

// The bytes of this process's memory that are resident now.
std::size_t ResidentBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stoul(line.substr(6)) * 1024;
        }
    }
    ADD_FAILURE() << "no VmRSS in /proc/self/status";
    return 0;
}

TEST(SkinLoadingCost, ALookListCostsTheLooksWrittenIntoItNotTheCountItClaims)
{
    SkinDocumentBuilder skin;
    skin.looks = R"(<Look Name="look"/>)";
    constexpr int kLists = 256;
    for (int i = 0; i < kLists; ++i) {
        skin.lookLists += "<LookList Name=\"list" + std::to_string(i) + "\" NumLooks=\"0xFFFF\"/>";
    }
    skin.lookLists += R"(<LookList Name="worn" NumLooks="0xFFFF"><Look Name="look" Index="65534"/></LookList>)";
    skin.controls = R"(<SubControl Class="C" Name="wearer"><Skin Name="s" LookList="worn"/></SubControl>)";
    const std::string document = skin.Document();

    const RCPtr<LControlFactory> factory = NewFactory();
    const std::size_t before = ResidentBytes();
    ASSERT_EQ(Parse(*factory, document), 0);
    const std::size_t grown = ResidentBytes() - before;
    // Claimed in full, the lists would take 256 times half a megabyte.
    EXPECT_LT(grown, 32u << 20) << "bytes grown: " << grown;

    const RCPtr<LControlDescriptor> wearer = factory->FindControlDescriptor(L"wearer");
    EXPECT_EQ(wearer->GetSkinDescriptor()->GetLookList()->GetCount(), 0xFFFFu);
    ASSERT_TRUE(LookOf(*wearer, 65534));
    EXPECT_EQ(Text(LookOf(*wearer, 65534)->GetName()), "look");
    EXPECT_FALSE(LookOf(*wearer, 0));
}

TEST(SkinLoadingCost, FolderImagesMatchInAnyLetterCaseTheFirstByNameWinsAndEachLoadSeesTheFolderAnew)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path() / "sub");
    for (const char* name : {"buttons.PNG", "Buttons.png", "Other.Png", "sub/Deep.PNG", "exact.png"}) {
        WriteContent(folder / name, "");
    }
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="tint" ColorType="SolidFill" Color="0xFF000000"/>)";
    const auto imagePart = [&](const std::string& part, const std::string& file) {
        skin.parts += "<Part Name=\"" + part + "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\" ImageFile=\"" +
                      file + "\" ImageLocX=\"0\" ImageLocY=\"0\"/>";
        skin.Wear(part, part);
    };
    imagePart("buttons", "BUTTONS.png");
    imagePart("other", "other.png");
    imagePart("deep", "Sub/DEEP.png");
    imagePart("exact", "exact.png");
    imagePart("missing", "Missing.png");
    skin.parts += R"(<Part Name="masked" Width="1" Height="1" ResizeType="Stretch" ColorizerName="tint"
                           ColorizerMaskFile="OTHER.PNG" MaskLocX="0" MaskLocY="0"/>)";
    skin.Wear("masked", "masked");
    const std::string prefix = folder.Path().string() + "/";
    const auto load = [&] {
        RCPtr<LControlFactory> factory = NewFactory();
        factory->SetImagePrefix(WideString(prefix.c_str()));
        EXPECT_EQ(Parse(*factory, skin.Document()), 0);
        return factory;
    };
    const auto image = [&](const LControlFactory& factory, const wchar_t* control) {
        const std::string path = Text(PartOf(*factory.FindControlDescriptor(control))->GetImage().fileName);
        return path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path;
    };

    const RCPtr<LControlFactory> first = load();
    EXPECT_EQ(image(*first, L"buttons"), "Buttons.png") << "capitals sort first";
    EXPECT_EQ(image(*first, L"other"), "Other.Png");
    EXPECT_EQ(image(*first, L"deep"), "sub/Deep.PNG") << "the folder as written is there in lower case";
    EXPECT_EQ(image(*first, L"exact"), "exact.png");
    EXPECT_EQ(image(*first, L"missing"), "missing.png") << "no match: the name as the skin gives it";
    EXPECT_EQ(Text(PartOf(*first->FindControlDescriptor(L"masked"))->GetMask().fileName), prefix + "Other.Png");

    std::filesystem::rename(folder / "Other.Png", folder / "OTHER.png");
    WriteContent(folder / "MISSING.png", "");
    const RCPtr<LControlFactory> second = load();
    EXPECT_EQ(image(*second, L"other"), "OTHER.png");
    EXPECT_EQ(image(*second, L"missing"), "MISSING.png");
}

}  // namespace
}  // namespace ZV
