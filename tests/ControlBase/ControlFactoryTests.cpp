#include "ControlBase/ControlFactory.h"
#include "SkinTestSupport.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ChildNamed;
using Testing::ChildNames;
using Testing::ContentOf;
using Testing::LookOf;
using Testing::NewFactory;
using Testing::TemporaryFolder;
using Testing::Text;
using Testing::ThrowsText;
using Testing::WriteContent;

const std::string kDemoFolder = ZV_TEST_DATA_DIR "/DemoSkin";

RCPtr<LControlFactory> LoadedDemoSkin()
{
    RCPtr<LControlFactory> factory = NewFactory();
    factory->SetImagePrefix(L"::");
    EXPECT_EQ(factory->LoadSkins(L"::Demo Skin.xml"), 0);
    return factory;
}

// The descriptor at a path of names below a top-level control.
RCPtr<LControlDescriptor> Find(const LControlFactory& factory, const char* topLevel, const char* path = "")
{
    RCPtr<LControlDescriptor> descriptor = factory.FindControlDescriptor(WideString(topLevel));
    std::istringstream names(path);
    for (std::string name; descriptor && names >> name;) {
        descriptor = ChildNamed(*descriptor, name.c_str());
    }
    EXPECT_TRUE(descriptor) << topLevel << " " << path;
    return descriptor;
}

// One line per descriptor, depth-first: class, name, layout order, skin and the image pieces of its looks, whose
// names lose the prefix.
void DescribeTree(std::ostream& out, const LControlDescriptor& descriptor, const std::string& prefix)
{
    const auto image = [&](const ImageSource& source) {
        const std::string name = Text(source.fileName);
        out << " " << (name.rfind(prefix, 0) == 0 ? "<prefix>" + name.substr(prefix.size()) : name) << "@"
            << source.x << "," << source.y;
    };
    out << Text(descriptor.GetClass()) << " " << Text(descriptor.GetName()) << " "
        << descriptor.GetLayoutDescriptor()->layoutOrder << " " << Text(descriptor.GetSkinDescriptor()->GetName());
    for (std::uint32_t look = 0; RCPtr<LLookDescriptor> found = LookOf(descriptor, look); ++look) {
        if (const RCPtr<LDockedPart>& client = found->GetClientPart()) {
            image(client->GetPart()->GetImage());
            image(client->GetPart()->GetMask());
        }
    }
    out << "\n";
    for (std::uint32_t i = 0; i < descriptor.GetSubControls().GetCount(); ++i) {
        DescribeTree(out, *descriptor.GetSubControls().GetData()[i], prefix);
    }
}

std::string DescribeSkin(const LControlFactory& factory, const std::string& prefix)
{
    std::ostringstream out;
    DescribeTree(out, *factory.FindControlDescriptor(L"mainPanel"), prefix);
    DescribeTree(out, *factory.FindControlDescriptor(L"toolTip"), prefix);
    return out.str();
}

TEST(ControlFactory, EmbeddedDemoSkinGivesItsTopLevelControlsByNameAndTheSkinsFont)
{
    const RCPtr<LControlFactory> factory = LoadedDemoSkin();
    EXPECT_EQ(Text(factory->GetApplicationName()), "SkinDemo");
    EXPECT_TRUE(Find(*factory, "toolTip"));
    EXPECT_EQ(factory->FindControlDescriptor(L"toolbar"), nullptr) << "only top-level controls are found";
    EXPECT_EQ(ChildNames(*Find(*factory, "mainPanel")), (std::vector<std::string>{"toolbar", "statusLabel", "popup"}));
    EXPECT_EQ(ChildNames(*Find(*factory, "mainPanel", "toolbar")),
              (std::vector<std::string>{"buttonOpen", "buttonSave"}));

    EXPECT_FALSE(Find(*factory, "mainPanel", "popup")->GetLayoutDescriptor()->clipToParent) << "an unclipped pop-up";
    EXPECT_TRUE(Find(*factory, "mainPanel", "toolbar")->GetLayoutDescriptor()->xIsDocked);
    const RCPtr<LControlDescriptor> button = Find(*factory, "mainPanel", "toolbar buttonOpen");
    WideString text;
    EXPECT_TRUE(button->GetCreateParams()->GetString(L"AUTO_REPEAT", text));
    EXPECT_EQ(Text(text), "True");
    const RCPtr<LLookDescriptor> pressed = LookOf(*button, 1);
    ASSERT_TRUE(pressed && pressed->HasTextProperties());
    EXPECT_EQ(pressed->GetTextProperties().leftAbs, 5);
    EXPECT_EQ(pressed->GetClientPart()->GetPart()->GetColorizer()->GetColor().ToARGB(), 0x80FF8000u);
    EXPECT_EQ(LookOf(*Find(*factory, "mainPanel"))->GetNonClientParts().GetCount(), 2u);

    WideString fontName;
    float fontSize = 0;
    std::int32_t fontStyle = -1;
    EXPECT_EQ(factory->GetSkinFont(fontName, fontSize, fontStyle), 0);
    EXPECT_EQ(Text(fontName), "Arial");
    EXPECT_EQ(fontSize, 8.25f);
    EXPECT_EQ(fontStyle, 0);
}

TEST(ControlFactory, DemoSkinFromItsFolderGivesTheSameTreeWithImagesInThatFolder)
{
    const RCPtr<LControlFactory> folder = NewFactory();
    folder->SetImagePrefix(WideString(kDemoFolder.c_str()) + L"/");
    ASSERT_EQ(folder->LoadSkins(WideString((kDemoFolder + "/Skins.xml").c_str())), 0);

    // Resource names match in any letter case, so the trees are compared without it.
    const auto lowerCase = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    const std::string fromFolder = DescribeSkin(*folder, kDemoFolder + "/");
    EXPECT_EQ(lowerCase(fromFolder), lowerCase(DescribeSkin(*LoadedDemoSkin(), "::")));
    EXPECT_NE(fromFolder.find(" <prefix>Buttons.png@0,0"), std::string::npos)
        << "buttons.png, as the skin asks for it, is the folder's Buttons.png:\n"
        << fromFolder;
}

TEST(ControlFactory, SourcesThatCannotBeReadFailWithoutParsing)
{
    TemporaryFolder temporary;
    const RCPtr<LControlFactory> factory = NewFactory();
    EXPECT_EQ(factory->LoadSkins(L"::No Such Skin.xml"), ZV_E_FAIL);
    EXPECT_EQ(factory->LoadSkins(L"::Empty Skin.xml"), ZV_E_FAIL) << "an empty resource";
    EXPECT_EQ(factory->LoadSkins(WideString((temporary / "missing.xml").c_str())), ZV_E_FAIL);
    EXPECT_EQ(factory->LoadSkins(WideString(temporary.Path().c_str())), ZV_E_FAIL) << "a folder";
    EXPECT_TRUE(factory->GetLastParseError().text.IsEmpty()) << "nothing was parsed";
}

TEST(ControlFactory, TruncatedSkinFailsWithExpatsErrorAndLineAndKeepsTheControlsBeforeIt)
{
    const std::string demo = ContentOf(kDemoFolder + "/Skins.xml");
    const std::size_t cut = demo.find("<SubControl Class=\"Framework.ToolTip\"") + 20;
    TemporaryFolder temporary;
    WriteContent(temporary / "Skins.xml", demo.substr(0, cut));

    const RCPtr<LControlFactory> factory = NewFactory();
    EXPECT_EQ(factory->LoadSkins(WideString((temporary / "Skins.xml").c_str())), ZV_E_FAIL);
    EXPECT_EQ(Text(factory->GetLastParseError().text), "unclosed token");
    EXPECT_EQ(factory->GetLastParseError().line,
              static_cast<std::uint32_t>(std::count(demo.begin(), demo.begin() + cut, '\n') + 1));
    EXPECT_TRUE(Find(*factory, "mainPanel", "toolbar buttonSave"));
    EXPECT_FALSE(factory->FindControlDescriptor(L"toolTip"));
    WideString fontName;
    float fontSize = 0;
    std::int32_t fontStyle = -1;
    EXPECT_EQ(factory->GetSkinFont(fontName, fontSize, fontStyle), 0) << "the skin that failed is current";
}

RCPtr<LControl>& CreateFirst(RCPtr<LControl>& control, const RCPtr<LControl>&, const RCPtr<LControlDescriptor>&)
{
    return control;
}

RCPtr<LControl>& CreateSecond(RCPtr<LControl>& control, const RCPtr<LControl>&, const RCPtr<LControlDescriptor>&)
{
    return control;
}

TEST(ControlFactory, CreateFunctionsAreFoundByExactClassNameAndTheFirstRegistrationStays)
{
    const RCPtr<LControlFactory> factory = NewFactory();
    EXPECT_EQ(factory->RegisterControlCreateFunction(L"Framework.Button", &CreateFirst), 0);
    EXPECT_EQ(factory->RegisterControlCreateFunction(L"Framework.Button", &CreateSecond), 0);
    EXPECT_EQ(factory->RegisterControlCreateFunction(L"Framework.listboxNoScroll", &CreateSecond), 0);

    ControlCreateFunction function = nullptr;
    EXPECT_EQ(factory->GetControlCreateFunction(L"Framework.Button", function), 0);
    EXPECT_EQ(function, &CreateFirst);
    EXPECT_EQ(factory->GetControlCreateFunction(L"Framework.listboxNoScroll", function), 0);
    EXPECT_EQ(function, &CreateSecond);
    EXPECT_TRUE(ThrowsText<std::runtime_error>(
        [&] { (void)factory->GetControlCreateFunction(L"Framework.ListboxNoScroll", function); },
        "Runtime Error : ZV::LControlFactory::GetControlCreateFunction"));
}

TEST(ControlFactory, DerivedDescriptorIsACloneWithItsOwnNameLayoutAndChildList)
{
    const RCPtr<LControlFactory> factory = LoadedDemoSkin();
    const RCPtr<LControlDescriptor> toolbar = Find(*factory, "mainPanel", "toolbar");
    const RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
    const RCPtr<LControlDescriptor> derived = LControlFactory::DeriveControlDescriptor(toolbar, layout, L"derived");

    EXPECT_EQ(Text(derived->GetName()), "derived");
    EXPECT_EQ(Text(toolbar->GetName()), "toolbar");
    EXPECT_EQ(derived->GetLayoutDescriptor(), layout);
    EXPECT_NE(toolbar->GetLayoutDescriptor(), layout);
    EXPECT_EQ(derived->GetParent(), toolbar->GetParent());
    EXPECT_EQ(derived->GetSkinDescriptor(), toolbar->GetSkinDescriptor());
    EXPECT_EQ(derived->GetSubControls().GetData()[0], toolbar->GetSubControls().GetData()[0]);
    derived->AddSubControl(RCPtr<LControlDescriptor>(new LControlDescriptor(L"C", L"extra", derived.Get())));
    EXPECT_EQ(toolbar->GetSubControls().GetCount(), 2u);
}

TEST(ControlFactory, ReleasingAFactoryReleasesEveryTreeAndAChildStillHeldForgetsItsParent)
{
    RCPtr<LControlDescriptor> button;
    RCPtr<LControlDescriptor> toolbar;
    {
        const RCPtr<LControlFactory> factory = LoadedDemoSkin();
        toolbar = Find(*factory, "mainPanel", "toolbar");
        button = Find(*factory, "mainPanel", "toolbar buttonOpen");
        EXPECT_EQ(Find(*factory, "mainPanel")->GetRefCount(), 2) << "the root and this pointer, no child";
    }
    EXPECT_EQ(toolbar->GetParent(), nullptr);
    EXPECT_EQ(button->GetParent(), toolbar.Get());
    EXPECT_EQ(toolbar->GetRefCount(), 1);
}

// The names of a descriptor's ancestors, nearest first: what a control reads to find its string table.
std::vector<std::string> AncestorNames(const LControlDescriptor& descriptor)
{
    std::vector<std::string> names;
    for (const LControlDescriptor* parent = descriptor.GetParent(); parent != nullptr; parent = parent->GetParent()) {
        names.push_back(Text(parent->GetName()));
    }
    return names;
}

TEST(ControlFactory, DescriptorsDerivedOrClonedFromATreeLoseTheirParentsWithTheFactory)
{
    RCPtr<LControlDescriptor> derived;
    RCPtr<LControlDescriptor> derivedDeeper;
    RCPtr<LControlDescriptor> clone;
    {
        const RCPtr<LControlFactory> factory = LoadedDemoSkin();
        const RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
        derived = LControlFactory::DeriveControlDescriptor(Find(*factory, "mainPanel", "toolbar"), layout, L"a");
        derivedDeeper =
            LControlFactory::DeriveControlDescriptor(Find(*factory, "mainPanel", "toolbar buttonOpen"), layout, L"b");
        clone = Find(*factory, "mainPanel", "statusLabel")->Clone();
        EXPECT_EQ(AncestorNames(*derivedDeeper), (std::vector<std::string>{"toolbar", "mainPanel", "SkinDemo"}));
        EXPECT_EQ(AncestorNames(*clone), (std::vector<std::string>{"mainPanel", "SkinDemo"}));
    }
    EXPECT_TRUE(AncestorNames(*derived).empty());
    EXPECT_TRUE(AncestorNames(*derivedDeeper).empty());
    EXPECT_TRUE(AncestorNames(*clone).empty());
}

TEST(ControlFactory, MakeOperationsGiveNewDescriptorsWithTheirDefaultsAndNoPartThatWouldShowNothing)
{
    const RCPtr<LControlDescriptor> root = LControlFactory::MakeControlDescriptor(L"Application", L"app", nullptr);
    const RCPtr<LControlDescriptor> child = LControlFactory::MakeControlDescriptor(L"C", L"child", root.Get());
    EXPECT_EQ(child->GetRefCount(), 1);
    EXPECT_EQ(child->GetParent(), root.Get());
    EXPECT_TRUE(!child->GetSkinDescriptor() && !child->GetLayoutDescriptor() && !child->GetCreateParams());
    EXPECT_EQ(child->GetCreateFunction(), nullptr);
    EXPECT_EQ(root->GetSubControls().GetCount(), 0u) << "making a child does not attach it";

    const RCPtr<LLayoutDescriptor> layout = LControlFactory::MakeLayoutDescriptor();
    EXPECT_TRUE(layout->clipToParent && layout->isVisible && layout->isEnabled);
    EXPECT_EQ(layout->xSize.abs, 16.0);
    EXPECT_EQ(layout->ySize.abs, 40.0);
    EXPECT_EQ(LControlFactory::MakeSkinDescriptor(L"skin")->GetFont().style, -1);
    EXPECT_FALSE(LControlFactory::MakeLookDescriptor(L"look")->HasTextProperties());

    const RCPtr<LColorizer> colorizer =
        LControlFactory::MakeColorizer(L"tint", LColorizer::kRadialGradient, LColor(1, 0, 0, 1), LColor(0, 0, 1, 1),
                                       GradientGeometry{1, 2, 3, 4});
    EXPECT_EQ(Text(colorizer->GetName()), "tint");
    EXPECT_EQ(colorizer->GetColorType(), LColorizer::kRadialGradient);
    EXPECT_EQ(colorizer->GetEndColor(), LColor(0, 0, 1, 1));
    EXPECT_EQ(colorizer->GetGradient(), (GradientGeometry{1, 2, 3, 4}));

    const ImageSource sheet{L"::sheet.png", 1, 2, 30, 40};
    const RCPtr<LVisualPartDescriptor> image =
        LControlFactory::MakeImagePart(L"image", sheet, kResizeTile, colorizer, 0.5f, ImageSource());
    EXPECT_EQ(image->GetSize(), PointT<float>(30, 40)) << "the size of its piece";
    EXPECT_EQ(image->GetColorizerAlphaMod(), 0.5f);
    EXPECT_FALSE(LControlFactory::MakeImagePart(L"none", ImageSource(), kResizeTile, colorizer, 1, sheet));
    const RCPtr<LVisualPartDescriptor> colour =
        LControlFactory::MakeColorPart(L"colour", kResizeCenter, colorizer, PointT<float>(5, 6), 1, sheet);
    EXPECT_TRUE(colour->GetImage().fileName.IsEmpty());
    EXPECT_EQ(colour->GetSize(), PointT<float>(5, 6));
    EXPECT_EQ(Text(colour->GetMask().fileName), "::sheet.png");
    EXPECT_FALSE(LControlFactory::MakeColorPart(L"none", kResizeCenter, nullptr, PointT<float>(5, 6), 1, sheet));

    DockingRecord docking;
    docking.dockFlags = kDockTop | kDockRight;
    docking.offsetRight = -3;
    docking.hasHeight = true;
    docking.height = 7;
    const RCPtr<LDockedPart> docked = LControlFactory::MakeDockedPart(colour, docking);
    EXPECT_EQ(docked->GetPart(), colour);
    EXPECT_EQ(docked->GetDocking().dockFlags, kDockTop | kDockRight);
    EXPECT_EQ(docked->GetDocking().offsetRight, -3);
    EXPECT_EQ(docked->GetDocking().height, 7);

    const RCPtr<LLookList> looks = LControlFactory::MakeLookList(3);
    const RCPtr<LLookDescriptor> look = LControlFactory::MakeLookDescriptor(L"look");
    EXPECT_EQ(looks->GetCount(), 3u);
    EXPECT_FALSE(looks->GetLook(0) || looks->GetLook(2));
    EXPECT_FALSE(looks->SetLook(3, look)) << "past the count";
    EXPECT_FALSE(looks->GetLook(3));
    EXPECT_TRUE(looks->SetLook(2, look));
    EXPECT_EQ(looks->GetLook(2), look);
    EXPECT_TRUE(looks->SetLook(2, nullptr));
    EXPECT_FALSE(looks->GetLook(2));
}

}  // namespace
}  // namespace ZV
