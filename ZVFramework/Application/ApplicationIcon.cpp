#include "Application/ApplicationIcon.h"

#include "Platform/EmbeddedResources.h"
#include "ControlBase/DebugLine.h"
#include "Utilities/Graphics/PngDecoder.h"

#include <string>

namespace ZV {

std::unique_ptr<PixelImage> GetApplicationIcon()
{
    const Platform::EmbeddedResource* resource = Platform::FindEmbeddedResource("128", "ICON");
    if (resource == nullptr) {
        return nullptr;
    }
    std::string reason;
    std::unique_ptr<PixelImage> icon = DecodePng(resource->data, resource->size, reason);
    if (!icon) {
        WriteDebugLine("The program's icon is not a usable PNG: " + reason);
    }
    return icon;
}

}  // namespace ZV
