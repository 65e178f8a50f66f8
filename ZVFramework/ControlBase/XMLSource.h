#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <cstdint>

namespace ZV {

inline constexpr ZVRESULT ZV_E_OUTOFMEMORY = static_cast<ZVRESULT>(0x8007000Eu);

// The bytes of an XML document named by a source: "::" and a resource name (of type "ZVXML", read in place, no file
// touched), or a file path (read whole).
class XMLSource {
public:
    // 0 with the bytes; ZV_E_FAIL for a resource that is missing or empty, or a file that changed its length while
    // read; ZV_E_OUTOFMEMORY when no buffer holds the file. A file that cannot be opened or read throws the file's
    // runtime error.
    [[nodiscard]] ZVRESULT Load(const WideString& source);

    const char* GetData() const { return mData; }
    std::size_t GetSize() const { return mSize; }

private:
    ArrayBuffer<char> mFileBytes;
    const char* mData = nullptr;
    std::size_t mSize = 0;
};

}  // namespace ZV
