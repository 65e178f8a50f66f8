#include "Platform/TypeInfo.h"

#include <cstdlib>
#include <cxxabi.h>

namespace ZV::Platform {

std::string DemangledTypeName(const std::type_info& type)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    if (status != 0 || readable == nullptr) {
        return type.name();
    }
    std::string name(readable);
    std::free(readable);
    return name;
}

}  // namespace ZV::Platform
