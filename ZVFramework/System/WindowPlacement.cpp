#include "System/WindowPlacement.h"

#include "ControlBase/DebugLine.h"
#include "Platform/CheckedFolder.h"
#include "Platform/FileSystem.h"
#include "Platform/SaidOnce.h"
#include "Platform/UserFolders.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace ZV {

namespace {

constexpr zlong kLargestCoordinate = 1 << 20;
constexpr std::size_t kLargestFile = 128;

// The folder the placement file lies in, and the file's name there; not open, with one line on the standard error,
// when another user could turn it elsewhere.
Platform::CheckedFolder FindFileFolder(const NarrowString& path, Platform::CheckedFolder::Missing missing,
                                       std::string& name)
{
    Platform::CheckedFolder folder = Platform::CheckedFolder::OpenFileFolder(path.GetData(), missing, name);
    if (folder.IsUnsafe()) {
        Platform::WriteLineOnceToStandardError("The window's place is neither read nor kept in " +
                                               std::string(path.GetData()) + ", as " + folder.GetExposedPath() + " " +
                                               folder.GetExposure() + ".");
    }
    return folder;
}

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
        WriteDebugLine("The window's place is not kept: no data folder is known, or the class name names no file.");
        return false;
    }
    std::string name;
    const Platform::CheckedFolder folder = FindFileFolder(mPath, Platform::CheckedFolder::Missing::make, name);
    if (!folder.IsOpen()) {
        // Another user's hand on the way has been said on the standard error already.
        if (!folder.IsUnsafe()) {
            WriteDebugLine("The window's place is not kept, as the folder of " + std::string(mPath.GetData()) + " " +
                           folder.GetRefusal() + ".");
        }
        return false;
    }
    char text[kLargestFile];
    const int length = std::snprintf(text, sizeof text, "%d %d %d %d\n", static_cast<int>(bounds.x),
                                     static_cast<int>(bounds.y), static_cast<int>(bounds.width),
                                     static_cast<int>(bounds.height));
    if (Platform::ReplaceFileIn(folder, name, std::string_view(text, static_cast<std::size_t>(length))) !=
        Platform::FileWrite::done) {
        WriteDebugLine("The window's place could not be written to " + std::string(mPath.GetData()) + ".");
        return false;
    }
    return true;
}

bool WindowPlacementStore::Load(RectT<zlong>& bounds) const
{
    if (mPath.IsEmpty()) {
        return false;
    }
    std::string name;
    std::string content;
    const Platform::CheckedFolder folder = FindFileFolder(mPath, Platform::CheckedFolder::Missing::refuse, name);
    if (!folder.IsOpen() || Platform::ReadFileIn(folder, name, kLargestFile, content) != Platform::FileRead::done) {
        return false;
    }
    const char* position = content.data();
    const char* const end = position + content.size();
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
