#include "Renderer/Polyline.h"

#include <atomic>

namespace ZV {

std::intptr_t NewPolylineIdentity()
{
    static std::atomic<std::intptr_t> gLastIdentity{0};
    return ++gLastIdentity;
}

}  // namespace ZV
