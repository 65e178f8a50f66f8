#pragma once

#include "ControlBase/FontText.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/VisualPart.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/RectList.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

class LFont;
class LRenderer;

// What a control looks like in one of its states, laid out for the control's size: a client part filling the client
// rectangle, non-client parts placed at the edges and corners, an optional overlay over the client area, and a label
// text in a box of its own. Coordinates are the control's own. User-interface thread only.
class LLook : public virtual LRefCountedObject {
public:
    static RCPtr<LLook> Create(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap);

    // Takes the descriptor's parts and text settings; the next SetSize lays the look out, whatever its size.
    void Initialize(const RCPtr<LLookDescriptor>& descriptor, bool wordWrap);

    // Each draws its parts over the dirty rectangles (root-window pixels, as the renderer's current origin maps
    // them), limited to the look's own region when it has one, each under a clip of its own. 0.
    virtual ZVRESULT DrawNonClientParts(LRenderer& renderer, const RectList& dirty);
    virtual ZVRESULT DrawClientParts(LRenderer& renderer, const RectList& dirty);
    // The lines of the label in the colour of the text's foreground part, moved by minus the offset; 1 for a look
    // without text. A foreground part with an image or a gradient throws a "Domain Error".
    virtual ZVRESULT DrawLabelText(LRenderer& renderer, const RectList& dirty, const PointT<double>& offset);

    // Lays the parts and the text box out for the size. True.
    bool SetSize(zlong width, zlong height);
    // The label's text and font; true for a look without text, else whether the text (or the font's drawing) changed.
    bool SetText(const WideString& text);
    bool SetFont(const RCPtr<LFont>& font);
    // The source, from the position to its far corner, laid over the client area (in place of the client part when
    // replacing); null drops the overlay. 0, or 1 when there was nothing to drop.
    [[nodiscard]] ZVRESULT SetOverlay(const ConstRCPtr<LBitmap>& source, const PointT<zlong>& position, bool replace);
    void SetTextForegroundPart(const RCPtr<LVisualPart>& part) { mTextForegroundPart = part; }

    // 0xAARRGGBB of the first part that is not transparent at the point: the non-client parts in order, the overlay,
    // the client part; 0x00FFFFFF where none shows.
    std::uint32_t GetColorAtPoint(const PointT<zlong>& point) const;

    const RCPtr<LLookDescriptor>& GetDescriptor() const { return mDescriptor; }
    // x, y, width, height.
    const RectT<zlong>& GetClientRect() const { return mClientRect; }
    std::uint32_t GetNonClientPartCount() const { return mNonClientRects.GetCount(); }
    const RectT<zlong>& GetNonClientRect(std::uint32_t index) const { return mNonClientRects.GetData()[index]; }
    // Null without "TextProperties".
    const RCPtr<LFontText>& GetText() const { return mText; }
    // x, y, width, height of the text box.
    RectT<zlong> GetTextBox() const;
    const RCPtr<LVisualPart>& GetTextForegroundPart() const { return mTextForegroundPart; }
    // Drawing keeps inside it while it is not empty.
    RectList& GetRegion() { return mRegion; }
    const RectList& GetRegion() const { return mRegion; }

private:
    LLook() = default;

    // The dirty rectangles in look coordinates, cut to the look's region when it has one.
    void LocalDirtyRects(const LRenderer& renderer, const RectList& dirty, Array<RectT<double>>& rects) const;
    // For every local dirty rectangle that meets the area and the current clip: the origin at the area's corner,
    // clipped to the rectangle, while draw runs.
    template <class Draw>
    void DrawInside(LRenderer& renderer, const Array<RectT<double>>& rects, const RectT<zlong>& area, Draw draw) const;

    RCPtr<LLookDescriptor> mDescriptor;
    RCPtr<LVisualPart> mTextForegroundPart;
    // Negative until the first SetSize.
    PointT<zlong> mSize{-1, -1};
    RectT<zlong> mClientRect;
    Array<RectT<zlong>> mNonClientRects;
    RCPtrArray<LVisualPart> mNonClientParts;
    RCPtr<LVisualPart> mClientPart;
    RCPtr<LVisualPart> mOverlayPart;
    bool mOverlayReplacesClient = false;
    RCPtr<LFontText> mText;
    PointT<zlong> mTextOrigin;
    RectList mRegion;
};

}  // namespace ZV
