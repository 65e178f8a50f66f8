#pragma once

#include "ObjectBase/ResultCodes.h"

namespace ZV {

// A rectangle by its edges; right and bottom are exclusive, so it is empty unless right > left and bottom > top.
struct RectEdges {
    zlong left = 0;
    zlong top = 0;
    zlong right = 0;
    zlong bottom = 0;

    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const RectEdges&) const = default;
};

// One rectangle of a region and the link to the next.
struct RectNode : RectEdges {
    RectNode* next = nullptr;
};

}  // namespace ZV
