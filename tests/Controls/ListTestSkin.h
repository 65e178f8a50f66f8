#pragma once

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/SkinTestSupport.h"
#include "ControlBase/SkinnedControlSupport.h"

#include <string>

namespace ZV::Testing {

// A skin document for lists and their rows: the look list "rowLooks" gives a row its fourteen state looks,
// "fewRowLooks" only three, and "listLooks" a list its normal, disabled and focused looks. Every look is the same
// face with a label text 2 pixels in from the left and right, so the active look's index tells the state. More
// parts, looks and look lists may come with the controls.
inline std::string ListSkinDocument(const std::string& controls, const std::string& parts = "",
                                    const std::string& looks = "", const std::string& lookLists = "")
{
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="Face" ColorType="SolidFill" Color="0xFF0000DD"/>
        <Colorizer Name="Ink" ColorType="SolidFill" Color="0xFF112233"/>)";
    skin.parts = R"(<Part Name="Face" ColorizerName="Face" Width="1" Height="1" ResizeType="Stretch"/>
        <Part Name="Ink" ColorizerName="Ink" Width="1" Height="1" ResizeType="Stretch"/>)" +
                 parts;
    skin.looks = R"(<Look Name="row">
          <ClientPart Name="Face" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/>
          <TextProperties TextLeftRel="0" TextLeftAbs="2" TextRightRel="1" TextRightAbs="-2" TextHAlign="0"
                          TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" TextVAlign="0"
                          TextForegroundPart="Ink"/>
        </Look>)" +
                 looks;
    const auto lookList = [](const std::string& name, int count) {
        std::string list = "<LookList Name=\"" + name + "\" NumLooks=\"" + std::to_string(count) + "\">";
        for (int index = 0; index < count; ++index) {
            list += "<Look Name=\"row\" Index=\"" + std::to_string(index) + "\"/>";
        }
        return list + "</LookList>";
    };
    skin.lookLists = lookList("rowLooks", 14) + lookList("fewRowLooks", 3) + lookList("listLooks", 3) + lookLists;
    skin.controls = controls;
    return skin.Document();
}

}  // namespace ZV::Testing
