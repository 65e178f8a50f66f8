#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>

namespace ZV::Fuzz {

void FailCheck(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "Fuzz check failed: %s (%s, line %d)\n", condition, file, line);
    std::abort();
}

}  // namespace ZV::Fuzz
