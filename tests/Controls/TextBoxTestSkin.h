#pragma once

#include "ControlBase/SkinTestSupport.h"

#include <string>

namespace ZV::Testing {

// Adds the text box's look list "textBox": twelve looks, each with a face colour of its own so that pixels tell them
// apart: 0 white, 1 hot ivory, 2 under the cue grey, 3 focused pale blue, 4 focused and hot pale green, 6 disabled
// dark grey, 9 the cue pale yellow in grey ink, 10 and 11 the selection blue and navy in white ink; 5, 7 and 8 are
// none. The text sits 4 pixels in from the left, the top and the right, in black ink. Also the look list "plain", a
// grey face alone. The names of the parts and looks begin with "box".
inline void AddTextBoxLooks(SkinDocumentBuilder& skin)
{
    struct Face {
        const char* name;
        const char* colour;
        const char* ink;
        int look;
    };
    const Face faces[] = {
        {"boxNormal", "0xFFFFFFFF", "boxInk", 0},        {"boxHot", "0xFFFFFFF0", "boxInk", 1},
        {"boxCueBase", "0xFFE0E0E0", "boxInk", 2},       {"boxFocused", "0xFFE0F0FF", "boxInk", 3},
        {"boxFocusedHot", "0xFFE0FFE0", "boxInk", 4},    {"boxDisabled", "0xFF404040", "boxWhite", 6},
        {"boxCue", "0xFFFFFFC0", "boxGrey", 9},          {"boxSelection", "0xFF0000FF", "boxWhite", 10},
        {"boxSelectionHot", "0xFF000080", "boxWhite", 11},
    };
    const auto addPart = [&skin](const std::string& name, const std::string& colour) {
        skin.colorizers += "<Colorizer Name=\"" + name + "\" ColorType=\"SolidFill\" Color=\"" + colour + "\"/>";
        skin.parts += "<Part Name=\"" + name + "\" ColorizerName=\"" + name +
                      "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\"/>";
    };
    addPart("boxInk", "0xFF000000");
    addPart("boxWhite", "0xFFFFFFFF");
    addPart("boxGrey", "0xFF808080");
    std::string entries;
    for (const Face& face : faces) {
        addPart(face.name, face.colour);
        skin.looks += std::string("<Look Name=\"") + face.name + "\"><ClientPart Name=\"" + face.name +
                      "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/>"
                      "<TextProperties TextLeftRel=\"0\" TextLeftAbs=\"4\" TextRightRel=\"1\" TextRightAbs=\"-4\" "
                      "TextHAlign=\"0\" TextTopRel=\"0\" TextTopAbs=\"4\" TextBottomRel=\"1\" TextBottomAbs=\"-4\" "
                      "TextVAlign=\"0\" TextForegroundPart=\"" +
                      face.ink + "\"/></Look>";
        entries += std::string("<Look Name=\"") + face.name + "\" Index=\"" + std::to_string(face.look) + "\"/>";
    }
    skin.looks += "<Look Name=\"boxPlain\"><ClientPart Name=\"boxGrey\" OffsetLeft=\"0\" OffsetTop=\"0\" "
                  "OffsetRight=\"0\" OffsetBottom=\"0\"/></Look>";
    skin.lookLists += "<LookList Name=\"textBox\" NumLooks=\"12\">" + entries + "</LookList>" +
                      "<LookList Name=\"plain\" NumLooks=\"1\"><Look Name=\"boxPlain\" Index=\"0\"/></LookList>";
}

// A text box wearing those looks.
inline std::string TextBoxControl(const std::string& name, const std::string& attributes,
                                  const std::string& children = "")
{
    return ControlWearing("Framework.TextBox", name, "textBox", attributes, children);
}

}  // namespace ZV::Testing
