#pragma once

#include "ControlBase/SkinTestSupport.h"

#include <string>

namespace ZV::Testing {

// The text box's twelve looks, each with a face colour of its own so that pixels tell them apart: 0 white, 1 hot
// ivory, 2 under the cue grey, 3 focused pale blue, 4 focused and hot pale green, 6 disabled dark grey, 9 the cue
// pale yellow in grey ink, 10 and 11 the selection blue and navy in white ink; 5, 7 and 8 are none. The text sits 4
// pixels in from the left, the top and the right, in black ink. Look list "plain" is a grey face alone.
inline SkinDocumentBuilder TextBoxSkin()
{
    SkinDocumentBuilder skin;
    const auto solid = [](const std::string& name, const std::string& color) {
        return "<Colorizer Name=\"" + name + "\" ColorType=\"SolidFill\" Color=\"" + color + "\"/>";
    };
    skin.colorizers = solid("Ink", "0xFF000000") + solid("White", "0xFFFFFFFF") + solid("Grey", "0xFF808080") +
                      solid("Normal", "0xFFFFFFFF") + solid("Hot", "0xFFFFFFF0") + solid("CueBase", "0xFFE0E0E0") +
                      solid("Focused", "0xFFE0F0FF") + solid("FocusedHot", "0xFFE0FFE0") +
                      solid("Disabled", "0xFF404040") + solid("Cue", "0xFFFFFFC0") + solid("Selection", "0xFF0000FF") +
                      solid("SelectionHot", "0xFF000080");
    const char* const faces[] = {"Ink", "White", "Grey", "Normal", "Hot", "CueBase", "Focused", "FocusedHot",
                                 "Disabled", "Cue", "Selection", "SelectionHot"};
    for (const char* face : faces) {
        skin.parts += std::string("<Part Name=\"") + face + "\" ColorizerName=\"" + face +
                      "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\"/>";
    }
    const auto look = [](const std::string& name, const std::string& ink) {
        return "<Look Name=\"" + name + "\"><ClientPart Name=\"" + name +
               "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/>"
               "<TextProperties TextLeftRel=\"0\" TextLeftAbs=\"4\" TextRightRel=\"1\" TextRightAbs=\"-4\" "
               "TextHAlign=\"0\" TextTopRel=\"0\" TextTopAbs=\"4\" TextBottomRel=\"1\" TextBottomAbs=\"-4\" "
               "TextVAlign=\"0\" TextForegroundPart=\"" +
               ink + "\"/></Look>";
    };
    skin.looks = look("Normal", "Ink") + look("Hot", "Ink") + look("CueBase", "Ink") + look("Focused", "Ink") +
                 look("FocusedHot", "Ink") + look("Disabled", "White") + look("Cue", "Grey") +
                 look("Selection", "White") + look("SelectionHot", "White") +
                 "<Look Name=\"Plain\"><ClientPart Name=\"Grey\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" "
                 "OffsetBottom=\"0\"/></Look>";
    const auto entry = [](const std::string& name, int index) {
        return "<Look Name=\"" + name + "\" Index=\"" + std::to_string(index) + "\"/>";
    };
    skin.lookLists = "<LookList Name=\"textBox\" NumLooks=\"12\">" + entry("Normal", 0) + entry("Hot", 1) +
                     entry("CueBase", 2) + entry("Focused", 3) + entry("FocusedHot", 4) + entry("Disabled", 6) +
                     entry("Cue", 9) + entry("Selection", 10) + entry("SelectionHot", 11) + "</LookList>" +
                     "<LookList Name=\"plain\" NumLooks=\"1\">" + entry("Plain", 0) + "</LookList>";
    return skin;
}

// A control of the class wearing the look list, with its attributes and children.
inline std::string ControlWearing(const std::string& className, const std::string& name, const std::string& lookList,
                                  const std::string& attributes, const std::string& children = "")
{
    return "<SubControl Class=\"" + className + "\" Name=\"" + name + "\" " + attributes + "><Skin Name=\"" + name +
           "Skin\" LookList=\"" + lookList + "\">" + children + "</Skin></SubControl>";
}

// A text box wearing those looks.
inline std::string TextBoxControl(const std::string& name, const std::string& attributes,
                                  const std::string& children = "")
{
    return ControlWearing("Framework.TextBox", name, "textBox", attributes, children);
}

}  // namespace ZV::Testing
