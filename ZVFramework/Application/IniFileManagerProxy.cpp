#include "Application/IniFileManagerProxy.h"

#include "ControlBase/DebugLine.h"
#include "ObjectBase/Exception.h"
#include "Platform/FileSystem.h"
#include "Platform/SaidOnce.h"

#include <memory>
#include <new>
#include <string>
#include <utility>

namespace ZV {

namespace {

constexpr const char* kLibraryBaseName = "IniFileManager";
// The library's answer when a text does not fit the buffer; the size it needs, NUL included, is in the out-value.
constexpr ZVRESULT kTextBufferTooSmall = -2;
// The library's answer when the user may not write the file: it is left as it is.
constexpr ZVRESULT kFileReadOnly = -9;

template <class Function>
bool FindExport(Platform::SharedLibraryHandle library, const std::string& path, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(Platform::FindSharedLibraryFunction(library, name));
    if (function == nullptr) {
        WriteDebugLine("Settings library \"" + path + "\" lacks the function " + name + ".");
    }
    return function != nullptr;
}

// The text in a buffer that the library filled: it ends at the buffer's last byte, whatever the library left there.
ZVRESULT TakeText(char* buffer, std::int32_t size, WideString& text)
{
    buffer[size - 1] = 0;
    WideString converted;
    if (Failed(converted.AssignFromUTF8(buffer, -1))) {
        WriteDebugLine("Settings library gave a text that is not UTF-8; the default stands.");
        return ZV_E_FAIL;
    }
    text = converted;
    return ZV_S_OK;
}

// Reads a text through read(buffer, size, address of the size needed): into a buffer of the first size, and when the
// library answers that it is too small, once more into a buffer of the size it asks for. The text changes only when
// a read succeeds; any other answer is passed on.
template <class Read>
ZVRESULT ReadText(Read read, WideString& text)
{
    constexpr std::int32_t kFirstSize = CIniFileManagerProxy::kFirstTextBufferSize;
    char firstBuffer[kFirstSize] = {};
    std::int32_t needed = 0;
    const ZVRESULT first = read(firstBuffer, kFirstSize, &needed);
    if (first == ZV_S_OK) {
        return TakeText(firstBuffer, kFirstSize, text);
    }
    if (first != kTextBufferTooSmall) {
        return first;
    }
    if (needed < 1 || needed > CIniFileManagerProxy::kMaxSettingsSize) {
        WriteDebugLine("Settings library asked for a text buffer of " + std::to_string(needed) +
                       " bytes; the default stands.");
        return ZV_E_FAIL;
    }
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<std::size_t>(needed)]());
    if (buffer == nullptr) {
        return ZV_E_FAIL;
    }
    std::int32_t neededAgain = 0;
    const ZVRESULT second = read(buffer.get(), needed, &neededAgain);
    if (second != ZV_S_OK) {
        return second;
    }
    return TakeText(buffer.get(), needed, text);
}

// A count is believed when the library's call succeeded and the count is one a settings file can hold.
ZVRESULT CheckCount(ZVRESULT result, std::int32_t& count)
{
    if (Failed(result)) {
        count = 0;
        return result;
    }
    if (count < 0 || count > CIniFileManagerProxy::kMaxSettingsSize) {
        WriteDebugLine("Settings library gave the count " + std::to_string(count) + "; 0 stands.");
        count = 0;
        return ZV_E_FAIL;
    }
    return result;
}

// A count through function(handle, UTF-8 name, address of the count), checked.
template <class Function>
ZVRESULT ReadCount(Function function, IniFileHandle handle, const WideString& name, std::int32_t& count)
{
    count = 0;
    if (function == nullptr) {
        return ZV_E_FAIL;
    }
    return CheckCount(function(handle, name.ToUTF8().GetData(), &count), count);
}

// The text at an index through function(handle, UTF-8 name, index, buffer, size, address of the size needed).
template <class Function>
ZVRESULT ReadTextAt(Function function, IniFileHandle handle, const WideString& name, std::int32_t index,
                    WideString& text)
{
    text.Empty();
    if (function == nullptr) {
        return ZV_E_FAIL;
    }
    const NarrowString utf8Name = name.ToUTF8();
    return ReadText(
        [&](char* buffer, std::int32_t size, std::int32_t* needed) {
            return function(handle, utf8Name.GetData(), index, buffer, size, needed);
        },
        text);
}

// A file the library would not touch, as one that another user could turn elsewhere, is said once on the standard
// error, and in no other line: not only those who debug need to know that nothing reaches it.
void ReportUnsafe(const WideString& path)
{
    Platform::WriteLineOnceToStandardError("The settings file " + std::string(path.ToUTF8().GetData()) +
                                           " lies in a folder or behind a link that another user controls; it is "
                                           "neither read nor written.");
}

}  // namespace

CIniFileManagerProxy::~CIniFileManagerProxy()
{
    // Every failure has been reported on the debug output; there is no one left to pass it to.
    (void)Unload();
}

bool CIniFileManagerProxy::FindExports(Platform::SharedLibraryHandle library, const std::string& path,
                                       Exports& exports)
{
    // Each is looked for, so that the report names every one that is missing.
    bool complete = FindExport(library, path, "OpenIniFile", exports.openIniFile);
    complete &= FindExport(library, path, "WriteIniFile", exports.writeIniFile);
    complete &= FindExport(library, path, "DoesNodeExist", exports.doesNodeExist);
    complete &= FindExport(library, path, "CloseIniFile", exports.closeIniFile);
    complete &= FindExport(library, path, "GetIniValueInt", exports.getIniValueInt);
    complete &= FindExport(library, path, "SetIniValueInt", exports.setIniValueInt);
    complete &= FindExport(library, path, "GetIniValueStr", exports.getIniValueStr);
    complete &= FindExport(library, path, "SetIniValueStr", exports.setIniValueStr);
    complete &= FindExport(library, path, "GetKeyCount", exports.getKeyCount);
    complete &= FindExport(library, path, "GetKeyNameAt", exports.getKeyNameAt);
    complete &= FindExport(library, path, "GetArrayCount", exports.getArrayCount);
    complete &= FindExport(library, path, "SetArrayCount", exports.setArrayCount);
    complete &= FindExport(library, path, "GetArrayItemAt", exports.getArrayItemAt);
    complete &= FindExport(library, path, "SetArrayItemAt", exports.setArrayItemAt);
    complete &= FindExport(library, path, "RemoveArrayItemAt", exports.removeArrayItemAt);
    return complete;
}

ZVRESULT CIniFileManagerProxy::Load(const WideString& folder)
{
    if (mLibrary != nullptr) {
        return ZV_S_FALSE;
    }
    std::string path = folder.ToUTF8().GetData();
    if (!path.empty() && path.back() != Platform::kPathSeparator) {
        path += Platform::kPathSeparator;
    }
    path += Platform::GetSharedLibraryFileName(kLibraryBaseName);
    std::string error;
    const Platform::SharedLibraryHandle library = Platform::LoadSharedLibrary(path, error);
    if (library == nullptr) {
        WriteDebugLine("Settings library \"" + path + "\" not loaded (" + error +
                       "); the settings keep their defaults.");
        return ZV_E_FAIL;
    }
    // A library without all of them is another one than the program expects: none of its functions is called.
    Exports exports;
    if (!FindExports(library, path, exports)) {
        Platform::FreeSharedLibrary(library);
        WriteDebugLine("Settings library \"" + path + "\" not used; the settings keep their defaults.");
        return ZV_E_FAIL;
    }
    mLibrary = library;
    mExports = exports;
    return ZV_S_OK;
}

ZVRESULT CIniFileManagerProxy::Unload()
{
    if (mLibrary == nullptr) {
        return ZV_S_FALSE;
    }
    // The library's memory goes with it: what was not written by now would be lost.
    const ZVRESULT closed = CloseAllIniFiles();
    mExports = {};
    if (!Platform::FreeSharedLibrary(std::exchange(mLibrary, nullptr))) {
        WriteDebugLine("Settings library could not be unloaded.");
        return ZV_E_FAIL;
    }
    return Failed(closed) ? closed : ZV_S_OK;
}

ZVRESULT CIniFileManagerProxy::OpenIniFile(const WideString& path, const WideString& versionKey,
                                           const WideString& defaultSection, IniFileHandle& handle)
{
    handle = 0;
    if (mExports.openIniFile == nullptr) {
        return ZV_E_FAIL;
    }
    IniFileHandle opened = 0;
    const ZVRESULT result = mExports.openIniFile(path.ToUTF8().GetData(), versionKey.ToUTF8().GetData(),
                                                 defaultSection.ToUTF8().GetData(), &opened);
    if (Failed(result)) {
        if (result == kIniFileUnsafe) {
            ReportUnsafe(path);
        }
        return result;
    }
    if (opened == 0) {
        WriteDebugLine("Settings library opened \"" + std::string(path.ToUTF8().GetData()) + "\" without a handle.");
        return ZV_E_FAIL;
    }
    try {
        if (const std::int32_t known = FindOpenFile(opened); known >= 0) {
            mOpenFiles.GetData()[known].path = path;
        } else {
            (void)mOpenFiles.AddItem({opened, path});
        }
    } catch (const std::bad_alloc&) {
        // A file that would not be written at shut-down is not handed out.
        (void)mExports.closeIniFile(opened, 0);
        return ZV_E_FAIL;
    }
    handle = opened;
    return result;
}

std::int32_t CIniFileManagerProxy::FindOpenFile(IniFileHandle handle) const
{
    for (std::uint32_t index = 0; index < mOpenFiles.GetCount(); ++index) {
        if (mOpenFiles.GetData()[index].handle == handle) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

ZVRESULT CIniFileManagerProxy::ReportUnsaved(IniFileHandle handle, ZVRESULT written) const
{
    const std::int32_t index = FindOpenFile(handle);
    if (Succeeded(written) || index < 0) {
        return written;
    }
    if (written == kIniFileUnsafe) {
        ReportUnsafe(mOpenFiles.GetData()[index].path);
        return written;
    }
    const std::string path = mOpenFiles.GetData()[index].path.ToUTF8().GetData();
    const std::string code = " (" + FormatResultCode(written) + ").";
    WriteDebugLine(written == kFileReadOnly
                       ? "The settings file " + path + " is read-only and is left as it is; its changes are lost" + code
                       : "The settings file " + path + " cannot be written; its changes are lost" + code);
    return written;
}

ZVRESULT CIniFileManagerProxy::WriteIniFile(IniFileHandle handle)
{
    return mExports.writeIniFile != nullptr ? ReportUnsaved(handle, mExports.writeIniFile(handle)) : ZV_E_FAIL;
}

bool CIniFileManagerProxy::DoesNodeExist(IniFileHandle handle, const WideString& node)
{
    return mExports.doesNodeExist != nullptr && mExports.doesNodeExist(handle, node.ToUTF8().GetData()) != 0;
}

ZVRESULT CIniFileManagerProxy::CloseIniFile(IniFileHandle handle, std::int32_t writeFirst)
{
    const ZVRESULT closed = mExports.closeIniFile != nullptr ? mExports.closeIniFile(handle, writeFirst) : ZV_E_FAIL;
    const ZVRESULT result = writeFirst != 0 ? ReportUnsaved(handle, closed) : closed;
    if (const std::int32_t index = FindOpenFile(handle); index >= 0) {
        (void)mOpenFiles.RemoveRange(static_cast<std::uint32_t>(index), 1);
    }
    return result;
}

ZVRESULT CIniFileManagerProxy::GetIniValueInt(IniFileHandle handle, const WideString& key, std::int32_t defaultValue,
                                              std::int32_t& value)
{
    value = defaultValue;
    if (mExports.getIniValueInt == nullptr) {
        return ZV_E_FAIL;
    }
    const ZVRESULT result = mExports.getIniValueInt(handle, key.ToUTF8().GetData(), defaultValue, &value);
    if (Failed(result)) {
        value = defaultValue;
    }
    return result;
}

ZVRESULT CIniFileManagerProxy::SetIniValueInt(IniFileHandle handle, const WideString& key, std::int32_t value)
{
    return mExports.setIniValueInt != nullptr ? mExports.setIniValueInt(handle, key.ToUTF8().GetData(), value)
                                              : ZV_E_FAIL;
}

ZVRESULT CIniFileManagerProxy::GetIniValueStr(IniFileHandle handle, const WideString& key,
                                              const WideString& defaultText, WideString& text)
{
    text = defaultText;
    if (mExports.getIniValueStr == nullptr) {
        return ZV_E_FAIL;
    }
    const NarrowString utf8Key = key.ToUTF8();
    const NarrowString utf8Default = defaultText.ToUTF8();
    return ReadText(
        [&](char* buffer, std::int32_t size, std::int32_t* needed) {
            return mExports.getIniValueStr(handle, utf8Key.GetData(), utf8Default.GetData(), buffer, size, needed);
        },
        text);
}

ZVRESULT CIniFileManagerProxy::SetIniValueStr(IniFileHandle handle, const WideString& key, const WideString& text)
{
    return mExports.setIniValueStr != nullptr
               ? mExports.setIniValueStr(handle, key.ToUTF8().GetData(), text.ToUTF8().GetData())
               : ZV_E_FAIL;
}

ZVRESULT CIniFileManagerProxy::GetKeyCount(IniFileHandle handle, const WideString& node, std::int32_t& count)
{
    return ReadCount(mExports.getKeyCount, handle, node, count);
}

ZVRESULT CIniFileManagerProxy::GetKeyNameAt(IniFileHandle handle, const WideString& node, std::int32_t index,
                                            WideString& name)
{
    return ReadTextAt(mExports.getKeyNameAt, handle, node, index, name);
}

ZVRESULT CIniFileManagerProxy::GetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t& count)
{
    return ReadCount(mExports.getArrayCount, handle, key, count);
}

ZVRESULT CIniFileManagerProxy::SetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t count)
{
    return mExports.setArrayCount != nullptr ? mExports.setArrayCount(handle, key.ToUTF8().GetData(), count)
                                             : ZV_E_FAIL;
}

ZVRESULT CIniFileManagerProxy::GetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                              WideString& text)
{
    return ReadTextAt(mExports.getArrayItemAt, handle, key, index, text);
}

ZVRESULT CIniFileManagerProxy::SetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                              const WideString& text)
{
    return mExports.setArrayItemAt != nullptr
               ? mExports.setArrayItemAt(handle, key.ToUTF8().GetData(), index, text.ToUTF8().GetData())
               : ZV_E_FAIL;
}

ZVRESULT CIniFileManagerProxy::RemoveArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index)
{
    return mExports.removeArrayItemAt != nullptr ? mExports.removeArrayItemAt(handle, key.ToUTF8().GetData(), index)
                                                 : ZV_E_FAIL;
}

ZVRESULT CIniFileManagerProxy::CloseAllIniFiles()
{
    if (mOpenFiles.GetCount() == 0) {
        return ZV_S_FALSE;
    }
    ZVRESULT outcome = kIniFileUnchanged;
    while (mOpenFiles.GetCount() > 0) {
        const ZVRESULT result = CloseIniFile(mOpenFiles.GetData()[mOpenFiles.GetCount() - 1].handle, 1);
        if (Succeeded(outcome) && result != kIniFileUnchanged) {
            // The first failure stands; short of one, a file written.
            outcome = Failed(result) ? result : ZV_S_OK;
        }
    }
    return outcome;
}

}  // namespace ZV
