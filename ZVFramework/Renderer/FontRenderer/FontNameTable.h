#pragma once

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The bytes of a font file, read by position.
class IFontBytes {
public:
    virtual std::uint64_t GetLength() = 0;
    // Whether all count bytes at offset were read; false for a range that does not lie inside the file.
    virtual bool Read(std::uint64_t offset, std::uint32_t count, std::uint8_t* target) = 0;

protected:
    ~IFontBytes() = default;
};

// A family name and a subfamily name found together in the name table of one face of a font file.
struct FontFaceName {
    // The face's place among the faces of a collection file; 0 in a plain font file.
    std::int32_t faceIndex = 0;
    WideString family;
    // In small letters.
    WideString subfamily;
};

// What one font file may hold at most: far more than any real font or collection has, and little enough that its
// names are read in a moment.
struct FontFileLimits {
    static constexpr std::uint32_t kMaxFaces = 1024;
    // Table records and name records read; a table that several faces share is read once.
    static constexpr std::uint64_t kMaxRecords = std::uint64_t{1} << 18;
    // Bytes of name text decoded.
    static constexpr std::uint64_t kMaxTextBytes = std::uint64_t{4} << 20;
    // Pairs of family and subfamily names handed out, over all faces.
    static constexpr std::uint32_t kMaxNames = 8192;
};

// The names of the faces of a TrueType font file or collection ("ttcf", versions 1 and 2), in the order of the
// faces and of their name records. Only records of the family (1) and subfamily (2) names count, in Macintosh
// text (platform 1, language 0: UTF-8 here) or Windows text in US English (platform 3, language 0x409: UTF-16BE);
// each time both have been found, the pair is added and the search starts again. Every count and offset is checked
// against the file: a face whose tables do not lie inside it gives nothing, and a name whose text does not, or is
// not valid text, is passed over. Faces that share an offset table or a name table share what was read of it.
// names is emptied first. False, with names empty, for a file past the limits above.
bool ReadFontFaceNames(IFontBytes& bytes, Array<FontFaceName>& names);

}  // namespace ZV
