#pragma once

#include "ControlBase/Harness/FakeRootWindow.h"
#include "System/RootWindowTarget.h"

#include <cstdint>

namespace ZV::Testing {

// The OS window's mouse input routed through a fake root window as the root window routes it: a press goes to the
// capture control or else to the control under the pointer, a release only to the capture control, a move to both
// after the hover follows the pointer, each with the point made local to its control. Points are client
// coordinates. The window is always active.
class MouseRouter {
public:
    explicit MouseRouter(LFakeRootWindow& window) : mWindow(&window) {}

    void RouteMouseButton(IRootWindowTarget::ButtonAction action, std::uint32_t button, std::uint32_t modifiers,
                          const PointT<zlong>& point);
    void RouteMouseMove(const PointT<zlong>& point, std::uint32_t modifiers);
    // Directions 0 and 1 turn the vertical wheel, 2 and 3 the horizontal one.
    void RouteMouseWheel(const PointT<zlong>& point, std::uint32_t modifiers, std::uint32_t direction);

    // As the OS window reports them: the button is held from just before its press goes out until just before its
    // release does.
    void Press(std::uint32_t button, const PointT<zlong>& point);
    void Release(std::uint32_t button, const PointT<zlong>& point);
    void Move(const PointT<zlong>& point) { RouteMouseMove(point, 0); }

private:
    // The point in the control's coordinates.
    static PointT<zlong> LocalPoint(const LControl& control, const PointT<zlong>& point);

    LFakeRootWindow* mWindow;
    // Per button (MouseButton bits): its last press was a double click.
    std::uint32_t mDoubleClicks = 0;
};

}  // namespace ZV::Testing
