#include "Renderer/FontRenderer/FreetypeState.h"

#include "Renderer/FontRenderer/FontCatalogue.h"

namespace ZV {

namespace {

constexpr FT_UInt kMaxFaces = 8;
constexpr FT_UInt kMaxSizes = 16;
constexpr FT_ULong kMaxCacheBytes = 0x400000;
constexpr FT_UInt kDotsPerInch = 96;
// The largest size in 26.6 points that the scaler carries.
constexpr double kMaxScaledPoints = 0x7FFFFFFF;

// Not owned: the renderers hold the state, and its destructor clears this.
LFreetypeState* gLiveState = nullptr;

// Cache face ids are file ids + 1: FreeType takes a null face id for none, and file id 0 is the first family's
// regular face.
FTC_FaceID FaceIDOf(std::int32_t fileID)
{
    return reinterpret_cast<FTC_FaceID>(static_cast<std::intptr_t>(fileID) + 1);
}

std::int32_t FileIDOf(FTC_FaceID faceID)
{
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(faceID) - 1);
}

}  // namespace

RCPtr<LFreetypeState> LFreetypeState::Acquire()
{
    return RCPtr<LFreetypeState>(gLiveState != nullptr ? gLiveState : new LFreetypeState());
}

LFreetypeState::LFreetypeState()
{
    gLiveState = this;
    if (FT_Init_FreeType(&mLibrary) != 0) {
        mLibrary = nullptr;
        return;
    }
    if (FTC_Manager_New(mLibrary, kMaxFaces, kMaxSizes, kMaxCacheBytes, &RequestFace, nullptr, &mManager) != 0) {
        mManager = nullptr;
    }
}

LFreetypeState::~LFreetypeState()
{
    if (mManager != nullptr) {
        FTC_Manager_Done(mManager);
    }
    if (mLibrary != nullptr) {
        FT_Done_FreeType(mLibrary);
    }
    gLiveState = nullptr;
    ClearFontCatalogue();
}

FT_Error LFreetypeState::LookupSize(std::int32_t fileID, float points, FT_Size& size)
{
    const double scaledPoints = static_cast<double>(points) * 64.0;
    if (mManager == nullptr) {
        return FT_Err_Invalid_Cache_Handle;
    }
    if (!(scaledPoints >= 1.0 && scaledPoints <= kMaxScaledPoints)) {
        return FT_Err_Invalid_Pixel_Size;
    }
    FTC_ScalerRec scaler{};
    scaler.face_id = FaceIDOf(fileID);
    scaler.width = 0;
    scaler.height = static_cast<FT_UInt>(scaledPoints);
    scaler.pixel = 0;
    scaler.x_res = kDotsPerInch;
    scaler.y_res = kDotsPerInch;
    return FTC_Manager_LookupSize(mManager, &scaler, &size);
}

void LFreetypeState::ForgetFaces()
{
    if (mManager != nullptr) {
        FTC_Manager_Reset(mManager);
    }
}

FT_Error LFreetypeState::RequestFace(FTC_FaceID faceID, FT_Library library, FT_Pointer, FT_Face* face)
{
    const std::int32_t fileID = FileIDOf(faceID);
    const WideString& path = GetFontFilePath(fileID);
    if (path.IsEmpty()) {
        return FT_Err_Cannot_Open_Resource;
    }
    return FT_New_Face(library, path.ToUTF8().GetData(), GetFontFaceIndex(fileID), face);
}

}  // namespace ZV
