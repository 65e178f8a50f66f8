#pragma once

#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlsHarness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace ZV::Testing {

// The descriptor of that name among the descendants of the one given; null when there is none.
inline RCPtr<LControlDescriptor> FindSubDescriptor(const LControlDescriptor& from, const WideString& name)
{
    const RCPtrArray<LControlDescriptor>& children = from.GetSubControls();
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        const RCPtr<LControlDescriptor>& child = children.GetData()[index];
        if (child->GetName() == name) {
            return child;
        }
        if (RCPtr<LControlDescriptor> found = FindSubDescriptor(*child, name)) {
            return found;
        }
    }
    return nullptr;
}

// Loads the skin as a new one, makes it current and gives the control inside "main" its description there, as a
// change of skin does: the control gets new looks and keeps everything else.
inline void ApplyNewSkin(ControlsHarness& harness, const SkinDocumentBuilder& skin, LControl& control)
{
    harness.LoadSkinDocument(skin.Document());
    harness.Factory().SetCurrentSkinIndex(static_cast<std::int32_t>(harness.Factory().GetSkinCount()) - 1);
    const RCPtr<LControlDescriptor> main = harness.Factory().FindControlDescriptor(L"main");
    ASSERT_TRUE(main);
    const RCPtr<LControlDescriptor> descriptor = FindSubDescriptor(*main, control.GetName());
    ASSERT_TRUE(descriptor);
    ASSERT_EQ(control.ApplyDescriptor(descriptor), ZV_S_OK);
}

constexpr std::uint32_t RecolouredButtonLook(std::uint32_t look)
{
    return 0xFF604000u + look;
}

// The skin as another one would have it: the controls that wear the fourteen button looks wear fourteen looks of
// other colours, look n filled with RecolouredButtonLook(n). Skins share the elements of a name, so theirs are new.
inline SkinDocumentBuilder RecolouredButtons(SkinDocumentBuilder skin)
{
    std::string entries;
    for (std::uint32_t look = 0; look < 14; ++look) {
        const std::string name = "recoloured" + std::to_string(look);
        char colour[16];
        std::snprintf(colour, sizeof colour, "0x%08X", static_cast<unsigned>(RecolouredButtonLook(look)));
        skin.colorizers += "<Colorizer Name=\"" + name + "\" ColorType=\"SolidFill\" Color=\"" + colour + "\"/>";
        skin.parts += "<Part Name=\"" + name + "\" ColorizerName=\"" + name +
                      "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\"/>";
        skin.looks += "<Look Name=\"" + name + "\"><ClientPart Name=\"" + name +
                      R"(" OffsetLeft="0" OffsetTop="0" OffsetRight="0" OffsetBottom="0"/></Look>)";
        entries += "<Look Name=\"" + name + "\" Index=\"" + std::to_string(look) + "\"/>";
    }
    skin.lookLists += "<LookList Name=\"recoloured\" NumLooks=\"14\">" + entries + "</LookList>";
    const std::string worn = "LookList=\"button\"";
    for (std::size_t at = skin.controls.find(worn); at != std::string::npos; at = skin.controls.find(worn, at)) {
        skin.controls.replace(at, worn.size(), "LookList=\"recoloured\"");
    }
    return skin;
}

}  // namespace ZV::Testing
