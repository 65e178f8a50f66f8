// The name tables of font files and collections over any bytes: every read lies inside the file and the reads are
// bounded, the names handed out are whole (a family, a subfamily in small letters, a face of the file) and within
// the limits, and a second reading finds the same.
#include "FuzzTarget.h"
#include "Renderer/FontRenderer/FontNameTable.h"

#include <cstring>
#include <vector>

namespace {

using ZV::FontFaceName;
using ZV::FontFileLimits;

class MemoryFontBytes : public ZV::IFontBytes {
public:
    MemoryFontBytes(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}

    std::uint64_t GetLength() override { return mSize; }

    bool Read(std::uint64_t offset, std::uint32_t count, std::uint8_t* target) override
    {
        ZV_FUZZ_CHECK(offset <= mSize && count <= mSize - offset);
        ++mReads;
        std::memcpy(target, mData + offset, count);
        return true;
    }

    std::uint64_t GetReadCount() const { return mReads; }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
    std::uint64_t mReads = 0;
};

struct Name {
    std::int32_t faceIndex;
    ZV::WideString family;
    ZV::WideString subfamily;
    bool operator==(const Name&) const = default;
};

std::vector<Name> ReadNames(const std::uint8_t* data, std::size_t size, bool& withinLimits)
{
    MemoryFontBytes bytes(data, size);
    ZV::Array<FontFaceName> found;
    withinLimits = ZV::ReadFontFaceNames(bytes, found);
    // The file's header, its face offsets, and per face at most its offset table and table records, the name
    // table's header and records and its string storage.
    ZV_FUZZ_CHECK(bytes.GetReadCount() <= 2 + 5 * std::uint64_t{FontFileLimits::kMaxFaces});
    std::vector<Name> names;
    for (std::uint32_t index = 0; index < found.GetCount(); ++index) {
        const FontFaceName& name = *found.GetItemPointer(index);
        names.push_back({name.faceIndex, name.family, name.subfamily});
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    bool withinLimits = false;
    const std::vector<Name> names = ReadNames(data, size, withinLimits);
    ZV_FUZZ_CHECK(withinLimits || names.empty());
    ZV_FUZZ_CHECK(names.size() <= FontFileLimits::kMaxNames);
    const bool collection = size >= 4 && std::memcmp(data, "ttcf", 4) == 0;
    std::int32_t lastFace = 0;
    for (const Name& name : names) {
        ZV_FUZZ_CHECK(!name.family.IsEmpty() && !name.subfamily.IsEmpty());
        ZV_FUZZ_CHECK(name.subfamily == name.subfamily.ToLower());
        ZV_FUZZ_CHECK(name.faceIndex >= lastFace &&
                      name.faceIndex < static_cast<std::int32_t>(FontFileLimits::kMaxFaces));
        ZV_FUZZ_CHECK(collection || name.faceIndex == 0);
        lastFace = name.faceIndex;
    }
    bool againWithinLimits = false;
    ZV_FUZZ_CHECK(ReadNames(data, size, againWithinLimits) == names && againWithinLimits == withinLimits);
    return 0;
}
