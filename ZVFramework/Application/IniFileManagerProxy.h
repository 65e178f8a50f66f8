#pragma once

#include "Application/IIniFileManager.h"
#include "Platform/SharedLibrary.h"
#include "Utilities/Storage/Array.h"

#include <cstdint>
#include <string>

namespace ZV {

// The settings library seen from the program: loaded while the program runs, its functions found by name, every text
// handed over as UTF-8 and taken back from it. What the library answers is checked before it is believed: a text
// size it asks for must be from 1 byte to 16 MiB, a text must be UTF-8, a count from 0 to 16 Mi, and an opened file
// must have a handle; anything else leaves the out-value at its default and fails. A file whose changes do not reach
// the disk gets one line on the debug output, as a file that cannot be read does; one that the library will not touch
// because another user could turn it elsewhere gets one line on the standard error. Used on one thread.
class CIniFileManagerProxy final : public IIniFileManager {
public:
    static constexpr std::int32_t kFirstTextBufferSize = 1024;
    // No settings file is larger, so no text size or count from one is either.
    static constexpr std::int32_t kMaxSettingsSize = 16 * 1024 * 1024;

    CIniFileManagerProxy() = default;
    CIniFileManagerProxy(const CIniFileManagerProxy&) = delete;
    CIniFileManagerProxy& operator=(const CIniFileManagerProxy&) = delete;
    // Unloads: the files still open are written first.
    ~CIniFileManagerProxy();

    [[nodiscard]] ZVRESULT Load(const WideString& folder) override;
    [[nodiscard]] ZVRESULT Unload() override;
    [[nodiscard]] ZVRESULT OpenIniFile(const WideString& path, const WideString& versionKey,
                                       const WideString& defaultSection, IniFileHandle& handle) override;
    [[nodiscard]] ZVRESULT WriteIniFile(IniFileHandle handle) override;
    bool DoesNodeExist(IniFileHandle handle, const WideString& node) override;
    [[nodiscard]] ZVRESULT CloseIniFile(IniFileHandle handle, std::int32_t writeFirst) override;
    [[nodiscard]] ZVRESULT GetIniValueInt(IniFileHandle handle, const WideString& key, std::int32_t defaultValue,
                                          std::int32_t& value) override;
    [[nodiscard]] ZVRESULT SetIniValueInt(IniFileHandle handle, const WideString& key, std::int32_t value) override;
    [[nodiscard]] ZVRESULT GetIniValueStr(IniFileHandle handle, const WideString& key, const WideString& defaultText,
                                          WideString& text) override;
    [[nodiscard]] ZVRESULT SetIniValueStr(IniFileHandle handle, const WideString& key,
                                          const WideString& text) override;
    [[nodiscard]] ZVRESULT GetKeyCount(IniFileHandle handle, const WideString& node, std::int32_t& count) override;
    [[nodiscard]] ZVRESULT GetKeyNameAt(IniFileHandle handle, const WideString& node, std::int32_t index,
                                        WideString& name) override;
    [[nodiscard]] ZVRESULT GetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t& count) override;
    [[nodiscard]] ZVRESULT SetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t count) override;
    [[nodiscard]] ZVRESULT GetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                          WideString& text) override;
    [[nodiscard]] ZVRESULT SetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                          const WideString& text) override;
    [[nodiscard]] ZVRESULT RemoveArrayItemAt(IniFileHandle handle, const WideString& key,
                                             std::int32_t index) override;
    [[nodiscard]] ZVRESULT CloseAllIniFiles() override;

private:
    // The library's functions: handles, indexes, counts, values and flags are 32-bit integers, texts UTF-8.
    using OpenIniFileFunction = std::int32_t (*)(const char*, const char*, const char*, std::int32_t*);
    using WriteIniFileFunction = std::int32_t (*)(std::int32_t);
    using DoesNodeExistFunction = std::uint8_t (*)(std::int32_t, const char*);
    using CloseIniFileFunction = std::int32_t (*)(std::int32_t, std::int32_t);
    using GetIniValueIntFunction = std::int32_t (*)(std::int32_t, const char*, std::int32_t, std::int32_t*);
    using SetIntFunction = std::int32_t (*)(std::int32_t, const char*, std::int32_t);
    using GetIniValueStrFunction = std::int32_t (*)(std::int32_t, const char*, const char*, char*, std::int32_t,
                                                    std::int32_t*);
    using SetIniValueStrFunction = std::int32_t (*)(std::int32_t, const char*, const char*);
    using GetCountFunction = std::int32_t (*)(std::int32_t, const char*, std::int32_t*);
    using GetTextAtFunction = std::int32_t (*)(std::int32_t, const char*, std::int32_t, char*, std::int32_t,
                                               std::int32_t*);
    using SetArrayItemAtFunction = std::int32_t (*)(std::int32_t, const char*, std::int32_t, const char*);

    struct Exports {
        OpenIniFileFunction openIniFile = nullptr;
        WriteIniFileFunction writeIniFile = nullptr;
        DoesNodeExistFunction doesNodeExist = nullptr;
        CloseIniFileFunction closeIniFile = nullptr;
        GetIniValueIntFunction getIniValueInt = nullptr;
        SetIntFunction setIniValueInt = nullptr;
        GetIniValueStrFunction getIniValueStr = nullptr;
        SetIniValueStrFunction setIniValueStr = nullptr;
        GetCountFunction getKeyCount = nullptr;
        GetTextAtFunction getKeyNameAt = nullptr;
        GetCountFunction getArrayCount = nullptr;
        SetIntFunction setArrayCount = nullptr;
        GetTextAtFunction getArrayItemAt = nullptr;
        SetArrayItemAtFunction setArrayItemAt = nullptr;
        SetIntFunction removeArrayItemAt = nullptr;
    };

    struct OpenFile {
        IniFileHandle handle = 0;
        // For the line that says its changes are lost.
        WideString path;
    };

    // All of them, or false with the names of those missing reported.
    static bool FindExports(Platform::SharedLibraryHandle library, const std::string& path, Exports& exports);
    // The index of the open file in mOpenFiles, or -1.
    std::int32_t FindOpenFile(IniFileHandle handle) const;
    // The library's answer to a write, said in one line when the changes did not reach the disk.
    ZVRESULT ReportUnsaved(IniFileHandle handle, ZVRESULT written) const;

    Platform::SharedLibraryHandle mLibrary = nullptr;
    Exports mExports;
    // The files opened through this proxy and not closed yet, for CloseAllIniFiles.
    Array<OpenFile> mOpenFiles;
};

}  // namespace ZV
