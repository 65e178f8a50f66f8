#pragma once

#include <cstdint>

namespace ZV {

// Result codes and the widths the framework means by "long": 32 bits, so that failure codes stay negative.
using ZVRESULT = std::int32_t;
using zlong = std::int32_t;
using zulong = std::uint32_t;

inline constexpr ZVRESULT ZV_S_OK = 0;
// Success with nothing left to do (a file already open, a buffer that was not locked).
inline constexpr ZVRESULT ZV_S_FALSE = 1;
inline constexpr ZVRESULT ZV_E_FAIL = static_cast<ZVRESULT>(0x80004005u);
inline constexpr ZVRESULT ZV_E_INVALIDARG = static_cast<ZVRESULT>(0x80070057u);
inline constexpr ZVRESULT ZV_E_NOTIMPL = static_cast<ZVRESULT>(0x80004001u);

constexpr bool Succeeded(ZVRESULT result)
{
    return result >= 0;
}

constexpr bool Failed(ZVRESULT result)
{
    return result < 0;
}

}  // namespace ZV
