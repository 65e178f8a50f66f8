#pragma once

#include <cstdint>

namespace ZV {

// The settings that the control factory reads from one SubControl element of a skin. Controls and descriptors
// reach theirs through GetSubControlSettings(); sorting children by tab, drawing and layout order reads them.
struct SubControlSettings {
    bool clipToParent = true;
    std::int32_t zOrder = 0;
    std::int32_t tabStop = 0;
    bool xIsDocked = false;
    bool yIsDocked = false;
    std::int32_t layoutOrder = 0;
};

}  // namespace ZV
