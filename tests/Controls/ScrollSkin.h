#pragma once

#include "Controls/ControlsHarness.h"

#include <string>

namespace ZV::Testing {

// The controls' colour skin with a channel's three looks ("channel": plain, paging, and one more) and the top-level
// "main" holding the children.
inline SkinDocumentBuilder ScrollSkin(const std::string& children)
{
    SkinDocumentBuilder skin = ControlsSkin();
    skin.lookLists += R"(<LookList Name="channel" NumLooks="3"><Look Name="panel" Index="0"/>
                         <Look Name="label" Index="1"/><Look Name="panel" Index="2"/></LookList>)";
    skin.controls += MainControl(children);
    return skin;
}

}  // namespace ZV::Testing
