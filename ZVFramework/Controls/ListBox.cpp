// Creation of a list and the control base's hooks that keep it in step: its looks, its children and its conditions.
#include "Controls/ListBox.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/ScopedFlag.h"
#include "Utilities/Storage/SortPredicates.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <algorithm>

namespace ZV {

namespace {

const wchar_t kTemplateName[] = L"templateItem";
// Tall enough for letters above and below the line.
const wchar_t kRowHeightSample[] = L"{WXyg|}";
constexpr std::int32_t kFallbackRowHeight = 14;

enum ListLook : std::uint32_t { kNormalLook = 0, kDisabledLook = 1, kFocusedLook = 2 };

WideString NumberedRowName(std::uint32_t number)
{
    return WideString::Format(L"item%d", static_cast<int>(number));
}

// The number n of a name "item<n>" with n from 1; 0 for any other name.
std::uint32_t NumberOfRowName(const WideString& name)
{
    static const WideString kPrefix(L"item");
    if (name.GetLength() <= kPrefix.GetLength() || name.Left(kPrefix.GetLength()) != kPrefix) {
        return 0;
    }
    std::uint64_t number = 0;
    for (std::uint32_t index = kPrefix.GetLength(); index < name.GetLength(); ++index) {
        const wchar_t digit = name.GetData()[index];
        if (digit < L'0' || digit > L'9' || number > 0xFFFFFFFFu / 10) {
            return 0;
        }
        number = number * 10 + static_cast<std::uint64_t>(digit - L'0');
    }
    return number <= 0xFFFFFFFFu ? static_cast<std::uint32_t>(number) : 0;
}

}  // namespace

ZVRESULT LListBox::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    ZVRESULT result = ZV_S_OK;
    {
        const ScopedFlag creatingLook(mCreatingLook);
        // A new skin brings its own template; without one the pool stops growing.
        mTemplateDescriptor = nullptr;
        result = LScrollView::ApplyDescriptor(descriptor);
        if (descriptor) {
            const RCPtrArray<LControlDescriptor>& subControls = descriptor->GetSubControls();
            for (std::uint32_t index = subControls.GetCount(); index-- > 0;) {
                if (subControls.GetData()[index]->GetName() == kTemplateName) {
                    mTemplateDescriptor = subControls.GetData()[index];
                    break;
                }
            }
        }
    }
    (void)FillVisibleArea();
    (void)UpdateRowsFrom(static_cast<std::uint32_t>(mTopRow));
    if (IsCreated()) {
        (void)RecalcWidestRow();
        SelectStateLook();
    }
    return result;
}

ZVRESULT LListBox::Initialize()
{
    const ZVRESULT result = LScrollView::Initialize();
    mHandler = new LNotificationHandler<LListBox>(this);
    if (Failed(result)) {
        return result;
    }
    const RCPtr<LControl> rowTemplate = FindChildByName(kTemplateName);
    if (!rowTemplate) {
        AdoptNumberedRowControls();
        return result;
    }
    mTemplateDescriptor = rowTemplate->GetControlDescriptor();
    MeasureTemplate(*rowTemplate);
    // The template only lends its descriptor to the row controls.
    rowTemplate->Detach();
    SetScrollStep(1, mRowHeight);
    (void)UpdateRowControlWidths();
    // A list without strings keeps its rows empty.
    (void)LoadItemsFromStringTable(GetStringTable());
    return result;
}

void LListBox::AdoptNumberedRowControls()
{
    for (std::uint32_t number = 1;; ++number) {
        const RCPtr<LListBoxItem> control(FindChildByName(NumberedRowName(number)));
        if (!control) {
            break;
        }
        if (number == 1) {
            MeasureTemplate(*control);
        }
        const std::int32_t position = IndexOfChild(control.Get(), kInsertionOrder);
        if (position < 0 || Failed(mRowControls.AddItem(static_cast<std::uint32_t>(position)))) {
            break;
        }
        // Row k shows the text that the skin gave control k.
        if (Failed(InsertRow(number - 1))) {
            break;
        }
        GetRow(number - 1)->data = LStringWrapper::Create(control->GetText());
        AttachRowControl(*control);
    }
    if (mRowControls.GetCount() == 0) {
        return;
    }
    (void)UpdateRowsFrom(0);
    if (mTrackItems) {
        (void)FitHeight(GetContentHeight());
    }
    (void)UpdateRowControlWidths();
    // The row controls take the widest row's width: without it they would show nothing.
    (void)RecalcWidestRow();
    if (mSorted) {
        SortRows();
    }
}

void LListBox::AttachRowControl(LListBoxItem& control)
{
    // Rows are measured in the first row control's font: those measured before it came are out of date.
    if (mRowControls.GetCount() == 1) {
        mRowWidthsStale = true;
    }
    // A row control that lacks a subscription still shows its row; only its clicks and hovers go unheard.
    (void)mHandler->AddHandler(&LListBox::OnRowMouseDown, &control, L"NID_MOUSE_DOWN", 0);
    (void)mHandler->AddHandler(&LListBox::OnRowLeftDragConditionChange, &control, L"NID_LEFT_DRAG_CONDITION_CHANGE", 0);
    (void)mHandler->AddHandler(&LListBox::OnRowHoverConditionChange, &control, L"NID_HOVER_CONDITION_CHANGE", 0);
    control.SetPassThrough(mTrackItems);
    (void)control.SetDragThreshold(mRowDragThreshold);
}

void LListBox::MeasureTemplate(LControl& rowTemplate)
{
    const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
    if (!layout) {
        return;
    }
    const double widthAtEntry = GetSize().x;
    const LimitRule minimum = layout->xMinimum;
    const LimitRule maximum = layout->xMaximum;
    // The list's own minimum must not widen it while the template measures against it.
    (void)SetAxisSizeLimits(0, LimitRule(), maximum);
    (void)FitWidth(static_cast<std::int32_t>(GetClientRect(-1).width));

    const WideString text = rowTemplate.GetText();
    (void)rowTemplate.SetText(WideString());
    mTextMargin = RoundToLong(rowTemplate.GetSize().x);
    (void)rowTemplate.SetText(kRowHeightSample);
    mRowHeight = RoundToLong(rowTemplate.GetSize().y);
    if (mRowHeight < 1) {
        mRowHeight = kFallbackRowHeight;
    }
    (void)rowTemplate.SetText(text);
    // The rows' widths hold the margin.
    mRowWidthsStale = true;

    // A list whose rows expand with their text keeps at least the width it had, unless its skin sets a minimum.
    const RCPtr<LControlDescriptor>& descriptor = GetControlDescriptor();
    const LimitRule& skinMinimum =
        descriptor && descriptor->GetLayoutDescriptor() ? descriptor->GetLayoutDescriptor()->xMinimum : minimum;
    LimitRule restored = minimum;
    if (SettingsOf(&rowTemplate).textOverflowXType == kTextOverflowExpand && !skinMinimum.toControl &&
        skinMinimum.abs == 0.0) {
        restored = LimitRule();
        restored.abs = widthAtEntry;
    }
    (void)SetAxisSizeLimits(0, restored, maximum);
    const SizeRule skinSize =
        descriptor && descriptor->GetLayoutDescriptor() ? descriptor->GetLayoutDescriptor()->xSize : layout->xSize;
    (void)SetAxisPlacement(0, layout->xPosition, layout->xIsDocked, skinSize);
    if (mTrackItems) {
        (void)FitHeight(std::max<std::int32_t>(static_cast<std::int32_t>(GetRowCount()), 1) * mRowHeight);
    }
    mTemplateMeasured = true;
}

ZVRESULT LListBox::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (!descriptor) {
        return ZV_S_OK;
    }
    if (!child) {
        if (descriptor->GetName() != kTemplateName) {
            return ZV_E_FAIL;
        }
        mTemplateDescriptor = descriptor;
        const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
        const RCPtr<LControl> rowTemplate = factory ? factory->CreateControl(descriptor, this) : nullptr;
        if (rowTemplate) {
            MeasureTemplate(*rowTemplate);
            rowTemplate->Detach();
        }
        return ZV_S_OK;
    }
    const ZVRESULT attached = LScrollView::AddChild(child, descriptor);
    const RCPtr<LListBoxItem> control(child);
    // Only the row control that comes next in order joins: the table never has gaps.
    const std::uint32_t number = NumberOfRowName(child->GetName());
    if (Succeeded(attached) && control && number == mRowControls.GetCount() + 1 && mHandler) {
        const std::int32_t position = IndexOfChild(control.Get(), kInsertionOrder);
        if (position >= 0 && Succeeded(mRowControls.AddItem(static_cast<std::uint32_t>(position)))) {
            AttachRowControl(*control);
            (void)UpdateRowControl(static_cast<std::uint32_t>(mTopRow) + mRowControls.GetCount() - 1);
            // Rows given before the first row control were measured without its font.
            if (mRowControls.GetCount() == 1) {
                (void)FollowWidestRow();
            }
        }
    }
    return attached;
}

ZVRESULT LListBox::OnInitialized()
{
    const ZVRESULT result = LScrollView::OnInitialized();
    SelectStateLook();
    return result;
}

void LListBox::SelectStateLook()
{
    std::uint32_t look = kNormalLook;
    if (!IsEnabled(true)) {
        look = kDisabledLook;
    } else if ((GetConditions() & ConditionMask::kHasFocus) != 0) {
        look = kFocusedLook;
    }
    // A list without looks has none to pick.
    (void)SelectLook(look < GetLookCount() ? look : kNormalLook);
}

void LListBox::OnChildRemoved(const RCPtr<LControl>& child, std::uint32_t index)
{
    // Whatever child goes (a row control, a tool tip, a menu), the children after it move up in the child list.
    if (mRowControls.GetCount() != 0) {
        for (std::uint32_t position = mRowControls.GetCount(); position-- > 0;) {
            std::uint32_t& entry = mRowControls.GetData()[position];
            if (entry == index) {
                (void)mRowControls.RemoveRange(position, 1);
            } else if (entry > index) {
                --entry;
            }
        }
    }
    LScrollView::OnChildRemoved(child, index);
}

void LListBox::UpdateContentExtent()
{
    LScrollView::UpdateContentExtent();
    (void)FillVisibleArea();
}

void LListBox::InvalidateChildArea(const RCPtr<LControl>& child)
{
    LScrollView::InvalidateChildArea(child);
    (void)FillVisibleArea();
}

bool LListBox::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LScrollView::OfferToNotificationHandlers(sender, notification);
}

void LListBox::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LScrollView::EraseNotificationBindings(distributor, id);
}

void LListBox::OnSelectionChanged() {}

void LListBox::OnItemInvoked() {}

}  // namespace ZV
