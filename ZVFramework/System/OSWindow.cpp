#include "System/OSWindow.h"

#include "ControlBase/DebugLine.h"
#include "ObjectBase/Exception.h"
#include "Platform/DesktopWindows.h"
#include "System/WindowHost.h"
#include "System/WindowPlacement.h"

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

namespace ZV {

namespace {

OSWindow::RootWindowFactory gRootWindowFactory = nullptr;

RectEdges EdgesOf(const RectT<zlong>& rect)
{
    return {rect.x, rect.y, static_cast<zlong>(std::int64_t{rect.x} + rect.width),
            static_cast<zlong>(std::int64_t{rect.y} + rect.height)};
}

// One frame of the renderer over the context's dirty region: false when it could not start, and then it draws
// nothing. The frame is finished whatever happens in it, so that the renderer takes the next one.
bool PaintFrame(IRootWindowTarget& root, LRenderer& renderer, const RCPtr<LRenderContextInfo>& context,
                const RectList& collected)
{
    // A frame that fails to start still holds the context until it is finished.
    const bool started = Succeeded(renderer.RenderStart(context));
    try {
        if (started) {
            const RectList& region = context->GetDirtyRegion();
            const RectNode* only = region.GetHead();
            const bool whole = only != nullptr && only->next == nullptr &&
                               EdgesOf(context->GetViewport()) == static_cast<RectEdges>(*only);
            root.Paint(whole ? region : collected);
        }
    } catch (...) {
        renderer.FinishAfterFailure(context);
        throw;
    }
    ZV_THROW_IF_FAILED(renderer.RenderFinish(context));
    return started;
}

}  // namespace

void OSWindow::SetRootWindowFactory(RootWindowFactory factory)
{
    gRootWindowFactory = factory;
}

RCPtr<OSWindow> OSWindow::Create(std::unique_ptr<Platform::IWindowBackEnd> backEnd, OSWindow* parent)
{
    if (!backEnd) {
        return nullptr;
    }
    RCPtr<OSWindow> window(new OSWindow(std::move(backEnd), parent));
    window->mSelf = window;
    window->mBackEnd->SetEventSink(window.Get());
    GetMessageLoop().AddWindow(window.Get());
    return window;
}

RCPtr<OSWindow> OSWindow::CreateOnDesktop(int rendererKind, const char* className, int width, int height,
                                          OSWindow* parent, const Platform::WindowFrame& frame)
{
    Platform::IEventSource* desktop = Platform::GetDesktopEventSource();
    if (desktop == nullptr) {
        return nullptr;
    }
    static const bool sourceAdded = (GetMessageLoop().AddSource(desktop), true);
    (void)sourceAdded;
    Platform::DesktopWindowOptions options;
    options.width = width;
    options.height = height;
    options.className = className;
    options.rendererKind = rendererKind;
    options.frame = frame;
    return Create(Platform::CreateDesktopWindow(options), parent);
}

OSWindow::OSWindow(std::unique_ptr<Platform::IWindowBackEnd> backEnd, OSWindow* parent)
    : mBackEnd(std::move(backEnd)), mParent(parent)
{
}

OSWindow::~OSWindow()
{
    EndPlatformWindow();
}

ZVRESULT OSWindow::CreateRenderer(int kind)
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    const RCPtr<LRenderer> renderer = LRenderer::Create(kind, mBackEnd->GetNativeWindow());
    if (!mTimerRunning) {
        mTimerRunning = true;
        GetMessageLoop().StartTick();
    }
    return AttachRenderer(renderer);
}

ZVRESULT OSWindow::AttachRenderer(const RCPtr<LRenderer>& renderer)
{
    if (!HasWindow() || !renderer) {
        return ZV_E_FAIL;
    }
    mRenderer = renderer;
    const Platform::WindowPoint size = mBackEnd->GetClientSize();
    RCPtr<LRenderContextInfo> context;
    if (const ZVRESULT made = mRenderer->InitRenderContextInfo({0, 0, size.x, size.y}, mBackEnd->GetNativeWindow(),
                                                               false, context);
        Failed(made)) {
        return made;
    }
    mRenderContext = context;
    if (gRootWindowFactory == nullptr) {
        return ZV_E_FAIL;
    }
    RCPtr<IRootWindowTarget> root = gRootWindowFactory(mRenderer, this);
    if (!root) {
        return ZV_E_FAIL;
    }
    root->AddInternalReferences(1);
    DetachRootWindow();
    mRootWindow = root;
    if (IWindowHost* host = GetWindowHost(); host != nullptr) {
        host->AddRootWindow(mRootWindow.Get());
    }
    return ZV_S_OK;
}

// The application forgets the root window, and the root window lets go of what it holds and of this window.
void OSWindow::DetachRootWindow()
{
    if (!mRootWindow) {
        return;
    }
    if (IWindowHost* host = GetWindowHost(); host != nullptr) {
        host->RemoveRootWindow(mRootWindow.Get());
    }
    (void)mRootWindow->ReleaseInternalReferences();
    mRootWindow = nullptr;
}

bool OSWindow::IsMainWindow() const
{
    const IWindowHost* host = GetWindowHost();
    return mRootWindow && host != nullptr && host->IsMainRootWindow(mRootWindow.Get());
}

void OSWindow::Destroy()
{
    if (!HasWindow()) {
        return;
    }
    if (IsMainWindow() && !mParent) {
        SavePlacement();
    }
    mBackEnd->SetEventSink(nullptr);
    mBackEnd->Destroy();
    EndPlatformWindow();
}

// What is left when the platform window has gone, whichever way it went.
void OSWindow::EndPlatformWindow()
{
    mModal = false;
    mCapture = false;
    mPressCount = 0;
    GetMessageLoop().RemoveWindow(this);
    if (mTimerRunning) {
        mTimerRunning = false;
        GetMessageLoop().StopTick();
    }
    DetachRootWindow();
    mRenderContext = nullptr;
    mRenderer = nullptr;
    if (mSelf) {
        GetMessageLoop().ReleaseLater(RCPtr<LRefCountedObject>(mSelf.Get()));
        mSelf = nullptr;
    }
}

void OSWindow::SavePlacement()
{
    const IWindowHost* host = GetWindowHost();
    const Platform::WindowPoint origin = mBackEnd->GetClientOrigin();
    const Platform::WindowPoint size = mBackEnd->GetClientSize();
    (void)WindowPlacementStore(host->GetWindowClassName()).Save({origin.x, origin.y, size.x, size.y});
}

bool OSWindow::RestorePlacement()
{
    const IWindowHost* host = GetWindowHost();
    RectT<zlong> bounds;
    if (host == nullptr || !HasWindow() || !WindowPlacementStore(host->GetWindowClassName()).Load(bounds)) {
        return false;
    }
    const Platform::WindowRect area = mBackEnd->GetWorkArea();
    const bool hasArea = area.width > 0 && area.height > 0;
    // Saved on a larger desktop, or one whose screens have changed since.
    if (hasArea) {
        bounds.width = std::min<zlong>(bounds.width, area.width);
        bounds.height = std::min<zlong>(bounds.height, area.height);
    }
    (void)ConstrainSizingRect(bounds);
    if (hasArea) {
        bounds = MoveIntoArea(bounds, {area.x, area.y, area.width, area.height});
    }
    return Succeeded(SetBounds(bounds));
}

bool OSWindow::ConstrainSizingRect(RectT<zlong>& rect)
{
    if (!mRootWindow) {
        return false;
    }
    zlong width = rect.width;
    zlong height = rect.height;
    if (mRootWindow->ConstrainClientSize(width, height) != 1) {
        return false;
    }
    rect.width = width;
    rect.height = height;
    return true;
}

void OSWindow::UpdateSizeLimits()
{
    if (!mRootWindow || !HasWindow()) {
        return;
    }
    zlong minimumWidth = 1;
    zlong minimumHeight = 1;
    (void)mRootWindow->ConstrainClientSize(minimumWidth, minimumHeight);
    constexpr zlong kLargest = 1 << 15;
    zlong maximumWidth = kLargest;
    zlong maximumHeight = kLargest;
    (void)mRootWindow->ConstrainClientSize(maximumWidth, maximumHeight);
    // A limit the root window does not lower is no limit.
    mBackEnd->SetSizeLimits({minimumWidth, minimumHeight}, {maximumWidth >= kLargest ? 0 : maximumWidth,
                                                            maximumHeight >= kLargest ? 0 : maximumHeight});
}

void OSWindow::ReceiveDataCopy(std::int32_t tag, const char* data, std::size_t size)
{
    IWindowHost* host = GetWindowHost();
    if (tag != kDataCopyTag || !mEnabled || host == nullptr || data == nullptr) {
        return;
    }
    const std::size_t length = std::find(data, data + size, '\0') - data;
    WideString text;
    // Text that is not UTF-8 is still handed on, with its bad bytes replaced.
    (void)text.AssignFromUTF8(data, static_cast<int>(std::min<std::size_t>(length, INT_MAX)));
    host->OnDataCopy(text);
}

ZVRESULT OSWindow::SetTitle(const WideString& text)
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    return mBackEnd->SetTitle(text.ToUTF8().GetData()) ? ZV_S_OK : ZV_E_FAIL;
}

void OSWindow::AddToUpdate(const RectEdges& rect)
{
    const Platform::WindowPoint size = mBackEnd->GetClientSize();
    const RectEdges clipped{std::max<zlong>(rect.left, 0), std::max<zlong>(rect.top, 0),
                            std::min<zlong>(rect.right, size.x), std::min<zlong>(rect.bottom, size.y)};
    if (clipped.IsEmpty()) {
        return;
    }
    if (mUpdate.IsEmpty()) {
        mUpdate = clipped;
        return;
    }
    mUpdate = {std::min(mUpdate.left, clipped.left), std::min(mUpdate.top, clipped.top),
               std::max(mUpdate.right, clipped.right), std::max(mUpdate.bottom, clipped.bottom)};
}

ZVRESULT OSWindow::InvalidateAll()
{
    const Platform::WindowPoint size = mBackEnd->GetClientSize();
    AddToUpdate({0, 0, size.x, size.y});
    return ZV_S_OK;
}

ZVRESULT OSWindow::InvalidateRect(const RectT<zlong>& rect)
{
    AddToUpdate(EdgesOf(rect));
    return ZV_S_OK;
}

ZVRESULT OSWindow::GetClientSize(RectT<zlong>& rect)
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    const Platform::WindowPoint size = mBackEnd->GetClientSize();
    if (size.x >= 0 && size.y >= 0) {
        rect = RectT<zlong>(0, 0, size.x, size.y);
    }
    return ZV_S_OK;
}

PointT<zlong> OSWindow::ScreenToClient(const PointT<zlong>& point)
{
    const Platform::WindowPoint origin = mBackEnd->GetClientOrigin();
    return {point.x - origin.x, point.y - origin.y};
}

PointT<zlong> OSWindow::ClientToScreen(const PointT<zlong>& point)
{
    const Platform::WindowPoint origin = mBackEnd->GetClientOrigin();
    return {point.x + origin.x, point.y + origin.y};
}

ZVRESULT OSWindow::SetBounds(const RectT<zlong>& rect)
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    mBackEnd->MoveResize({rect.x, rect.y, rect.width, rect.height});
    return ZV_S_OK;
}

bool OSWindow::Show(int command)
{
    const bool wasVisible = mBackEnd->IsVisible();
    if (command != kShowHide) {
        UpdateSizeLimits();
    }
    mBackEnd->Show(command != kShowHide);
    return wasVisible;
}

ZVRESULT OSWindow::Redraw()
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    (void)InvalidateAll();
    PaintPending();
    return ZV_S_OK;
}

ZVRESULT OSWindow::BringToTop()
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    mBackEnd->Raise();
    return ZV_S_OK;
}

ZVRESULT OSWindow::SetTopMost(bool topMost)
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    mBackEnd->SetTopMost(topMost);
    return ZV_S_OK;
}

ZVRESULT OSWindow::EndModal(std::int32_t result)
{
    if (mModal) {
        mModalResult = result;
        mModal = false;
        return ZV_S_OK;
    }
    Destroy();
    return ZV_S_OK;
}

std::int32_t OSWindow::RunModal()
{
    if (!HasWindow()) {
        return -1;
    }
    // Held for the run: the window's end lets go of the platform window's hold on it.
    const RCPtr<OSWindow> keepAlive(this);
    mModal = true;
    mModalResult = 0;
    const bool parentWasEnabled = mParent && mParent->mEnabled;
    if (parentWasEnabled) {
        mParent->mEnabled = false;
        mBackEnd->SetModalFor(mParent->mBackEnd.get());
    }
    mEnabled = true;
    if (!mBackEnd->IsVisible()) {
        (void)Show(kShowNormal);
    }
    bool ownerLossHandled = false;
    const bool ended = GetMessageLoop().Run([this, &ownerLossHandled] {
        if (mModal && !ownerLossHandled && HasLostOwner()) {
            ownerLossHandled = true;
            CloseForLostWindow();
        }
        return mModal && HasWindow();
    });
    const bool wasActive = HasWindow() && mBackEnd->IsActive();
    // Also when the application quits: the parent must not stay disabled.
    if (parentWasEnabled) {
        mParent->mEnabled = true;
        if (wasActive) {
            mParent->mBackEnd->TakeFocus();
        }
    }
    mModal = false;
    Destroy();
    return ended ? mModalResult : -1;
}

bool OSWindow::HasLostOwner() const
{
    // A window further up goes on only until the window it owns, whose loop runs inside this one's, has ended.
    for (const OSWindow* owner = mParent.Get(); owner != nullptr; owner = owner->mParent.Get()) {
        if (!owner->HasWindow()) {
            return true;
        }
    }
    return false;
}

void OSWindow::CloseForLostWindow()
{
    if (const RCPtr<IRootWindowTarget> root = mRootWindow) {
        (void)root->CloseForLostWindow();
    } else {
        mModal = false;
    }
}

bool OSWindow::IsActive()
{
    return HasWindow() && mBackEnd->IsActive();
}

bool OSWindow::HasFocus()
{
    return HasWindow() && mBackEnd->HasFocus();
}

ZVRESULT OSWindow::SetFocus()
{
    if (!HasWindow()) {
        return ZV_E_FAIL;
    }
    mBackEnd->TakeFocus();
    return ZV_S_OK;
}

CursorHandle OSWindow::SetCursor(CursorHandle cursor)
{
    const CursorHandle previous = mLastCursor;
    if (cursor != mLastCursor) {
        mBackEnd->SetCursor(cursor);
        mLastCursor = cursor;
    }
    return previous;
}

PointT<zlong> OSWindow::GetCursorPosition()
{
    if (!mCapture) {
        const Platform::WindowPoint pointer = mBackEnd->GetPointerPosition();
        mLastMousePoint = {pointer.x, pointer.y};
    }
    return mLastMousePoint;
}

std::uint32_t OSWindow::GetMouseButtons()
{
    if (!mCapture) {
        mButtonMask = (mBackEnd->IsKeyDown(Platform::VirtualKey::kLeftButton) ? 1u : 0u) |
                      (mBackEnd->IsKeyDown(Platform::VirtualKey::kMiddleButton) ? 2u : 0u) |
                      (mBackEnd->IsKeyDown(Platform::VirtualKey::kRightButton) ? 4u : 0u);
    }
    return mButtonMask;
}

const Platform::NativeWindow* OSWindow::GetWindowHandle()
{
    return mBackEnd->GetNativeWindow();
}

void OSWindow::OnTextEditing(bool, std::int32_t) {}

bool OSWindow::HasPendingPaint() const
{
    return !mUpdate.IsEmpty() && mRootWindow && mRenderContext;
}

void OSWindow::PaintPending()
{
    if (!mRootWindow || !mRenderContext || !mRenderer) {
        mUpdate = {};
        return;
    }
    if (std::exchange(mRepaintWhole, false)) {
        (void)InvalidateAll();
    }
    const RectEdges update = mUpdate;
    mUpdate = {};
    // Held: painting may end the window.
    const RCPtr<IRootWindowTarget> root = mRootWindow;
    const RCPtr<LRenderer> renderer = mRenderer;
    const RCPtr<LRenderContextInfo> context = mRenderContext;
    RectList collected;
    root->CollectDirtyRegion(collected);
    RectList& region = context->GetDirtyRegion();
    region.Clear();
    region.AppendCopies(collected);
    region.Add(update);
    region.Normalize();
    try {
        if (PaintFrame(*root, *renderer, context, collected)) {
            mPaintFailureReported = false;
            return;
        }
    } catch (const std::exception& exception) {
        // Once: a paint that keeps failing would repeat itself at every frame.
        if (!std::exchange(mPaintFailureReported, true)) {
            WriteDebugLine(std::string("The window could not be painted: ") + exception.what());
        }
    }
    // What the failed frame was to show is shown by the next one, whatever makes it.
    mRepaintWhole = true;
}

}  // namespace ZV
