#pragma once

#include "IniFileManager.h"
#include "TestFiles.h"

#include <cstdint>
#include <string>

namespace Ini::Testing {

using ZV::Testing::ContentOf;
using ZV::Testing::TemporaryFolder;
using ZV::Testing::WriteContent;

inline constexpr const char* kVersion = "1_0_0";
inline constexpr const char* kDefaultSection = "Halvista";

// A file opened with the program's version key and a default section; 0 when it did not open.
inline std::int32_t Open(const std::string& path, std::int32_t* result = nullptr)
{
    std::int32_t handle = -7;
    const std::int32_t opened = OpenIniFile(path.c_str(), kVersion, kDefaultSection, &handle);
    if (result != nullptr) {
        *result = opened;
    }
    return handle;
}

// A text read through the library's two-step protocol: a small buffer first, then one of the size it asks for.
template <class Read>
std::string ReadWhole(Read read, std::int32_t* result = nullptr)
{
    char small[8] = {};
    std::int32_t needed = 0;
    std::int32_t answer = read(small, static_cast<std::int32_t>(sizeof small), &needed);
    std::string text = small;
    if (answer == kIniBufferTooSmall) {
        std::string large(static_cast<std::size_t>(needed), '\x7F');
        answer = read(large.data(), needed, &needed);
        text = large.c_str();
    }
    if (result != nullptr) {
        *result = answer;
    }
    return text;
}

inline std::string GetText(std::int32_t handle, const char* key, const char* defaultText = "",
                           std::int32_t* result = nullptr)
{
    return ReadWhole(
        [&](char* buffer, std::int32_t size, std::int32_t* needed) {
            return GetIniValueStr(handle, key, defaultText, buffer, size, needed);
        },
        result);
}

inline std::string GetItem(std::int32_t handle, const char* key, std::int32_t index, std::int32_t* result = nullptr)
{
    return ReadWhole(
        [&](char* buffer, std::int32_t size, std::int32_t* needed) {
            return GetArrayItemAt(handle, key, index, buffer, size, needed);
        },
        result);
}

inline std::string GetKeyName(std::int32_t handle, const char* node, std::int32_t index, std::int32_t* result = nullptr)
{
    return ReadWhole(
        [&](char* buffer, std::int32_t size, std::int32_t* needed) {
            return GetKeyNameAt(handle, node, index, buffer, size, needed);
        },
        result);
}

inline std::int32_t GetInt(std::int32_t handle, const char* key, std::int32_t defaultValue,
                           std::int32_t* result = nullptr)
{
    std::int32_t value = 0;
    const std::int32_t answer = GetIniValueInt(handle, key, defaultValue, &value);
    if (result != nullptr) {
        *result = answer;
    }
    return value;
}

inline std::int32_t GetCount(std::int32_t handle, const char* key)
{
    std::int32_t count = -1;
    return GetArrayCount(handle, key, &count) >= 0 ? count : -1;
}

}  // namespace Ini::Testing
