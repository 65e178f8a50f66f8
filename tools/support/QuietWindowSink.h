#pragma once

#include "Platform/DesktopWindows.h"

#include <cstdint>

namespace ZV::Tools {

// A window's event sink that ignores every event; a baseline window overrides the few it measures.
class QuietWindowSink : public Platform::IWindowEventSink {
public:
    void OnButton(bool, std::uint32_t, Platform::WindowPoint, std::uint32_t) override {}
    void OnPointerMoved(Platform::WindowPoint) override {}
    void OnWheel(int, int, Platform::WindowPoint) override {}
    void OnKey(std::uint8_t, bool, bool, bool, bool) override {}
    void OnCharacter(std::uint16_t, bool) override {}
    void OnFocusChanged(bool) override {}
    void OnResized(int, int) override {}
    void OnMoved() override {}
    void OnExposed(Platform::WindowRect) override {}
    void OnCloseRequested() override {}
    void OnLost() override {}
};

}  // namespace ZV::Tools
