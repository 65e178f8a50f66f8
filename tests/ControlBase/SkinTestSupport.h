#pragma once

#include "ControlBase/ControlFactory.h"

#include <string>
#include <vector>

namespace ZV::Testing {

// A skin document built section by section; parts are looked at through the controls that wear them.
class SkinDocumentBuilder {
public:
    std::string colorizers;
    std::string parts;
    std::string looks;
    std::string lookLists;
    // The inside of the top-level Skin.
    std::string controls;
    // The attributes of the top-level Skin.
    std::string skinAttributes = "Name=\"Default\"";

    // A top-level control whose only look has the part as its client part.
    void Wear(const std::string& part, const std::string& control)
    {
        looks += "<Look Name=\"" + control + "Look\"><ClientPart Name=\"" + part +
                 "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/></Look>";
        lookLists += "<LookList Name=\"" + control + "Looks\" NumLooks=\"1\"><Look Name=\"" + control +
                     "Look\" Index=\"0\"/></LookList>";
        controls += "<SubControl Class=\"Framework.Panel\" Name=\"" + control + "\"><Skin Name=\"" + control +
                    "Skin\" LookList=\"" + control + "Looks\"/></SubControl>";
    }

    std::string Document() const
    {
        return "<Root><Application Name=\"Test\"><Colorizers>" + colorizers + "</Colorizers><Parts>" + parts +
               "</Parts><Looks>" + looks + "</Looks><LookLists>" + lookLists + "</LookLists><Skins><Skin " +
               skinAttributes + ">" + controls + "</Skin></Skins></Application></Root>";
    }
};

// A skin document with only controls: the inside of the top-level Skin.
inline std::string ControlsDocument(const std::string& controls)
{
    SkinDocumentBuilder builder;
    builder.controls = controls;
    return builder.Document();
}

// A control of the class wearing the look list, with its attributes and children.
inline std::string ControlWearing(const std::string& className, const std::string& name, const std::string& lookList,
                                  const std::string& attributes, const std::string& children = "")
{
    return "<SubControl Class=\"" + className + "\" Name=\"" + name + "\" " + attributes + "><Skin Name=\"" + name +
           "Skin\" LookList=\"" + lookList + "\">" + children + "</Skin></SubControl>";
}

inline RCPtr<LControlFactory> NewFactory()
{
    return RCPtr<LControlFactory>(new LControlFactory(L"Test"));
}

inline ZVRESULT Parse(LControlFactory& factory, const std::string& document)
{
    return factory.ParseXML(document.data(), document.size());
}

inline std::string Text(const WideString& text)
{
    return text.ToUTF8().GetData();
}

// The child of that name, or null.
inline RCPtr<LControlDescriptor> ChildNamed(const LControlDescriptor& parent, const char* name)
{
    const RCPtrArray<LControlDescriptor>& children = parent.GetSubControls();
    for (std::uint32_t i = 0; i < children.GetCount(); ++i) {
        if (children.GetData()[i]->GetName() == name) {
            return children.GetData()[i];
        }
    }
    return nullptr;
}

inline std::vector<std::string> ChildNames(const LControlDescriptor& parent)
{
    std::vector<std::string> names;
    const RCPtrArray<LControlDescriptor>& children = parent.GetSubControls();
    for (std::uint32_t i = 0; i < children.GetCount(); ++i) {
        names.push_back(Text(children.GetData()[i]->GetName()));
    }
    return names;
}

// The look of that number of a control's skin, or null.
inline RCPtr<LLookDescriptor> LookOf(const LControlDescriptor& control, std::uint32_t index = 0)
{
    const RCPtr<LSkinDescriptor>& skin = control.GetSkinDescriptor();
    return skin && skin->GetLookList() ? skin->GetLookList()->GetLook(index) : RCPtr<LLookDescriptor>();
}

// The client part of a control's first look, or null.
inline RCPtr<LVisualPartDescriptor> PartOf(const LControlDescriptor& control)
{
    const RCPtr<LLookDescriptor> look = LookOf(control);
    if (!look || !look->GetClientPart()) {
        return nullptr;
    }
    return look->GetClientPart()->GetPart();
}

}  // namespace ZV::Testing
