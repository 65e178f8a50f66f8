#include "Utilities/Graphics/Bitmap.h"

#include "Platform/EmbeddedResources.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Graphics/BitmapCache.h"
#include "Utilities/Graphics/BitmapData.h"
#include "Utilities/Graphics/PixelImage.h"
#include "Utilities/Graphics/PngDecoder.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/ZVFile.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

namespace ZV {

namespace {

// A PNG file larger than this is not read: no skin image comes near it.
constexpr std::uint32_t kMaxFileBytes = 64u << 20;

bool IsResourceName(const WideString& name)
{
    return name.GetLength() >= 2 && name.GetData()[0] == L':' && name.GetData()[1] == L':';
}

std::unique_ptr<PixelImage> DecodeResource(const WideString& name, std::string& reason)
{
    const std::string resourceName = Platform::ResourceNameFromSource(name.ToUTF8().GetData());
    const Platform::EmbeddedResource* resource = Platform::FindEmbeddedResource(resourceName, "GDIPLUS");
    if (resource == nullptr) {
        reason = "there is no resource " + resourceName + " of type GDIPLUS";
        return nullptr;
    }
    return DecodePng(resource->data, resource->size, reason);
}

std::unique_ptr<PixelImage> DecodeFile(const WideString& path, std::string& reason)
{
    if (!File::FileExists(path)) {
        reason = "there is no such file";
        return nullptr;
    }
    ArrayBuffer<std::uint8_t> bytes;
    try {
        File file;
        file.Open(path, WideString(), File::kModeRead);
        const std::uint32_t length = file.GetLength();
        if (length > kMaxFileBytes) {
            reason = "the file of " + std::to_string(length) + " bytes is too large";
            return nullptr;
        }
        if (bytes.SetCount(length) != static_cast<ZVRESULT>(length) ||
            (length != 0 && file.Read(bytes.GetData(), length, 0) != length)) {
            reason = "the file cannot be read";
            return nullptr;
        }
    } catch (const std::exception& error) {
        reason = error.what();
        return nullptr;
    }
    return DecodePng(bytes.GetData(), bytes.GetCount(), reason);
}

std::uint64_t NewIdentity()
{
    static std::atomic<std::uint64_t> gLastIdentity{0};
    return ++gLastIdentity;
}

bool FitsInt32(std::int64_t value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

void ReportUnloadedImage(const WideString& name, const std::string& reason)
{
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << "Image \"" << name.ToUTF8().GetData() << "\" not loaded: " << reason
                                   << std::endl;
}

}  // namespace

ConstRCPtr<LBitmap> LBitmap::GetCachedBitmap(const WideString& name)
{
    // Resource names match in any letter case; file names here are case-sensitive and kept as they are.
    const WideString key = IsResourceName(name) ? name.ToUpper() : File::GetLongPathName(name);
    if (ConstRCPtr<LBitmap> cached = GetBitmapCache().Find(key)) {
        return cached;
    }
    RCPtr<LBitmap> bitmap(new LBitmap(name, key));
    if (!bitmap->IsValid()) {
        return nullptr;
    }
    GetBitmapCache().Insert(key, bitmap);
    return bitmap;
}

LBitmap::LBitmap(const WideString& name, const WideString& cacheKey)
    : mIdentity(NewIdentity()), mName(name), mCacheKey(cacheKey)
{
    std::string reason;
    std::unique_ptr<PixelImage> image = IsResourceName(name) ? DecodeResource(name, reason) : DecodeFile(name, reason);
    if (!image) {
        ReportUnloadedImage(name, reason);
        return;
    }
    TakeImage(std::move(image));
}

LBitmap::LBitmap(std::unique_ptr<PixelImage> image) : mIdentity(NewIdentity())
{
    TakeImage(std::move(image));
}

LBitmap::LBitmap(const ConstRCPtr<LBitmap>& source, const RectT<zlong>& part)
    : mIdentity(NewIdentity()), mPart(part), mSource(source)
{
}

LBitmap::~LBitmap() = default;

void LBitmap::TakeImage(std::unique_ptr<PixelImage> image)
{
    // A bitmap that owns its image shows all of it, whether loaded or made in memory.
    mPart = RectT<zlong>(0, 0, image->GetWidth(), image->GetHeight());
    mImage = std::move(image);
}

bool LBitmap::IsValid() const
{
    return mImage != nullptr || !mSource.IsNull();
}

RCPtr<LBitmap> LBitmap::CreateSubBitmap(zlong x, zlong y, zlong width, zlong height) const
{
    if (width <= 0 || height <= 0) {
        x = 0;
        y = 0;
        width = mPart.width;
        height = mPart.height;
    }
    const std::int64_t left = std::int64_t{mPart.x} + x;
    const std::int64_t top = std::int64_t{mPart.y} + y;
    if (!FitsInt32(left) || !FitsInt32(top) || !FitsInt32(left + width) || !FitsInt32(top + height)) {
        ZV_THROW_IF_FAILED(ZV_E_INVALIDARG);
    }
    const RectT<zlong> part(static_cast<zlong>(left), static_cast<zlong>(top), width, height);
    return RCPtr<LBitmap>(new LBitmap(mSource.IsNull() ? ConstRCPtr<LBitmap>(this) : mSource, part));
}

RCPtr<LBitmap> LBitmap::Clone() const
{
    std::unique_ptr<PixelImage> copy = PixelImage::Create(mPart.width, mPart.height);
    if (!copy) {
        ZV_THROW(std::runtime_error, "");
    }
    // Only what lies inside the source image is copied; the rest stays transparent.
    if (const PixelImage* image = GetBitmapData()) {
        const std::int64_t left = std::max<std::int64_t>(mPart.x, 0);
        const std::int64_t top = std::max<std::int64_t>(mPart.y, 0);
        const std::int64_t right = std::min<std::int64_t>(std::int64_t{mPart.x} + mPart.width, image->GetWidth());
        const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{mPart.y} + mPart.height, image->GetHeight());
        for (std::int64_t y = top; y < bottom && left < right; ++y) {
            std::memcpy(copy->GetRow(static_cast<zlong>(y - mPart.y)) + (left - mPart.x),
                        image->GetRow(static_cast<zlong>(y)) + left, static_cast<std::size_t>(right - left) * 4);
        }
    }
    return RCPtr<LBitmap>(new LBitmap(std::move(copy)));
}

PixelImage* LBitmap::GetBitmapData() const
{
    return mSource.IsNull() ? mImage.get() : mSource->GetBitmapData();
}

ConstRCPtr<LBitmapData> LBitmap::GetPixelData() const
{
    if (!mSource.IsNull()) {
        return mSource->GetPixelData();
    }
    return ConstRCPtr<LBitmapData>(new LBitmapData(ConstRCPtr<LBitmap>(this)));
}

LColor LBitmap::GetPixelColor(zlong x, zlong y) const
{
    const PixelImage* image = GetBitmapData();
    const std::int64_t column = std::int64_t{mPart.x} + x;
    const std::int64_t row = std::int64_t{mPart.y} + y;
    if (image == nullptr || column < 0 || row < 0 || column >= image->GetWidth() || row >= image->GetHeight()) {
        return LColor();
    }
    return LColor().SetFromARGB(image->GetRow(static_cast<zlong>(row))[column]);
}

ZVRESULT LBitmap::ReleaseInternalReferences()
{
    if (!mCacheKey.IsEmpty()) {
        GetBitmapCache().Remove(mCacheKey, this);
    }
    return LRefCountedObject::ReleaseInternalReferences();
}

}  // namespace ZV
