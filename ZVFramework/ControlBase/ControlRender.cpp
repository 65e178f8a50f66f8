// Drawing a control: its weighted looks, its content hooks and its children under clips, and the collection of the
// controls that reach outside their parents for the window's second pass.
#include "ControlBase/Control.h"

#include "ControlBase/AutoClip.h"
#include "ControlBase/ContentBuffer.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/DirtyRect.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <new>

namespace ZV {

namespace {

void Append(RCPtrArray<LControl>& controls, const RCPtr<LControl>& control)
{
    if (Failed(controls.AddItem(control))) {
        throw Exception<std::bad_alloc>();
    }
}

// The controls below this one that reach outside their parents and would be drawn: a hidden or empty control hides
// its subtree, and the descendants of a control appended here are left to that control's own pass, so that the
// window draws each once.
void CollectForSecondPass(const LControl& control, RCPtrArray<LControl>& unclipped)
{
    const LControl::ChildControlList& children = control.GetChildren();
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        const RCPtr<LControl>& child = children.GetAt(index, LControl::kLayoutOrder);
        if (!child->IsVisible(false)) {
            continue;
        }
        if (!SettingsOf(child).clipToParent) {
            Append(unclipped, child);
        } else if (child->GetUnclippedDescendantCount() > 0) {
            CollectForSecondPass(*child, unclipped);
        }
    }
}

// The controls that reach outside the children from begin to end, which are not drawn now.
void CollectBelowChildren(const LControl& parent, std::uint32_t begin, std::uint32_t end,
                          RCPtrArray<LControl>& unclipped)
{
    const LControl::ChildControlList& children = parent.GetChildren();
    for (std::uint32_t index = begin; index < end && index < children.GetCount(); ++index) {
        const RCPtr<LControl>& child = children.GetAt(index, LControl::kLayoutOrder);
        if (child->IsVisible(false) && child->GetUnclippedDescendantCount() > 0) {
            CollectForSecondPass(*child, unclipped);
        }
    }
}

// The clipped children are drawn in three runs of the layout order: docked on no axis, on one, on both.
constexpr int kUndockedRun = 0;
constexpr int kDockedBothRun = 2;

// How the children of one look are drawn: the first two runs clipped to the look's client area, the third only
// moved to the client origin, so that it may cover the rest of the control.
struct ChildContexts {
    ClipRequest clientClip;
    ClipRequest clientOrigin;
};

// Draws the runs of clipped children from the first to the last named.
void DrawChildRuns(const LControl& parent, LRenderer& renderer, const RectList& region,
                   RCPtrArray<LControl>& unclipped, const ChildContexts& contexts, int firstRun, int lastRun)
{
    const LControl::ChildControlList& children = parent.GetChildren();
    std::uint32_t index = 0;
    for (int run = kUndockedRun; run <= kDockedBothRun; ++run) {
        const std::uint32_t begin = index;
        while (index < children.GetCount()) {
            const SubControlSettings& settings = SettingsOf(children.GetAt(index, LControl::kLayoutOrder));
            if (!settings.clipToParent || DockedAxes(settings) != run) {
                break;
            }
            ++index;
        }
        if (run < firstRun || run > lastRun || begin == index) {
            continue;
        }
        const RenderState& state = *renderer.GetCurrentState();
        RectT<double> shown;
        const bool drawn = run == kDockedBothRun ||
                           (HasArea(contexts.clientClip.clip) &&
                            RectT<double>::Intersect(shown, contexts.clientClip.clip, state.clip));
        if (!drawn) {
            // Out of sight; what of them reaches outside still shows.
            CollectBelowChildren(parent, begin, index, unclipped);
            continue;
        }
        const CAutoClip context(renderer, run == kDockedBothRun ? contexts.clientOrigin : contexts.clientClip);
        for (std::uint32_t k = begin; k < index && k < children.GetCount(); ++k) {
            // A clipped child in a clipped pass: the pass flag is right.
            (void)children.GetAt(k, LControl::kLayoutOrder)->Render(renderer, region, unclipped, false);
        }
    }
}

// The number of children in the runs up to the last named.
std::uint32_t CountRuns(const LControl& parent, int lastRun)
{
    const LControl::ChildControlList& children = parent.GetChildren();
    std::uint32_t index = 0;
    while (index < children.GetCount()) {
        const SubControlSettings& settings = SettingsOf(children.GetAt(index, LControl::kLayoutOrder));
        if (!settings.clipToParent || DockedAxes(settings) > lastRun) {
            break;
        }
        ++index;
    }
    return index;
}

// Draws the runs of children up to the last named into the content buffer, over its stale rectangles. What of them
// reaches outside is drawn on the screen at every paint, whether the buffer is drawn or not: it is collected here.
void DrawChildrenIntoBuffer(const LControl& parent, ControlScrollState& scroll, const RectList& bufferRegion,
                            RCPtrArray<LControl>& unclipped, int lastRun)
{
    CollectBelowChildren(parent, 0, CountRuns(parent, lastRun), unclipped);
    if (bufferRegion.GetCount() == 0) {
        return;
    }
    RCPtrArray<LControl> collectedAbove;
    const ContentBufferFrame frame(scroll);
    LRenderer& renderer = frame.Renderer();
    const RectT<double>& extent = scroll.contentExtent;
    const RectT<double> area(0, 0, extent.width, extent.height);
    const CAutoClip bufferClip(renderer, ClipRequest(area, area, nullptr));
    // Content coordinates: the extent's corner is the buffer's.
    ChildContexts contexts;
    contexts.clientClip = ClipRequest(
        RectT<double>(-extent.x, -extent.y, extent.x + extent.width, extent.y + extent.height), area, nullptr);
    contexts.clientOrigin = ClipRequest::Offset({-extent.x, -extent.y});
    DrawChildRuns(parent, renderer, bufferRegion, collectedAbove, contexts, kUndockedRun, lastRun);
}

// Copies what the buffer holds of the client area into the control, wherever the region is painted.
void CopyContentBuffer(LRenderer& renderer, const RectList& region, const ControlScrollState& scroll,
                       const RectT<double>& client)
{
    const RenderState& state = *renderer.GetCurrentState();
    const RectT<double>& extent = scroll.contentExtent;
    const RectT<double> held(extent.x - scroll.offset.x + client.x, extent.y - scroll.offset.y + client.y,
                             extent.width, extent.height);
    for (const RectNode* node = region.GetHead(); node != nullptr; node = node->next) {
        RectT<double> part(node->left - state.origin.x, node->top - state.origin.y, node->right - node->left,
                           node->bottom - node->top);
        if (!RectT<double>::Intersect(part, part, client) || !RectT<double>::Intersect(part, part, held) ||
            !RectT<double>::Intersect(part, part, state.clip)) {
            continue;
        }
        const RectEdges pixels = TouchedPixels(part);
        const RectT<zlong> source(pixels.left - RoundToLong(held.x), pixels.top - RoundToLong(held.y),
                                  pixels.right - pixels.left, pixels.bottom - pixels.top);
        // A copy that fails leaves the area as the looks drew it; the next paint copies again.
        (void)renderer.DrawBitmapPart(scroll.contentBuffer, {pixels.left, pixels.top}, source);
    }
}

}  // namespace

ZVRESULT LControl::Render(LRenderer& renderer, const RectList& region, RCPtrArray<LControl>& unclipped,
                          bool unclippedPass)
{
    if (unclippedPass == SettingsOf(this).clipToParent) {
        return ZV_E_INVALIDARG;
    }
    if (!IsVisible(false) || renderer.GetCurrentState() == nullptr) {
        return ZV_S_OK;
    }
    const RectT<double> bounds(mPosition.x, mPosition.y, mSize.x, mSize.y);
    RectT<double> shown = bounds;
    if (!unclippedPass) {
        (void)RectT<double>::Intersect(shown, bounds, renderer.GetCurrentState()->clip);
    }
    if (!HasArea(shown)) {
        if (mUnclippedDescendants > 0) {
            CollectForSecondPass(*this, unclipped);
        }
        return ZV_S_OK;
    }

    // The origin goes to the control's own corner even where the parent shows only part of it.
    const RectT<double> corner(RoundCoordinate(bounds.x), RoundCoordinate(bounds.y), RoundCoordinate(bounds.width),
                               RoundCoordinate(bounds.height));
    const CAutoClip clip(renderer, ClipRequest(corner, shown, nullptr));
    renderer.GetCurrentState()->factor *= mLooks.opacity;
    const RectT<double> whole(0, 0, mSize.x, mSize.y);
    if (!region.IntersectsRect(whole, renderer.GetCurrentState()->origin)) {
        if (mUnclippedDescendants > 0) {
            CollectForSecondPass(*this, unclipped);
        }
        return ZV_S_OK;
    }

    // The buffer's stale rectangles, in buffer pixels: what its children are drawn into it again for.
    RectList bufferRegion;
    bool bufferDrawn = false;
    if (mScroll.scrollableContent) {
        if (!mScroll.contentBuffer && CreateContentBuffer(mScroll, renderer, GetLookMargins())) {
            RecalcContentExtent();
        }
        TakeContentBufferMarks(mScroll, bufferRegion);
    }

    const auto forEachWeightedLook = [&](auto&& draw) {
        LookFrame frame;
        for (std::uint32_t index = 0; GetLookFrame(index, frame); ++index) {
            if (frame.weight > 0) {
                const CAutoClip look(renderer, ClipRequest());
                renderer.GetCurrentState()->factor *= frame.weight;
                draw(index, frame);
            }
        }
    };
    const PointT<double> textOffset = mLooks.textScrolls ? mScroll.offset : PointT<double>();
    const auto drawLayer = [&](LookLayer layer) {
        forEachWeightedLook([&](std::uint32_t index, const LookFrame& frame) {
            if (frame.present) {
                DrawLookLayer(index, layer, renderer, region, textOffset);
            }
        });
    };
    const auto runHook = [&](ZVRESULT (LControl::*hook)(LRenderer&)) {
        for (const RectNode* node = region.GetHead(); node != nullptr; node = node->next) {
            const PointT<double>& origin = renderer.GetCurrentState()->origin;
            const RectT<double> dirty(node->left - origin.x, node->top - origin.y, node->right - node->left,
                                      node->bottom - node->top);
            RectT<double> area;
            if (RectT<double>::Intersect(area, dirty, renderer.GetCurrentState()->clip)) {
                const CAutoClip hookClip(renderer, ClipRequest(whole, area, nullptr));
                // The hooks draw; what they answer changes nothing of the pass.
                (void)(this->*hook)(renderer);
            }
        }
    };

    drawLayer(LookLayer::kClientParts);
    drawLayer(LookLayer::kNonClientParts);
    runHook(&LControl::RenderContent);
    forEachWeightedLook([&](std::uint32_t index, const LookFrame& frame) {
        if (frame.present) {
            DrawLookLayer(index, LookLayer::kLabelText, renderer, region, textOffset);
        }
        if (mChildren.GetCount() == 0) {
            return;
        }
        const RectT<double> client = frame.clientRect.ToDouble();
        const PointT<double>& scroll = mScroll.offset;
        ChildContexts contexts;
        contexts.clientClip = ClipRequest(RectT<double>(client.x - scroll.x, client.y - scroll.y,
                                                     client.width + scroll.x, client.height + scroll.y),
                                       client, frame.regionStencil);
        contexts.clientOrigin = ClipRequest::Offset({client.x - scroll.x, client.y - scroll.y});
        if (!mScroll.contentBuffer) {
            DrawChildRuns(*this, renderer, region, unclipped, contexts, kUndockedRun, kDockedBothRun);
            return;
        }
        const int lastBufferedRun = mScroll.dockedOutsideBuffer ? kUndockedRun : kDockedBothRun;
        if (!bufferDrawn) {
            bufferDrawn = true;
            DrawChildrenIntoBuffer(*this, mScroll, bufferRegion, unclipped, lastBufferedRun);
        }
        CopyContentBuffer(renderer, region, mScroll, client);
        if (lastBufferedRun < kDockedBothRun) {
            DrawChildRuns(*this, renderer, region, unclipped, contexts, lastBufferedRun + 1, kDockedBothRun);
        }
    });
    runHook(&LControl::RenderOverlay);

    for (std::uint32_t index = 0; index < mChildren.GetCount(); ++index) {
        const RCPtr<LControl>& child = mChildren.GetAt(index, kLayoutOrder);
        if (!SettingsOf(child).clipToParent && child->IsVisible(false)) {
            Append(unclipped, child);
        }
    }
    return ZV_S_OK;
}

ZVRESULT LControl::RenderContent(LRenderer&)
{
    return ZV_S_OK;
}

ZVRESULT LControl::RenderOverlay(LRenderer&)
{
    return ZV_S_OK;
}

std::uint32_t LControl::CollectUnclipped(RCPtrArray<LControl>& controls, bool visibleOnly, bool includeSelf)
{
    const std::uint32_t before = controls.GetCount();
    const bool shown = IsVisible(false);
    if (!SettingsOf(this).clipToParent && includeSelf && (!visibleOnly || shown)) {
        Append(controls, this);
    }
    if (visibleOnly && !shown) {
        return 0;
    }
    for (std::uint32_t index = 0; index < mChildren.GetCount(); ++index) {
        const RCPtr<LControl>& child = mChildren.GetAt(index, kLayoutOrder);
        if (!SettingsOf(child).clipToParent || child->mUnclippedDescendants > 0) {
            (void)child->CollectUnclipped(controls, visibleOnly, true);
        }
    }
    return controls.GetCount() - before;
}

std::int32_t LControl::GetEffectiveZOrder() const
{
    std::int32_t zOrder = kLowestZOrder;
    for (const LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        const SubControlSettings& settings = SettingsOf(control);
        if (!settings.clipToParent) {
            zOrder = std::max(zOrder, settings.zOrder);
        }
    }
    return zOrder;
}

}  // namespace ZV
