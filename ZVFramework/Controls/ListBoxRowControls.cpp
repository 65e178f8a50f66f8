// The pool of row controls of a list: making them as the visible area needs, filling them with the rows in view,
// their widths, fitting the list to its rows, and scrolling by rows.
#include "Controls/ListBox.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/LayoutAxis.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ZV {

namespace {

double BottomOf(const LControl& control)
{
    return control.GetPosition().y + control.GetSize().y;
}

SizeRule AbsoluteSize(double size)
{
    SizeRule rule;
    rule.toControlKind = kSizeToSelf;
    rule.abs = size;
    return rule;
}

}  // namespace

ZVRESULT LListBox::CreateRowControl()
{
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    if (!mTemplateDescriptor || !factory) {
        return ZV_E_FAIL;
    }
    const RCPtr<LLayoutDescriptor>& templateLayout = mTemplateDescriptor->GetLayoutDescriptor();
    const RCPtr<LLayoutDescriptor> layout =
        templateLayout ? new LLayoutDescriptor(*templateLayout) : LControlFactory::MakeLayoutDescriptor();
    // Docked on y: the rows stand still while the content scrolls, and show other rows instead.
    layout->yIsDocked = true;
    layout->yPosition.placementAnchor = 0;
    layout->yPosition.abs = 0;
    layout->textOverflowXType = kTextOverflowClip;
    const std::uint32_t count = mRowControls.GetCount();
    const RCPtr<LListBoxItem> last = count != 0 ? GetRowControl(count - 1) : nullptr;
    if (last) {
        layout->yPosition.toControlKind = kPositionToNamedControl;
        layout->yPosition.toControlName = last->GetName();
        layout->yPosition.rel = 1.0f;
    } else {
        layout->yPosition.toControlKind = kPositionToClient;
        layout->yPosition.rel = 0.0f;
    }
    const WideString name = WideString::Format(L"ItemControl%d", static_cast<int>(count + 1));
    const RCPtr<LControl> created =
        factory->CreateControl(LControlFactory::DeriveControlDescriptor(mTemplateDescriptor, layout, name), this);
    const RCPtr<LListBoxItem> control(created);
    if (!control) {
        // A template of another class makes no rows.
        if (created) {
            created->Detach();
        }
        return ZV_E_FAIL;
    }
    control->SetUsesParentToolTip(true);
    const std::int32_t position = IndexOfChild(control.Get(), kInsertionOrder);
    if (position < 0 || Failed(mRowControls.AddItem(static_cast<std::uint32_t>(position)))) {
        control->Detach();
        return ZV_E_FAIL;
    }
    AttachRowControl(*control);
    (void)UpdateRowControl(static_cast<std::uint32_t>(mTopRow) + mRowControls.GetCount() - 1);
    return ZV_S_OK;
}

ZVRESULT LListBox::FillVisibleArea()
{
    if (mFilling || mCreatingLook) {
        return ZV_S_OK;
    }
    if (!mTemplateMeasured || !mTemplateDescriptor) {
        return ZV_S_FALSE;
    }
    mFilling = true;
    const bool hadRowControls = mRowControls.GetCount() != 0;
    const RectT<double> client = GetClientRect(-1);
    const double visibleBottom = client.y + client.height + GetScrollOffset().y;
    double rowsBottom = 0;
    // Rows of no height would never reach the bottom.
    bool rowsHaveHeight = true;
    if (const std::uint32_t count = mRowControls.GetCount()) {
        if (const RCPtr<LListBoxItem> last = GetRowControl(count - 1)) {
            rowsBottom = BottomOf(*last);
            rowsHaveHeight = last->GetSize().y > 0;
        }
    }
    while (rowsHaveHeight && visibleBottom > rowsBottom && Succeeded(CreateRowControl())) {
        const RCPtr<LListBoxItem> last = GetRowControl(mRowControls.GetCount() - 1);
        rowsHaveHeight = last && BottomOf(*last) > rowsBottom;
        rowsBottom = last ? BottomOf(*last) : rowsBottom;
    }
    mFilling = false;
    // Rows given before any showed were measured without the row controls' font: their widths count from now.
    if (!hadRowControls && mRowControls.GetCount() != 0) {
        (void)FollowWidestRow();
    }
    return ZV_S_OK;
}

ZVRESULT LListBox::UpdateRowsFrom(std::uint32_t row)
{
    // Rows above the first shown moved the shown ones too.
    const std::uint32_t top = static_cast<std::uint32_t>(mTopRow);
    const std::uint32_t end = top + mRowControls.GetCount();
    for (std::uint32_t shown = std::max(row, top); shown < end; ++shown) {
        const ZVRESULT result = UpdateRowControl(shown);
        if (Failed(result)) {
            return result;
        }
    }
    return ZV_S_OK;
}

ZVRESULT LListBox::UpdateRowControl(std::uint32_t row)
{
    const RCPtr<LListBoxItem> control = GetControlShowingRow(row);
    if (!control) {
        return ZV_S_FALSE;
    }
    const bool exists = row < GetRowCount();
    const LListBoxRow& shown = GetRowOrEmpty(row);
    (void)control->SetText(shown.data ? shown.data->ToString() : WideString());
    (void)control->SetValue(shown.selected);
    if (control->HasMarkedLook() != shown.marked) {
        control->SetMarkedLook(shown.marked);
        (void)control->RefreshLook();
    }
    control->SetEnabled(exists);
    control->SetSeparator(shown.separator);
    return ZV_S_OK;
}

RCPtr<LListBoxItem> LListBox::GetRowControl(std::uint32_t index) const
{
    if (index >= mRowControls.GetCount()) {
        return nullptr;
    }
    const std::uint32_t position = mRowControls.GetData()[index];
    if (position >= GetChildren().GetCount()) {
        return nullptr;
    }
    return RCPtr<LListBoxItem>(GetChildren().GetAt(position, kInsertionOrder));
}

std::int32_t LListBox::GetRowOfControl(const LControl* control) const
{
    const std::int32_t position = control ? IndexOfChild(control, kInsertionOrder) : -1;
    if (position < 0) {
        return -1;
    }
    for (std::uint32_t index = mRowControls.GetCount(); index-- > 0;) {
        if (mRowControls.GetData()[index] == static_cast<std::uint32_t>(position)) {
            return mTopRow + static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

std::int32_t LListBox::GetControlIndexOfRow(std::uint32_t row) const
{
    const auto top = static_cast<std::uint32_t>(mTopRow);
    return row >= top && row - top < mRowControls.GetCount() ? static_cast<std::int32_t>(row - top) : -1;
}

RCPtr<LListBoxItem> LListBox::GetControlShowingRow(std::uint32_t row) const
{
    const std::int32_t index = GetControlIndexOfRow(row);
    return index >= 0 ? GetRowControl(static_cast<std::uint32_t>(index)) : nullptr;
}

RectT<double> LListBox::GetRowControlRect(std::uint32_t row) const
{
    const RCPtr<LListBoxItem> control = GetControlShowingRow(row);
    if (row >= GetRowCount() || !control) {
        return {};
    }
    return {control->GetPosition().x, control->GetPosition().y, control->GetSize().x, control->GetSize().y};
}

std::int32_t LListBox::HitTestRow(const PointT<double>& point) const
{
    auto& self = const_cast<LListBox&>(*this);
    const RectT<double> origin = GetClientRect(-1);
    const RectT<double> client = self.GetLookClientRect();
    const double x = point.x - origin.x;
    const double y = point.y - origin.y;
    if (!(x >= 0 && y >= 0 && x < client.width && y < client.height)) {
        return -1;
    }
    const PointT<double>& scroll = GetScrollOffset();
    const double contentX = std::round(x + scroll.x);
    const double contentY = std::round(y + scroll.y);
    for (std::uint32_t index = mRowControls.GetCount(); index-- > 0;) {
        const RCPtr<LListBoxItem> control = GetRowControl(index);
        if (!control) {
            continue;
        }
        const PointT<double> position = control->GetPosition();
        const PointT<double> size = control->GetSize();
        if (contentX >= position.x && contentX < position.x + size.x && contentY >= position.y &&
            contentY < position.y + size.y) {
            const std::int64_t row = std::int64_t{mTopRow} + index;
            return row < GetRowCount() ? static_cast<std::int32_t>(row) : -1;
        }
    }
    return -1;
}

ZVRESULT LListBox::EnsureRowVisible(std::uint32_t row)
{
    const std::uint32_t count = GetRowCount();
    if (row >= count) {
        return ZV_E_INVALIDARG;
    }
    const RectT<double> client = GetLookClientRect();
    const double visibleBottom = GetClientRect(-1).y + client.height + GetScrollOffset().y;
    std::int64_t last = mTopRow;
    for (std::uint32_t index = 1; index < mRowControls.GetCount(); ++index) {
        const RCPtr<LListBoxItem> control = GetRowControl(index);
        if (control && BottomOf(*control) <= visibleBottom) {
            ++last;
        }
    }
    if (mTopRow <= static_cast<std::int64_t>(row) && row <= last) {
        return ZV_S_OK;
    }
    const std::int64_t visible = last - mTopRow + 1;
    std::int64_t top = row < static_cast<std::uint32_t>(mTopRow) ? std::int64_t{row} : row - visible + 1;
    if (std::int64_t{count} - top + 1 < visible) {
        top = std::int64_t{count} - visible + 1;
    }
    // A list with fewer rows than fit starts at its first row.
    top = std::max<std::int64_t>(top, 0);
    (void)ScrollTo({GetScrollOffset().x, static_cast<double>(top) * mRowHeight});
    return ZV_S_OK;
}

void LListBox::SetScrollOffset(const PointT<double>& oldOffset, const PointT<double>& newOffset)
{
    if (newOffset.y != oldOffset.y) {
        const double top = std::trunc(std::max(newOffset.y, 0.0) / mRowHeight);
        const auto topRow = static_cast<std::int32_t>(std::min(top, double{std::numeric_limits<std::int32_t>::max()}));
        if (topRow != mTopRow) {
            mTopRow = topRow;
            (void)UpdateRowsFrom(static_cast<std::uint32_t>(mTopRow));
            // The row control under the pointer shows another row now: it leaves and is entered again, so that the
            // hover reaches the row it shows.
            if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
                PointT<zlong> local;
                const RCPtr<LListBoxItem> hovered(window->HitTest(window->GetCursorPosition(), local, false));
                if (hovered && hovered->GetParent().Get() == this) {
                    (void)hovered->SetVisible(false);
                    (void)hovered->SetVisible(true);
                }
            }
        }
    }
    LScrollView::SetScrollOffset(oldOffset, newOffset);
}

std::int32_t LListBox::GetRowWidth(std::uint32_t row)
{
    const RCPtr<LListBoxItem> first = GetRowControl(0);
    if (row >= GetRowCount() || !first) {
        return 0;
    }
    const RCPtr<LMeasurementRenderer> measurer = GetRenderingServices().GetMeasurementRenderer();
    const double textWidth = measurer ? measurer->MeasureText(GetRowText(row), first->GetFont()).width : 0.0;
    // Truncated, as a conversion to an integer does, but kept within 32 bits.
    return static_cast<std::int32_t>(
        std::clamp(std::trunc(textWidth + 0.5 + mTextMargin), -2147483648.0, 2147483647.0));
}

std::int32_t LListBox::GetContentHeight()
{
    const std::int64_t height = std::int64_t{GetRowCount()} * mRowHeight;
    return static_cast<std::int32_t>(std::min<std::int64_t>(height, std::numeric_limits<std::int32_t>::max()));
}

bool LListBox::IsRowSelectable(std::uint32_t)
{
    return true;
}

ZVRESULT LListBox::SetWidestRow(std::int32_t width)
{
    if (mBulkUpdate || width == mWidestRow) {
        return ZV_S_FALSE;
    }
    mWidestRow = width;
    (void)UpdateRowControlWidths();
    if (TemplateExpandsWithText()) {
        (void)FitWidth(GetNonClientWidth() + mWidestRow);
    }
    return ZV_S_OK;
}

ZVRESULT LListBox::RecalcWidestRow()
{
    mRowWidthsStale = true;
    return FollowWidestRow();
}

ZVRESULT LListBox::FollowWidestRow()
{
    if (mBulkUpdate) {
        return ZV_S_FALSE;
    }
    if (mRowWidthsStale) {
        mRowWidthsStale = false;
        mRowWidths.Clear();
        for (std::uint32_t row = 0; row < GetRowCount(); ++row) {
            GetRow(row)->hasWidth = false;
            MeasureRow(row);
        }
    }
    return SetWidestRow(mRowWidths.GetWidest());
}

void LListBox::MeasureRow(std::uint32_t row)
{
    // The rows may have changed under a refresh of the row's control.
    if (row >= GetRowCount()) {
        return;
    }
    if (mBulkUpdate) {
        mRowWidthsStale = true;
        return;
    }
    LListBoxRow& measured = *GetRow(row);
    if (measured.hasWidth) {
        mRowWidths.Remove(measured.width);
    }
    measured.width = GetRowWidth(row);
    measured.hasWidth = true;
    mRowWidths.Add(measured.width);
}

ZVRESULT LListBox::UpdateRowControlWidths()
{
    if (mBulkUpdate) {
        return ZV_S_FALSE;
    }
    const RCPtr<LLayoutDescriptor> templateLayout =
        mTemplateDescriptor ? mTemplateDescriptor->GetLayoutDescriptor() : nullptr;
    const bool followsWidestRow = !templateLayout || templateLayout->xSize.toControlKind == kSizeToSelf;
    const ZVRESULT result = SetClientExtent(followsWidestRow ? mWidestRow : 0, GetContentHeight());
    if (!followsWidestRow) {
        return result;
    }
    for (std::uint32_t index = mRowControls.GetCount(); index-- > 0;) {
        const RCPtr<LListBoxItem> control = GetRowControl(index);
        const RCPtr<LLayoutDescriptor> layout = control ? control->GetLayoutDescriptor() : nullptr;
        if (!layout) {
            continue;
        }
        // Centred in the client area, as wide as the widest row.
        PositionRule position = layout->xPosition;
        position.placementAnchor = 0.5f;
        position.toControlKind = kPositionToClient;
        position.rel = 0.5f;
        position.abs = 0;
        (void)control->SetAxisPlacement(0, position, layout->xIsDocked, AbsoluteSize(mWidestRow));
    }
    return result;
}

bool LListBox::TemplateExpandsWithText() const
{
    const RCPtr<LLayoutDescriptor> layout = mTemplateDescriptor ? mTemplateDescriptor->GetLayoutDescriptor() : nullptr;
    return layout && layout->textOverflowXType == kTextOverflowExpand;
}

std::int32_t LListBox::GetNonClientWidth()
{
    return static_cast<std::int32_t>(std::max(GetClientRect(-1).width - GetLookClientRect().width, 0.0));
}

void LListBox::OnScrollBarVisibilityChanged(int axis)
{
    LScrollView::OnScrollBarVisibilityChanged(axis);
    if (axis == 1 && mTemplateMeasured && TemplateExpandsWithText()) {
        (void)FitWidth(GetNonClientWidth() + mWidestRow);
    }
}

double LastTopRowOffset(double contentHeight, double visibleHeight, std::int32_t rowHeight)
{
    if (rowHeight <= 0) {
        return 0;
    }
    const double rows = std::trunc(contentHeight / rowHeight);
    const double visibleRows = std::trunc(visibleHeight / rowHeight);
    return std::max(rows - visibleRows, 0.0) * rowHeight;
}

void LListBox::OnClientExtentChanged()
{
    LScrollView::OnClientExtentChanged();
    if (GetVerticalBar() || mScrolledByParent) {
        return;
    }
    const double lastTop = LastTopRowOffset(GetClientExtent().y, GetLookClientRect().height, mRowHeight);
    if (GetScrollOffset().y > lastTop) {
        (void)ScrollTo({GetScrollOffset().x, lastTop});
    }
}

ZVRESULT LListBox::FitHeight(std::int32_t contentHeight)
{
    return FitAxis(1, contentHeight);
}

ZVRESULT LListBox::FitWidth(std::int32_t contentWidth)
{
    return FitAxis(0, contentWidth);
}

ZVRESULT LListBox::FitAxis(int axis, std::int32_t content)
{
    const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
    if (mBulkUpdate || !layout) {
        return ZV_S_FALSE;
    }
    const RectT<double> client = GetClientRect(-1);
    const double frame = axis == 0 ? GetSize().x - client.width : GetSize().y - client.height;
    return SetAxisPlacement(axis, AxisPosition(*layout, axis), AxisDocked(*layout, axis),
                            AbsoluteSize(RoundCoordinate(frame + content)));
}

ZVRESULT LListBox::SnapHeightToRows()
{
    const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
    if (mBulkUpdate || !layout) {
        return ZV_S_FALSE;
    }
    const double frame = RoundCoordinate(GetSize().y - GetClientRect(-1).height);
    const auto wholeRows = [&](double value) {
        return std::max(mRowHeight + frame, std::trunc((value - frame) / mRowHeight) * mRowHeight + frame);
    };
    LimitRule minimum = layout->yMinimum;
    LimitRule maximum = layout->yMaximum;
    if (minimum.abs > frame) {
        minimum.abs = wholeRows(minimum.abs);
    }
    if (maximum.abs > frame) {
        maximum.abs = wholeRows(maximum.abs);
    }
    (void)SetAxisSizeLimits(1, minimum, maximum);
    if (layout->ySize.abs > 0) {
        SizeRule size = layout->ySize;
        size.abs = std::max(mRowHeight + frame, std::trunc(size.abs / mRowHeight) * mRowHeight + frame);
        (void)SetAxisPlacement(1, layout->yPosition, layout->yIsDocked, size);
    }
    return ZV_S_OK;
}

ZVRESULT LListBox::SetRowHighlighted(std::uint32_t row, bool highlighted)
{
    const RCPtr<LListBoxItem> control = GetControlShowingRow(row);
    if (!control) {
        return ZV_S_FALSE;
    }
    control->SetHighlighted(highlighted);
    return ZV_S_OK;
}

ZVRESULT LListBox::SelectRowControlLook(std::uint32_t row, std::uint32_t look)
{
    const RCPtr<LListBoxItem> control = GetControlShowingRow(row);
    if (!control || look >= control->GetLookCount()) {
        return ZV_S_FALSE;
    }
    return control->SelectLook(look);
}

}  // namespace ZV
