#include "ControlBase/ControlTreePaint.h"

#include "ControlBase/AutoClip.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>

namespace ZV {

namespace {

// The control with what clips to it, then what reaches outside it, in z-order. Lists are the drawing's own, so
// that a control drawn may draw further trees.
void DrawTree(LRenderer& renderer, LControl& control, const RectList& region, bool unclippedPass)
{
    RCPtrArray<LControl> unclipped;
    // The pass flag follows the control's own rule: it cannot be refused.
    (void)control.Render(renderer, region, unclipped, unclippedPass);
    if (unclipped.GetCount() == 0) {
        return;
    }
    std::stable_sort(unclipped.GetData(), unclipped.GetData() + unclipped.GetCount(),
                     [](const RCPtr<LControl>& a, const RCPtr<LControl>& b) {
                         return a->GetEffectiveZOrder() < b->GetEffectiveZOrder();
                     });
    for (std::uint32_t index = 0; index < unclipped.GetCount(); ++index) {
        LControl& reaching = *unclipped.GetData()[index];
        // Drawn from its parent's content origin, clipped only by the window, at its own opacity alone: what its
        // ancestors' looks weighed does not carry over.
        const PointT<double> absolute = reaching.GetAbsoluteOrigin();
        const PointT<double> target(RoundToLong(absolute.x - reaching.GetPosition().x),
                                    RoundToLong(absolute.y - reaching.GetPosition().y));
        const PointT<double> origin = renderer.GetCurrentState()->origin;
        const CAutoClip moved(renderer, ClipRequest::Offset({target.x - origin.x, target.y - origin.y}));
        RenderState& state = *renderer.GetCurrentState();
        state.factor = 1.0f;
        state.stencilInstalled = false;
        DrawTree(renderer, reaching, region, true);
    }
}

}  // namespace

void PaintControlTree(LRenderer& renderer, const RCPtr<LControl>& root, const RectList& region)
{
    RectEdges bounds;
    if (!root || !region.GetBounds(bounds) || renderer.GetCurrentState() == nullptr) {
        return;
    }
    // The root's area within the region, the window's origin kept.
    const PointT<double> position = root->GetPosition();
    const PointT<double> size = root->GetSize();
    RectT<double> clip;
    if (!RectT<double>::Intersect(clip, {position.x, position.y, size.x, size.y},
                                  {static_cast<double>(bounds.left), static_cast<double>(bounds.top),
                                   static_cast<double>(bounds.right - bounds.left),
                                   static_cast<double>(bounds.bottom - bounds.top)})) {
        return;
    }
    const CAutoClip windowClip(renderer, ClipRequest({0, 0, clip.x + clip.width, clip.y + clip.height}, clip, nullptr));
    DrawTree(renderer, *root, region, !SettingsOf(root).clipToParent);
}

}  // namespace ZV
