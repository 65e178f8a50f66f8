#include "Renderer/Font.h"

#include "ObjectBase/Exception.h"
#include "Renderer/RenderingServices.h"

namespace ZV {

namespace {

std::int32_t gLastFontID = 0;

}  // namespace

LFont::LFont(const WideString& faceName, float size, std::int32_t style)
    : mFaceName(faceName), mSize(size), mStyle(style), mUniqueID(++gLastFontID)
{
}

RCPtrArray<LFont>& LFont::GetFontList()
{
    // Never destroyed: fonts are let go by globals that the program destroys at exit after any list built here
    // (the application's default font, the font catalogue's map).
    static RCPtrArray<LFont>& list = *new RCPtrArray<LFont>();
    return list;
}

bool LFont::Matches(const WideString& faceName, float size, std::int32_t style) const
{
    return mSize == size && mStyle == style && mFaceName.EqualsNoCase(faceName);
}

std::int32_t LFont::FindFont(const WideString& faceName, float size, std::int32_t style)
{
    const RCPtrArray<LFont>& list = GetFontList();
    for (std::int32_t index = static_cast<std::int32_t>(list.GetCount()) - 1; index >= 0; --index) {
        if ((*list.GetItemPointer(static_cast<std::uint32_t>(index)))->Matches(faceName, size, style)) {
            return index;
        }
    }
    return -1;
}

RCPtr<LFont> LFont::GetFont(const WideString& faceName, float size, std::int32_t style)
{
    RCPtrArray<LFont>& list = GetFontList();
    const std::int32_t index = FindFont(faceName, size, style);
    if (index >= 0) {
        return *list.GetItemPointer(static_cast<std::uint32_t>(index));
    }
    RCPtr<LFont> font(new LFont(faceName, size, style));
    ZV_THROW_IF_FAILED(list.AddItem(font));
    font->AddInternalReferences(1);
    return font;
}

ZVRESULT LFont::ReleaseInternalReferences()
{
    RCPtrArray<LFont>& list = GetFontList();
    for (std::uint32_t index = 0; index < list.GetCount(); ++index) {
        if (list.GetItemPointer(index)->Get() == this) {
            AddInternalReferences(-1);
            RCPtr<LFont> listed;
            (void)list.RemoveItem(index, listed);
            return ZV_S_OK;
        }
    }
    return ZV_E_FAIL;
}

zlong LFont::ResolveFontInfo() const
{
    if (mLineHeight >= 0) {
        return mLineHeight;
    }
    if (const RCPtr<LMeasurementRenderer> renderer = GetRenderingServices().GetMeasurementRenderer()) {
        // Without them the metrics stay at 0.
        (void)renderer->GetFontMetrics(ConstRCPtr<LFont>(this), mLineHeight, mTop, mBottom);
    }
    return mLineHeight;
}

zlong LFont::GetTop() const
{
    ResolveFontInfo();
    return mTop;
}

zlong LFont::GetBottom() const
{
    ResolveFontInfo();
    return mBottom;
}

}  // namespace ZV
