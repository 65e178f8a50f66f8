#include "ControlBase/XMLSource.h"

#include "Platform/EmbeddedResources.h"
#include "Utilities/Storage/ZVFile.h"

#include <string>

namespace ZV {

ZVRESULT XMLSource::Load(const WideString& source)
{
    const NarrowString utf8Source = source.ToUTF8();
    const std::string resourceName = Platform::ResourceNameFromSource(utf8Source.GetData());
    if (!resourceName.empty()) {
        const Platform::EmbeddedResource* resource = Platform::FindEmbeddedResource(resourceName, "ZVXML");
        if (resource == nullptr || resource->size == 0) {
            return ZV_E_FAIL;
        }
        mData = reinterpret_cast<const char*>(resource->data);
        mSize = resource->size;
        return ZV_S_OK;
    }
    File file(source, WideString(), File::kModeRead);
    const std::uint32_t length = file.GetLength();
    if (mFileBytes.SetCount(length) != static_cast<ZVRESULT>(length)) {
        return ZV_E_OUTOFMEMORY;
    }
    if (length != 0 && file.Read(mFileBytes.GetData(), length, 0) != length) {
        return ZV_E_FAIL;
    }
    mData = mFileBytes.GetData();
    mSize = length;
    return ZV_S_OK;
}

}  // namespace ZV
