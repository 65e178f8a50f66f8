#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LFont;
class LLaidOutText;
class LMeasurementRenderer;

// Whether two fonts draw alike: the same object, or the same face (in any letter case), size and style. Null matches
// only null.
bool IsSameFont(const LFont* first, const LFont* second);

// What SetText and SetFont answer.
inline constexpr ZVRESULT kFontTextUnchanged = 0;
inline constexpr ZVRESULT kFontTextChanged = 1;

// A look's label: the text, its font, its alignment in the look's text box, and the lines it breaks into with their
// measured rectangles and, where the renderer kept them, their layouts. Lines, rectangles and layouts are built on the
// first question that needs them, with the application's measurement renderer, and kept until the text, the font,
// the wrapping, the alignment or the box changes.
// User-interface thread only.
class LFontText : public virtual LRefCountedObject {
public:
    static RCPtr<LFontText> Create(const WideString& text, const RCPtr<LFont>& font);

    // kFontTextChanged, or kFontTextUnchanged when the text was equal.
    [[nodiscard]] ZVRESULT SetText(const WideString& text);
    // Keeps the font in every case; kFontTextChanged when it draws differently from the one before.
    [[nodiscard]] ZVRESULT SetFont(const RCPtr<LFont>& font);
    // Each answers whether the setting changed.
    bool SetWordWrap(bool wordWrap);
    bool SetAlignment(float horizontal, float vertical);
    bool SetBoxSize(const PointT<zlong>& size);

    const WideString& GetText() const { return mText; }
    const RCPtr<LFont>& GetFont() const { return mFont; }
    bool GetWordWrap() const { return mWordWrap; }
    const PointT<zlong>& GetBoxSize() const { return mBoxSize; }

    // The number of lines, at least 1: an empty text is one empty line.
    std::uint32_t GetLineCount();
    // Whether the lines are measured for the box as it is now.
    bool IsLaidOut() const { return mLineRects.GetCount() != 0; }
    // The line's text; the lines' count first comes from GetLineCount. Past the measured lines, one shared empty
    // line.
    const WideString& GetLine(std::uint32_t index) const;
    // x, y, width, height of the line relative to the text box; past the measured lines, one shared empty
    // rectangle.
    const RectT<float>& GetLineRect(std::uint32_t index) const;
    // The line as the measurement renderer laid it out, to draw it from; null where the renderer kept none.
    const LLaidOutText* GetLineLayout(std::uint32_t index) const;
    // Width and height of the lines' union; 0 x 0 without lines.
    PointT<zlong> GetSize();
    // The widest line of the text broken only where it says so, measured and rounded up to whole pixels.
    zlong GetMaxLineWidth() const;
    // The height of the lines that the text takes at that width. The lines kept for the box stay as they are.
    zlong GetHeightForWidth(zlong width) const;

private:
    LFontText(const WideString& text, const RCPtr<LFont>& font);

    void EmptyCaches();
    // The lines of the text at the width: wrapped, or broken only where it says so; with lineBoxes, each line's
    // measured box and layout too.
    void BreakLines(zlong width, WideStringArray& lines, Array<RectT<float>>* lineBoxes = nullptr,
                    RCPtrArray<LLaidOutText>* lineLayouts = nullptr) const;
    zlong GetLineHeight() const;

    WideString mText;
    RCPtr<LFont> mFont;
    float mHorizontalAlignment = 0;
    float mVerticalAlignment = 0;
    bool mWordWrap = false;
    PointT<zlong> mBoxSize;
    WideStringArray mLines;
    Array<RectT<float>> mLineRects;
    RCPtrArray<LLaidOutText> mLineLayouts;
};

}  // namespace ZV
