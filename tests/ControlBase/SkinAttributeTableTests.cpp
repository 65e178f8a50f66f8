#include "ControlBase/ControlFactory.h"
#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ChildNamed;
using Testing::LookOf;
using Testing::NewFactory;
using Testing::Parse;
using Testing::SkinDocumentBuilder;
using Testing::Text;

// Every field as text, by name, so that a table row names the fields it changes and every other field is checked
// to keep its default.
using Fields = std::map<std::string, std::string>;

template <class Value>
std::string Show(const Value& value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

template <class Rule>
void AddRuleFields(Fields& fields, const std::string& name, const Rule& rule)
{
    fields[name + ".name"] = Text(rule.toControlName);
    fields[name + ".rel"] = Show(rule.rel);
    fields[name + ".abs"] = Show(rule.abs);
}

// The layout of a control and the font its nested skin takes from the same element.
Fields FieldsOf(const LControlDescriptor& control)
{
    const SubControlSettings& layout = *control.GetLayoutDescriptor();
    Fields fields{
        {"clipToParent", Show(layout.clipToParent)},
        {"zOrder", Show(layout.zOrder)},
        {"tabStop", Show(layout.tabStop)},
        {"isVisible", Show(layout.isVisible)},
        {"isEnabled", Show(layout.isEnabled)},
        {"xIsDocked", Show(layout.xIsDocked)},
        {"yIsDocked", Show(layout.yIsDocked)},
        {"xPosition.anchor", Show(layout.xPosition.placementAnchor)},
        {"yPosition.anchor", Show(layout.yPosition.placementAnchor)},
        {"xPosition.kind", Show(layout.xPosition.toControlKind)},
        {"yPosition.kind", Show(layout.yPosition.toControlKind)},
        {"xSize.kind", Show(layout.xSize.toControlKind)},
        {"ySize.kind", Show(layout.ySize.toControlKind)},
        {"xMinimum.toControl", Show(layout.xMinimum.toControl)},
        {"yMinimum.toControl", Show(layout.yMinimum.toControl)},
        {"xMaximum.toControl", Show(layout.xMaximum.toControl)},
        {"yMaximum.toControl", Show(layout.yMaximum.toControl)},
        {"textDecoration", Text(layout.textDecoration)},
        {"textOverflowX", Show(layout.textOverflowXType)},
        {"textOverflowY", Show(layout.textOverflowYType)},
        {"layoutOrder", Show(layout.layoutOrder)},
    };
    AddRuleFields(fields, "xPosition", layout.xPosition);
    AddRuleFields(fields, "yPosition", layout.yPosition);
    AddRuleFields(fields, "xSize", layout.xSize);
    AddRuleFields(fields, "ySize", layout.ySize);
    AddRuleFields(fields, "xMinimum", layout.xMinimum);
    AddRuleFields(fields, "yMinimum", layout.yMinimum);
    AddRuleFields(fields, "xMaximum", layout.xMaximum);
    AddRuleFields(fields, "yMaximum", layout.yMaximum);
    const SkinFontSettings& font = control.GetSkinDescriptor()->GetFont();
    fields["font.inherits"] = Show(font.inheritsFromParent);
    fields["font.relative"] = Show(font.sizeIsRelative);
    fields["font.name"] = Text(font.name);
    fields["font.size"] = Show(font.size);
    fields["font.style"] = Show(font.style);
    return fields;
}

Fields FieldsOf(const DockingRecord& docking)
{
    return {
        {"flags", Show(docking.dockFlags)},       {"left", Show(docking.offsetLeft)},
        {"top", Show(docking.offsetTop)},         {"right", Show(docking.offsetRight)},
        {"bottom", Show(docking.offsetBottom)},   {"hasWidth", Show(docking.hasWidth)},
        {"width", Show(docking.width)},           {"hasHeight", Show(docking.hasHeight)},
        {"height", Show(docking.height)},
    };
}

// What one element's attributes change: the fields that differ from the defaults, with their values.
struct Row {
    std::string attributes;
    Fields changed;
};

Fields Changed(Fields fields, const Fields& changes)
{
    for (const auto& [name, value] : changes) {
        EXPECT_TRUE(fields.contains(name)) << "no field " << name;
        fields[name] = value;
    }
    return fields;
}

TEST(SkinAttributeTable, EverySubControlAttributeSetsItsOwnFieldAndNoOther)
{
    const std::vector<Row> rows = {
        {R"(ClipToParent="False")", {{"clipToParent", "0"}}},
        {R"(Z_Order="3")", {{"zOrder", "3"}}},
        {R"(TabStop="4")", {{"tabStop", "4"}}},
        {R"(IsVisible="False")", {{"isVisible", "0"}}},
        {R"(LayoutOrder="0x15")", {{"layoutOrder", "21"}}},
        {R"(XIsDocked="True")", {{"xIsDocked", "1"}}},
        {R"(YIsDocked="True")", {{"yIsDocked", "1"}}},
        {R"(XPlacementAnchor="0.25")", {{"xPosition.anchor", "0.25"}}},
        {R"(YPlacementAnchor="0.75")", {{"yPosition.anchor", "0.75"}}},
        {R"(XPositionToControl="Screen")", {{"xPosition.kind", "0"}}},
        {R"(YPositionToControl="northPanel")", {{"yPosition.kind", "2"}, {"yPosition.name", "northPanel"}}},
        {R"(XPositionRel="0.125")", {{"xPosition.rel", "0.125"}}},
        {R"(YPositionRel="0.375")", {{"yPosition.rel", "0.375"}}},
        {R"(XPositionAbs="5")", {{"xPosition.abs", "5"}}},
        {R"(YPositionAbs="-6")", {{"yPosition.abs", "-6"}}},
        {R"(XSizeToControl="Parent")", {{"xSize.kind", "0"}}},
        {R"(YSizeToControl="Active Window")", {{"ySize.kind", "1"}}},
        {R"(XSizeToControl="westPanel")", {{"xSize.kind", "3"}, {"xSize.name", "westPanel"}}},
        {R"(XSizeRel="0.625")", {{"xSize.rel", "0.625"}}},
        {R"(YSizeRel="0.875")", {{"ySize.rel", "0.875"}}},
        {R"(XSizeAbs="7")", {{"xSize.abs", "7"}}},
        {R"(YSizeAbs="8")", {{"ySize.abs", "8"}}},
        {R"(XMinSizeToControl="Children")", {{"xMinimum.toControl", "1"}, {"xMinimum.name", "Children"}}},
        {R"(YMinSizeToControl="southPanel")", {{"yMinimum.toControl", "1"}, {"yMinimum.name", "southPanel"}}},
        {R"(XMaxSizeToControl="eastPanel")", {{"xMaximum.toControl", "1"}, {"xMaximum.name", "eastPanel"}}},
        {R"(YMaxSizeToControl="Self")", {}},
        {R"(XMinSizeRel="1.5")", {{"xMinimum.rel", "1.5"}}},
        {R"(YMinSizeRel="2.5")", {{"yMinimum.rel", "2.5"}}},
        {R"(XMaxSizeRel="3.5")", {{"xMaximum.rel", "3.5"}}},
        {R"(YMaxSizeRel="4.5")", {{"yMaximum.rel", "4.5"}}},
        {R"(XMinSizeAbs="9")", {{"xMinimum.abs", "9"}}},
        {R"(YMinSizeAbs="10")", {{"yMinimum.abs", "10"}}},
        {R"(XMaxSizeAbs="11")", {{"xMaximum.abs", "11"}}},
        {R"(YMaxSizeAbs="12")", {{"yMaximum.abs", "12"}}},
        {R"(TextDecoration="Underline")", {{"textDecoration", "Underline"}}},
        {R"(TextOverflowXType="Expand")", {{"textOverflowX", "1"}}},
        {R"(TextOverflowYType="Expand")", {{"textOverflowY", "1"}}},
        {R"(FontInheritsFromParent="True")", {{"font.inherits", "1"}}},
        {R"(FontSizeIsRelative="True" FontSize="1.25")", {{"font.relative", "1"}, {"font.size", "1.25"}}},
        {R"(FontName="Tahoma")", {{"font.name", "Tahoma"}}},
        {R"(FontSize="9.5")", {{"font.size", "9.5"}}},
        {R"(FontStyle="2")", {{"font.style", "2"}}},
    };
    std::string controls = R"(<SubControl Class="C" Name="top"><Skin Name="s"><SubControl Class="C" Name="plain">
                              <Skin Name="s"/></SubControl>)";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        controls += "<SubControl Class=\"C\" Name=\"row" + std::to_string(i) + "\" " + rows[i].attributes +
                    "><Skin Name=\"s\"/></SubControl>";
    }
    controls += "</Skin></SubControl>";
    SkinDocumentBuilder skin;
    skin.controls = controls;
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, skin.Document()), 0);
    const RCPtr<LControlDescriptor> top = factory->FindControlDescriptor(L"top");

    const Fields defaults = FieldsOf(*ChildNamed(*top, "plain"));
    EXPECT_EQ(defaults.at("xSize.kind"), "2");
    EXPECT_EQ(defaults.at("xSize.abs"), "16");
    EXPECT_EQ(defaults.at("ySize.abs"), "40");
    EXPECT_EQ(defaults.at("xPosition.kind"), "1");
    EXPECT_EQ(defaults.at("yPosition.kind"), "1");
    EXPECT_EQ(defaults.at("font.style"), "-1");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RCPtr<LControlDescriptor> control = ChildNamed(*top, ("row" + std::to_string(i)).c_str());
        ASSERT_TRUE(control) << rows[i].attributes;
        EXPECT_EQ(FieldsOf(*control), Changed(defaults, rows[i].changed)) << rows[i].attributes;
    }
}

TEST(SkinAttributeTable, EachDockingAttributeOfANonClientPartSetsItsOwnFieldAndFlag)
{
    const std::vector<Row> rows = {
        {"", {}},
        {R"(OffsetLeft="1")", {{"flags", "1"}, {"left", "1"}}},
        {R"(OffsetTop="2")", {{"flags", "2"}, {"top", "2"}}},
        {R"(OffsetRight="-3")", {{"flags", "4"}, {"right", "-3"}}},
        {R"(OffsetBottom="-4")", {{"flags", "8"}, {"bottom", "-4"}}},
        {R"(OffsetLeft="0" OffsetBottom="0")", {{"flags", "9"}}},
        {R"(Width="5")", {{"hasWidth", "1"}, {"width", "5"}}},
        {R"(Height="6")", {{"hasHeight", "1"}, {"height", "6"}}},
        {R"(Width="0" Height="0")", {}},
        {R"(Width="-7" Height="-8")", {{"width", "-7"}, {"height", "-8"}}},
    };
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="tint" ColorType="SolidFill" Color="0xFF000000"/>)";
    skin.parts = R"(<Part Name="edge" Width="1" Height="1" ResizeType="Stretch" ColorizerName="tint"/>)";
    skin.Wear("edge", "framed");
    std::string nonClientParts;
    for (const Row& row : rows) {
        nonClientParts += "<NonClientPart Name=\"edge\" " + row.attributes + "/>";
    }
    const std::string clientPart = R"(<ClientPart Name="edge" OffsetLeft="11" OffsetTop="12" OffsetRight="-13"
                                                 OffsetBottom="-14"/>)";
    skin.looks.replace(skin.looks.find("<ClientPart"), skin.looks.find("</Look>") - skin.looks.find("<ClientPart"),
                       clientPart + "<NonClientParts>" + nonClientParts + "</NonClientParts>");
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, skin.Document()), 0);
    const RCPtr<LLookDescriptor> look = LookOf(*factory->FindControlDescriptor(L"framed"));
    ASSERT_TRUE(look);

    const Fields defaults = FieldsOf(DockingRecord());
    EXPECT_EQ(FieldsOf(look->GetClientPart()->GetDocking()),
              Changed(defaults, {{"flags", "15"}, {"left", "11"}, {"top", "12"}, {"right", "-13"}, {"bottom", "-14"}}));
    const RCPtrArray<LDockedPart>& parts = look->GetNonClientParts();
    ASSERT_EQ(parts.GetCount(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(FieldsOf(parts.GetData()[i]->GetDocking()), Changed(defaults, rows[i].changed)) << rows[i].attributes;
        EXPECT_EQ(Text(parts.GetData()[i]->GetPart()->GetName()), "edge");
    }
}

TEST(SkinAttributeTable, TextPropertiesKeepEachOfTheirElevenValuesAndNeedThemAll)
{
    const std::vector<std::pair<std::string, std::string>> attributes = {
        {"TextLeftRel", "0.125"}, {"TextLeftAbs", "2"},     {"TextRightRel", "0.875"}, {"TextRightAbs", "-3"},
        {"TextHAlign", "0.5"},    {"TextTopRel", "0.25"},   {"TextTopAbs", "4"},       {"TextBottomRel", "0.75"},
        {"TextBottomAbs", "-5"},  {"TextVAlign", "0.375"},  {"TextForegroundPart", "ink"},
    };
    // One look with all of them, and one look for each that lacks it.
    const auto element = [&](const std::string& left) {
        std::string text = "<TextProperties";
        for (const auto& [name, value] : attributes) {
            text += name == left ? "" : " " + name + "=\"" + value + "\"";
        }
        return text + "/>";
    };
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="tint" ColorType="SolidFill" Color="0xFF000000"/>)";
    skin.parts = R"(<Part Name="fill" Width="1" Height="1" ResizeType="Stretch" ColorizerName="tint"/>
                    <Part Name="ink" Width="1" Height="1" ResizeType="Stretch" ColorizerName="tint"/>)";
    const auto wear = [&](const std::string& control, const std::string& textProperties) {
        skin.Wear("fill", control);
        skin.looks.insert(skin.looks.rfind("</Look>"), textProperties);
    };
    wear("all", element(""));
    for (const auto& [name, value] : attributes) {
        wear("without" + name, element(name));
    }
    const RCPtr<LControlFactory> factory = NewFactory();
    ASSERT_EQ(Parse(*factory, skin.Document()), 0);

    const RCPtr<LLookDescriptor> look = LookOf(*factory->FindControlDescriptor(L"all"));
    ASSERT_TRUE(look && look->HasTextProperties());
    const TextProperties& text = look->GetTextProperties();
    const std::map<std::string, std::string> kept = {
        {"TextLeftRel", Show(text.leftRel)},     {"TextLeftAbs", Show(text.leftAbs)},
        {"TextRightRel", Show(text.rightRel)},   {"TextRightAbs", Show(text.rightAbs)},
        {"TextHAlign", Show(text.hAlign)},       {"TextTopRel", Show(text.topRel)},
        {"TextTopAbs", Show(text.topAbs)},       {"TextBottomRel", Show(text.bottomRel)},
        {"TextBottomAbs", Show(text.bottomAbs)}, {"TextVAlign", Show(text.vAlign)},
        {"TextForegroundPart", Text(text.foregroundPart->GetName())},
    };
    EXPECT_EQ(kept, (std::map<std::string, std::string>(attributes.begin(), attributes.end())));
    for (const auto& [name, value] : attributes) {
        const std::string control = "without" + name;
        const RCPtr<LLookDescriptor> without = LookOf(*factory->FindControlDescriptor(WideString(control.c_str())));
        ASSERT_TRUE(without);
        EXPECT_FALSE(without->HasTextProperties()) << "without " << name;
    }
}

}  // namespace
}  // namespace ZV
