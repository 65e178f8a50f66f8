#include "Utilities/Storage/ZVFile.h"

#include "ObjectBase/Exception.h"
#include "Platform/FileSystem.h"
#include "Platform/FolderListing.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace ZV {

namespace {

bool IsSeparator(wchar_t character)
{
    return character == L'\\' || character == L'/';
}

bool IsSeparator(char character)
{
    return character == '\\' || character == '/';
}

// Index of the last '\' or '/', or -1.
int LastSeparator(const WideString& path)
{
    const wchar_t* data = path.GetData();
    for (int i = static_cast<int>(path.GetLength()) - 1; i >= 0; --i) {
        if (IsSeparator(data[i])) {
            return i;
        }
    }
    return -1;
}

bool Exists(const std::string& path)
{
    return Platform::GetPathKind(path.c_str()) != Platform::PathKind::missing;
}

}  // namespace

File::File(const WideString& folder, const WideString& name, std::uint32_t mode) : mMode(mode)
{
    Open(folder, name, mode);
}

File::~File()
{
    Close();
}

int File::Open(const WideString& folder, const WideString& name, std::uint32_t mode)
{
    if (!mDescriptor.IsNull()) {
        return 1;
    }
    if (!name.IsEmpty()) {
        mName = name;
        mPath = folder;
        mPath.AppendChar(kPathSep);
        mPath += name;
    } else if (folder.IsEmpty()) {
        ZV_THROW(std::runtime_error, "invalid pathname");
    } else {
        mPath = folder;
    }
    mMode = mode;
    const bool create = (mode & kModeCreate) != 0;
    const int descriptor = Platform::OpenFile(
        mPath.ToUTF8().GetData(),
        {.readWrite = (mode & kModeReadWrite) != 0, .create = create, .exclusive = create && (mode & kModeExclusive)});
    if (descriptor >= 0) {
        mDescriptor = LHolder<int>::Create(descriptor);
    }
    if (mDescriptor.IsNull()) {
        ZV_THROW(std::runtime_error, "open");
    }
    return 0;
}

int File::Close()
{
    if (mDescriptor.IsNull() || mDescriptor->GetRefCount() != 1) {
        return 0;
    }
    Platform::CloseFile(mDescriptor->GetValue());
    if ((mMode & kModeDeleteOnClose) != 0) {
        Platform::DeleteFile(mPath.ToUTF8().GetData());
    }
    mDescriptor = nullptr;
    return 0;
}

std::uint32_t File::Read(void* buffer, std::uint32_t count, std::uint32_t position)
{
    if (position != kCurrentPosition && Platform::SeekFile(Descriptor(), position, 0) != position) {
        ZV_THROW(std::runtime_error, "lseek");
    }
    const std::int64_t read = Platform::ReadFile(Descriptor(), buffer, count);
    if (read < 0) {
        ZV_THROW(std::runtime_error, "read");
    }
    return static_cast<std::uint32_t>(read);
}

std::uint32_t File::Write(const void* buffer, std::uint32_t count, std::uint32_t position)
{
    if ((mMode & kModeReadWrite) == 0) {
        ZV_THROW(std::runtime_error, "file is read only");
    }
    if (position != kCurrentPosition && Platform::SeekFile(Descriptor(), position, 0) != position) {
        ZV_THROW(std::runtime_error, "lseek");
    }
    const std::int64_t written = Platform::WriteFile(Descriptor(), buffer, count);
    if (written < 0) {
        ZV_THROW(std::runtime_error, "write");
    }
    return static_cast<std::uint32_t>(written);
}

zlong File::Seek(zlong offset, int origin)
{
    const std::int64_t position = Platform::SeekFile(Descriptor(), offset, origin);
    // A position that the result cannot carry is reported like a failure rather than cut short.
    return position <= std::numeric_limits<zlong>::max() ? static_cast<zlong>(position) : -1;
}

std::uint32_t File::GetLength() const
{
    std::uint64_t size = 0;
    // A size beyond the 32-bit result would be reported wrongly, so it fails like the status query.
    if (!Platform::GetFileSize(Descriptor(), size) || size > std::numeric_limits<std::uint32_t>::max()) {
        ZV_THROW(std::runtime_error, "fstat");
    }
    return static_cast<std::uint32_t>(size);
}

ZVRESULT File::EnsureFolderExists(const WideString& path)
{
    switch (Platform::GetPathKind(path.ToUTF8().GetData())) {
    case Platform::PathKind::missing:
        return CreateFolderChain(path, false) ? ZV_S_OK : ZV_E_FAIL;
    case Platform::PathKind::folder:
        return ZV_S_FALSE;
    case Platform::PathKind::file:
        break;
    }
    return ZV_E_FAIL;
}

bool File::FileExists(const WideString& path)
{
    return Platform::GetPathKind(path.ToUTF8().GetData()) == Platform::PathKind::file;
}

bool File::CreateFolderChain(const WideString& path, bool lastIsFile)
{
    // Separators are ASCII, so they stand at the same places in the UTF-8 form.
    const std::string utf8(path.ToUTF8().GetData());
    std::size_t lastSeparator = std::string::npos;
    for (std::size_t i = 1; i < utf8.size(); ++i) {
        if (IsSeparator(utf8[i])) {
            Platform::CreateFolder(utf8.substr(0, i).c_str());
            lastSeparator = i;
        }
    }
    if (!lastIsFile) {
        Platform::CreateFolder(utf8.c_str());
        return Exists(utf8);
    }
    return lastSeparator == std::string::npos || Exists(utf8.substr(0, lastSeparator));
}

WideString File::GetLongPathName(const WideString& path)
{
    // Linux keeps no short names: the long form of a path is the path itself, and so is the answer for a path that
    // does not exist.
    return path;
}

WideString File::GetParentFolder(const WideString& path)
{
    const int separator = LastSeparator(path);
    if (separator < 0) {
        return WideString();
    }
    return path.Left(separator == 0 ? 1 : static_cast<std::uint32_t>(separator));
}

WideString File::GetFileName(const WideString& path)
{
    const int separator = LastSeparator(path);
    if (separator < 0 || static_cast<std::uint32_t>(separator) + 1 == path.GetLength()) {
        return path;
    }
    return path.MidToEnd(separator + 1);
}

WideString File::MakeValidFileName(const WideString& name)
{
    WideString valid(name);
    valid.ReplaceAnyOf(L"\\/:*?\"<>|&;,^()", L'_');
    return valid;
}

int File::ListFiles(const WideString& folder, const WideString& pattern, WideStringArray& out)
{
    (void)out.Clear();
    std::vector<std::string> names;
    const Platform::FolderListingResult result =
        Platform::ListMatchingFiles(folder.ToUTF8().GetData(), pattern.ToUTF8().GetData(), names);
    if (result == Platform::FolderListingResult::folderMissing) {
        return ZV_E_NOTIMPL;
    }
    if (result == Platform::FolderListingResult::failed) {
        return ZV_E_FAIL;
    }
    WideString prefix(folder);
    if (prefix.IsEmpty() || prefix.GetData()[prefix.GetLength() - 1] != kPathSep) {
        prefix.AppendChar(kPathSep);
    }
    for (const std::string& name : names) {
        if (Failed(out.AddItem(prefix + WideString(name.c_str())))) {
            return ZV_E_FAIL;
        }
    }
    return static_cast<int>(out.GetCount());
}

}  // namespace ZV
