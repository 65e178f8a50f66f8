#pragma once

#include "ObjectBase/RefCountedObject.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H

#include <cstdint>

namespace ZV {

// The process's one FreeType library and cache manager (8 faces, 16 sizes, 4 MiB), shared by every FreeType font
// renderer: the first renderer makes it, each holds it, and the last one's release destroys it, which also empties
// the font catalogue. Faces are cached under their file ids (FontCatalogue.h), so a rescan of the catalogue must be
// followed by ForgetFaces. User-interface thread only.
class LFreetypeState : public virtual LRefCountedObject {
public:
    // The live state, or a new one. A FreeType set-up that fails leaves the state without a manager: every size
    // lookup fails then.
    static RCPtr<LFreetypeState> Acquire();
    ~LFreetypeState() override;

    // The size of the face of a file id at a size in points, at 96 dots per inch, activated on its face.
    FT_Error LookupSize(std::int32_t fileID, float points, FT_Size& size);
    // Drops every cached face and size.
    void ForgetFaces();

private:
    LFreetypeState();

    // The cache manager's face requester: opens the face of a file id.
    static FT_Error RequestFace(FTC_FaceID faceID, FT_Library library, FT_Pointer requestData, FT_Face* face);

    FT_Library mLibrary = nullptr;
    FTC_Manager mManager = nullptr;
};

}  // namespace ZV
