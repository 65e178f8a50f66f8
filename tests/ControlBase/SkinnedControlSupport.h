#pragma once

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Look.h"
#include "ControlBase/SkinTestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace ZV::Testing {

// A recording control that also logs what the looks, texts and fonts ask of the rest of the control: the areas it
// invalidates, the focusability and visibility it is given, and its hooks.
class LSkinnedControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    ZVRESULT InvalidateRect(const RectT<double>& rect, bool clip) override
    {
        invalidated.push_back(rect);
        return LRecordingControl::InvalidateRect(rect, clip);
    }
    void SetNotFocusable(bool notFocusable) override
    {
        Record(notFocusable ? "SetNotFocusable true" : "SetNotFocusable false");
        LRecordingControl::SetNotFocusable(notFocusable);
    }
    bool SetVisible(bool visible) override
    {
        Record(std::string("SetVisible ") + (visible ? "true" : "false") + " while " +
               (GetLayoutDescriptor()->isVisible ? "shown" : "hidden"));
        return LRecordingControl::SetVisible(visible);
    }
    void OnValueChanged() override { Record("OnValueChanged " + std::to_string(GetValue())); }
    void OnFontChanged() override { Record("OnFontChanged"); }

    std::vector<RectT<double>> invalidated;
};

// A SubControl wearing the look list, with its own attributes, children and create parameters.
inline std::string Wearing(const std::string& className, const std::string& name, const std::string& lookList,
                           const std::string& attributes = "", const std::string& children = "",
                           const std::string& createParams = "")
{
    return "<SubControl Class=\"" + className + "\" Name=\"" + name + "\" " + attributes + "><Skin Name=\"" + name +
           "Skin\" LookList=\"" + lookList + "\">" + children + "</Skin>" + createParams + "</SubControl>";
}

// Colours, parts and looks for the controls of a test: look list "four" has the framed look "plain" at 0 and 3, the
// look "edged" at 1, and none at 2; look list "one" has "plain" alone.
inline SkinDocumentBuilder LookSkin()
{
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="Ink" ColorType="SolidFill" Color="0xFF112233"/>
        <Colorizer Name="Face" ColorType="SolidFill" Color="0xFF0000DD"/>
        <Colorizer Name="Edge" ColorType="SolidFill" Color="0xFFAA0000"/>)";
    skin.parts = R"(<Part Name="Face" ColorizerName="Face" Width="1" Height="1" ResizeType="Stretch"/>
        <Part Name="Edge" ColorizerName="Edge" Width="6" Height="6" ResizeType="Stretch"/>
        <Part Name="Ink" ColorizerName="Ink" Width="1" Height="1" ResizeType="Stretch"/>)";
    skin.looks = R"(<Look Name="plain">
          <ClientPart Name="Face" OffsetLeft="2" OffsetTop="2" OffsetRight="-2" OffsetBottom="-2"/>
          <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2" TextHAlign="0"
                          TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0"
                          TextForegroundPart="Ink"/>
        </Look>
        <Look Name="edged">
          <ClientPart Name="Face" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
          <NonClientParts><NonClientPart Name="Edge" OffsetLeft="0" OffsetTop="0"/></NonClientParts>
        </Look>)";
    skin.lookLists = R"(<LookList Name="four" NumLooks="4">
          <Look Name="plain" Index="0"/><Look Name="edged" Index="1"/><Look Name="plain" Index="3"/>
        </LookList>
        <LookList Name="one" NumLooks="1"><Look Name="plain" Index="0"/></LookList>)";
    return skin;
}

// A CreateParamList with the parameters.
inline std::string CreateParams(std::initializer_list<std::pair<std::string, std::string>> params)
{
    std::string list = "<CreateParamList>";
    for (const auto& [id, text] : params) {
        list += "<CreateParam ID=\"" + id + "\">" + text + "</CreateParam>";
    }
    return list + "</CreateParamList>";
}

}  // namespace ZV::Testing
