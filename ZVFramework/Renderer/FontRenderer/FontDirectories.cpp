#include "Renderer/FontRenderer/FontDirectories.h"

#include "ObjectBase/Exception.h"
#include "Platform/FontLibrary.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

namespace ZV {

namespace {

std::optional<WideStringArray> gOverride;

WideStringArray FontconfigDirectories()
{
    Platform::StartFontLibrary();
    WideStringArray folders;
    FcStrList* list = FcConfigGetFontDirs(nullptr);
    if (list == nullptr) {
        return folders;
    }
    while (const FcChar8* folder = FcStrListNext(list)) {
        WideString path;
        if (Succeeded(path.AssignFromUTF8(reinterpret_cast<const char*>(folder), -1))) {
            ZV_THROW_IF_FAILED(folders.AddItem(path));
        }
    }
    FcStrListDone(list);
    return folders;
}

}  // namespace

WideStringArray GetFontDirectories()
{
    WideStringArray folders = gOverride ? *gOverride : FontconfigDirectories();
    WideString* begin = folders.GetData();
    WideString* end = begin + folders.GetCount();
    std::sort(begin, end);
    (void)folders.SetCount(static_cast<std::uint32_t>(std::unique(begin, end) - begin));
    return folders;
}

void OverrideFontDirectories(std::optional<WideStringArray> folders)
{
    gOverride = std::move(folders);
}

}  // namespace ZV
