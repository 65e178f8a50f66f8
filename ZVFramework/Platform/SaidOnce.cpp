#include "Platform/SaidOnce.h"

#include "Platform/StandardError.h"

#include <functional>
#include <mutex>
#include <set>
#include <string>

namespace ZV::Platform {

bool IsSaidForTheFirstTime(std::string_view text)
{
    // Never destroyed: a settings file written by a static object on the program's way out may still say a line.
    static std::mutex lock;
    static auto& said = *new std::set<std::string, std::less<>>();
    const std::lock_guard guard(lock);
    return said.emplace(text).second;
}

void WriteLineOnceToStandardError(std::string_view text)
{
    if (IsSaidForTheFirstTime(text)) {
        WriteLineToStandardError(text);
    }
}

}  // namespace ZV::Platform
