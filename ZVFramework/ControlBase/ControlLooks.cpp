// A control's looks and their weights; a control without looks answers for its whole rectangle.
#include "ControlBase/Control.h"

#include "ControlBase/AppendItem.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

namespace {

bool HasAlpha(std::uint32_t argb)
{
    return (argb >> 24) != 0;
}

}  // namespace

LLook* LControl::LookAt(std::int32_t index) const
{
    if (index < 0 || static_cast<std::uint32_t>(index) >= mLooks.looks.GetCount()) {
        return nullptr;
    }
    return mLooks.looks.GetData()[index].Get();
}

float LControl::GetLookWeight(std::uint32_t index) const
{
    return index < mLooks.weights.GetCount() ? mLooks.weights.GetData()[index] : 0.0f;
}

RectT<double> LControl::GetLookClientRect()
{
    const RectT<double> client = GetClientRect(-1);
    return {0, 0, client.width, client.height};
}

RectT<double> LControl::GetLookMargins()
{
    const RectT<double> client = GetClientRect(-1);
    return {mScroll.offset.x, mScroll.offset.y, client.width, client.height};
}

bool LControl::IsTransparentAtPoint(const PointT<zlong>& point)
{
    for (std::uint32_t index = 0; index < mLooks.looks.GetCount(); ++index) {
        const RCPtr<LLook>& look = mLooks.looks.GetData()[index];
        if (look && GetLookWeight(index) > 0 && HasAlpha(look->GetColorAtPoint(point))) {
            return false;
        }
    }
    return true;
}

std::uint32_t LControl::GetColorAtPoint(const PointT<zlong>& point, std::int32_t lookIndex)
{
    const RCPtr<LLook> look = GetLook(lookIndex);
    return look ? look->GetColorAtPoint(point) : LVisualPart::kNoColor;
}

ZVRESULT LControl::SelectLook(std::uint32_t index)
{
    return ApplyLookWeight(index, 1.0f, true);
}

void LControl::SelectStateLook() {}

std::int32_t LControl::AddLook(const RCPtr<LLook>& look)
{
    AppendItem(mLooks.looks, look);
    mLayoutState.clientRectKept = false;
    while (mLooks.weights.GetCount() < mLooks.looks.GetCount()) {
        AppendItem(mLooks.weights, 0.0f);
    }
    return static_cast<std::int32_t>(mLooks.looks.GetCount() - 1);
}

ZVRESULT LControl::ApplyLookWeight(std::uint32_t index, float weight, bool exclusive)
{
    if (index >= mLooks.weights.GetCount()) {
        return ZV_E_INVALIDARG;
    }
    float* weights = mLooks.weights.GetData();
    bool changed = false;
    // A weight outside 0 .. 1 (or none at all) leaves the look as it is.
    if (weight >= 0.0f && weight <= 1.0f && weights[index] != weight) {
        weights[index] = weight;
        changed = true;
    }
    if (exclusive) {
        for (std::uint32_t other = 0; other < mLooks.weights.GetCount(); ++other) {
            if (other != index && weights[other] != 0.0f) {
                weights[other] = 0.0f;
                changed = true;
            }
        }
    }
    if (changed) {
        mLayoutState.clientRectKept = false;
        (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), SettingsOf(this).clipToParent);
    }
    return ZV_S_OK;
}

RCPtr<LLook> LControl::GetLook(std::int32_t index) const
{
    if (index >= 0 && static_cast<std::uint32_t>(index) < mLooks.looks.GetCount()) {
        return mLooks.looks.GetData()[index];
    }
    const std::int32_t active = GetActiveLookIndex();
    if (active >= 0) {
        return mLooks.looks.GetData()[active];
    }
    for (std::uint32_t look = 0; look < mLooks.looks.GetCount(); ++look) {
        if (mLooks.looks.GetData()[look]) {
            return mLooks.looks.GetData()[look];
        }
    }
    return nullptr;
}

std::int32_t LControl::GetActiveLookIndex() const
{
    for (std::uint32_t index = 0; index < mLooks.looks.GetCount(); ++index) {
        if (mLooks.looks.GetData()[index] && GetLookWeight(index) > 0) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

ZVRESULT LControl::SetLookTextPart(const RCPtr<LVisualPart>& part, std::int32_t index)
{
    LLook* look = LookAt(index);
    if (look == nullptr) {
        return ZV_E_FAIL;
    }
    if (!part) {
        return ZV_E_INVALIDARG;
    }
    look->SetTextForegroundPart(part);
    return ZV_S_OK;
}

ZVRESULT LControl::SetLookOverlay(const ConstRCPtr<LBitmap>& source, const PointT<zlong>& position,
                                  std::int32_t index, bool replace)
{
    LLook* look = LookAt(index);
    if (look == nullptr) {
        return ZV_E_FAIL;
    }
    const ZVRESULT result = look->SetOverlay(source, position, replace);
    if (result == ZV_S_OK && index == GetActiveLookIndex()) {
        (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), SettingsOf(this).clipToParent);
    }
    return result;
}

ZVRESULT LControl::SetLookRegion(std::int32_t index, const RectList& region)
{
    LLook* look = LookAt(index);
    if (look == nullptr) {
        return ZV_E_INVALIDARG;
    }
    look->GetRegion().Clear();
    look->GetRegion().AppendCopies(region);
    (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), SettingsOf(this).clipToParent);
    return ZV_S_OK;
}

void LControl::ClearLookRegion(std::int32_t index)
{
    if (LLook* look = LookAt(index)) {
        look->GetRegion().Clear();
    }
}

void LControl::ClearLookRegions()
{
    for (std::uint32_t index = 0; index < mLooks.looks.GetCount(); ++index) {
        ClearLookRegion(static_cast<std::int32_t>(index));
    }
}

ZVRESULT LControl::SetLookRegionComplement(std::int32_t index, std::int32_t complementOf)
{
    LLook* look = LookAt(index);
    const LLook* other = LookAt(complementOf);
    if (look == nullptr || other == nullptr) {
        return ZV_E_INVALIDARG;
    }
    RectList region;
    region.Add(RectEdges{0, 0, RoundToLong(mSize.x), RoundToLong(mSize.y)});
    region.SubtractList(other->GetRegion());
    region.Normalize();
    look->GetRegion().Clear();
    look->GetRegion().AppendCopies(region);
    return ZV_S_OK;
}

}  // namespace ZV
