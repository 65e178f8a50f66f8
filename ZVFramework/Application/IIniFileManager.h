#pragma once

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// An open settings file, as the settings library numbers it; 0 is never an open file.
using IniFileHandle = std::int32_t;

// The settings library's answer to a write (WriteIniFile, CloseIniFile writing first) when the file had not changed
// since it was read or last written, so nothing was written; CloseAllIniFiles' when none of the files open had.
inline constexpr ZVRESULT kIniFileUnchanged = 2;
// The settings library's answer for a file that another user could turn elsewhere: it is neither read nor written,
// and the manager has said so on the standard error.
inline constexpr ZVRESULT kIniFileUnsafe = -10;

// The program's settings files, kept by the settings library that Load finds. Without the library every operation
// fails with 0x80004005 (DoesNodeExist answers false) and leaves its out-values at their defaults: a count 0, a
// number its default, a text its default or empty, a handle 0. Results other than those come from the library: 0
// done, 1 the default stands in for an absent value, negative a failure. Keys are paths: "Section/Name", or "Name"
// in the default section named when the file was opened.
class IIniFileManager {
public:
    // Loads the settings library from the folder, or, with an empty folder, by its bare name (the program's folder
    // first): 0, 1 when it is loaded already, 0x80004005 when it is missing or lacks any of its functions.
    [[nodiscard]] virtual ZVRESULT Load(const WideString& folder) = 0;
    // Writes and closes every file still open, then lets the library go: 1 when none was loaded, 0, or a failure.
    [[nodiscard]] virtual ZVRESULT Unload() = 0;

    [[nodiscard]] virtual ZVRESULT OpenIniFile(const WideString& path, const WideString& versionKey,
                                               const WideString& defaultSection, IniFileHandle& handle) = 0;
    [[nodiscard]] virtual ZVRESULT WriteIniFile(IniFileHandle handle) = 0;
    virtual bool DoesNodeExist(IniFileHandle handle, const WideString& node) = 0;
    // The file is written first when writeFirst is not 0.
    [[nodiscard]] virtual ZVRESULT CloseIniFile(IniFileHandle handle, std::int32_t writeFirst) = 0;
    [[nodiscard]] virtual ZVRESULT GetIniValueInt(IniFileHandle handle, const WideString& key,
                                                  std::int32_t defaultValue, std::int32_t& value) = 0;
    [[nodiscard]] virtual ZVRESULT SetIniValueInt(IniFileHandle handle, const WideString& key, std::int32_t value) = 0;
    [[nodiscard]] virtual ZVRESULT GetIniValueStr(IniFileHandle handle, const WideString& key,
                                                  const WideString& defaultText, WideString& text) = 0;
    [[nodiscard]] virtual ZVRESULT SetIniValueStr(IniFileHandle handle, const WideString& key,
                                                  const WideString& text) = 0;
    [[nodiscard]] virtual ZVRESULT GetKeyCount(IniFileHandle handle, const WideString& node, std::int32_t& count) = 0;
    [[nodiscard]] virtual ZVRESULT GetKeyNameAt(IniFileHandle handle, const WideString& node, std::int32_t index,
                                                WideString& name) = 0;
    [[nodiscard]] virtual ZVRESULT GetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t& count) = 0;
    [[nodiscard]] virtual ZVRESULT SetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t count) = 0;
    [[nodiscard]] virtual ZVRESULT GetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                                  WideString& text) = 0;
    [[nodiscard]] virtual ZVRESULT SetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                                  const WideString& text) = 0;
    [[nodiscard]] virtual ZVRESULT RemoveArrayItemAt(IniFileHandle handle, const WideString& key,
                                                     std::int32_t index) = 0;

    // At shut-down: writes every file still open and closes it, so that no setting is lost. 0 when a file was written,
    // kIniFileUnchanged when none had anything to write, 1 when no file was open, or the first failure (each file is
    // closed all the same).
    [[nodiscard]] virtual ZVRESULT CloseAllIniFiles() = 0;

protected:
    ~IIniFileManager() = default;
};

}  // namespace ZV
