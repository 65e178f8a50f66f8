#pragma once

#include "ControlBase/Harness/FakeRootWindow.h"
#include "ControlBase/KeyParams.h"

#include <cstdint>

namespace ZV::Testing {

// Keys routed through a fake root window as the root window routes them: the tool tip shown hides, and the control
// that has the focus gets the key. Keys made here carry the flag of keys that the window delivers, unless the test
// says a control issues them.
class KeyRouter {
public:
    explicit KeyRouter(LFakeRootWindow& window) : mWindow(&window) {}

    void RouteKey(const RCPtr<LKeyParam>& key);
    // A virtual key going down with the modifiers (0x1 Ctrl, 0x8 Shift, 0x40 Alt).
    void Press(std::uint8_t virtualKey, std::uint32_t modifiers = 0, bool fromWindow = true);
    void Tab(bool fromWindow = true) { Press(kTab, 0, fromWindow); }
    void ShiftTab(bool fromWindow = true) { Press(kTab, kModifierShift, fromWindow); }
    void CtrlTab(std::uint32_t modifiers = 0) { Press(kTab, kModifierCtrl | modifiers); }

    static constexpr std::uint8_t kTab = 0x09;

private:
    LFakeRootWindow* mWindow;
};

}  // namespace ZV::Testing
