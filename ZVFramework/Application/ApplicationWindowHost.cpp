#include "Application/ApplicationWindowHost.h"

#include "Application/ApplicationIcon.h"
#include "ControlBase/AppendItem.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ObjectBase/Exception.h"
#include "Platform/WindowBackEnd.h"
#include "Utilities/Storage/Rounding.h"

#include <algorithm>

namespace ZV {

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
    if (const std::unique_ptr<PixelImage> icon = GetApplicationIcon()) {
        window->GetBackEnd().SetIcon(static_cast<int>(icon->GetWidth()), static_cast<int>(icon->GetHeight()),
                                     icon->GetRow(0));
    }
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

IRootWindowTarget* LApplicationWindowHost::GetActiveRootWindow()
{
    for (std::uint32_t index = mRootWindows.GetCount(); index-- > 0;) {
        LRootWindow* root = mRootWindows.GetData()[index].Get();
        if (IWindowOSServices* services = root->GetWindowServices(); services != nullptr && services->IsActive()) {
            return root;
        }
    }
    return nullptr;
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
    if (desktop == nullptr) {
        return {};
    }
    const Platform::WindowRect area = desktop->GetWorkArea();
    return {area.x, area.y, area.width, area.height};
}

bool LApplicationWindowHost::IsKeyDown(std::uint8_t virtualKey)
{
    const Platform::IWindowBackEnd* desktop = GetDesktop();
    return desktop != nullptr && desktop->IsKeyDown(virtualKey);
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
