// A control's text: the label that its looks draw, and the title of a top-level control's window.
#include "ControlBase/Control.h"

#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>

namespace ZV {

ZVRESULT LControl::SetText(const WideString& text)
{
    return ApplyText(text, true) ? ZV_S_OK : ZV_S_FALSE;
}

bool LControl::ApplyText(const WideString& text, bool relayout)
{
    if (text.GetData() == mText.GetData() || text == mText) {
        return false;
    }
    if (!mParent && mRootWindow) {
        // A title the window cannot show leaves the text as it is.
        (void)mRootWindow->SetTitle(text);
    }
    mText = text;
    HandTextToLooks();
    const SubControlSettings& settings = SettingsOf(this);
    const auto growsWithText = [](const LimitRule& minimum, std::int32_t overflow) {
        return !minimum.toControl && overflow != kTextOverflowClip;
    };
    if (relayout && (growsWithText(settings.xMinimum, settings.textOverflowXType) ||
                     growsWithText(settings.yMinimum, settings.textOverflowYType))) {
        (void)ApplyLayout();
    }
    (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), settings.clipToParent);
    return true;
}

void LControl::HandTextToLooks()
{
    for (std::uint32_t index = mLooks.looks.GetCount(); index-- > 0;) {
        if (const RCPtr<LLook>& look = mLooks.looks.GetData()[index]) {
            (void)look->SetText(mText);
        }
    }
}

bool LControl::IsTextClipped() const
{
    const RCPtr<LLook> look = GetLook(-1);
    if (!look || !look->GetText()) {
        return false;
    }
    const TextProperties& text = look->GetDescriptor()->GetTextProperties();
    const float width = static_cast<float>(mSize.x);
    const float room = std::clamp((text.rightRel * width + static_cast<float>(text.rightAbs)) -
                                      (text.leftRel * width + static_cast<float>(text.leftAbs)),
                                  -8388608.0f, 8388608.0f);
    const LFontText& label = *look->GetText();
    if (!label.IsLaidOut()) {
        return !mText.IsEmpty();
    }
    return label.GetLineRect(0).width > room;
}

}  // namespace ZV
