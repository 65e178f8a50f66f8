#pragma once

#include <cstdint>

namespace ZV {

// The bits of a control's condition mask (LControl::GetConditions), as condition notifications carry them.
namespace ConditionMask {
inline constexpr std::uint32_t kHasFocus = 0x1;
// A descendant has the focus.
inline constexpr std::uint32_t kContainsFocus = 0x2;
// The pointer is over the control.
inline constexpr std::uint32_t kHover = 0x4;
inline constexpr std::uint32_t kCapture = 0x8;
// A button went down on the control and has not yet travelled the drag threshold.
inline constexpr std::uint32_t kLeftPressed = 0x10;
inline constexpr std::uint32_t kMiddlePressed = 0x20;
inline constexpr std::uint32_t kRightPressed = 0x40;
// A press on the control has become a drag.
inline constexpr std::uint32_t kLeftDragging = 0x80;
inline constexpr std::uint32_t kMiddleDragging = 0x100;
inline constexpr std::uint32_t kRightDragging = 0x200;
// The control and all its ancestors are enabled.
inline constexpr std::uint32_t kEnabled = 0x400;
// The control and all its ancestors are visible and have an extent.
inline constexpr std::uint32_t kVisible = 0x800;
// Hovered, or highlighted by the program.
inline constexpr std::uint32_t kHoverOrHighlighted = 0x1000;
}  // namespace ConditionMask

}  // namespace ZV
