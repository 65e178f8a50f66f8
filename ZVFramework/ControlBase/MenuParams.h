#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Threading/ReuseAllocator.h"

#include <cstddef>
#include <cstdint>

namespace ZV {

class LControl;
class LMenuDescriptor;

// The activation of one menu item: the menu that holds it and the item's index in that menu.
class LMenuActivationParam : public virtual LRefCountedObject {
public:
    static RCPtr<LMenuActivationParam> Create(const ConstRCPtr<LMenuDescriptor>& menu, std::uint32_t item);
    ~LMenuActivationParam() override;

    const ConstRCPtr<LMenuDescriptor>& GetMenu() const { return mMenu; }
    std::uint32_t GetItem() const { return mItem; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

protected:
    LMenuActivationParam(const ConstRCPtr<LMenuDescriptor>& menu, std::uint32_t item);

private:
    ConstRCPtr<LMenuDescriptor> mMenu;
    std::uint32_t mItem;
};

// Held by a control so that menus can ask it about the state of their items.
class LMenuItemUpdater : public virtual LRefCountedObject {
public:
    static RCPtr<LMenuItemUpdater> Create(const ConstRCPtr<LControl>& control);
    ~LMenuItemUpdater() override;

    // The control whose menu items this updater answers for.
    const ConstRCPtr<LControl>& GetControl() const { return mControl; }
    // Lets go of the control, which is going: menus that still hold the updater ask it no more.
    void ReleaseControl();

protected:
    explicit LMenuItemUpdater(const ConstRCPtr<LControl>& control);

private:
    ConstRCPtr<LControl> mControl;
};

// No lock: the records are made and let go on the user-interface thread only.
ReuseAllocator<LMenuActivationParam, 4>& GetMenuActivationParamPool();

}  // namespace ZV
