#pragma once

#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/ControlDragState.h"
#include "ControlBase/ControlFocusState.h"
#include "ControlBase/ControlLayoutState.h"
#include "ControlBase/ControlLookState.h"
#include "ControlBase/ControlMouseState.h"
#include "ControlBase/ControlScrollState.h"
#include "ControlBase/ControlValueState.h"
#include "ControlBase/IRootWindow.h"
#include "ControlBase/LookFrame.h"
#include "ControlBase/UITarget.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationHandler.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "ObjectBase/TaggableObject.h"
#include "System/KeyCode.h"
#include "System/TextEditTarget.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LBitmap;
class LConditionsParam;
class LFont;
class LGlobalHotKeyManager;
class LKeyParam;
class LLook;
class LMenuDescriptor;
class LMenuItemUpdater;
class LMouseButtonParam;
class LMouseWheelParam;
class LNotification;
class LNotificationCenter;
class LPointWithModifiersParam;
class LRenderer;
class LSiblingKeyParam;
class LStringTable;
class LVisualPart;
class RectList;
struct MenuItemInfo;

// The base class of every control: a counted node of a tree that the skin builds. A parent holds its children; each
// child's link back counts as an internal reference of the parent, so a tree goes with the last reference from
// outside it. Only the top-level control holds its root window. User-interface thread only.
//
// A control is made by a create function (ControlBase/CreateControl.h): constructed as a child of its parent, then
// ApplyDescriptor, CreateChildControls, Initialize and OnInitialized, depth first; notifications reach it only once
// that has ended.
//
// The bodies are split by concern: Control.cpp (object, lookups, references), ControlChildList.cpp,
// ControlTree.cpp (attaching, detaching, scheduled removal), ControlCreation.cpp, ControlIdle.cpp,
// ControlRender.cpp, ControlHitTest.cpp, ControlInvalidate.cpp (with the geometry of origins and clips),
// ControlLayout.cpp, ControlLayoutLimits.cpp, ControlMouse.cpp, ControlDrag.cpp, ControlScroll.cpp, ControlKeys.cpp,
// ControlFocus.cpp, ControlValue.cpp, ControlText.cpp, ControlFont.cpp, ControlLooks.cpp, ControlLookFrames.cpp (the
// looks as drawing, hit testing and layout take them), ControlMenus.cpp.
//
// Other names by which the controls' code may know an operation: SetUserData = SetDragMode; ResetState = Detach;
// SortChildren = SortByTabOrder; GetName = GetToolTipText; SetLookCount = AddLook; CreateLook = ApplyDescriptor;
// SetLookPart = SetLookTextPart; BuildLookPart = SetLookOverlay; GetSizeLimits = GetScrollRange;
// GetChildList = GetContextMenuDescriptor; RenderChildren = HitTest; OnScroll = OnChildRemoved;
// OnUnhandledWheel = GetDropScrollEdges; OnChildLayoutChanged = OnTrackingMoved;
// UpdateScrollState = InvalidateChildArea; CommitPosition = RebaseDrag; OnParentSizeChanged = OnParentScrolled;
// OnSizeChanged = OnChildBoundsChanged; GetPositionInRoot = GetAbsoluteOrigin; UITarget's OnMouseWheel and
// OnMouseHWheel = DeliverMouseWheel and DeliverMouseHWheel (the names stay with the hooks here).
// Aligned to a memory line, so that the fields in front share the first line of every control.
class alignas(kCacheLineSize) LControl : public virtual LNotificationClient,
                                         public virtual LNotificationDistributor,
                                         public virtual LTaggableObject,
                                         public virtual UITarget,
                                         public ITextEditTarget {
public:
    class ChildControlList;

    // The orders in which children can be read.
    enum ChildOrder : std::int32_t { kInsertionOrder = 0, kLayoutOrder = 1, kTabOrder = 2 };

    // The children of one control, in insertion order, with two index orders sorted lazily: the layout order
    // (clipped first, then fewer docked axes, then Z_Order) and the tab order (TabStop). Ties go by insertion. The
    // orders are sorted again on the first read after a change that may move them.
    class ChildControlList {
    public:
        explicit ChildControlList(LControl& owner) : mOwner(&owner) {}
        ChildControlList(const ChildControlList&) = delete;
        ChildControlList& operator=(const ChildControlList&) = delete;
        ~ChildControlList();

        std::uint32_t GetCount() const { return mChildren.GetCount(); }
        // The child at an index of an order. An index past the children, or an order that is none of the three,
        // throws a "Runtime Error".
        const RCPtr<LControl>& GetAt(std::uint32_t index, std::int32_t order) const
        {
            // Layout reads every child in layout order: that read, once sorted, costs no call.
            if (order == kLayoutOrder && mSortedGeneration == mGeneration && index < mChildren.GetCount()) {
                return mChildren.GetData()[mLayoutOrder.GetData()[index]];
            }
            return GetAtSorting(index, order);
        }
        // The child's position in the order, searched from the last; -1 when absent.
        std::int32_t IndexOf(const LControl* child, std::int32_t order) const;
        // The child of that name, searched from the last, or null.
        const RCPtr<LControl>& Find(const WideString& name) const;
        // Attaches the child: it takes the owner as its parent, and the owner and its ancestors count its unclipped
        // controls. 0; ZV_E_INVALIDARG for a null child; ZV_E_FAIL, with nothing changed, when a child has its name.
        [[nodiscard]] ZVRESULT Add(LControl* child);
        // Undoes Add and tells the owner (OnChildRemoved). The index the child had; -1 when it is not here.
        std::int32_t Remove(const RCPtr<LControl>& child);
        // Removes every child, the last first. 1 when there was none, else 0.
        [[nodiscard]] ZVRESULT Clear();
        // Gives a child another name, and the later children's layouts follow it. 0; 1 when it is the name already;
        // ZV_E_FAIL when another child has it; ZV_E_INVALIDARG when the control is not a child.
        [[nodiscard]] ZVRESULT Rename(const RCPtr<LControl>& child, const WideString& name);
        // Something that decides the orders changed (a docking, ClipToParent, TabStop).
        void MarkOrderChanged() { ++mGeneration; }
        // Puts the children as they are now into the array, each held: for walks whose calls may change the list.
        void TakeSnapshot(RCPtrArray<LControl>& snapshot) const;

    private:
        friend class ChildListWalk;

        const RCPtr<LControl>& GetAtSorting(std::uint32_t index, std::int32_t order) const;
        void SortIfStale() const;

        LControl* mOwner;
        RCPtrArray<LControl> mChildren;
        mutable Array<unsigned int> mLayoutOrder;
        mutable Array<unsigned int> mTabOrder;
        std::uint32_t mGeneration = 1;
        mutable std::uint32_t mSortedGeneration = 0;
        // While the list is walked, where the children removed from it wait for the walk to end; null otherwise.
        mutable RCPtrArray<LControl>* mParking = nullptr;
    };

    // Attaches the new control to the parent (when there is one and no child of it has the name) and finds its
    // string table. The descriptor, the layout and the looks come with ApplyDescriptor.
    LControl(const RCPtr<LControl>& parent, const WideString& name);
    LControl(const LControl&) = delete;
    LControl& operator=(const LControl&) = delete;
    ~LControl() override;

    // Drives a control that a create function has just constructed through its creation, depth first:
    // ApplyDescriptor, CreateChildControls, Initialize, OnInitialized; from then on notifications reach it. Results
    // are not checked; an exception passes on. Answers the control.
    static RCPtr<LControl> CompleteCreation(const RCPtr<LControl>& control,
                                            const RCPtr<LControlDescriptor>& descriptor);

    // --- Object, tree and lookups ---

    const WideString& GetName() const { return mName; }
    // Null for a top-level control.
    const RCPtr<LControl>& GetParent() const { return mParent; }
    const ChildControlList& GetChildren() const { return mChildren; }
    ChildControlList& GetChildren() { return mChildren; }
    // The skin description the control was built from; null until ApplyDescriptor.
    const RCPtr<LControlDescriptor>& GetControlDescriptor() const { return mDescriptor; }
    // The control's own copy of its descriptor's layout rules; placement changes this copy, never the skin's.
    const RCPtr<LLayoutDescriptor>& GetLayoutDescriptor() const { return mLayout; }
    // The rules that order the control among its siblings; null without a layout.
    const SubControlSettings* GetSubControlSettings() const { return mLayout.Get(); }
    bool IsCreated() const { return mCreated; }
    PointT<double> GetPosition() const { return mPosition; }
    PointT<double> GetSize() const { return mSize; }
    // Controls below this one, not itself, whose layout lets them reach outside their parent.
    std::int32_t GetUnclippedDescendantCount() const { return mUnclippedDescendants; }

    // The child of that name, searched from the last, or a null pointer.
    const RCPtr<LControl>& FindChildByName(const WideString& name) const;
    // The child's position in the order, searched from the last; -1 when it is no child.
    std::int32_t IndexOfChild(const LControl* child, std::int32_t order) const;
    // The text of the id in the control's string table; empty without a table or such an id.
    WideString GetString(const WideString& id) const;
    // The root window field of the top-level ancestor (null when the tree has no window).
    const RCPtr<IRootWindow>& GetRootWindowRef() const;
    // The top-level ancestor, or the control itself.
    RCPtr<LControl> GetTopControl() const;
    const RCPtr<LFont>& GetFont() const { return mFont; }
    // The first key of the local hot keys that sends the notification; a code that names no key when none does.
    KeyCode GetHotKeyCode(const WideString& notificationId) const;
    // Whether a local hot key matches the key.
    bool HasHotKey(const KeyCode& key) const;
    // A point of the other control in this control's coordinates.
    void MapPointFromControl(const LControl& other, PointT<double>& point) const;
    // Whether the active look's label text does not fit its room.
    bool IsTextClipped() const;
    // Shows the control's cursor over its window (the default arrow for none).
    void ApplyCursor() const;
    // Made on first use; it holds the control, counted as an internal reference.
    const RCPtr<LMenuItemUpdater>& GetMenuItemUpdater();

    // --- Attaching and detaching ---

    // Moves the control under another parent (null: none); a mouse capture held in its subtree goes back to the
    // window, and what it heard of its old parent (its local hot keys among others) it hears of the new. 1 when it is
    // that parent's already; ZV_E_INVALIDARG, with nothing changed, for the control itself or one of its descendants;
    // else 0: the control may still be without a parent when the new one has a child of its name.
    [[nodiscard]] ZVRESULT SetParent(const RCPtr<LControl>& parent);
    // Only for a top-level control: ZV_E_FAIL for one with a parent. A window given has the tree's idle
    // subscriptions taken there. 0.
    [[nodiscard]] ZVRESULT SetRootWindow(const RCPtr<IRootWindow>& rootWindow);
    // Attaches a ready-made control and lets it build its looks from the descriptor. ZV_E_FAIL for a null control or
    // descriptor; else SetParent's result.
    [[nodiscard]] virtual ZVRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor);
    // The control has come under a new parent, its subscriptions to the old one ended: a class that hears its
    // parent subscribes again. The base hears its siblings' keys when it has local hot keys.
    virtual void OnParentChanged();
    // Takes the control out of its tree: hidden, clipped, capture and idle subscriptions ended, then without parent
    // (or, for a top-level control, without window).
    virtual void Detach();
    // Called on a tree installed in a window: subscribes again where idle notifications are wanted, for the whole
    // tree.
    virtual void ProcessRootWindowAquired();
    // Hides the child and detaches it at the next idle pass, so that nothing that may still use it loses it now.
    // 0; ZV_E_INVALIDARG when the control is not a child of this one.
    [[nodiscard]] ZVRESULT ScheduleChildRemoval(const RCPtr<LControl>& child);
    // Detaches the children scheduled so far that are still this control's. 0.
    [[nodiscard]] ZVRESULT ProcessScheduledRemovals();
    // Sets the layout's ClipToParent and keeps the ancestors' counts of unclipped controls; answers the flag.
    virtual bool SetStateFlag(bool clipToParent);

    // --- Creation ---

    // Keeps the descriptor and a copy of its layout, and takes from it the focusability, the looks, the font and
    // (made anew) the label text; then lays the control out. Applied again to a created control (a new skin), the
    // control keeps its enablement and text, and takes the new visibility through SetVisible. 0; ZV_E_INVALIDARG
    // without a descriptor.
    [[nodiscard]] virtual ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor);
    // Creates the children that the descriptor lists, in its order, except those whose create parameter
    // "DEFER_CREATE" is true; then lays them out. 0.
    [[nodiscard]] virtual ZVRESULT CreateChildControls(const RCPtr<LControlDescriptor>& descriptor);
    // The notification handler, the create parameters, the tool-tip text and the local hot keys. 0.
    [[nodiscard]] virtual ZVRESULT Initialize();
    // Reads the create parameters "INITIAL_VALUE", "NOT_FOCUSABLE", "USE_PARENT_TOOLTIP" and "WANTS_TAB".
    [[nodiscard]] virtual ZVRESULT ProcessCreateParams();
    // The last step of creation. 0.
    [[nodiscard]] virtual ZVRESULT OnInitialized();

    // --- Notifications ---

    // Offers the notification to the handlers of the control's classes, the most derived first, once the control is
    // created; drops it before.
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override;
    // Every handler of the control's classes forgets the pair, then the subscription ends.
    [[nodiscard]] ZVRESULT UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                     const wchar_t* id) override;
    // Breaks the control's cycles: its subscriptions, its menu item updater, its children, its subscribers.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;
    // Made on first use, bound to this control.
    LNotificationHandler<LControl>& GetNotificationHandler();
    // Makes a notification and hands it straight to the receiver, when there is one.
    static void SendNotificationTo(const RCPtr<LNotificationReceiver>& receiver, const wchar_t* id,
                                   const ConstRCPtr<LRefCountedObject>& parameter);

    // --- Idle notifications ---

    // Counts a user of the control's "NID_IDLE" subscription; the first subscribes at the root window, or once
    // the control reaches one. 0, or the failed subscription's code with the count back at 0.
    [[nodiscard]] ZVRESULT BeginIdleNotifications();
    // Lets a user go; the last unsubscribes. 1, changing nothing, when there is no user; ZV_E_FAIL when the
    // subscription was not there.
    [[nodiscard]] ZVRESULT EndIdleNotifications();
    std::int32_t GetIdleSubscriberCount() const { return mIdleSubscribers; }
    // The handler of "NID_IDLE": the kinetic steps, the scheduled removals, then OnIdle. 0.
    std::int32_t OnIdleNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    // Timed work of derived controls.
    virtual void OnIdle(const RCPtr<LNotification>& idle);

    // --- Text editing ---

    virtual bool IsTextEditor() const;
    // This control when it edits text, else the nearest ancestor that does, else null.
    virtual RCPtr<LControl> FindTextEditor();
    bool CanPerformEdit(std::int32_t command) const override;
    // The editor's result; throws a "Logic Error" unless overridden.
    [[nodiscard]] ZVRESULT PerformEdit(std::int32_t command) override;

    // --- Strings, tool tips and commands ---

    // The control's own strings; null when the skin has none.
    virtual RCPtr<LStringTable> GetStringTable() const;
    virtual WideString GetToolTipText() const;
    // The control shows its parent's tool tip while it has none of its own.
    bool UsesParentToolTip() const { return mFocus.usesParentToolTip; }
    // What the create parameter "USE_PARENT_TOOLTIP" sets; owners set it on the parts they are made of.
    void SetUsesParentToolTip(bool uses) { mFocus.usesParentToolTip = uses; }
    [[nodiscard]] virtual ZVRESULT ShowToolTip(bool show);
    // 0 when the control answered for the command, 1 when it does not handle it.
    [[nodiscard]] virtual ZVRESULT IsCommandEnabled(std::uint32_t first, std::uint32_t second,
                                                    const WideString& notificationId, MenuItemInfo& state);

    // --- Values, text and fonts ---

    // 0 when the text changed, 1 when it was the same.
    [[nodiscard]] virtual ZVRESULT SetText(const WideString& text);
    const WideString& GetText() const { return mText; }
    // Answers the normalised value stored afterwards.
    virtual double SetValue(double value);
    double GetValue() const { return mValue.value; }
    // The range's bounds, as set.
    double GetValueMinimum() const { return mValue.minimum; }
    double GetValueMaximum() const { return mValue.maximum; }
    virtual void OnValueChanged();
    // Mode 0 linear, 1 logarithmic with both bounds above 0; ZV_E_INVALIDARG otherwise.
    [[nodiscard]] virtual ZVRESULT SetValueRange(double minimum, double maximum, std::int32_t scaleMode);
    // True when the text changed.
    bool ApplyText(const WideString& text, bool relayout);
    double NormalizedToValue(double normalized) const;
    double ValueToNormalized(double value) const;
    [[nodiscard]] ZVRESULT SetFont(const RCPtr<LFont>& font);
    // A style of 0xFFFFFFFF follows the base font's.
    [[nodiscard]] ZVRESULT SetFontSpec(bool inheritsFromParent, const WideString& faceName, float size,
                                       std::uint32_t style, bool sizeIsFactor);
    virtual void OnParentFontChanged();
    // Called when the control's own font changed.
    virtual void OnFontChanged();

    // --- Context menus ---

    // The control's context menu; null when it has none.
    virtual RCPtr<LMenuDescriptor>& GetContextMenuDescriptor();
    // Appends the menus that the control's string table describes.
    void BuildContextMenuDescriptors(RCPtrArray<LMenuDescriptor>& menus) const;
    [[nodiscard]] ZVRESULT SetContextMenuDescriptor(const RCPtr<LMenuDescriptor>& menu);
    [[nodiscard]] ZVRESULT BindMenuCommands(const RCPtr<LMenuDescriptor>& menu, bool bind);
    std::int32_t RouteMenuCommand(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    [[nodiscard]] ZVRESULT ShowContextMenu(const RCPtr<LMenuDescriptor>& menu);
    // Called with the popup that shows the context menu, before it is placed.
    virtual void OnContextMenuShown(const RCPtr<LControl>& popup);

    // --- Rendering, hit testing and invalidation ---

    // Draws the control, its looks and its children over the region (root-window pixels), and appends the
    // descendants that reach outside their parents to the list. ZV_E_INVALIDARG when unclippedPass is not the
    // opposite of the control's ClipToParent.
    [[nodiscard]] virtual ZVRESULT Render(LRenderer& renderer, const RectList& region, RCPtrArray<LControl>& unclipped,
                                          bool unclippedPass);
    // The worker of InvalidateRect, called up the parent chain; 1 when nothing was left to invalidate.
    [[nodiscard]] virtual ZVRESULT Invalidate(const RectT<double>& rootRect, bool clip, const RectT<double>& localRect);
    // Marks a rectangle of the control (its own coordinates) for repainting.
    [[nodiscard]] virtual ZVRESULT InvalidateRect(const RectT<double>& rect, bool clip);
    // The deepest control under the point (own coordinates), with the point local to it.
    virtual void HitTest(RCPtr<LControl>& hit, const PointT<zlong>& point, bool topmost, PointT<zlong>& hitPoint,
                         std::int32_t& zOrder);
    virtual bool ContainsPoint(const PointT<zlong>& point) const;
    // Called once per dirty rectangle, before and after the children are drawn. 0.
    [[nodiscard]] virtual ZVRESULT RenderContent(LRenderer& renderer);
    [[nodiscard]] virtual ZVRESULT RenderOverlay(LRenderer& renderer);
    // Appends the unclipped controls of the subtree, each before its descendants; the number appended.
    std::uint32_t CollectUnclipped(RCPtrArray<LControl>& controls, bool visibleOnly, bool includeSelf);
    std::int32_t GetEffectiveZOrder() const;
    void InvalidateUnclippedDescendants();
    void MarkContentDirty(const RectT<double>& rect, bool alsoInvalidate);
    // The control's origin in root-window coordinates.
    PointT<double> GetAbsoluteOrigin() const;
    // The rectangle, in the control's coordinates, that its parent shows.
    RectT<double> GetClipBounds() const;

    // --- Layout ---

    // 0; ZV_E_FAIL without a layout, or for a top-level control without a window (one still being made is placed in
    // the application's active or first root window).
    [[nodiscard]] ZVRESULT ApplyLayout();
    // The control becomes its window's root control: its layout places it over the whole client area, whatever
    // rules a descriptor gives it now or later, until it leaves the window. ApplyLayout's result.
    [[nodiscard]] ZVRESULT FillClientArea();
    // The rectangle that the rules give in the parent, or for a top-level control in the screen and window frames.
    [[nodiscard]] static ZVRESULT CalculatePlacement(const LLayoutDescriptor* layout, const LControl* parent,
                                                     const RectT<double>& screenFrame, const PointT<double>& clientSize,
                                                     const PointT<double>& namedPoint, RectT<double>& placement);
    // 1 when they changed something, 0 when not; ZV_E_FAIL for an anchor out of range.
    [[nodiscard]] ZVRESULT ApplyMinimumSize(PointT<double>& position, PointT<double>& size);
    [[nodiscard]] ZVRESULT ApplyMaximumSize(PointT<double>& position, PointT<double>& size);
    // 1 when nothing changed, else 0.
    [[nodiscard]] ZVRESULT SetBounds(const PointT<double>& position, const PointT<double>& size);
    // The size the minimum rules give.
    virtual PointT<double> ComputeLayoutSize();
    virtual PointT<double> GetDescriptorSize() const;
    // 1 when the rules read back differ from those asked for, else 0.
    [[nodiscard]] ZVRESULT SetAxisPlacement(int axis, const PositionRule& position, bool docked, const SizeRule& size);
    [[nodiscard]] ZVRESULT SetAxisSizeLimits(int axis, const LimitRule& minimum, const LimitRule& maximum);
    // The union of the rectangles of the children docked on neither axis.
    RectT<double> GetChildrenBounds() const;
    // On the parent after a child's rectangle changed. 0.
    [[nodiscard]] virtual ZVRESULT OnChildBoundsChanged(const RCPtr<LControl>& child, const RectT<double>& oldRect);

    // --- Scrolling ---

    // Answers the offset after the change.
    virtual const PointT<double>& ScrollTo(const PointT<double>& offset);
    const PointT<double>& GetScrollOffset() const { return mScroll.offset; }
    // Called by ScrollTo after the offset changed.
    virtual void SetScrollOffset(const PointT<double>& oldOffset, const PointT<double>& newOffset);
    // The offsets allowed, x to x + width and y to y + height.
    virtual RectT<double> GetScrollRange(const RCPtr<LControl>& child);
    // Called on each child by its parent's ScrollTo. 0.
    [[nodiscard]] virtual ZVRESULT OnParentScrolled(const PointT<double>& oldOffset, const PointT<double>& newOffset);
    virtual void InvalidateChildArea(const RCPtr<LControl>& child);
    virtual void SaveLookBounds();
    virtual void UpdateContentExtent();
    bool HasScrollableContent() const { return mScroll.scrollableContent; }
    void RecalcContentExtent();
    void RequestContentExtentUpdate();
    virtual void OnChildRemoved(const RCPtr<LControl>& child, std::uint32_t index);

    // --- Mouse ---

    [[nodiscard]] ZVRESULT OnMouseEnter() override;
    [[nodiscard]] ZVRESULT OnMouseMove(const RCPtr<LPointWithModifiersParam>& pointer) override;
    [[nodiscard]] ZVRESULT OnMouseDown(const RCPtr<LMouseButtonParam>& press) override;
    [[nodiscard]] ZVRESULT OnMouseUp(const RCPtr<LMouseButtonParam>& release) override;
    [[nodiscard]] ZVRESULT OnMouseLeave() override;
    [[nodiscard]] ZVRESULT ProcessMouseDown(std::uint32_t button, std::int32_t x, std::int32_t y) override;
    [[nodiscard]] ZVRESULT OnCaptureLost() override;
    [[nodiscard]] ZVRESULT DeliverMouseWheel(const RCPtr<LMouseWheelParam>& wheel) override;
    [[nodiscard]] ZVRESULT DeliverMouseHWheel(const RCPtr<LMouseWheelParam>& wheel) override;
    [[nodiscard]] ZVRESULT ProcessRelayout(const PointT<zlong>& size) override;
    // A focusable control takes the focus on a press, another passes the request to its parent.
    virtual void TakeFocusOnPress(const RCPtr<LMouseButtonParam>& press);
    virtual void OnLeftButtonDown(const RCPtr<LMouseButtonParam>& press);
    virtual void OnLeftButtonUp(const RCPtr<LMouseButtonParam>& release);
    virtual void OnMiddleButtonDown(const RCPtr<LMouseButtonParam>& press);
    virtual void OnMiddleButtonUp(const RCPtr<LMouseButtonParam>& release);
    virtual void OnRightButtonDown(const RCPtr<LMouseButtonParam>& press);
    virtual void OnRightButtonUp(const RCPtr<LMouseButtonParam>& release);
    virtual void OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer);
    // 1 when not handled.
    [[nodiscard]] virtual ZVRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& wheel);
    [[nodiscard]] virtual ZVRESULT OnMouseHWheel(const RCPtr<LMouseWheelParam>& wheel);
    [[nodiscard]] virtual ZVRESULT OnClick(const RCPtr<LMouseButtonParam>& click);
    [[nodiscard]] virtual ZVRESULT OnLeftClick(const RCPtr<LMouseButtonParam>& click);
    [[nodiscard]] virtual ZVRESULT OnMiddleClick(const RCPtr<LMouseButtonParam>& click);
    [[nodiscard]] virtual ZVRESULT OnRightClick(const RCPtr<LMouseButtonParam>& click);
    virtual void HandleLeftClick(const RCPtr<LMouseButtonParam>& click);
    virtual void HandleMiddleClick(const RCPtr<LMouseButtonParam>& click);
    virtual void HandleRightClick(const RCPtr<LMouseButtonParam>& click);
    // ZV_E_INVALIDARG for a negative threshold.
    [[nodiscard]] ZVRESULT SetDragThreshold(std::int32_t pixels);
    // The body of both wheel deliveries.
    [[nodiscard]] ZVRESULT BubbleMouseWheel(const RCPtr<LMouseWheelParam>& wheel);
    void SetCursorType(CursorHandle cursor);
    // Set while a search looks past the control: hit tests then do not find it.
    bool IsExcludedFromHitTests() const { return mMouse.excluded; }

    // --- Dragging and coasting ---

    [[nodiscard]] virtual ZVRESULT SetDragMode(std::int32_t mode, std::int32_t argument);
    // Where the last press went down, in the parent's coordinates: the point that a drag's travel starts from.
    const PointT<double>& GetPressPoint() const { return mMouse.pressPoint; }
    // How far the drag has taken the control so far, as far as its bounds let it.
    const PointT<double>& GetDragTravel() const { return mDrag.travel; }
    virtual void BeginDrag();
    virtual void RebaseDrag();
    virtual void ProcessMouseTracking(const RCPtr<LPointWithModifiersParam>& pointer);
    virtual void OnTrackingMoved(const RCPtr<LPointWithModifiersParam>& pointer);
    virtual void EndDrag();
    // From this control upwards while the control clips to its parent, else through the window's hit test at the
    // point (root coordinates): the first control that accepts the dragged one, or null.
    virtual RCPtr<LControl> FindHandlingAncestor(const RCPtr<LControl>& dragged, const PointT<double>& point);
    virtual bool CanHandle(const RCPtr<LControl>& dragged);
    // The edges near which a drop target wants to scroll: 4 right, 8 left, 0x10 top, 0x20 bottom.
    virtual std::uint32_t GetDropScrollEdges(const RCPtr<LControl>& dragged);
    virtual void GetSplitterBounds(RectT<double>& bounds);
    virtual void OnDragEnter(const RCPtr<LControl>& dragged);
    virtual void OnDragOver(const RCPtr<LControl>& dragged, const PointT<double>& point);
    virtual void OnDragLeave(const RCPtr<LControl>& dragged);
    [[nodiscard]] virtual ZVRESULT OnDrop(const RCPtr<LControl>& dragged);
    [[nodiscard]] ZVRESULT StartKineticScroll(int axis, double velocity, double upperLimit, double lowerLimit,
                                              const RCPtr<LControl>& target);
    // 1 when the axis was not running.
    [[nodiscard]] ZVRESULT StopKineticScroll(int axis);
    bool IsKineticScrollRunning(int axis) const { return (axis == 0 || axis == 1) && mKinetic.axes[axis].running; }

    // --- Keys ---

    void OnKey(const RCPtr<LKeyParam>& key) override;
    // 1 when not handled.
    [[nodiscard]] virtual ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key);
    // Offers the key to the children's local hot keys; 0 when one took it, else 1.
    [[nodiscard]] virtual ZVRESULT SendSiblingKey(const RCPtr<LKeyParam>& key);
    virtual void ProcessHotKey(const RCPtr<LKeyParam>& key);
    virtual void ProcessNavigationKey(const RCPtr<LKeyParam>& key);
    // The handler of "NID_SIBLING_KEY": a local hot key of the key sends its notification to the control. 1.
    std::int32_t OnSiblingKey(const ConstRCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);

    // --- Conditions, focus and visibility ---

    std::uint32_t GetConditions() const;
    void UpdateConditions();
    void SetHighlighted(bool highlighted);
    // A focus root is not held back by not-focusable ancestors.
    void SetFocusRoot(bool focusRoot);
    virtual void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions);
    // ZV_E_FAIL, changing nothing, in a tree that no window shows.
    [[nodiscard]] virtual ZVRESULT SetFocus(bool forward);
    virtual void SetNotFocusable(bool notFocusable);
    // The rule of a control that its class (or its owner) makes never, or always, take the focus: no skin applied
    // later changes it. SetNotFocusable still does.
    void FixNotFocusable(bool notFocusable);
    virtual bool CanTakeFocus();
    bool IsFocusable();
    bool CanReleaseFocus() override;
    bool ReleaseFocus() override;
    RCPtr<LControl> GetFocusedChild() const;
    RCPtr<LControl> GetFirstFocusableChild();
    RCPtr<LControl> GetLastFocusableChild();
    // Null when nothing follows.
    virtual RCPtr<LControl> GetNextFocusableChild(const RCPtr<LControl>& from, bool backward);
    // 1 when the branch that held the focus was released or this control newly contains it, else 0.
    [[nodiscard]] ZVRESULT OnChildFocused(const RCPtr<LControl>& child);
    // Orders the receivers of a sibling key by the tab position of the children they are.
    virtual void SortByTabOrder(const RCPtr<LSiblingKeyParam>& key, const RCPtrArray<LNotificationClient>& receivers,
                                Array<std::uint32_t>& order);
    // Answers whether the control is visible with its parents afterwards.
    virtual bool SetVisible(bool visible);
    // The layout's visible flag and a size above 0; withParents asks every ancestor the same.
    bool IsVisible(bool withParents) const;
    virtual void SetEnabled(bool enabled);
    bool IsEnabled(bool withAncestors) const;

    // --- Looks ---

    virtual RectT<double> GetLookClientRect();
    virtual RectT<double> GetLookMargins();
    virtual bool IsTransparentAtPoint(const PointT<zlong>& point);
    // 0xAARRGGBB; 0x00FFFFFF where the look is transparent or missing.
    virtual std::uint32_t GetColorAtPoint(const PointT<zlong>& point, std::int32_t lookIndex);
    [[nodiscard]] virtual ZVRESULT SelectLook(std::uint32_t index);
    // Weighs the looks for the control's state as it is now; runs after every change of its conditions and after a
    // new skin's looks are built. The base leaves the weights alone: a class that shows its state overrides it.
    virtual void SelectStateLook();
    // The look's index.
    virtual std::int32_t AddLook(const RCPtr<LLook>& look);
    [[nodiscard]] ZVRESULT ApplyLookWeight(std::uint32_t index, float weight, bool exclusive);
    std::uint32_t GetLookCount() const { return mLooks.looks.GetCount(); }
    // 0 for an index past the looks.
    float GetLookWeight(std::uint32_t index) const;
    // The look of that index (which may be null); for any other index the first look of weight above 0, else the
    // first look there is.
    RCPtr<LLook> GetLook(std::int32_t index) const;
    // -1 without a look of weight above 0.
    std::int32_t GetActiveLookIndex() const;
    // The client rectangle under a look (-1: the active one).
    RectT<double> GetClientRect(std::int32_t lookIndex) const;
    [[nodiscard]] ZVRESULT SetLookTextPart(const RCPtr<LVisualPart>& part, std::int32_t index);
    [[nodiscard]] ZVRESULT SetLookOverlay(const ConstRCPtr<LBitmap>& source, const PointT<zlong>& position,
                                          std::int32_t index, bool replace);
    [[nodiscard]] ZVRESULT SetLookRegion(std::int32_t index, const RectList& region);
    void ClearLookRegion(std::int32_t index);
    void ClearLookRegions();
    [[nodiscard]] ZVRESULT SetLookRegionComplement(std::int32_t index, std::int32_t complementOf);

    // --- The looks as drawing, hit testing and layout take them ---

    // The look at the index; false past the last one.
    virtual bool GetLookFrame(std::uint32_t index, LookFrame& frame) const;
    // Draws one layer of the look at the index over the region (root-window pixels); its label text moves by
    // textOffset.
    virtual void DrawLookLayer(std::uint32_t index, LookLayer layer, LRenderer& renderer, const RectList& region,
                               const PointT<double>& textOffset);
    // Lays every look out for the control's size in whole pixels.
    virtual void SizeLooks(const PointT<zlong>& size);
    // The active look's label text at the control's current size; false without one.
    virtual bool MeasureLabelText(LabelTextExtent& extent);
    // Turns the word wrap of the active look's label text on or off; true when that changed it.
    virtual bool SetLabelTextWordWrap(bool wordWrap);

protected:
    // A control that keeps its content in an offscreen buffer scrolls by moving pixels, and redraws only what
    // scrolling uncovers.
    void SetScrollableContent(bool scrollable) { mScroll.scrollableContent = scrollable; }
    // The looks draw their label text moved by the scroll offset, as content that scrolls.
    void SetLabelTextScrolls(bool scrolls) { mLooks.textScrolls = scrolls; }

    // Each class that binds notifications keeps a handler of its own; these two chain them. A class overrides both:
    // its own handler first, then its base class's version, down to this class's handler. The first handler with a
    // binding for the notification takes it; true then.
    virtual bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification);
    // Every handler of the chain forgets the pair.
    virtual void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id);

    // One level of the chains above, for a class's own handler, which may not exist yet.
    template <class T>
    static bool OfferToHandler(const RCPtr<LNotificationHandler<T>>& handler,
                               const ConstRCPtr<LNotificationDistributor>& sender,
                               const RCPtr<LNotification>& notification)
    {
        return handler && handler->HandleNotification(sender, notification) != 0;
    }
    template <class T>
    static void EraseFromHandler(const RCPtr<LNotificationHandler<T>>& handler,
                                 const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
    {
        if (handler) {
            handler->EraseHandler(distributor, id);
        }
    }

private:
    friend class ChildControlList;
    friend class ChildWalkHold;
    // Places controls in tests that have no layout to do it.
    friend class ControlTestAccess;

    // The descriptor's layout becomes the control's own copy; the ancestors' counts of unclipped controls follow.
    void InstallLayoutCopy(const RCPtr<LControlDescriptor>& descriptor);
    // Adds delta to the unclipped counts of the control and every ancestor.
    static void AdjustUnclippedCounts(LControl* from, std::int32_t delta);
    // Whether the control counts as unclipped in its ancestors' counts: it has a layout that does not clip.
    bool CountsAsUnclipped() const;
    void LoadLocalHotKeys(const LStringTable& table);
    void SubscribeToSiblingKeys();
    // Subscribes the handler to "NID_IDLE" at the window; 0 without one.
    [[nodiscard]] ZVRESULT SubscribeToIdle();
    // ZV_E_FAIL when the handler had no such subscription, else the distributor's result.
    [[nodiscard]] ZVRESULT UnsubscribeFromIdle(const ConstRCPtr<LNotificationDistributor>& distributor);
    // The subtree leaves its window: the focus that it holds is released, the capture that a control of it holds
    // goes back to the window, and the idle subscriptions end there, keeping their counts, so that the window it
    // joins next takes them.
    void LeaveRootWindow();
    // The control of the subtree that holds the mouse capture; null when none does.
    LControl* FindCaptureHolder();
    // The control of the subtree that holds the mouse capture gives it back to the window, which it still reaches.
    void GiveBackCapture();
    void EndIdleSubscriptionsAt(const ConstRCPtr<LNotificationDistributor>& distributor);
    void StepKineticScroll(int axis);
    // A press stops the coasting that a release started.
    void StopCoastingAfterRelease();
    // A left release that ends a fast drag scroll lets the content coast on.
    void CoastAfterRelease();
    // Visible with its parents, enabled, under enabled ancestors.
    bool IsUsable() const;
    // The focus tests of the control itself, whatever its children: usable, not not-focusable, and not held back by
    // its ancestors.
    bool PassesOwnFocusTests() const;
    // A not-focusable ancestor, up to and including the nearest focus root, holds the control back.
    bool IsHeldBackByAncestors() const;
    // The control can no longer hold the focus that it has or contains: the parent hands it on, else the window
    // lets it go.
    void PassFocusOn();
    // A child that held the focus has left: the focus goes on as when a child hides.
    void RecoverFocusAfterChildLeft();
    // The control has or contains the focus.
    bool HoldsFocus() const { return mFocus.hasFocus || mFocus.containsFocus; }
    // The control takes the focus in the window: a holder in another tree made for the window lets it go first.
    void BecomeFocusControlOf(IRootWindow& window);
    // The body of OnMouseMove; the move to the press position that starts a drag cannot start another.
    void MoveMouse(const RCPtr<LPointWithModifiersParam>& pointer, bool mayStartDrag);
    // Whether a clipped invalidation of the control would only mark what an ancestor re-laying out its children
    // repaints as a whole when it is done.
    bool IsRepaintedByRelayout() const;
    // The looks that the descriptor's look list gives, one per look number.
    void BuildLooks(const LControlDescriptor& descriptor);
    // Weighs the looks just built from those of the looks they replace.
    void WeighNewLooks(const Array<float>& previousWeights);
    // The control's text to every look, the last first.
    void HandTextToLooks();
    // The look of that index, or null for an index past the looks.
    LLook* LookAt(std::int32_t index) const;

    // Relayout places every control of a tree: what it reads of each comes first, together, so that a large tree
    // waits for as few memory lines per control as can be. A hit test decides to pass most controls on what their
    // first line holds: the rectangle and whether anything below reaches outside it.
    RCPtr<LLayoutDescriptor> mLayout;
    PointT<double> mPosition;
    PointT<double> mSize;
    std::int32_t mUnclippedDescendants = 0;
    ControlLayoutState mLayoutState;
    RCPtr<LControl> mParent;
    ControlScrollState mScroll;
    ControlLookState mLooks;
    // Before the children, which the constructor sets after it.
    WideString mName;
    ChildControlList mChildren;
    RCPtr<LNotificationHandler<LControl>> mHandler;
    RCPtr<LControlDescriptor> mDescriptor;
    RCPtr<IRootWindow> mRootWindow;
    RCPtr<LStringTable> mStringTable;
    // Made when the string table has "LHK" entries; it holds the control, counted as an internal reference.
    RCPtr<LGlobalHotKeyManager> mLocalHotKeys;
    RCPtr<LFont> mFont;
    ControlFontRule mFontRule;
    WideString mText;
    WideString mToolTipText;
    RCPtr<LMenuDescriptor> mContextMenu;
    RCPtr<LMenuItemUpdater> mMenuItemUpdater;
    RCPtr<LNotificationCenter> mApplicationCentre;
    bool mCreated = false;
    std::int32_t mIdleSubscribers = 0;
    RCPtrArray<LControl> mPendingRemovals;
    ControlValueState mValue;
    ControlMouseState mMouse;
    ControlHitCache mHitCache;
    ControlDragState mDrag;
    ControlKineticState mKinetic;
    ControlFocusState mFocus;
};

}  // namespace ZV
