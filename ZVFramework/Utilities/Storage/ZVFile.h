#pragma once

#include "ObjectBase/Holder.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringArrayT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The separator that joins path elements here. Splitting accepts '\' as well, so names that contain '\' are not
// supported.
inline constexpr wchar_t kPathSep = L'/';

// One disk file, opened in binary mode through a descriptor. Copies share the descriptor; it is closed by the Close
// of the last copy that holds it.
class File {
public:
    static constexpr std::uint32_t kModeRead = 0x10000;
    // Without it the descriptor is read-only and Write refuses.
    static constexpr std::uint32_t kModeReadWrite = 0x20000;
    // Opening fails when the file exists; only together with kModeCreate.
    static constexpr std::uint32_t kModeExclusive = 0x40000;
    static constexpr std::uint32_t kModeCreate = 0x80000;
    static constexpr std::uint32_t kModeDeleteOnClose = 0x100000;

    // As a position, the descriptor's current position.
    static constexpr std::uint32_t kCurrentPosition = 0xFFFFFFFF;

    File() = default;
    File(const WideString& folder, const WideString& name, std::uint32_t mode);
    File(const File&) = default;
    File& operator=(const File&) = delete;
    virtual ~File();

    // 1 when the file is open already (nothing changes), else 0. An empty name opens the folder argument as the path.
    virtual int Open(const WideString& folder, const WideString& name, std::uint32_t mode);
    virtual int Close();
    // Bytes read, 0 at the end of the file.
    virtual std::uint32_t Read(void* buffer, std::uint32_t count, std::uint32_t position);
    virtual std::uint32_t Write(const void* buffer, std::uint32_t count, std::uint32_t position);
    // Origin 0 the start, 1 the current position, 2 the end. The new position, or -1.
    virtual zlong Seek(zlong offset, int origin);
    std::uint32_t GetLength() const;

    const WideString& GetPath() const { return mPath; }

    // 1 when the folder exists, 0 when it was created, ZV_E_FAIL when the path is a file or cannot be created.
    [[nodiscard]] static ZVRESULT EnsureFolderExists(const WideString& path);
    // Something other than a folder exists at the path.
    static bool FileExists(const WideString& path);
    // Creates every folder of the path that is missing; with lastIsFile the last element is a file's name and stays
    // uncreated. Whether the wanted folder exists afterwards.
    static bool CreateFolderChain(const WideString& path, bool lastIsFile);
    static WideString GetLongPathName(const WideString& path);
    // The path without its last element; a root keeps its separator, a bare name gives the empty string.
    static WideString GetParentFolder(const WideString& path);
    // What follows the last separator; the whole path when there is no separator or nothing follows it.
    static WideString GetFileName(const WideString& path);
    // The name with every character that a file name must not hold replaced by '_'.
    static WideString MakeValidFileName(const WideString& name);
    // Fills out with the full paths of the files (never folders) of the folder whose names match the wildcard
    // pattern, sorted by name. The count, ZV_E_NOTIMPL when the folder is not there, ZV_E_FAIL when it cannot be read.
    static int ListFiles(const WideString& folder, const WideString& pattern, WideStringArray& out);

private:
    // The descriptor, or -1 when closed, so that calls on a closed file fail instead of touching nothing.
    int Descriptor() const { return mDescriptor.IsNull() ? -1 : mDescriptor->GetValue(); }

    ConstRCPtr<LHolder<int>> mDescriptor;
    WideString mName;
    WideString mPath;
    std::uint32_t mMode = kModeRead;
};

}  // namespace ZV
