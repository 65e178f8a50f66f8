#pragma once

#include "ControlBase/SkinDescriptor.h"
#include "ControlBase/SubControlSettings.h"
#include "ControlBase/XMLAttributes.h"

namespace ZV {

// Reads the layout attributes of a SubControl element; what is absent keeps its value. A top-level control keeps
// its TabStop and IsVisible whatever the element says.
void ReadLayoutAttributes(const XMLAttributes& attributes, bool topLevel, SubControlSettings& layout);

// The font attributes of a SubControl element, which its nested Skin takes. Without FontSize the size is not
// relative.
SkinFontSettings ReadSubControlFont(const XMLAttributes& attributes);

}  // namespace ZV
