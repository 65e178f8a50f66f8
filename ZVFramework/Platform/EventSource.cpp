#include "Platform/EventSource.h"

#include <poll.h>

#include <vector>

namespace ZV::Platform {

void WaitForDescriptors(const int* descriptors, std::size_t count, int timeoutMs)
{
    std::vector<pollfd> watched;
    watched.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        if (descriptors[index] >= 0) {
            watched.push_back({descriptors[index], POLLIN, 0});
        }
    }
    (void)poll(watched.data(), watched.size(), timeoutMs);
}

}  // namespace ZV::Platform
