#pragma once

#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/RefCountedObject.h"

#include <cstdint>

namespace ZV {

// Which edges of the control a docked part keeps its offsets to.
enum DockFlag : std::uint32_t {
    kDockLeft = 0x1,
    kDockTop = 0x2,
    kDockRight = 0x4,
    kDockBottom = 0x8,
    kDockAllEdges = 0xF,
};

// Where a part sits in a control: offsets from the edges its dock flags name (right and bottom ones are usually 0
// or negative), and a fixed width or height where it has one.
struct DockingRecord {
    std::uint32_t dockFlags = 0;
    std::int32_t offsetLeft = 0;
    std::int32_t offsetTop = 0;
    std::int32_t offsetRight = 0;
    std::int32_t offsetBottom = 0;
    bool hasWidth = false;
    std::int32_t width = 0;
    bool hasHeight = false;
    std::int32_t height = 0;
};

// A visual part placed in a look.
class LDockedPart : public virtual LRefCountedObject {
public:
    LDockedPart(const RCPtr<LVisualPartDescriptor>& part, const DockingRecord& docking)
        : mPart(part), mDocking(docking)
    {
    }

    const RCPtr<LVisualPartDescriptor>& GetPart() const { return mPart; }
    const DockingRecord& GetDocking() const { return mDocking; }

private:
    RCPtr<LVisualPartDescriptor> mPart;
    DockingRecord mDocking;
};

}  // namespace ZV
