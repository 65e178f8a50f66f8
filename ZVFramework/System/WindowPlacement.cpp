#include "System/WindowPlacement.h"

#include "Platform/FileSystem.h"
#include "Platform/UserFolders.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace ZV {

namespace {

constexpr zlong kLargestCoordinate = 1 << 20;
constexpr std::size_t kLargestFile = 128;

bool IsSoundClassName(const NarrowString& name)
{
    if (name.IsEmpty() || name == "." || name == "..") {
        return false;
    }
    for (const char* character = name.GetData(); *character != 0; ++character) {
        if (*character == Platform::kPathSeparator) {
            return false;
        }
    }
    return true;
}

// The start on one axis that keeps an extent inside the area's, or at its start when it does not fit.
zlong MoveIntoSpan(zlong start, zlong extent, zlong areaStart, zlong areaExtent)
{
    const std::int64_t areaEnd = std::int64_t{areaStart} + areaExtent;
    std::int64_t moved = std::max<std::int64_t>(start, areaStart);
    if (moved + extent > areaEnd) {
        moved = std::max<std::int64_t>(areaEnd - extent, areaStart);
    }
    return static_cast<zlong>(moved);
}

}  // namespace

RectT<zlong> MoveIntoArea(const RectT<zlong>& rect, const RectT<zlong>& area)
{
    return {MoveIntoSpan(rect.x, rect.width, area.x, area.width),
            MoveIntoSpan(rect.y, rect.height, area.y, area.height), rect.width, rect.height};
}

WindowPlacementStore::WindowPlacementStore(const WideString& className)
{
    const NarrowString name = className.ToUTF8();
    const std::string folder = Platform::GetUserDataFolder();
    if (IsSoundClassName(name) && !folder.empty()) {
        mPath = NarrowString((folder + "/").c_str()) + name + NarrowString("/WindowPlacement");
    }
}

bool WindowPlacementStore::Save(const RectT<zlong>& bounds) const
{
    if (mPath.IsEmpty()) {
        return false;
    }
    const std::string path(mPath.GetData());
    if (!Platform::CreateFolderPath(path.substr(0, path.rfind(Platform::kPathSeparator)))) {
        return false;
    }
    char text[kLargestFile];
    const int length = std::snprintf(text, sizeof text, "%d %d %d %d\n", static_cast<int>(bounds.x),
                                     static_cast<int>(bounds.y), static_cast<int>(bounds.width),
                                     static_cast<int>(bounds.height));
    (void)Platform::DeleteFile(path.c_str());
    const int file = Platform::OpenFile(path.c_str(), {.readWrite = true, .create = true});
    if (file < 0) {
        return false;
    }
    const bool written = Platform::WriteFile(file, text, static_cast<std::size_t>(length)) == length;
    return Platform::CloseFile(file) && written;
}

bool WindowPlacementStore::Load(RectT<zlong>& bounds) const
{
    if (mPath.IsEmpty()) {
        return false;
    }
    const int file = Platform::OpenFile(mPath.GetData(), {});
    if (file < 0) {
        return false;
    }
    char text[kLargestFile];
    const std::int64_t length = Platform::ReadFile(file, text, sizeof text);
    (void)Platform::CloseFile(file);
    if (length <= 0) {
        return false;
    }
    const char* position = text;
    const char* const end = text + length;
    zlong values[4] = {};
    for (zlong& value : values) {
        while (position < end && (*position == ' ' || *position == '\n')) {
            ++position;
        }
        const auto [stop, error] = std::from_chars(position, end, value);
        if (error != std::errc() || value < -kLargestCoordinate || value > kLargestCoordinate) {
            return false;
        }
        position = stop;
    }
    if (values[2] <= 0 || values[3] <= 0) {
        return false;
    }
    bounds = RectT<zlong>(values[0], values[1], values[2], values[3]);
    return true;
}

}  // namespace ZV
