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
using Testing::PartOf;
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

void DescribeImage(std::ostream& out, const char* what, const ImageSource& image, const std::string& prefix)
{
    std::string name = Text(image.fileName);
    if (name.rfind(prefix, 0) == 0) {
        name = "<prefix>" + name.substr(prefix.size());
    }
    out << what << " " << name << " " << image.x << "," << image.y << " " << image.width << "x" << image.height;
}

void DescribeLook(std::ostream& out, const LLookDescriptor& look, const std::string& prefix)
{
    out << " look " << Text(look.GetName());
    std::vector<RCPtr<LDockedPart>> docked{look.GetClientPart()};
    for (std::uint32_t i = 0; i < look.GetNonClientParts().GetCount(); ++i) {
        docked.push_back(look.GetNonClientParts().GetData()[i]);
    }
    for (const RCPtr<LDockedPart>& part : docked) {
        if (part) {
            const DockingRecord& dock = part->GetDocking();
            out << " [" << Text(part->GetPart()->GetName()) << " " << dock.dockFlags << " " << dock.offsetLeft << ","
                << dock.offsetTop << "," << dock.offsetRight << "," << dock.offsetBottom << " " << dock.width << "x"
                << dock.height << " ";
            DescribeImage(out, "image", part->GetPart()->GetImage(), prefix);
            DescribeImage(out, " mask", part->GetPart()->GetMask(), prefix);
            out << "]";
        }
    }
    if (look.HasTextProperties()) {
        out << " text " << look.GetTextProperties().leftAbs << " " << look.GetTextProperties().hAlign << " "
            << Text(look.GetTextProperties().foregroundPart->GetName());
    }
}

// One line per descriptor, depth-first, with what the skin gives it; image names relative to the prefix.
void DescribeTree(std::ostream& out, const LControlDescriptor& descriptor, const std::string& prefix, int depth = 0)
{
    const LLayoutDescriptor& layout = *descriptor.GetLayoutDescriptor();
    out << std::string(depth * 2, ' ') << Text(descriptor.GetClass()) << " " << Text(descriptor.GetName()) << " clip "
        << layout.clipToParent << " visible " << layout.isVisible << " tab " << layout.tabStop << " order "
        << layout.layoutOrder << " size " << layout.xSize.abs << "x" << layout.ySize.abs;
    const RCPtr<LSkinDescriptor>& skin = descriptor.GetSkinDescriptor();
    out << " skin " << Text(skin->GetName()) << " font " << Text(skin->GetFont().name) << " "
        << skin->GetFont().size << " " << skin->GetFont().style;
    for (std::uint32_t i = 0; skin->GetLookList() && i < skin->GetLookList()->GetCount(); ++i) {
        DescribeLook(out, *skin->GetLookList()->GetData()[i], prefix);
    }
    out << "\n";
    for (std::uint32_t i = 0; i < descriptor.GetSubControls().GetCount(); ++i) {
        DescribeTree(out, *descriptor.GetSubControls().GetData()[i], prefix, depth + 1);
    }
}

std::string DescribeSkin(const LControlFactory& factory, const std::string& prefix)
{
    std::ostringstream out;
    for (const char* topLevel : {"mainPanel", "toolTip"}) {
        DescribeTree(out, *factory.FindControlDescriptor(WideString(topLevel)), prefix);
    }
    return out.str();
}

TEST(ControlFactory, EmbeddedDemoSkinGivesItsTopLevelControlsTheirTreeAndTheSkinsFont)
{
    const RCPtr<LControlFactory> factory = LoadedDemoSkin();
    EXPECT_TRUE(Find(*factory, "toolTip"));
    EXPECT_EQ(factory->FindControlDescriptor(L"toolbar"), nullptr);
    EXPECT_EQ(Text(factory->GetApplicationName()), "SkinDemo");

    const RCPtr<LControlDescriptor> mainPanel = Find(*factory, "mainPanel");
    EXPECT_EQ(ChildNames(*mainPanel), (std::vector<std::string>{"toolbar", "statusLabel", "popup"}));
    EXPECT_EQ(ChildNames(*Find(*factory, "mainPanel", "toolbar")),
              (std::vector<std::string>{"buttonOpen", "buttonSave"}));
    EXPECT_EQ(Find(*factory, "mainPanel", "toolbar buttonOpen")->GetParent()->GetParent(), mainPanel.Get());

    const LLayoutDescriptor& popup = *Find(*factory, "mainPanel", "popup")->GetLayoutDescriptor();
    EXPECT_FALSE(popup.clipToParent) << "an unclipped pop-up";
    EXPECT_FALSE(popup.isVisible);
    EXPECT_EQ(popup.zOrder, 5);
    EXPECT_EQ(Text(popup.xPosition.toControlName), "toolbar");
    const LLayoutDescriptor& toolbar = *Find(*factory, "mainPanel", "toolbar")->GetLayoutDescriptor();
    EXPECT_TRUE(toolbar.xIsDocked);
    EXPECT_EQ(toolbar.tabStop, -1);
    EXPECT_TRUE(Find(*factory, "toolTip")->GetLayoutDescriptor()->isVisible) << "a top-level control stays visible";

    const RCPtr<LControlDescriptor> label = Find(*factory, "mainPanel", "statusLabel");
    EXPECT_EQ(label->GetLayoutDescriptor()->textOverflowXType, kTextOverflowWrap);
    EXPECT_EQ(Text(label->GetLayoutDescriptor()->yMinimum.toControlName), "Children");
    EXPECT_EQ(label->GetSkinDescriptor()->GetFont().size, 1.5f);
    EXPECT_TRUE(label->GetSkinDescriptor()->GetFont().sizeIsRelative);

    WideString text;
    ASSERT_TRUE(Find(*factory, "mainPanel", "toolbar buttonOpen")->GetCreateParams());
    EXPECT_TRUE(Find(*factory, "mainPanel", "toolbar buttonOpen")->GetCreateParams()->GetString(L"AUTO_REPEAT", text));
    EXPECT_EQ(Text(text), "True");

    WideString fontName;
    float fontSize = 0;
    std::int32_t fontStyle = -1;
    EXPECT_EQ(factory->GetSkinFont(fontName, fontSize, fontStyle), 0);
    EXPECT_EQ(Text(fontName), "Arial");
    EXPECT_EQ(fontSize, 8.25f);
    EXPECT_EQ(fontStyle, 0);
}

TEST(ControlFactory, DemoSkinLooksAreMadeOfColourPartsImagePartsAndTextProperties)
{
    const RCPtr<LControlFactory> factory = LoadedDemoSkin();
    const RCPtr<LLookDescriptor> panel = LookOf(*Find(*factory, "mainPanel"));
    ASSERT_TRUE(panel);
    const RCPtr<LVisualPartDescriptor> background = panel->GetClientPart()->GetPart();
    EXPECT_TRUE(background->GetImage().fileName.IsEmpty());
    EXPECT_EQ(background->GetColorizer()->GetColor().ToARGB(), 0xFF203040u);
    EXPECT_EQ(panel->GetClientPart()->GetDocking().dockFlags, kDockAllEdges);
    EXPECT_EQ(panel->GetClientPart()->GetDocking().offsetRight, -1);
    ASSERT_EQ(panel->GetNonClientParts().GetCount(), 2u);
    const DockingRecord& bottomEdge = panel->GetNonClientParts().GetData()[1]->GetDocking();
    EXPECT_EQ(bottomEdge.dockFlags, kDockLeft | kDockRight | kDockBottom);
    EXPECT_TRUE(bottomEdge.hasHeight);
    EXPECT_FALSE(bottomEdge.hasWidth);
    EXPECT_FALSE(panel->HasTextProperties());
    EXPECT_EQ(panel->GetNonClientParts().GetData()[0]->GetPart(), panel->GetNonClientParts().GetData()[1]->GetPart())
        << "looks share their parts";

    const RCPtr<LControlDescriptor> button = Find(*factory, "mainPanel", "toolbar buttonSave");
    const RCPtr<LVisualPartDescriptor> normal = PartOf(*button);
    EXPECT_EQ(Text(normal->GetImage().fileName), "::buttons.png");
    EXPECT_FALSE(normal->GetColorizer());
    const RCPtr<LLookDescriptor> pressed = LookOf(*button, 1);
    ASSERT_TRUE(pressed);
    const RCPtr<LVisualPartDescriptor> tinted = pressed->GetClientPart()->GetPart();
    EXPECT_EQ(tinted->GetImage().x, 10);
    EXPECT_EQ(Text(tinted->GetMask().fileName), "::Buttons.png");
    EXPECT_EQ(tinted->GetColorizerAlphaMod(), 0.5f);
    ASSERT_TRUE(pressed->HasTextProperties());
    const TextProperties& textArea = pressed->GetTextProperties();
    EXPECT_EQ(textArea.leftAbs, 5);
    EXPECT_EQ(textArea.rightRel, 1.0f);
    EXPECT_EQ(textArea.bottomAbs, -1);
    EXPECT_EQ(textArea.vAlign, 0.5f);
    EXPECT_EQ(Text(textArea.foregroundPart->GetName()), "textForeground");
    EXPECT_EQ(button->GetSkinDescriptor()->GetLookList(),
              Find(*factory, "mainPanel", "toolbar buttonOpen")->GetSkinDescriptor()->GetLookList());
}

TEST(ControlFactory, DemoSkinFromItsFolderGivesTheSameTreeWithImagesInThatFolder)
{
    const RCPtr<LControlFactory> embedded = LoadedDemoSkin();
    const RCPtr<LControlFactory> folder = NewFactory();
    folder->SetImagePrefix(WideString(kDemoFolder.c_str()) + L"/");
    ASSERT_EQ(folder->LoadSkins(WideString((kDemoFolder + "/Skins.xml").c_str())), 0);

    // Resource names match in any letter case, so the descriptions are compared without it.
    const auto lowerCase = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    const std::string fromFolder = DescribeSkin(*folder, kDemoFolder + "/");
    EXPECT_EQ(lowerCase(fromFolder), lowerCase(DescribeSkin(*embedded, "::")));
    EXPECT_NE(fromFolder.find("image <prefix>Buttons.png 0,0 10x10"), std::string::npos)
        << "buttons.png, as the skin asks for it, is found as Buttons.png:\n"
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
    ASSERT_GT(cut, 20u);
    TemporaryFolder temporary;
    WriteContent(temporary / "Skins.xml", demo.substr(0, cut));

    const RCPtr<LControlFactory> factory = NewFactory();
    EXPECT_EQ(factory->LoadSkins(WideString((temporary / "Skins.xml").c_str())), ZV_E_FAIL);
    EXPECT_EQ(Text(factory->GetLastParseError().text), "unclosed token");
    const auto lines = static_cast<std::uint32_t>(std::count(demo.begin(), demo.begin() + cut, '\n') + 1);
    EXPECT_EQ(factory->GetLastParseError().line, lines);
    EXPECT_TRUE(Find(*factory, "mainPanel", "toolbar buttonSave"));
    EXPECT_FALSE(factory->FindControlDescriptor(L"toolTip"));

    WideString fontName;
    float fontSize = 0;
    std::int32_t fontStyle = -1;
    EXPECT_EQ(factory->GetSkinFont(fontName, fontSize, fontStyle), 0) << "the skin that failed is current";
}

TEST(ControlFactory, CreateFunctionsAreFoundByExactClassNameAndTheFirstRegistrationStays)
{
    struct Functions {
        static RCPtr<LControl>& First(RCPtr<LControl>& control, const RCPtr<LControl>&,
                                      const RCPtr<LControlDescriptor>&)
        {
            return control;
        }
        static RCPtr<LControl>& Second(RCPtr<LControl>& control, const RCPtr<LControl>&,
                                       const RCPtr<LControlDescriptor>&)
        {
            return control;
        }
    };
    const RCPtr<LControlFactory> factory = NewFactory();
    EXPECT_EQ(factory->RegisterControlCreateFunction(L"Framework.Button", &Functions::First), 0);
    EXPECT_EQ(factory->RegisterControlCreateFunction(L"Framework.Button", &Functions::Second), 0);
    EXPECT_EQ(factory->RegisterControlCreateFunction(L"Framework.listboxNoScroll", &Functions::Second), 0);

    ControlCreateFunction function = nullptr;
    EXPECT_EQ(factory->GetControlCreateFunction(L"Framework.Button", function), 0);
    EXPECT_EQ(function, &Functions::First);
    EXPECT_EQ(factory->GetControlCreateFunction(L"Framework.listboxNoScroll", function), 0);
    EXPECT_EQ(function, &Functions::Second);
    for (const wchar_t* unknown : {L"Framework.ListboxNoScroll", L"Framework.Label", L""}) {
        EXPECT_TRUE(ThrowsText<std::runtime_error>([&] { factory->GetControlCreateFunction(unknown, function); },
                                                   "Runtime Error : ZV::LControlFactory::GetControlCreateFunction"));
    }
    EXPECT_EQ(function, &Functions::Second);
}

TEST(ControlFactory, DerivedDescriptorIsACloneWithItsOwnNameAndLayoutSharingTheChildren)
{
    const RCPtr<LControlFactory> factory = LoadedDemoSkin();
    const RCPtr<LControlDescriptor> toolbar = Find(*factory, "mainPanel", "toolbar");
    const RCPtr<LLayoutDescriptor> layout(new LLayoutDescriptor());
    const RCPtr<LControlDescriptor> derived = LControlFactory::DeriveControlDescriptor(toolbar, layout, L"derived");

    EXPECT_EQ(Text(derived->GetName()), "derived");
    EXPECT_EQ(Text(toolbar->GetName()), "toolbar");
    EXPECT_EQ(derived->GetLayoutDescriptor(), layout);
    EXPECT_NE(toolbar->GetLayoutDescriptor(), layout);
    EXPECT_EQ(derived->GetClass(), toolbar->GetClass());
    EXPECT_EQ(derived->GetParent(), toolbar->GetParent());
    EXPECT_EQ(derived->GetSkinDescriptor(), toolbar->GetSkinDescriptor());
    ASSERT_EQ(derived->GetSubControls().GetCount(), 2u);
    EXPECT_EQ(derived->GetSubControls().GetData()[0], toolbar->GetSubControls().GetData()[0]);

    derived->AddSubControl(RCPtr<LControlDescriptor>(new LControlDescriptor(L"C", L"extra", derived.Get())));
    EXPECT_EQ(toolbar->GetSubControls().GetCount(), 2u) << "the clone's list is its own";
    EXPECT_EQ(LControlFactory::DeriveControlDescriptor(nullptr, layout, L"none"), nullptr);
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

}  // namespace
}  // namespace ZV
