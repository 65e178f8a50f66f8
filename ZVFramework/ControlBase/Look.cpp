#include "ControlBase/Look.h"

#include "ControlBase/AppendItem.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Font.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

zlong ClampToLong(std::int64_t value)
{
    return static_cast<zlong>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// Toward zero, kept inside the 32-bit range.
zlong TruncateToLong(float value)
{
    if (!(value > -2147483648.0f)) {
        return INT32_MIN;
    }
    return value >= 2147483648.0f ? INT32_MAX : static_cast<zlong>(value);
}

// Restores the renderer's state when the drawing under a pushed clip ends, thrown out of or not.
class PushedState {
public:
    explicit PushedState(LRenderer& renderer) : mRenderer(renderer) {}
    PushedState(const PushedState&) = delete;
    PushedState& operator=(const PushedState&) = delete;
    ~PushedState() { mRenderer.PopState(); }

private:
    LRenderer& mRenderer;
};

// A part's colour at a point of the control, the part drawn over the rectangle; transparent without a part.
std::uint32_t PartColorAt(const RCPtr<LVisualPart>& part, const RectT<zlong>& rect, const PointT<zlong>& point)
{
    if (!part) {
        return LVisualPart::kNoColor;
    }
    return part->GetColorAtPoint(
        PointT<float>(static_cast<float>(std::int64_t{point.x} - rect.x),
                      static_cast<float>(std::int64_t{point.y} - rect.y)),
        PointT<float>(static_cast<float>(rect.width), static_cast<float>(rect.height)));
}

}  // namespace

RCPtr<LLook> LLook::Create(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap)
{
    if (!descriptor) {
        return nullptr;
    }
    RCPtr<LLook> look(new LLook(), kNewObject);
    look->Initialize(descriptor, wordWrap);
    return look;
}

void LLook::Initialize(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap)
{
    mDescriptor = descriptor;
    mTextForegroundPart = nullptr;
    if (mDescriptor->HasTextProperties()) {
        const TextProperties& properties = mDescriptor->GetTextProperties();
        if (properties.foregroundPart) {
            mTextForegroundPart = properties.foregroundPart->GetVisualPart();
        }
        if (!mText) {
            mText = LFontText::Create(WideString(), nullptr);
        }
        (void)mText->SetWordWrap(wordWrap);
        (void)mText->SetAlignment(properties.hAlign, properties.vAlign);
    } else {
        mText = nullptr;
    }
    const RCPtr<LDockedPart>& client = mDescriptor->GetClientPart();
    mClientPart = client && client->GetPart() ? client->GetPart()->GetVisualPart() : nullptr;

    const RCPtrArray<LDockedPart>& nonClient = mDescriptor->GetNonClientParts();
    ZV_THROW_IF_FAILED(mNonClientRects.SetCount(nonClient.GetCount()));
    ZV_THROW_IF_FAILED(mNonClientParts.SetCount(nonClient.GetCount()));
    for (std::uint32_t index = 0; index < nonClient.GetCount(); ++index) {
        const RCPtr<LVisualPartDescriptor>& part = nonClient.GetData()[index]->GetPart();
        mNonClientParts.GetData()[index] = part ? part->GetVisualPart() : nullptr;
    }
    mSize = PointT<zlong>(-1, -1);
}

bool LLook::SetSize(zlong width, zlong height)
{
    if (mSize == PointT<zlong>(width, height)) {
        return true;
    }
    mSize = PointT<zlong>(width, height);
    const std::int64_t w = width;
    const std::int64_t h = height;

    DockingRecord client;
    if (const RCPtr<LDockedPart>& clientPart = mDescriptor->GetClientPart()) {
        client = clientPart->GetDocking();
    }
    const std::int64_t clientLeft = std::clamp<std::int64_t>(client.offsetLeft, 0, std::max<std::int64_t>(w, 0));
    const std::int64_t clientTop = std::clamp<std::int64_t>(client.offsetTop, 0, std::max<std::int64_t>(h, 0));
    mClientRect = RectT<zlong>(ClampToLong(clientLeft), ClampToLong(clientTop),
                               ClampToLong(std::clamp<std::int64_t>(w - clientLeft + client.offsetRight, 0,
                                                                    std::max<std::int64_t>(w - clientLeft, 0))),
                               ClampToLong(std::clamp<std::int64_t>(h - clientTop + client.offsetBottom, 0,
                                                                    std::max<std::int64_t>(h - clientTop, 0))));

    const RCPtrArray<LDockedPart>& nonClient = mDescriptor->GetNonClientParts();
    for (std::uint32_t index = 0; index < nonClient.GetCount(); ++index) {
        const LDockedPart& docked = *nonClient.GetData()[index];
        const DockingRecord& docking = docked.GetDocking();
        const PointT<float> own = docked.GetPart() ? docked.GetPart()->GetSize() : PointT<float>();
        const std::int64_t partWidth = docking.hasWidth ? docking.width : RoundToLong(own.x);
        const std::int64_t partHeight = docking.hasHeight ? docking.height : RoundToLong(own.y);
        const bool hasLeft = (docking.dockFlags & kDockLeft) != 0;
        const bool hasTop = (docking.dockFlags & kDockTop) != 0;
        const bool hasRight = (docking.dockFlags & kDockRight) != 0;
        const bool hasBottom = (docking.dockFlags & kDockBottom) != 0;
        std::int64_t right = hasRight ? w + docking.offsetRight : w;
        std::int64_t bottom = hasBottom ? h + docking.offsetBottom : h;
        std::int64_t left = hasLeft ? docking.offsetLeft : right - partWidth;
        std::int64_t top = hasTop ? docking.offsetTop : bottom - partHeight;
        if (!hasRight) {
            right = left + partWidth;
        }
        if (!hasBottom) {
            bottom = top + partHeight;
        }
        if (!hasLeft && !hasRight) {
            left = (w - partWidth) / 2;
            right = left + partWidth;
        }
        if (!hasTop && !hasBottom) {
            top = (h - partHeight) / 2;
            bottom = top + partHeight;
        }
        mNonClientRects.GetData()[index] =
            RectT<zlong>(ClampToLong(left), ClampToLong(top), ClampToLong(right - left), ClampToLong(bottom - top));
    }

    if (mText) {
        const TextProperties& text = mDescriptor->GetTextProperties();
        const float fw = static_cast<float>(width);
        const float fh = static_cast<float>(height);
        const float left = static_cast<float>(text.leftAbs) + text.leftRel * fw;
        const float right = static_cast<float>(text.rightAbs) + text.rightRel * fw;
        const float top = static_cast<float>(text.topAbs) + text.topRel * fh;
        const float bottom = static_cast<float>(text.bottomAbs) + text.bottomRel * fh;
        (void)mText->SetBoxSize(PointT<zlong>(RoundToLong(right - left), RoundToLong(bottom - top)));
        mTextOrigin = PointT<zlong>(TruncateToLong(left), TruncateToLong(top));
    }
    return true;
}

RectT<zlong> LLook::GetTextBox() const
{
    if (!mText) {
        return {};
    }
    return {mTextOrigin.x, mTextOrigin.y, mText->GetBoxSize().x, mText->GetBoxSize().y};
}

bool LLook::SetText(const WideString& text)
{
    return !mText || mText->SetText(text) == kFontTextChanged;
}

bool LLook::SetFont(const RCPtr<LFont>& font)
{
    return !mText || mText->SetFont(font) == kFontTextChanged;
}

ZVRESULT LLook::SetOverlay(const ConstRCPtr<LBitmap>& source, const PointT<zlong>& position, bool replace)
{
    if (source.IsNull()) {
        if (!mOverlayPart) {
            return ZV_S_FALSE;
        }
        mOverlayPart = nullptr;
        mOverlayReplacesClient = false;
        return ZV_S_OK;
    }
    const RectT<zlong>& whole = source->GetPart();
    const ConstRCPtr<LBitmap> shown = source->CreateSubBitmap(position.x, position.y, whole.width - position.x,
                                                              whole.height - position.y);
    mOverlayPart = LVisualPart::Create(WideString(), shown, kResizeStretch, nullptr, 1.0f, nullptr);
    mOverlayReplacesClient = replace;
    return ZV_S_OK;
}

std::uint32_t LLook::GetColorAtPoint(const PointT<zlong>& point) const
{
    for (std::uint32_t index = 0; index < mNonClientParts.GetCount(); ++index) {
        const std::uint32_t color =
            PartColorAt(mNonClientParts.GetData()[index], mNonClientRects.GetData()[index], point);
        if ((color >> 24) != 0) {
            return color;
        }
    }
    const std::uint32_t overlay = PartColorAt(mOverlayPart, mClientRect, point);
    if ((overlay >> 24) != 0) {
        return overlay;
    }
    // A client part that the overlay replaces is not drawn, so it shows nowhere.
    if (mOverlayPart && mOverlayReplacesClient) {
        return LVisualPart::kNoColor;
    }
    return PartColorAt(mClientPart, mClientRect, point);
}

void LLook::LocalDirtyRects(const LRenderer& renderer, const RectList& dirty, Array<RectT<double>>& rects) const
{
    PointT<double> origin;
    if (const RenderState* state = renderer.GetCurrentState()) {
        origin = state->origin;
    }
    RectList local;
    local.AppendCopies(dirty);
    local.Offset(-RoundToLong(origin.x), -RoundToLong(origin.y));
    if (mRegion.GetHead() != nullptr) {
        local.Intersect(mRegion);
    }
    for (const RectNode* node = local.GetHead(); node != nullptr; node = node->next) {
        AppendItem(rects,
                   RectT<double>(node->left, node->top, static_cast<double>(std::int64_t{node->right} - node->left),
                                 static_cast<double>(std::int64_t{node->bottom} - node->top)));
    }
}

template <class Draw>
void LLook::DrawInside(LRenderer& renderer, const Array<RectT<double>>& rects, const RectT<zlong>& area,
                       Draw draw) const
{
    const RenderState* state = renderer.GetCurrentState();
    const RectT<double> clip = state != nullptr ? state->clip : RenderState().clip;
    const RectT<double> bounds = area.ToDouble();
    for (std::uint32_t index = 0; index < rects.GetCount(); ++index) {
        RectT<double> visible;
        RectT<double> shown;
        if (!RectT<double>::Intersect(visible, rects.GetData()[index], bounds) ||
            !RectT<double>::Intersect(shown, visible, clip)) {
            continue;
        }
        renderer.PushClip(bounds, visible, nullptr, true);
        const PushedState pushed(renderer);
        draw();
    }
}

ZVRESULT LLook::DrawNonClientParts(LRenderer& renderer, const RectList& dirty)
{
    Array<RectT<double>> rects;
    LocalDirtyRects(renderer, dirty, rects);
    ZVRESULT answer = ZV_S_OK;
    for (std::uint32_t index = 0; index < mNonClientParts.GetCount(); ++index) {
        const RCPtr<LVisualPart>& part = mNonClientParts.GetData()[index];
        if (!part) {
            continue;
        }
        const RectT<zlong>& rect = mNonClientRects.GetData()[index];
        DrawInside(renderer, rects, rect, [&] {
            if (part->Draw(renderer, static_cast<float>(rect.width), static_cast<float>(rect.height)) != ZV_S_OK) {
                answer = ZV_S_FALSE;
            }
        });
    }
    return answer;
}

ZVRESULT LLook::DrawClientParts(LRenderer& renderer, const RectList& dirty)
{
    const bool drawsClient = mClientPart && !(mOverlayPart && mOverlayReplacesClient);
    if (!drawsClient && !mOverlayPart) {
        return ZV_S_OK;
    }
    Array<RectT<double>> rects;
    LocalDirtyRects(renderer, dirty, rects);
    const float width = static_cast<float>(mClientRect.width);
    const float height = static_cast<float>(mClientRect.height);
    ZVRESULT answer = ZV_S_OK;
    DrawInside(renderer, rects, mClientRect, [&] {
        if (drawsClient && mClientPart->Draw(renderer, width, height) != ZV_S_OK) {
            answer = ZV_S_FALSE;
        }
        if (mOverlayPart && mOverlayPart->Draw(renderer, width, height) != ZV_S_OK) {
            answer = ZV_S_FALSE;
        }
    });
    return answer;
}

ZVRESULT LLook::DrawLabelText(LRenderer& renderer, const RectList& dirty, const PointT<double>& offset)
{
    if (!mText) {
        return ZV_S_FALSE;
    }
    // Without a part to take the colour from, the label is not drawn.
    if (!mTextForegroundPart) {
        return ZV_S_OK;
    }
    Array<RectT<double>> rects;
    LocalDirtyRects(renderer, dirty, rects);
    DrawInside(renderer, rects, GetTextBox(), [&] {
        if (!mTextForegroundPart->GetBitmap().IsNull()) {
            ZV_THROW_IN("ZV::LLook::DrawLabelText", std::domain_error,
                        "Bitmap fill for text foreground part not yet implemented.");
        }
        const RCPtr<LColorizer>& colorizer = mTextForegroundPart->GetColorizer();
        if (!colorizer) {
            return;
        }
        if (colorizer->GetColorType() != LColorizer::kSolidFill) {
            ZV_THROW_IN("ZV::LLook::DrawLabelText", std::domain_error,
                        "Gradient fill for text foreground part not yet implemented.");
        }
        const LColor color = mTextForegroundPart->GetFillColor();
        const std::uint32_t count = mText->GetLineCount();
        for (std::uint32_t line = 0; line < count; ++line) {
            const RectT<float>& rect = mText->GetLineRect(line);
            renderer.DrawLaidOutText(mText->GetLine(line), mText->GetLineLayout(line), mText->GetFont(),
                                     PointT<zlong>(RoundToLong(rect.x - offset.x), RoundToLong(rect.y - offset.y)),
                                     color);
        }
    });
    return ZV_S_OK;
}

}  // namespace ZV
