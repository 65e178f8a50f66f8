#include "ControlBase/SkinLayoutAttributes.h"

#include "ControlBase/SkinValueSyntax.h"

#include <algorithm>
#include <string_view>

namespace ZV {

namespace {

using namespace SkinValueSyntax;
using Layout = SubControlSettings;

template <bool Layout::*field>
void ReadFlag(const char* value, Layout& layout)
{
    layout.*field = ParseFlag(value);
}

template <std::int32_t Layout::*field>
void ReadPlainInteger(const char* value, Layout& layout)
{
    layout.*field = ParsePlainInteger(value);
}

void ReadLayoutOrder(const char* value, Layout& layout)
{
    layout.layoutOrder = ParseInteger(value);
}

bool IsParentReference(std::string_view reference)
{
    return reference == "Parent" || reference == "Screen";
}

bool IsClientReference(std::string_view reference)
{
    return reference == "Client" || reference == "Active Window";
}

template <PositionRule Layout::*rule>
void ReadPlacementAnchor(const char* value, Layout& layout)
{
    (layout.*rule).placementAnchor = ParseFloat(value);
}

template <PositionRule Layout::*rule>
void ReadPositionReference(const char* value, Layout& layout)
{
    PositionRule& position = layout.*rule;
    if (IsParentReference(value)) {
        position.toControlKind = kPositionToParent;
    } else if (IsClientReference(value)) {
        position.toControlKind = kPositionToClient;
    } else {
        position.toControlKind = kPositionToNamedControl;
        position.toControlName = WideString(value);
    }
}

template <SizeRule Layout::*rule>
void ReadSizeReference(const char* value, Layout& layout)
{
    SizeRule& size = layout.*rule;
    if (IsParentReference(value)) {
        size.toControlKind = kSizeToParent;
    } else if (IsClientReference(value)) {
        size.toControlKind = kSizeToClient;
    } else if (std::string_view(value) == "Self") {
        size.toControlKind = kSizeToSelf;
    } else {
        size.toControlKind = kSizeToNamedControl;
        size.toControlName = WideString(value);
    }
}

template <LimitRule Layout::*rule>
void ReadLimitReference(const char* value, Layout& layout)
{
    LimitRule& limit = layout.*rule;
    limit.toControl = std::string_view(value) != "Self";
    if (limit.toControl) {
        limit.toControlName = WideString(value);
    }
}

// The relative and absolute parts of position, size and limit rules alike; pixels are written as plain integers
// and kept as doubles.
template <class Rule, Rule Layout::*rule>
void ReadRel(const char* value, Layout& layout)
{
    (layout.*rule).rel = ParseFloat(value);
}

template <class Rule, Rule Layout::*rule>
void ReadAbs(const char* value, Layout& layout)
{
    (layout.*rule).abs = ParsePlainInteger(value);
}

void ReadTextDecoration(const char* value, Layout& layout)
{
    layout.textDecoration = WideString(value);
}

// Any other value leaves the field as it is.
void ReadTextOverflowX(const char* value, Layout& layout)
{
    const std::string_view overflow(value);
    if (overflow == "Clip") {
        layout.textOverflowXType = kTextOverflowClip;
    } else if (overflow == "Expand") {
        layout.textOverflowXType = kTextOverflowExpand;
    } else if (overflow == "Wrap") {
        layout.textOverflowXType = kTextOverflowWrap;
    }
}

void ReadTextOverflowY(const char* value, Layout& layout)
{
    const std::string_view overflow(value);
    if (overflow == "Clip") {
        layout.textOverflowYType = kTextOverflowClip;
    } else if (overflow == "Expand") {
        layout.textOverflowYType = kTextOverflowExpand;
    }
}

struct LayoutAttribute {
    std::string_view name;
    void (*read)(const char* value, Layout& layout);
    // TabStop and IsVisible of a top-level control are not the skin's to set.
    bool readAtTopLevel = true;
};

// Sorted by name, for a binary search.
constexpr LayoutAttribute kLayoutAttributes[] = {
    {"ClipToParent", &ReadFlag<&Layout::clipToParent>},
    {"IsVisible", &ReadFlag<&Layout::isVisible>, false},
    {"LayoutOrder", &ReadLayoutOrder},
    {"TabStop", &ReadPlainInteger<&Layout::tabStop>, false},
    {"TextDecoration", &ReadTextDecoration},
    {"TextOverflowXType", &ReadTextOverflowX},
    {"TextOverflowYType", &ReadTextOverflowY},
    {"XIsDocked", &ReadFlag<&Layout::xIsDocked>},
    {"XMaxSizeAbs", &ReadAbs<LimitRule, &Layout::xMaximum>},
    {"XMaxSizeRel", &ReadRel<LimitRule, &Layout::xMaximum>},
    {"XMaxSizeToControl", &ReadLimitReference<&Layout::xMaximum>},
    {"XMinSizeAbs", &ReadAbs<LimitRule, &Layout::xMinimum>},
    {"XMinSizeRel", &ReadRel<LimitRule, &Layout::xMinimum>},
    {"XMinSizeToControl", &ReadLimitReference<&Layout::xMinimum>},
    {"XPlacementAnchor", &ReadPlacementAnchor<&Layout::xPosition>},
    {"XPositionAbs", &ReadAbs<PositionRule, &Layout::xPosition>},
    {"XPositionRel", &ReadRel<PositionRule, &Layout::xPosition>},
    {"XPositionToControl", &ReadPositionReference<&Layout::xPosition>},
    {"XSizeAbs", &ReadAbs<SizeRule, &Layout::xSize>},
    {"XSizeRel", &ReadRel<SizeRule, &Layout::xSize>},
    {"XSizeToControl", &ReadSizeReference<&Layout::xSize>},
    {"YIsDocked", &ReadFlag<&Layout::yIsDocked>},
    {"YMaxSizeAbs", &ReadAbs<LimitRule, &Layout::yMaximum>},
    {"YMaxSizeRel", &ReadRel<LimitRule, &Layout::yMaximum>},
    {"YMaxSizeToControl", &ReadLimitReference<&Layout::yMaximum>},
    {"YMinSizeAbs", &ReadAbs<LimitRule, &Layout::yMinimum>},
    {"YMinSizeRel", &ReadRel<LimitRule, &Layout::yMinimum>},
    {"YMinSizeToControl", &ReadLimitReference<&Layout::yMinimum>},
    {"YPlacementAnchor", &ReadPlacementAnchor<&Layout::yPosition>},
    {"YPositionAbs", &ReadAbs<PositionRule, &Layout::yPosition>},
    {"YPositionRel", &ReadRel<PositionRule, &Layout::yPosition>},
    {"YPositionToControl", &ReadPositionReference<&Layout::yPosition>},
    {"YSizeAbs", &ReadAbs<SizeRule, &Layout::ySize>},
    {"YSizeRel", &ReadRel<SizeRule, &Layout::ySize>},
    {"YSizeToControl", &ReadSizeReference<&Layout::ySize>},
    {"Z_Order", &ReadPlainInteger<&Layout::zOrder>},
};
static_assert(std::ranges::is_sorted(kLayoutAttributes, {}, &LayoutAttribute::name));

}  // namespace

void ReadLayoutAttributes(const XMLAttributes& attributes, bool topLevel, SubControlSettings& layout)
{
    attributes.ForEach([&](const char* name, const char* value) {
        const auto* attribute =
            std::ranges::lower_bound(kLayoutAttributes, std::string_view(name), {}, &LayoutAttribute::name);
        if (attribute != std::end(kLayoutAttributes) && attribute->name == name &&
            (attribute->readAtTopLevel || !topLevel)) {
            attribute->read(value, layout);
        }
    });
}

SkinFontSettings ReadSubControlFont(const XMLAttributes& attributes)
{
    SkinFontSettings font;
    attributes.GetBoolAttribute("FontInheritsFromParent", font.inheritsFromParent);
    attributes.GetBoolAttribute("FontSizeIsRelative", font.sizeIsRelative);
    attributes.GetStringAttribute("FontName", font.name);
    if (!attributes.GetFloatAttribute("FontSize", font.size)) {
        font.sizeIsRelative = false;
    }
    attributes.GetIntAttribute("FontStyle", font.style);
    return font;
}

}  // namespace ZV
