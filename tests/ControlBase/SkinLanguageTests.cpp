#include "ControlBase/ControlFactory.h"
#include "DebuggerOutputCapture.h"
#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ChildNamed;
using Testing::ChildNames;
using Testing::ControlsDocument;
using Testing::DebuggerOutputCapture;
using Testing::LookOf;
using Testing::NewFactory;
using Testing::Parse;
using Testing::PartOf;
using Testing::SkinDocumentBuilder;
using Testing::Text;

// The layout of the child of that name of the top-level control "top".
const LLayoutDescriptor& LayoutOf(const LControlFactory& factory, const char* child)
{
    return *ChildNamed(*factory.FindControlDescriptor(L"top"), child)->GetLayoutDescriptor();
}

TEST(SkinLanguage, EachAttributeReadsWithItsOwnSyntaxQuirksIncludedAndWhatIsAbsentKeepsItsDefault)
{
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, ControlsDocument(R"(<SubControl Class="C" Name="top"><Skin Name="s">
          <SubControl Class="C" Name="plain"/>
          <SubControl Class="C" Name="hex" XIsDocked="True" YIsDocked="true" ClipToParent="TRUE" Z_Order="0x10"
                      LayoutOrder="0x10" TabStop="0x10" XPositionAbs="0x10"/>
          <SubControl Class="C" Name="long" LayoutOrder="0x12345" XPositionToControl="Screen"
                      YPositionToControl="hex" XSizeToControl="Active Window" YSizeToControl="long"
                      XMinSizeToControl="Children" TextOverflowXType="Wrap" TextOverflowYType="Wrap"/>
          <SubControl Class="C" Name="capital" LayoutOrder="0X10" TextOverflowYType="Expand"/>
        </Skin></SubControl>)")),
              0);
    const RCPtr<LControlDescriptor> top = factory->FindControlDescriptor(L"top");
    EXPECT_EQ(Text(top->GetParent()->GetClass()), "Application");
    EXPECT_EQ(Text(top->GetParent()->GetName()), "Test") << "a root is named after the application";
    const SkinFontSettings& font = top->GetSkinDescriptor()->GetFont();
    EXPECT_TRUE(font.name.IsEmpty() && font.size == 0.0f && font.style == -1);
    const LLayoutDescriptor& plain = LayoutOf(*factory, "plain");
    EXPECT_TRUE(plain.clipToParent && plain.isVisible && plain.isEnabled);
    EXPECT_EQ(plain.xPosition.toControlKind, kPositionToClient);
    EXPECT_EQ(plain.xSize.toControlKind, kSizeToSelf);
    EXPECT_EQ(plain.xSize.abs, 16.0);
    EXPECT_EQ(plain.ySize.abs, 40.0);

    const LLayoutDescriptor& hex = LayoutOf(*factory, "hex");
    EXPECT_TRUE(hex.xIsDocked);
    EXPECT_FALSE(hex.yIsDocked) << "true is not True";
    EXPECT_FALSE(hex.clipToParent);
    EXPECT_EQ(hex.zOrder, 0) << "Z_Order, TabStop and positions are plain integers";
    EXPECT_EQ(hex.tabStop, 0);
    EXPECT_EQ(hex.xPosition.abs, 0.0);
    EXPECT_EQ(hex.layoutOrder, 16) << "LayoutOrder reads hexadecimal";
    const LLayoutDescriptor& longer = LayoutOf(*factory, "long");
    EXPECT_EQ(longer.layoutOrder, 0x1234) << "at most four hexadecimal digits";
    EXPECT_EQ(longer.xPosition.toControlKind, kPositionToParent);
    EXPECT_EQ(longer.yPosition.toControlKind, kPositionToNamedControl);
    EXPECT_EQ(Text(longer.yPosition.toControlName), "hex");
    EXPECT_EQ(longer.xSize.toControlKind, kSizeToClient);
    EXPECT_EQ(longer.ySize.toControlKind, kSizeToNamedControl);
    EXPECT_TRUE(longer.xMinimum.toControl);
    EXPECT_EQ(Text(longer.xMinimum.toControlName), "Children");
    EXPECT_EQ(longer.textOverflowXType, kTextOverflowWrap);
    EXPECT_EQ(longer.textOverflowYType, kTextOverflowClip) << "Wrap is no vertical overflow";
    EXPECT_EQ(LayoutOf(*factory, "capital").layoutOrder, 0) << "0X10 is decimal 0";
    EXPECT_EQ(LayoutOf(*factory, "capital").textOverflowYType, kTextOverflowExpand);
}

TEST(SkinLanguage, ChildrenAreSortedByLayoutOrderTiesInSkinOrderButTopLevelControlsAndTheirSettingsAreLeft)
{
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, ControlsDocument(R"(
        <SubControl Class="C" Name="second" LayoutOrder="2"/>
        <SubControl Class="C" Name="top" LayoutOrder="1" TabStop="3" IsVisible="False"><Skin Name="s">
          <SubControl Class="C" Name="two" LayoutOrder="2"/>
          <SubControl Class="C" Name="oneA" LayoutOrder="1" TabStop="3" IsVisible="False"/>
          <SubControl Class="C" Name="zero"/>
          <SubControl Class="C" Name="oneB" LayoutOrder="1"/>
        </Skin></SubControl>)")),
              0);
    const RCPtr<LControlDescriptor> top = factory->FindControlDescriptor(L"top");
    EXPECT_EQ(ChildNames(*top), (std::vector<std::string>{"zero", "oneA", "oneB", "two"}));
    EXPECT_EQ(ChildNames(*top->GetParent()), (std::vector<std::string>{"second", "top"}));
    EXPECT_EQ(top->GetLayoutDescriptor()->tabStop, 0) << "a top-level control keeps TabStop and IsVisible";
    EXPECT_TRUE(top->GetLayoutDescriptor()->isVisible);
    EXPECT_EQ(LayoutOf(*factory, "oneA").tabStop, 3);
    EXPECT_FALSE(LayoutOf(*factory, "oneA").isVisible);
}

TEST(SkinLanguage, ARepeatedLookListGivesTheFirstListAndIgnoresItsOwnEntries)
{
    SkinDocumentBuilder skin;
    skin.looks = R"(<Look Name="a"/><Look Name="b"/>)";
    skin.lookLists = R"(<LookList Name="list" NumLooks="2"><Look Name="a" Index="0"/></LookList>
                        <LookList Name="list" NumLooks="5"><Look Name="b" Index="1"/></LookList>)";
    skin.controls = R"(<SubControl Class="C" Name="first"><Skin Name="s" LookList="list"/></SubControl>
                       <SubControl Class="C" Name="inline"><Skin Name="s">
                         <LookList Name="list" NumLooks="9"><Look Name="b" Index="0"/></LookList></Skin>
                       </SubControl>
                       <SubControl Class="C" Name="unknown"><Skin Name="s" LookList="missing"/></SubControl>)";
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, skin.Document()), 0);
    const RCPtr<LLookList>& list = factory->FindControlDescriptor(L"first")->GetSkinDescriptor()->GetLookList();
    ASSERT_EQ(list->GetCount(), 2u);
    EXPECT_EQ(Text(list->GetLook(0)->GetName()), "a");
    EXPECT_FALSE(list->GetLook(1));
    EXPECT_EQ(factory->FindControlDescriptor(L"inline")->GetSkinDescriptor()->GetLookList(), list);
    EXPECT_FALSE(factory->FindControlDescriptor(L"unknown")->GetSkinDescriptor()->GetLookList());
}

TEST(SkinLanguage, ColorizersKeepTheirColourAndOnlyPartlyGivenGradientsStayGradients)
{
    SkinDocumentBuilder skin;
    skin.colorizers = R"(
        <Colorizer Name="white" ColorType="SolidFill" Color="0x00FFFFFF"/>
        <Colorizer Name="full" ColorType="LinearGradient" Color="0xFFFF0000" GradientEndColor="0xFF0000FF"
                   GradientStartX="1" GradientStartY="2" GradientEndX="3" GradientEndY="4"/>
        <Colorizer Name="partial" ColorType="RadialGradient" Color="FF0000" GradientEndColor="0xFF0000FF"
                   GradientStartX="1" GradientEndX="3" GradientEndY="4"/>
        <Colorizer Name="white" ColorType="SolidFill" Color="0xFF000000"/>)";
    for (const std::string name : {"white", "full", "partial"}) {
        skin.parts += "<Part Name=\"" + name + "\" Width=\"2\" Height=\"3\" ResizeType=\"Tile\" ColorizerName=\"" +
                      name + "\"/>";
        skin.Wear(name, name);
    }
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, skin.Document()), 0);
    const auto colorizer = [&](const wchar_t* control) {
        return PartOf(*factory->FindControlDescriptor(control))->GetColorizer();
    };
    EXPECT_EQ(colorizer(L"white")->GetColor(), LColor(1, 1, 1, 0)) << "transparent white, the first of its name";
    const RCPtr<LColorizer> full = colorizer(L"full");
    EXPECT_EQ(full->GetColorType(), LColorizer::kSolidFill) << "a gradient given in full is drawn solid";
    EXPECT_EQ(full->GetColor(), LColor(1, 0, 0, 1));
    EXPECT_EQ(full->GetEndColor(), LColor());
    EXPECT_EQ(full->GetGradient(), (GradientGeometry{1, 2, 3, 4}));
    const RCPtr<LColorizer> partial = colorizer(L"partial");
    EXPECT_EQ(partial->GetColorType(), LColorizer::kRadialGradient);
    EXPECT_EQ(partial->GetColor(), LColor(1, 0, 0, 0));
    EXPECT_EQ(partial->GetEndColor(), LColor(0, 0, 1, 1));
    EXPECT_EQ(partial->GetGradient(), (GradientGeometry{1, 0, 0, 0})) << "read up to the first one missing";
}

TEST(SkinLanguage, PartsNeedAnImageOrAColorizerAndNameImagesLowerCasedButMasksAsWritten)
{
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="tint" ColorType="SolidFill" Color="0x80FF0000"/>)";
    skin.parts = R"(
        <Part Name="image" Width="10" Height="12" ResizeType="Center" ImageFile="Sheet.PNG" ImageLocX="0x10"
              ImageLocY="20" ColorizerName="tint" ColorizerAlphaMod="0.5" ColorizerMaskFile="Mask Sheet.PNG"
              MaskLocX="1" MaskLocY="2"/>
        <Part Name="halfImage" Width="10" Height="12" ResizeType="Tile" ImageFile="Sheet.PNG" ImageLocX="0"/>
        <Part Name="halfImageTinted" Width="10" Height="12" ResizeType="Odd" ImageFile="Sheet.PNG" ImageLocX="0"
              ColorizerName="tint" ColorizerMaskFile="Mask.png" MaskLocX="1"/>)";
    for (const char* part : {"image", "halfImage", "halfImageTinted"}) {
        skin.Wear(part, part);
    }
    const RCPtr<LControlFactory> factory = NewFactory();
    factory->SetImagePrefix(L"::");
    ASSERT_EQ(Parse(*factory, skin.Document()), 0);
    const auto part = [&](const wchar_t* control) { return PartOf(*factory->FindControlDescriptor(control)); };

    const RCPtr<LVisualPartDescriptor> image = part(L"image");
    EXPECT_EQ(Text(image->GetImage().fileName), "::sheet.png");
    EXPECT_EQ(image->GetImage().x, 16);
    EXPECT_EQ(image->GetImage().height, 12);
    EXPECT_EQ(image->GetSize(), PointT<float>(10, 12));
    EXPECT_EQ(image->GetResizeType(), kResizeCenter);
    EXPECT_EQ(image->GetColorizerAlphaMod(), 0.5f);
    EXPECT_EQ(Text(image->GetMask().fileName), "::Mask Sheet.PNG");
    EXPECT_EQ(image->GetMask().y, 2);

    EXPECT_FALSE(part(L"halfImage")) << "an image without ImageLocY and no colorizer: no part";
    const RCPtr<LVisualPartDescriptor> tinted = part(L"halfImageTinted");
    ASSERT_TRUE(tinted) << "a colour part instead";
    EXPECT_TRUE(tinted->GetImage().fileName.IsEmpty());
    EXPECT_TRUE(tinted->GetMask().fileName.IsEmpty()) << "a mask needs both locations";
    EXPECT_EQ(tinted->GetSize(), PointT<float>(10, 12));
    EXPECT_EQ(tinted->GetResizeType(), kResizeStretch);
    EXPECT_EQ(tinted->GetColorizerAlphaMod(), 1.0f);
}

TEST(SkinLanguage, PartNamesDifferingInCaseOrLengthEachFindTheirOwnPartAndARepeatedNameKeepsTheFirst)
{
    const std::vector<std::string> names = {"tint", "Tint", "tint2", "tin",
                                            "TINT", "t",    "tint\xC3\xA9", "tint\xC3\x89"};
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="red" ColorType="SolidFill" Color="0xFFFF0000"/>)";
    for (std::size_t index = names.size(); index-- > 0;) {
        skin.parts += "<Part Name=\"" + names[index] + "\" Width=\"" + std::to_string(index + 1) +
                      "\" Height=\"1\" ResizeType=\"Tile\" ColorizerName=\"red\"/>";
    }
    skin.parts += R"(<Part Name="Tint" Width="99" Height="1" ResizeType="Tile" ColorizerName="red"/>)";
    for (std::size_t index = 0; index < names.size(); ++index) {
        skin.Wear(names[index], "wearer" + std::to_string(index));
    }
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, skin.Document()), 0);
    for (std::size_t index = 0; index < names.size(); ++index) {
        const std::string control = "wearer" + std::to_string(index);
        const RCPtr<LVisualPartDescriptor> part = PartOf(*factory->FindControlDescriptor(WideString(control.c_str())));
        ASSERT_TRUE(part) << names[index];
        EXPECT_EQ(part->GetSize().x, static_cast<float>(index + 1)) << names[index];
    }
}

TEST(SkinLanguage, TheFirstStartTagIsNeverLookedAt)
{
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, R"(<Application Name="Lost"><Application Name="Kept"/></Application>)"), 0);
    EXPECT_EQ(Text(factory->GetApplicationName()), "Kept");
    ASSERT_EQ(Parse(*factory, R"(<Application Name="Lost"/>)"), 0);
    EXPECT_EQ(Text(factory->GetApplicationName()), "Kept");
}

TEST(SkinLanguage, ACreateParamWrittenAcrossLinesWithEntitiesKeepsItsWholeText)
{
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, ControlsDocument(R"(
        <SubControl Class="C" Name="control"><Skin Name="s"/>
          <CreateParamList>
            <CreateParam ID="TEXT">first line
second &amp; &quot;third&quot;&#10;&lt;end&gt;</CreateParam>
            <CreateParam ID="REPLACED">old</CreateParam>
            <CreateParam ID="REPLACED">new</CreateParam>
            <CreateParam ID="EMPTY"></CreateParam>
          </CreateParamList>
        </SubControl>
        <SubControl Class="C" Name="outside"><Skin Name="s"/><CreateParam ID="LOST">text</CreateParam>
        </SubControl>)")),
              0);
    const RCPtr<LStringTable> params = factory->FindControlDescriptor(L"control")->GetCreateParams();
    WideString text;
    ASSERT_TRUE(params->GetString(L"TEXT", text));
    EXPECT_EQ(Text(text), "first line\nsecond & \"third\"\n<end>");
    ASSERT_TRUE(params->GetString(L"REPLACED", text));
    EXPECT_EQ(Text(text), "new");
    EXPECT_FALSE(params->ContainsString(L"EMPTY")) << "no text, no entry";
    EXPECT_FALSE(params->ContainsString(L"LOST")) << "a list that has ended takes no more parameters";
    EXPECT_FALSE(factory->FindControlDescriptor(L"outside")->GetCreateParams());
}

TEST(SkinLanguage, SubControlFontsReachTheirNestedSkinTranslatedForTheFontLocale)
{
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, R"(<Root><Application Name="Test"><Skins>
        <Skin Name="Default" FontName="Arial" FontSize="8.25" FontStyle="0">
          <FontLocale LCID="9"/><FontXLat Name="Arial" XLat="Not This Locale"/>
          <FontLocale LCID="0x0"/><FontXLat Name="Arial" XLat="Liberation Sans"/><FontXLat Name="Arial" XLat="Late"/>
          <SubControl Class="C" Name="translated" FontName="Arial" FontSize="9" FontStyle="0x1"
                      FontSizeIsRelative="True" FontInheritsFromParent="True"><Skin Name="s"/></SubControl>
          <SubControl Class="C" Name="sizeless" FontName="Tahoma" FontSizeIsRelative="True"><Skin Name="s"/>
          </SubControl>
        </Skin></Skins></Application></Root>)"),
              0);
    const SkinFontSettings& translated = factory->FindControlDescriptor(L"translated")->GetSkinDescriptor()->GetFont();
    EXPECT_EQ(Text(translated.name), "Liberation Sans") << "the first translation for the locale stays";
    EXPECT_EQ(translated.size, 9.0f);
    EXPECT_EQ(translated.style, 1);
    EXPECT_TRUE(translated.sizeIsRelative && translated.inheritsFromParent);
    const SkinFontSettings& sizeless = factory->FindControlDescriptor(L"sizeless")->GetSkinDescriptor()->GetFont();
    EXPECT_EQ(Text(sizeless.name), "Tahoma");
    EXPECT_FALSE(sizeless.sizeIsRelative) << "without FontSize the size is not relative";

    WideString name;
    float size = 0;
    std::int32_t style = 7;
    EXPECT_EQ(factory->GetSkinFont(name, size, style), 0);
    EXPECT_EQ(Text(name), "Liberation Sans") << "the skin's own font name is translated at once";
    EXPECT_EQ(size, 8.25f);
    EXPECT_EQ(style, 0);

    SkinDocumentBuilder small;
    small.skinAttributes = R"(Name="Small" FontSize="0.5")";
    const RCPtr<LControlFactory> smallFactory = NewFactory();
    ASSERT_EQ(Parse(*smallFactory, small.Document()), 0);
    EXPECT_EQ(smallFactory->GetSkinFont(name, size, style), 1) << "a size below 1 is no size";
    EXPECT_EQ(size, 8.25f);
    EXPECT_EQ(NewFactory()->GetSkinFont(name, size, style), 1) << "no skin at all";
}

TEST(SkinLanguage, OutOfPlaceElementsAreIgnoredWithOneLineOfDebugOutputEach)
{
    DebuggerOutputCapture capture;
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, R"(<Root><Application Name="Test">
        <Parts><Part Name="p" Width="1" Height="1" ResizeType="Stretch" ImageFile="a.png" ImageLocX="0"
                     ImageLocY="0"/></Parts>
        <Looks>
          <ClientPart Name="p" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
          <NonClientPart Name="p"/>
          <Look Name="look"/>
        </Looks>
        <LookLists>
          <LookList Name="two" NumLooks="2"><Look Name="look" Index="2"/></LookList>
          <LookList Name="huge" NumLooks="2000000000"/>
        </LookLists>
        <SubControl Class="C" Name="orphan"/>
        <Skins>
          <Skin><SubControl Class="C" Name="dropped"/></Skin>
          <Skin Name="Default">
            <FontXLat Name="Arial" XLat="Early"/>
            <SubControl Class="C" Name="kept"><LookList Name="fresh" NumLooks="1"/><Skin/>
              <CreateParam ID="NO_LIST">text</CreateParam></SubControl>
          </Skin>
        </Skins>
        <FontLocale LCID="0"/><FontXLat Name="Arial" XLat="Outside"/>
        </Application></Root>)"),
              0);
    const std::vector<std::string> expected = {
        "Skin element ClientPart ignored: no Look comes before it\n",
        "Skin element NonClientPart ignored: no Look comes before it\n",
        "Skin element Look ignored: Index 2 is outside its LookList\n",
        "Skin element LookList ignored: NumLooks 2000000000 is outside 0 to 65535\n",
        "Skin element SubControl ignored: it lies outside any Skin\n",
        "Skin element Skin ignored: it has no Name, and the controls inside it are dropped\n",
        "Skin element SubControl ignored: it lies outside any Skin\n",
        "Skin element FontXLat ignored: no FontLocale comes before it\n",
        "Skin element LookList ignored: its control has no Skin to give the list to\n",
        "Skin element Skin ignored: it has no Name\n",
        "Skin element CreateParam ignored: it lies outside any CreateParamList\n",
        "Skin element FontXLat ignored: it lies outside any Skin\n",
    };
    EXPECT_EQ(DebuggerOutputCapture::Texts(), expected);
    EXPECT_TRUE(factory->FindControlDescriptor(L"kept"));
    EXPECT_FALSE(factory->FindControlDescriptor(L"dropped"));
}

TEST(SkinLanguage, ASubControlWithoutClassOrNameEndsTheParseAndKeepsWhatCameBefore)
{
    for (const std::string bad : {R"(<SubControl Name="bad"/>)", R"(<SubControl Class="C"/>)"}) {
        DebuggerOutputCapture capture;
        const RCPtr<LControlFactory> factory = NewFactory();
        EXPECT_EQ(Parse(*factory, ControlsDocument(R"(<SubControl Class="C" Name="before"><Skin Name="s">)" + bad +
                                                   R"(</Skin></SubControl><SubControl Class="C" Name="after"/>)")),
                  ZV_E_FAIL);
        EXPECT_TRUE(factory->FindControlDescriptor(L"before"));
        EXPECT_FALSE(factory->FindControlDescriptor(L"after"));
        EXPECT_TRUE(factory->GetLastParseError().text.IsEmpty()) << "the document itself was well-formed";
        const std::vector<std::string> lines = DebuggerOutputCapture::Texts();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("XML document abandoned: Runtime Error : Bad Subcontrol Element : "
                                 "ZV::LControlFactory::XMLStartElement : ",
                                 0),
                  0u)
            << lines[0];
    }
}

}  // namespace
}  // namespace ZV
