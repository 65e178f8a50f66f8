#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Platform/DesktopWindows.h"
#include "Platform/WindowBackEnd.h"
#include "Renderer/RectNode.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/Renderer.h"
#include "System/MessageLoop.h"
#include "System/RootWindowTarget.h"
#include "System/WindowOSServices.h"

#include <cstdint>
#include <memory>

namespace ZV {

// The platform window that shows one root window. It owns the renderer's context for the window and turns the
// desktop's events into the root window's calls: buttons (with double clicks made from two presses close in time
// and place), moves, wheel steps, keys and characters, focus, capture, size and painting. The window keeps the
// mouse (its capture) from a press until the last button is let go, and while the pointer lies over it in the
// foreground. Invalid areas are painted once the queued events are handled; a frame that fails, or a paint that
// throws (written to the debug output once until a paint succeeds), leaves the whole window to the next frame. A
// change of the screen's size repaints the whole window. A modal window runs the loop nested until EndModal, with
// its parent taking no input; when the parent or the window itself goes (another program may destroy it), the modal
// window's tree closes as by its close box and the loop ends with the close's result. The object lives as long as
// its platform window; when that goes, the object lets go of itself once the event under way has been handled.
// User-interface thread only.
class OSWindow : public virtual LRefCountedObject,
                 public IWindowOSServices,
                 private Platform::IWindowEventSink,
                 private IPendingPaint {
public:
    // Makes the root window that AttachRenderer installs; the application sets it.
    using RootWindowFactory = RCPtr<IRootWindowTarget> (*)(const RCPtr<LRenderer>& renderer,
                                                           IWindowOSServices* services);
    static void SetRootWindowFactory(RootWindowFactory factory);

    // Two presses of a button count as a double click within this time and box.
    static constexpr std::uint32_t kDoubleClickMs = 500;
    static constexpr int kDoubleClickBox = 4;
    static constexpr std::int32_t kDataCopyTag = 0x465;

    // A window over the back-end, not shown; parent is the window a modal run disables, or null.
    static RCPtr<OSWindow> Create(std::unique_ptr<Platform::IWindowBackEnd> backEnd, OSWindow* parent);
    // A window on the desktop for a renderer of the kind (the window's visual depends on it), with the frame the
    // window manager is asked for; null without a desktop.
    static RCPtr<OSWindow> CreateOnDesktop(int rendererKind, const char* className, int width, int height,
                                           OSWindow* parent, const Platform::WindowFrame& frame = {});
    ~OSWindow() override;

    // Makes a renderer of the kind for the window, starts the window's timer and attaches the renderer.
    [[nodiscard]] ZVRESULT CreateRenderer(int kind);
    // Shares a renderer: makes the window's render context and its root window.
    [[nodiscard]] ZVRESULT AttachRenderer(const RCPtr<LRenderer>& renderer);
    const RCPtr<IRootWindowTarget>& GetRootWindow() const { return mRootWindow; }
    const RCPtr<LRenderer>& GetRenderer() const { return mRenderer; }
    Platform::IWindowBackEnd& GetBackEnd() const { return *mBackEnd; }

    // Publishes the root window's size limits to the desktop, so that dragging an edge respects them.
    void UpdateSizeLimits();
    // Fits the window rectangle (screen coordinates of the client area) to the root window's limits; true when it
    // changed.
    bool ConstrainSizingRect(RectT<zlong>& rect);
    // Puts the main window where the placement file kept it, fitted to the root window's limits and kept on the
    // desktop's work area: cut to the area's size, then moved inside it; false when there is no sound placement.
    bool RestorePlacement();
    // Hand-over data of another process: text of the data-copy tag reaches the application when the window is
    // enabled. The text ends at its size or its first NUL.
    void ReceiveDataCopy(std::int32_t tag, const char* data, std::size_t size);
    bool IsEnabled() const { return mEnabled; }
    // A disabled window still paints but routes no input: a modal run of something it owns is under way.
    void SetEnabled(bool enabled) { mEnabled = enabled; }
    // Ends the platform window; the object lets go of itself afterwards.
    void Destroy();

    [[nodiscard]] ZVRESULT SetTitle(const WideString& text) override;
    [[nodiscard]] ZVRESULT InvalidateAll() override;
    [[nodiscard]] ZVRESULT InvalidateRect(const RectT<zlong>& rect) override;
    [[nodiscard]] ZVRESULT GetClientSize(RectT<zlong>& rect) override;
    PointT<zlong> ScreenToClient(const PointT<zlong>& point) override;
    PointT<zlong> ClientToScreen(const PointT<zlong>& point) override;
    [[nodiscard]] ZVRESULT SetBounds(const RectT<zlong>& rect) override;
    bool Show(int command) override;
    [[nodiscard]] ZVRESULT Redraw() override;
    [[nodiscard]] ZVRESULT BringToTop() override;
    [[nodiscard]] ZVRESULT SetTopMost(bool topMost) override;
    [[nodiscard]] ZVRESULT EndModal(std::int32_t result) override;
    std::int32_t RunModal() override;
    bool IsModal() override { return mModal; }
    bool IsActive() override;
    bool HasFocus() override;
    [[nodiscard]] ZVRESULT SetFocus() override;
    CursorHandle SetCursor(CursorHandle cursor) override;
    PointT<zlong> GetCursorPosition() override;
    std::uint32_t GetMouseButtons() override;
    const Platform::NativeWindow* GetWindowHandle() override;
    void OnTextEditing(bool start, std::int32_t value) override;

private:
    OSWindow(std::unique_ptr<Platform::IWindowBackEnd> backEnd, OSWindow* parent);

    bool HasWindow() const { return mBackEnd->Exists(); }
    // The window that this one runs modal for, or one that that window runs modal for, has gone.
    bool HasLostOwner() const;
    // Closes the tree as a cancel; the modal loop ends with the close's result.
    void CloseForLostWindow();
    bool IsMainWindow() const;
    void DetachRootWindow();
    bool IsOverClientArea(Platform::WindowPoint point) const;
    bool AnyButtonDown() const;
    std::uint32_t GetPointerModifiers() const;
    std::uint32_t GetKeyModifiers(bool altHeld) const;
    bool IsDoubleClick(std::uint32_t button, Platform::WindowPoint point, std::uint32_t time);
    void HandleButton(IRootWindowTarget::ButtonAction action, std::uint32_t button, Platform::WindowPoint point);
    void ReleaseCapture();
    void RouteKey(const KeyCode& key);
    void AddToUpdate(const RectEdges& rect);
    void CheckWorkArea();
    void SavePlacement();
    void EndPlatformWindow();

    // IWindowEventSink.
    void OnButton(bool press, std::uint32_t button, Platform::WindowPoint point, std::uint32_t time) override;
    void OnPointerMoved(Platform::WindowPoint point) override;
    void OnWheel(int axis, int delta, Platform::WindowPoint point) override;
    void OnKey(std::uint8_t virtualKey, bool down, bool repeated, bool altHeld, bool system) override;
    void OnCharacter(std::uint16_t unit, bool altHeld) override;
    void OnFocusChanged(bool gained) override;
    void OnResized(int width, int height) override;
    void OnMoved() override;
    void OnExposed(Platform::WindowRect rect) override;
    void OnCloseRequested() override;
    void OnLost() override;

    // IPendingPaint.
    bool HasPendingPaint() const override;
    void PaintPending() override;

    std::unique_ptr<Platform::IWindowBackEnd> mBackEnd;
    RCPtr<OSWindow> mParent;
    // The platform window's hold on this object, let go when the window ends.
    RCPtr<OSWindow> mSelf;
    RCPtr<IRootWindowTarget> mRootWindow;
    RCPtr<LRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mRenderContext;
    PointT<zlong> mLastMousePoint;
    std::uint32_t mButtonMask = 0;
    std::uint32_t mPressCount = 0;
    std::int32_t mWheelRemainders[2] = {0, 0};
    bool mCapture = false;
    bool mModal = false;
    bool mOutsideWorkArea = false;
    bool mEnabled = true;
    bool mTimerRunning = false;
    // A frame failed: the next one paints the whole window.
    bool mRepaintWhole = false;
    bool mPaintFailureReported = false;
    // Each window has a cursor of its own on the desktop.
    CursorHandle mLastCursor = 0;
    std::int32_t mModalResult = 0;
    // The area the desktop or an invalidation asked to be painted, as one rectangle.
    RectEdges mUpdate;
    // The last press, for making double clicks.
    std::uint32_t mLastPressButton = 0;
    std::uint32_t mLastPressTime = 0;
    Platform::WindowPoint mLastPressPoint;
    bool mLastPressWasDoubleClick = false;
};

}  // namespace ZV
