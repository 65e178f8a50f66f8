#pragma once

#include <string>
#include <typeinfo>

namespace ZV::Platform {

// The compiler's readable spelling of a type ("ZV::LEvent", "ZV::LHolder<int>").
std::string DemangledTypeName(const std::type_info& type);

}  // namespace ZV::Platform
