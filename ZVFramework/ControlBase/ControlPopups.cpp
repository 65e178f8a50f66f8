// The pop-ups a control shows: its tool tip and its context menu, each made from the skin's description of that name.
#include "ControlBase/Control.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/PopupControls.h"

namespace ZV {

namespace {

// Clears the way for a new pop-up of the name: the one an earlier showing left goes at once, so that its name is
// free again. False when a child of that name is no pop-up of the kind, and so cannot make way.
template <class Popup>
bool MakeWayForPopup(LControl& parent, const WideString& name, void (*close)(Popup&))
{
    const RCPtr<LControl> previous = parent.FindChildByName(name);
    if (!previous) {
        return true;
    }
    Popup* popup = dynamic_cast<Popup*>(previous.Get());
    if (popup == nullptr) {
        return false;
    }
    close(*popup);
    // Taken out now, whether or not closing the pop-up scheduled its removal already.
    if (previous->GetParent().Get() == &parent) {
        (void)parent.ScheduleChildRemoval(previous);
    }
    (void)parent.ProcessScheduledRemovals();
    return previous->GetParent().Get() != &parent;
}

// A new child of the parent from the skin's top-level description of that name, when it became a child and is a
// pop-up of the kind; one of another kind is taken out again.
template <class Popup>
RCPtr<LControl> CreatePopup(LControl& parent, const WideString& name, Popup*& popup)
{
    popup = nullptr;
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    const RCPtr<LControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(name) : nullptr;
    if (!descriptor) {
        return nullptr;
    }
    const RCPtr<LControl> created = factory->CreateControl(descriptor, &parent);
    // A control that could not join the parent (a sibling kept the name) is no pop-up of it.
    if (!created || created->GetParent().Get() != &parent) {
        return nullptr;
    }
    popup = dynamic_cast<Popup*>(created.Get());
    if (popup == nullptr) {
        (void)parent.ScheduleChildRemoval(created);
        return nullptr;
    }
    return created;
}

const WideString& ToolTipName()
{
    static const WideString name(L"toolTip");
    return name;
}

const WideString& ContextMenuName()
{
    static const WideString name(L"contextMenu");
    return name;
}

}  // namespace

ZVRESULT LControl::ShowToolTip(bool show)
{
    const RCPtr<LControl> self(this);
    if (!show) {
        if (auto* tip = dynamic_cast<IToolTipPopup*>(FindChildByName(ToolTipName()).Get())) {
            (void)tip->Hide();
        }
        return ZV_S_OK;
    }
    const WideString text = GetToolTipText();
    if (text.IsEmpty() ||
        !MakeWayForPopup<IToolTipPopup>(*this, ToolTipName(), [](IToolTipPopup& tip) { (void)tip.Hide(); })) {
        return ZV_S_OK;
    }
    IToolTipPopup* tip = nullptr;
    if (const RCPtr<LControl> created = CreatePopup(*this, ToolTipName(), tip)) {
        (void)created->SetText(text);
        (void)tip->Start();
    }
    return ZV_S_OK;
}

ZVRESULT LControl::ShowContextMenu(const RCPtr<LMenuDescriptor>& menu)
{
    const RCPtr<LControl> self(this);
    // The menu of the last right click makes way for this one.
    if (!MakeWayForPopup<IContextMenuPopup>(*this, ContextMenuName(), [](IContextMenuPopup&) {})) {
        return ZV_S_OK;
    }
    IContextMenuPopup* popup = nullptr;
    if (const RCPtr<LControl> created = CreatePopup(*this, ContextMenuName(), popup)) {
        (void)created->SetVisible(false);
        (void)popup->SetMenu(menu);
        OnContextMenuShown(created);
        (void)popup->PlaceAtCursor();
    }
    return ZV_S_OK;
}

}  // namespace ZV
