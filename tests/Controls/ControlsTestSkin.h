#pragma once

#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/SkinTestSupport.h"
#include "Controls/FrameworkControlClasses.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace ZV::Testing {

// A SubControl of a skin for the controls' tests, wearing a look list of that many opaque looks (1, 3 or 14; 0
// for none), so that it draws, is hit and has looks to choose among.
inline std::string Looked(const std::string& className, const std::string& name, int looks,
                          const std::string& attributes = "", const std::string& children = "",
                          std::initializer_list<std::pair<std::string, std::string>> createParams = {})
{
    std::string element = SubControl(className, name, attributes, children, createParams);
    if (looks > 0) {
        const std::string skin = "<Skin Name=\"" + name + "Skin\"";
        element.insert(element.find(skin) + skin.size(), " LookList=\"Looks" + std::to_string(looks) + "\"");
    }
    return element;
}

// The whole skin document around the controls: one opaque part, and the look lists Looks1, Looks3 and Looks14.
inline std::string ControlsSkinDocument(const std::string& controls)
{
    SkinDocumentBuilder skin;
    skin.colorizers = R"(<Colorizer Name="ink" ColorType="SolidFill" Color="0xFF204060"/>)";
    skin.parts = R"(<Part Name="fill" Width="1" Height="1" ResizeType="Stretch" ColorizerName="ink"/>)";
    skin.looks = R"(<Look Name="plain"><ClientPart Name="fill" OffsetLeft="0" OffsetTop="0" OffsetRight="0"
                    OffsetBottom="0"/></Look>)";
    for (const int count : {1, 3, 14}) {
        skin.lookLists += "<LookList Name=\"Looks" + std::to_string(count) + "\" NumLooks=\"" +
                          std::to_string(count) + "\">";
        for (int index = 0; index < count; ++index) {
            skin.lookLists += "<Look Name=\"plain\" Index=\"" + std::to_string(index) + "\"/>";
        }
        skin.lookLists += "</LookList>";
    }
    skin.controls = controls;
    return skin.Document();
}

// A harness whose factory knows the framework's control classes, with the skin loaded.
inline void LoadControlsSkin(ControlHarness& harness, const std::string& controls)
{
    ASSERT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
    harness.LoadSkinDocument(ControlsSkinDocument(controls));
}

}  // namespace ZV::Testing
