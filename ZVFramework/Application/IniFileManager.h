#pragma once

#include "Application/IIniFileManager.h"
#include "Application/IniFileManagerProxy.h"
#include "ObjectBase/RefCountedObject.h"

#include <memory>

namespace ZV {

// The settings manager that the application holds by counted pointers: each operation is its loader's. When the last
// pointer lets it go, the loader writes and closes the files still open and unloads the library.
class LIniFileManager : public IIniFileManager, public virtual LRefCountedObject {
public:
    LIniFileManager() : mLoader(std::make_unique<CIniFileManagerProxy>()) {}

    [[nodiscard]] ZVRESULT Load(const WideString& folder) override { return mLoader->Load(folder); }
    [[nodiscard]] ZVRESULT Unload() override { return mLoader->Unload(); }
    [[nodiscard]] ZVRESULT OpenIniFile(const WideString& path, const WideString& versionKey,
                                       const WideString& defaultSection, IniFileHandle& handle) override
    {
        return mLoader->OpenIniFile(path, versionKey, defaultSection, handle);
    }
    [[nodiscard]] ZVRESULT WriteIniFile(IniFileHandle handle) override { return mLoader->WriteIniFile(handle); }
    bool DoesNodeExist(IniFileHandle handle, const WideString& node) override
    {
        return mLoader->DoesNodeExist(handle, node);
    }
    [[nodiscard]] ZVRESULT CloseIniFile(IniFileHandle handle, std::int32_t writeFirst) override
    {
        return mLoader->CloseIniFile(handle, writeFirst);
    }
    [[nodiscard]] ZVRESULT GetIniValueInt(IniFileHandle handle, const WideString& key, std::int32_t defaultValue,
                                          std::int32_t& value) override
    {
        return mLoader->GetIniValueInt(handle, key, defaultValue, value);
    }
    [[nodiscard]] ZVRESULT SetIniValueInt(IniFileHandle handle, const WideString& key, std::int32_t value) override
    {
        return mLoader->SetIniValueInt(handle, key, value);
    }
    [[nodiscard]] ZVRESULT GetIniValueStr(IniFileHandle handle, const WideString& key, const WideString& defaultText,
                                          WideString& text) override
    {
        return mLoader->GetIniValueStr(handle, key, defaultText, text);
    }
    [[nodiscard]] ZVRESULT SetIniValueStr(IniFileHandle handle, const WideString& key,
                                          const WideString& text) override
    {
        return mLoader->SetIniValueStr(handle, key, text);
    }
    [[nodiscard]] ZVRESULT GetKeyCount(IniFileHandle handle, const WideString& node, std::int32_t& count) override
    {
        return mLoader->GetKeyCount(handle, node, count);
    }
    [[nodiscard]] ZVRESULT GetKeyNameAt(IniFileHandle handle, const WideString& node, std::int32_t index,
                                        WideString& name) override
    {
        return mLoader->GetKeyNameAt(handle, node, index, name);
    }
    [[nodiscard]] ZVRESULT GetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t& count) override
    {
        return mLoader->GetArrayCount(handle, key, count);
    }
    [[nodiscard]] ZVRESULT SetArrayCount(IniFileHandle handle, const WideString& key, std::int32_t count) override
    {
        return mLoader->SetArrayCount(handle, key, count);
    }
    [[nodiscard]] ZVRESULT GetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                          WideString& text) override
    {
        return mLoader->GetArrayItemAt(handle, key, index, text);
    }
    [[nodiscard]] ZVRESULT SetArrayItemAt(IniFileHandle handle, const WideString& key, std::int32_t index,
                                          const WideString& text) override
    {
        return mLoader->SetArrayItemAt(handle, key, index, text);
    }
    [[nodiscard]] ZVRESULT RemoveArrayItemAt(IniFileHandle handle, const WideString& key,
                                             std::int32_t index) override
    {
        return mLoader->RemoveArrayItemAt(handle, key, index);
    }
    [[nodiscard]] ZVRESULT CloseAllIniFiles() override { return mLoader->CloseAllIniFiles(); }

private:
    const std::unique_ptr<CIniFileManagerProxy> mLoader;
};

}  // namespace ZV
