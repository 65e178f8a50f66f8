#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>

namespace ZV::Fuzz {

namespace {

const char* gReplayedInputName = nullptr;

}  // namespace

void FailCheck(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "Fuzz check failed: %s (%s, line %d)\n", condition, file, line);
    if (gReplayedInputName != nullptr) {
        std::fprintf(stderr, "Input: %s\n", gReplayedInputName);
    }
    std::fflush(stderr);
    std::abort();
}

void SetReplayedInputName(const char* name)
{
    gReplayedInputName = name;
}

}  // namespace ZV::Fuzz
