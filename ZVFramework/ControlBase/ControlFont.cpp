// A control's font: set outright, or derived from its parent's (or the application's) by the control's rule.
#include "ControlBase/Control.h"

#include "ControlBase/ControlServices.h"
#include "Renderer/Font.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

namespace {

// The style that SetFontSpec takes as "the base font's".
constexpr std::uint32_t kStyleFollows = 0xFFFFFFFF;

}  // namespace

ZVRESULT LControl::SetFont(const RCPtr<LFont>& font)
{
    if (!font) {
        return ZV_E_INVALIDARG;
    }
    for (std::uint32_t index = mLooks.looks.GetCount(); index-- > 0;) {
        if (const RCPtr<LLook>& look = mLooks.looks.GetData()[index]) {
            (void)look->SetFont(font);
        }
    }
    if (IsSameFont(mFont.Get(), font.Get())) {
        return ZV_S_FALSE;
    }
    mFont = font;
    // Set outright, the font no longer follows the one it was derived from.
    mFontRule.nameFollows = false;
    mFontRule.sizeIsRelative = false;
    mFontRule.styleFollows = false;
    OnFontChanged();
    // A child's hook may change the children: each of those there now that is still a child hears once.
    RCPtrArray<LControl> children;
    mChildren.TakeSnapshot(children);
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        const RCPtr<LControl>& child = children.GetData()[index];
        if (child->mParent.Get() == this) {
            child->OnParentFontChanged();
        }
    }
    (void)ApplyLayout();
    (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), SettingsOf(this).clipToParent);
    return ZV_S_OK;
}

ZVRESULT LControl::SetFontSpec(bool inheritsFromParent, const WideString& faceName, float size, std::uint32_t style,
                               bool sizeIsFactor)
{
    const RCPtr<LFont> base = inheritsFromParent && mParent && mParent->mFont
                                  ? mParent->mFont
                                  : GetControlServices().GetDefaultFont();
    const WideString baseFace = base ? base->GetFaceName() : WideString();
    const float baseSize = base ? base->GetSize() : 0.0f;
    const std::int32_t baseStyle = base ? base->GetStyle() : LFont::kRegular;

    ControlFontRule rule;
    rule.inheritsFromParent = inheritsFromParent;
    rule.nameFollows = faceName.IsEmpty() || faceName.EqualsNoCase(baseFace);
    rule.sizeIsRelative = size <= 0 || sizeIsFactor;
    rule.sizeIsFactor = sizeIsFactor;
    rule.sizeFactor = sizeIsFactor && size > 0 ? size : 1.0f;
    rule.styleFollows = style == kStyleFollows;
    const WideString face = rule.nameFollows ? baseFace : faceName;
    const float fontSize = rule.sizeIsRelative ? baseSize * rule.sizeFactor : size;
    const std::int32_t fontStyle = rule.styleFollows ? baseStyle : static_cast<std::int32_t>(style);

    RCPtr<LFont> font;
    if (base && face.EqualsNoCase(baseFace) && fontSize == baseSize && fontStyle == baseStyle) {
        font = base;
    } else if (!face.IsEmpty() && fontSize > 0) {
        font = LFont::GetFont(face, fontSize, fontStyle);
    }
    if (!font) {
        return ZV_E_FAIL;
    }
    const ZVRESULT result = SetFont(font);
    mFontRule = rule;
    return result;
}

void LControl::OnParentFontChanged()
{
    const ControlFontRule rule = mFontRule;
    if (!rule.inheritsFromParent || !(rule.nameFollows || rule.sizeIsRelative || rule.styleFollows)) {
        return;
    }
    const WideString face = rule.nameFollows || !mFont ? WideString() : mFont->GetFaceName();
    const float size = rule.sizeIsRelative ? (rule.sizeIsFactor ? rule.sizeFactor : 0.0f)
                                           : (mFont ? mFont->GetSize() : 0.0f);
    const std::uint32_t style =
        rule.styleFollows || !mFont ? kStyleFollows : static_cast<std::uint32_t>(mFont->GetStyle());
    // A font that cannot be had leaves the control with the one it has.
    (void)SetFontSpec(true, face, size, style, rule.sizeIsFactor);
}

void LControl::OnFontChanged() {}

}  // namespace ZV
