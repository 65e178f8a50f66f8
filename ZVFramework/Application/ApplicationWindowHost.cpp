#include "Application/ApplicationWindowHost.h"

#include "Application/ApplicationIcon.h"
#include "ControlBase/AppendItem.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ObjectBase/Exception.h"
#include "Platform/DesktopWindows.h"
#include "Platform/WindowBackEnd.h"
#include "System/WindowPlacement.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>

namespace ZV {

namespace {

constexpr char kRootWindowClassName[] = "ZVFrameworkWindow";

bool IsSameLimit(const LimitRule& first, const LimitRule& second)
{
    return first.toControl == second.toControl && first.rel == second.rel && first.abs == second.abs;
}

bool IsZeroLimit(const LimitRule& limit)
{
    return limit.rel == 0 && limit.abs == 0;
}

void ShowApplicationIcon(OSWindow& window)
{
    if (const std::unique_ptr<PixelImage> icon = GetApplicationIcon()) {
        window.GetBackEnd().SetIcon(static_cast<int>(icon->GetWidth()), static_cast<int>(icon->GetHeight()),
                                    icon->GetRow(0));
    }
}

// The control belongs to the root window from now on, whichever it was made for.
bool InstallRootControl(LRootWindow& root, const RCPtr<LControl>& control)
{
    if (control->GetRootWindowRef().Get() != static_cast<IRootWindow*>(&root) &&
        Failed(control->SetRootWindow(RCPtr<IRootWindow>(&root)))) {
        return false;
    }
    return Succeeded(root.SetRootControl(control));
}

}  // namespace

bool IsSizableLayout(const LLayoutDescriptor& layout)
{
    const bool equalLimits = IsSameLimit(layout.xMinimum, layout.xMaximum) &&
                             IsSameLimit(layout.yMinimum, layout.yMaximum) &&
                             !(IsZeroLimit(layout.xMinimum) && IsZeroLimit(layout.yMinimum));
    const bool allMeasured = layout.xMinimum.toControl && layout.xMaximum.toControl && layout.yMinimum.toControl &&
                             layout.yMaximum.toControl;
    return !equalLimits && !allMeasured;
}

LApplicationWindowHost::LApplicationWindowHost(const WideString& windowClassName) : mWindowClassName(windowClassName)
{
    SetWindowHost(this);
    OSWindow::SetRootWindowFactory(&LRootWindow::CreateForWindow);
}

LApplicationWindowHost::~LApplicationWindowHost()
{
    if (const RCPtr<OSWindow> window = std::move(mMainWindow)) {
        window->Destroy();
    }
    if (GetWindowHost() == this) {
        SetWindowHost(nullptr);
    }
}

ZVRESULT LApplicationWindowHost::CreateMainWindow(int rendererKind, const WideString& controlName,
                                                  const WideString& title)
{
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    const RCPtr<LControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(controlName) : nullptr;
    const RCPtr<LLayoutDescriptor> layout = descriptor ? descriptor->GetLayoutDescriptor() : nullptr;
    if (!layout) {
        return ZV_E_FAIL;
    }
    const RectT<zlong> bounds(RoundToLong(layout->xPosition.abs), RoundToLong(layout->yPosition.abs),
                              std::max<zlong>(RoundToLong(layout->xSize.abs), 1),
                              std::max<zlong>(RoundToLong(layout->ySize.abs), 1));
    const RCPtr<OSWindow> window = OSWindow::CreateOnDesktop(rendererKind, mWindowClassName.ToUTF8().GetData(),
                                                             bounds.width, bounds.height, nullptr);
    if (!window) {
        return ZV_E_FAIL;
    }
    mMainWindow = window;
    if (!title.IsEmpty()) {
        (void)window->SetTitle(title);
    }
    ShowApplicationIcon(*window);
    if (const ZVRESULT made = window->CreateRenderer(rendererKind); Failed(made)) {
        return made;
    }
    const RCPtr<LRootWindow> root = GetMainRootWindow();
    if (!root) {
        return ZV_E_FAIL;
    }
    if (const ZVRESULT placed = window->SetBounds(bounds); Failed(placed)) {
        return placed;
    }
    if (const ZVRESULT installed = root->CreateRootControl(controlName); Failed(installed)) {
        return installed;
    }
    // Without a place kept from before, the skin's place stands.
    (void)window->RestorePlacement();
    (void)window->Show(kShow);
    return root->RedrawAll();
}

std::int32_t LApplicationWindowHost::CreateRootWindow(const RCPtr<LControl>& control, const RootWindowStyle& style,
                                                      int rendererKind, RCPtr<OSWindow>& window)
{
    window = nullptr;
    if (!control || control->GetParent()) {
        return ZV_E_FAIL;
    }
    LRootWindow* reference = GetActiveOrFirstRootWindow();
    IWindowOSServices* referenceServices = reference != nullptr ? reference->GetWindowServices() : nullptr;
    const PointT<double> position = control->GetPosition();
    const PointT<double> size = control->GetSize();
    PointT<zlong> origin(RoundToLong(position.x), RoundToLong(position.y));
    if (referenceServices != nullptr) {
        origin = referenceServices->ClientToScreen(origin);
    }
    RectT<zlong> bounds(origin.x, origin.y, std::max<zlong>(RoundToLong(size.x), 1),
                        std::max<zlong>(RoundToLong(size.y), 1));
    const auto* referenceWindow = dynamic_cast<OSWindow*>(referenceServices);
    const RCPtr<LRenderer> renderer = referenceWindow != nullptr ? referenceWindow->GetRenderer() : nullptr;
    LRootWindow* active = FindActiveRootWindow();
    OSWindow* owner = style.modal && active != nullptr ? dynamic_cast<OSWindow*>(active->GetWindowServices()) : nullptr;
    Platform::WindowFrame frame;
    frame.closeBox = style.systemMenu || style.minimiseBox || style.maximiseBox;
    frame.minimiseBox = style.minimiseBox;
    frame.maximiseBox = style.maximiseBox;
    const RCPtr<LControlDescriptor>& descriptor = control->GetControlDescriptor();
    frame.resizable = !style.modal && descriptor && descriptor->GetLayoutDescriptor() &&
                      IsSizableLayout(*descriptor->GetLayoutDescriptor());

    const RCPtr<OSWindow> made =
        OSWindow::CreateOnDesktop(renderer ? renderer->GetRendererType() : rendererKind, kRootWindowClassName,
                                  bounds.width, bounds.height, owner, frame);
    if (!made) {
        return ZV_E_FAIL;
    }
    const std::uint32_t countBefore = GetRootWindowCount();
    (void)made->SetTitle(control->GetText());
    ShowApplicationIcon(*made);
    const ZVRESULT attached = renderer ? made->AttachRenderer(renderer) : made->CreateRenderer(rendererKind);
    const RCPtr<LRootWindow> root(made->GetRootWindow());
    if (const RectT<zlong> area = GetWorkArea(); area.width > 0 && area.height > 0) {
        bounds = MoveIntoArea(bounds, area);
    }
    if (Failed(attached) || !root || GetRootWindowCount() != countBefore + 1 || Failed(made->SetBounds(bounds)) ||
        !InstallRootControl(*root, control)) {
        made->Destroy();
        return ZV_E_FAIL;
    }
    if (!style.modal) {
        (void)made->Show(kShow);
    }
    window = made;
    return IndexOf(root.Get());
}

RCPtr<LRootWindow> LApplicationWindowHost::GetMainRootWindow() const
{
    if (!mMainWindow) {
        return nullptr;
    }
    return RCPtr<LRootWindow>(mMainWindow->GetRootWindow());
}

std::int32_t LApplicationWindowHost::IndexOf(const IRootWindowTarget* rootWindow) const
{
    for (std::uint32_t index = 0; index < mRootWindows.GetCount(); ++index) {
        if (static_cast<const IRootWindowTarget*>(mRootWindows.GetData()[index].Get()) == rootWindow) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

void LApplicationWindowHost::AddRootWindow(IRootWindowTarget* rootWindow)
{
    const RCPtr<LRootWindow> root{RCPtr<IRootWindowTarget>(rootWindow)};
    if (!root || IndexOf(rootWindow) >= 0) {
        return;
    }
    AppendItem(mRootWindows, root);
    AppendItem(mIdleProcessors, static_cast<IIdleProcessor*>(root.Get()));
}

void LApplicationWindowHost::RemoveRootWindow(IRootWindowTarget* rootWindow)
{
    const std::int32_t index = IndexOf(rootWindow);
    if (index < 0) {
        return;
    }
    // Let go last: it may be the root window's last outside reference, which ends it.
    RCPtr<LRootWindow> removed;
    (void)mRootWindows.RemoveItem(static_cast<std::uint32_t>(index), removed);
    (void)mIdleProcessors.RemoveRange(static_cast<std::uint32_t>(index), 1);
}

bool LApplicationWindowHost::IsMainRootWindow(const IRootWindowTarget* rootWindow) const
{
    return rootWindow != nullptr && IndexOf(rootWindow) == 0;
}

LRootWindow* LApplicationWindowHost::FindActiveRootWindow() const
{
    for (std::uint32_t index = mRootWindows.GetCount(); index-- > 0;) {
        LRootWindow* root = mRootWindows.GetData()[index].Get();
        if (IWindowOSServices* services = root->GetWindowServices(); services != nullptr && services->IsActive()) {
            return root;
        }
    }
    return nullptr;
}

IRootWindowTarget* LApplicationWindowHost::GetActiveRootWindow()
{
    return FindActiveRootWindow();
}

IRootWindowTarget* LApplicationWindowHost::GetFirstRootWindow()
{
    return mRootWindows.GetCount() > 0 ? mRootWindows.GetData()[0].Get() : nullptr;
}

LRootWindow* LApplicationWindowHost::GetActiveOrFirstRootWindow() const
{
    LRootWindow* active = FindActiveRootWindow();
    return active != nullptr || mRootWindows.GetCount() == 0 ? active : mRootWindows.GetData()[0].Get();
}

const Platform::NativeWindow* LApplicationWindowHost::GetMessageBoxOwner() const
{
    const LRootWindow* root = GetActiveOrFirstRootWindow();
    IWindowOSServices* services = root != nullptr ? root->GetWindowServices() : nullptr;
    return services != nullptr ? services->GetWindowHandle() : nullptr;
}

bool LApplicationWindowHost::ProcessIdle(bool firstCall)
{
    // Copies, held: a window may end during the pass.
    RCPtrArray<LRootWindow> held;
    if (Failed(held.Assign(mRootWindows))) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    const Array<IIdleProcessor*> windows = mIdleProcessors;
    return ProcessIdleNotifications(firstCall, windows);
}

void LApplicationWindowHost::OnDataCopy(const WideString&) {}

Platform::IWindowBackEnd* LApplicationWindowHost::GetDesktop() const
{
    return mMainWindow ? &mMainWindow->GetBackEnd() : nullptr;
}

RectT<zlong> LApplicationWindowHost::GetWorkArea()
{
    const Platform::IWindowBackEnd* desktop = GetDesktop();
    const Platform::WindowRect area = desktop != nullptr ? desktop->GetWorkArea() : Platform::GetDesktopWorkArea();
    return {area.x, area.y, area.width, area.height};
}

// With a main window, as the program's windows saw the keys go; before it, as the desktop has them.
bool LApplicationWindowHost::IsKeyDown(std::uint8_t virtualKey)
{
    const Platform::IWindowBackEnd* desktop = GetDesktop();
    return desktop != nullptr ? desktop->IsKeyDown(virtualKey) : Platform::IsDesktopKeyDown(virtualKey);
}

CursorHandle LApplicationWindowHost::GetNamedCursor(const wchar_t* name)
{
    Platform::IWindowBackEnd* desktop = GetDesktop();
    return desktop != nullptr && name != nullptr ? desktop->LoadCursor(WideString(name).ToUTF8().GetData()) : 0;
}

bool LApplicationWindowHost::FocusNextRootWindow(const IRootWindowTarget* from, bool backward)
{
    const std::int32_t count = static_cast<std::int32_t>(mRootWindows.GetCount());
    const std::int32_t index = IndexOf(from);
    if (count < 2 || index < 0) {
        return false;
    }
    const std::int32_t next = (index + (backward ? count - 1 : 1)) % count;
    if (IWindowOSServices* services = mRootWindows.GetData()[next]->GetWindowServices();
        services != nullptr && !services->IsActive()) {
        (void)services->SetFocus();
    }
    return true;
}

}  // namespace ZV
