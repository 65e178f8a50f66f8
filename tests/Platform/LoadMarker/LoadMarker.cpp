// A library that makes the file ZV_TEST_LOAD_MARKER names as it is loaded: what loads it, runs it.
#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void MarkTheLoading()
{
    if (const char* marker = std::getenv("ZV_TEST_LOAD_MARKER")) {
        if (std::FILE* file = std::fopen(marker, "w")) {
            std::fclose(file);
        }
    }
}

}  // namespace
