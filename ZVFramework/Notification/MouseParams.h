#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Threading/ReuseAllocator.h"
#include "Utilities/Storage/PointT.h"

#include <cstddef>
#include <cstdint>

namespace ZV {

// The modifier mask of pointer and key records, as the window's input handlers fill it.
namespace ModifierMask {
inline constexpr std::uint32_t kControl = 0x1;
inline constexpr std::uint32_t kLeftControl = 0x2;
inline constexpr std::uint32_t kRightControl = 0x4;
inline constexpr std::uint32_t kShift = 0x8;
inline constexpr std::uint32_t kLeftShift = 0x10;
inline constexpr std::uint32_t kRightShift = 0x20;
inline constexpr std::uint32_t kAlt = 0x40;
inline constexpr std::uint32_t kLeftAlt = 0x80;
inline constexpr std::uint32_t kRightAlt = 0x100;
inline constexpr std::uint32_t kWindows = 0x200;
inline constexpr std::uint32_t kLeftWindows = 0x400;
inline constexpr std::uint32_t kRightWindows = 0x800;
}  // namespace ModifierMask

// Mouse buttons, as one button code and as bits of the set of buttons held.
namespace MouseButton {
inline constexpr std::uint32_t kLeft = 1;
inline constexpr std::uint32_t kMiddle = 2;
inline constexpr std::uint32_t kRight = 4;
}  // namespace MouseButton

// The pointer position in the receiving window's or control's coordinates. Made only as the base of other records.
class LPointParam : public virtual LRefCountedObject {
public:
    const PointT<zlong>& GetPoint() const { return mPoint; }
    zlong GetX() const { return mPoint.x; }
    zlong GetY() const { return mPoint.y; }

protected:
    explicit LPointParam(const PointT<zlong>& point) : mPoint(point) {}

private:
    PointT<zlong> mPoint;
};

// A pointer position with the modifier keys held (ModifierMask bits): the parameter of mouse moves.
class LPointWithModifiersParam : public LPointParam {
public:
    static RCPtr<LPointWithModifiersParam> Create(const PointT<zlong>& point, std::uint32_t modifiers);

    std::uint32_t GetModifiers() const { return mModifiers; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

protected:
    LPointWithModifiersParam(const PointT<zlong>& point, std::uint32_t modifiers)
        : LPointParam(point), mModifiers(modifiers)
    {
    }

private:
    std::uint32_t mModifiers;
};

// One routed step of a mouse wheel.
class LMouseWheelParam : public LPointWithModifiersParam {
public:
    enum Direction : std::uint32_t {
        kVerticalNegative = 0,  // turned towards the user
        kVerticalPositive = 1,  // turned away from the user
        kHorizontalNegative = 2,
        kHorizontalPositive = 3,
    };
    enum class Axis { Vertical, Horizontal };

    static RCPtr<LMouseWheelParam> Create(const PointT<zlong>& point, std::uint32_t modifiers,
                                          std::uint32_t direction);
    // The direction of a step of a non-zero wheel delta on the axis.
    static std::uint32_t DirectionOf(Axis axis, int delta);

    std::uint32_t GetDirection() const { return mDirection; }
    bool IsHorizontal() const { return mDirection == kHorizontalNegative || mDirection == kHorizontalPositive; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

protected:
    LMouseWheelParam(const PointT<zlong>& point, std::uint32_t modifiers, std::uint32_t direction)
        : LPointWithModifiersParam(point, modifiers), mDirection(direction)
    {
    }

private:
    std::uint32_t mDirection;
};

// A press, double click or release of one mouse button.
class LMouseButtonParam : public LPointWithModifiersParam {
public:
    // The flag is set on the press of a double click and on the release that ends it; buttons is the set of
    // buttons held (MouseButton bits).
    static RCPtr<LMouseButtonParam> Create(std::uint32_t button, const PointT<zlong>& point,
                                           std::uint32_t modifiers, bool doubleClick, std::uint32_t buttons);

    std::uint32_t GetButton() const { return mButton; }
    bool IsDoubleClick() const { return mDoubleClick; }
    std::uint32_t GetButtons() const { return mButtons; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

protected:
    LMouseButtonParam(std::uint32_t button, const PointT<zlong>& point, std::uint32_t modifiers,
                      bool doubleClick, std::uint32_t buttons)
        : LPointWithModifiersParam(point, modifiers), mButton(button), mDoubleClick(doubleClick), mButtons(buttons)
    {
    }

private:
    std::uint32_t mButton;
    bool mDoubleClick;
    std::uint32_t mButtons;
};

// The records' pools have no lock: mouse records are made and let go on the user-interface thread only.
ReuseAllocator<LPointWithModifiersParam, 4>& GetPointWithModifiersParamPool();
ReuseAllocator<LMouseWheelParam, 4>& GetMouseWheelParamPool();
ReuseAllocator<LMouseButtonParam, 4>& GetMouseButtonParamPool();

}  // namespace ZV
