#pragma once

#include "Renderer/FontRenderer/FontNameTable.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace ZV::Testing {

// Font bytes in memory that count the work of reading them and note any read of a range outside them: the reader
// must check every range first.
class MemoryFontBytes final : public IFontBytes {
public:
    explicit MemoryFontBytes(const std::string& bytes) : mBytes(bytes) {}

    std::uint64_t GetLength() override { return mBytes.size(); }
    bool Read(std::uint64_t offset, std::uint32_t count, std::uint8_t* target) override
    {
        if (offset > mBytes.size() || count > mBytes.size() - offset) {
            mReadOutside = true;
            return false;
        }
        std::memcpy(target, mBytes.data() + offset, count);
        mBytesRead += count;
        ++mReads;
        return true;
    }

    bool ReadOutside() const { return mReadOutside; }
    std::uint64_t BytesRead() const { return mBytesRead; }
    std::uint64_t Reads() const { return mReads; }

private:
    const std::string& mBytes;
    bool mReadOutside = false;
    std::uint64_t mBytesRead = 0;
    std::uint64_t mReads = 0;
};

}  // namespace ZV::Testing
