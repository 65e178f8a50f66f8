#include "Renderer/ColorRectList.h"

#include <atomic>

namespace ZV {

std::intptr_t NewColorRectListIdentity()
{
    static std::atomic<std::intptr_t> gLastIdentity{0};
    return ++gLastIdentity;
}

}  // namespace ZV
