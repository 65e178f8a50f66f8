// The exported functions: argument checks, the table of open files, and nothing thrown across the boundary.
#include "IniFileManager.h"

#include "IniDocument.h"
#include "IniFileStore.h"

#include <charconv>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kFileSection = "File";
constexpr std::string_view kVersionKey = "Version";
constexpr std::string_view kCountKey = "Count";

struct OpenFile {
    std::string path;
    std::string defaultSection;
    Ini::Document document;
    // Changed since it was read or last written.
    bool changed = false;
};

struct KeyPath {
    std::string section;
    std::string name;
};

struct OpenFiles {
    // Every call holds it: the open files are shared by all the program's threads.
    std::mutex lock;
    std::map<std::int32_t, std::unique_ptr<OpenFile>> files;
    std::int32_t lastHandle = 0;
};

// Made when the library is loaded and freed when it is unloaded. At exit that comes after the program's own static
// objects have gone, so that one of them may still write its settings on its way out: a static object of the library
// would go before them.
OpenFiles* gOpenFiles = nullptr;

__attribute__((constructor)) void MakeOpenFiles()
{
    gOpenFiles = new OpenFiles;
}

__attribute__((destructor)) void FreeOpenFiles()
{
    delete gOpenFiles;
    gOpenFiles = nullptr;
}

template <class Body>
std::int32_t Locked(Body body) noexcept
{
    try {
        const std::lock_guard lock(gOpenFiles->lock);
        return body();
    } catch (const std::bad_alloc&) {
        return kIniOutOfMemory;
    } catch (...) {
        return kIniInternalError;
    }
}

template <class Body>
std::int32_t WithFile(std::int32_t handle, Body body) noexcept
{
    return Locked([handle, &body]() -> std::int32_t {
        const auto found = gOpenFiles->files.find(handle);
        return found != gOpenFiles->files.end() ? body(*found->second) : kIniBadHandle;
    });
}

// Never 0, which callers take for "not open", and never one in use.
std::int32_t NewHandle()
{
    std::int32_t& last = gOpenFiles->lastHandle;
    do {
        last = last == INT32_MAX ? 1 : last + 1;
    } while (gOpenFiles->files.contains(last));
    return last;
}

std::optional<KeyPath> ResolveKey(const OpenFile& file, const char* path)
{
    if (path == nullptr) {
        return std::nullopt;
    }
    const std::string_view text(path);
    const std::size_t slash = text.rfind('/');
    KeyPath key = slash == std::string_view::npos
                      ? KeyPath{file.defaultSection, std::string(text)}
                      : KeyPath{std::string(text.substr(0, slash)), std::string(text.substr(slash + 1))};
    if (!Ini::Document::IsValidSectionName(key.section) || !Ini::Document::IsValidKeyName(key.name)) {
        return std::nullopt;
    }
    return key;
}

// The section that holds an array's count and items.
std::optional<std::string> ResolveArray(const OpenFile& file, const char* path)
{
    const std::optional<KeyPath> key = ResolveKey(file, path);
    if (!key) {
        return std::nullopt;
    }
    return key->section.empty() ? key->name : key->section + '/' + key->name;
}

std::optional<std::string> ResolveSection(const OpenFile& file, const char* node)
{
    if (node == nullptr || !Ini::Document::IsValidSectionName(node)) {
        return std::nullopt;
    }
    return *node == 0 ? file.defaultSection : std::string(node);
}

std::optional<std::int32_t> ParseInt32(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.starts_with('+') && !text.starts_with("+-")) {
        text.remove_prefix(1);
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsBufferValid(const char* buffer, std::int32_t size)
{
    return size >= 0 && (buffer != nullptr || size == 0);
}

std::int32_t CopyText(std::string_view text, char* buffer, std::int32_t bufferSize, std::int32_t* neededSize)
{
    if (text.size() >= static_cast<std::size_t>(INT32_MAX)) {
        return kIniTooLarge;
    }
    const auto needed = static_cast<std::int32_t>(text.size() + 1);
    if (neededSize != nullptr) {
        *neededSize = needed;
    }
    if (needed > bufferSize) {
        if (bufferSize > 0) {
            buffer[0] = 0;
        }
        return kIniBufferTooSmall;
    }
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = 0;
    return kIniDone;
}

// A text no settings file could hold.
bool IsTooLarge(const char* text)
{
    return std::strlen(text) > static_cast<std::size_t>(kIniMaxFileSize);
}

void SetValue(OpenFile& file, std::string_view section, std::string_view key, std::string_view value)
{
    if (file.document.SetValue(section, key, value)) {
        file.changed = true;
    }
}

// The count as the file gives it; none when it is missing or outside 0 to kIniMaxArrayCount.
std::optional<std::int32_t> GetStoredArrayCount(const OpenFile& file, const std::string& section)
{
    const std::string* text = file.document.FindValue(section, kCountKey);
    const std::optional<std::int32_t> count = text != nullptr ? ParseInt32(*text) : std::nullopt;
    if (!count || *count < 0 || *count > kIniMaxArrayCount) {
        return std::nullopt;
    }
    return count;
}

std::int32_t Write(OpenFile& file)
{
    if (!file.changed) {
        return kIniUnchanged;
    }
    const std::string text = file.document.GetText();
    if (text.size() > static_cast<std::size_t>(kIniMaxFileSize)) {
        return kIniTooLarge;
    }
    const std::int32_t result = Ini::WriteSettingsFile(file.path, text);
    if (result == kIniDone) {
        file.changed = false;
    }
    return result;
}

// body(file, section, index) for an index that lies below the array's count.
template <class Body>
std::int32_t WithArrayItem(std::int32_t handle, const char* key, std::int32_t index, Body body) noexcept
{
    return WithFile(handle, [key, index, &body](OpenFile& file) -> std::int32_t {
        const std::optional<std::string> section = ResolveArray(file, key);
        if (!section) {
            return kIniBadArgument;
        }
        if (index < 0 || index >= GetStoredArrayCount(file, *section).value_or(0)) {
            return kIniBadArgument;
        }
        return body(file, *section, index);
    });
}

}  // namespace

extern "C" {

int32_t OpenIniFile(const char* path, const char* version, const char* defaultSection, int32_t* handle)
{
    if (handle == nullptr) {
        return kIniBadArgument;
    }
    *handle = 0;
    if (path == nullptr || *path == 0 ||
        (defaultSection != nullptr && !Ini::Document::IsValidSectionName(defaultSection))) {
        return kIniBadArgument;
    }
    return Locked([&]() -> std::int32_t {
        std::string text;
        const std::int32_t result = Ini::ReadSettingsFile(path, text);
        if (result != kIniDone) {
            return result;
        }
        auto file = std::make_unique<OpenFile>(
            OpenFile{path, defaultSection != nullptr ? defaultSection : "", Ini::Document(text), false});
        // Goes to disk with the first change, not on its own.
        if (version != nullptr && *version != 0) {
            file->document.SetValue(kFileSection, kVersionKey, version);
        }
        const std::int32_t newHandle = NewHandle();
        gOpenFiles->files.emplace(newHandle, std::move(file));
        *handle = newHandle;
        return kIniDone;
    });
}

int32_t WriteIniFile(int32_t handle)
{
    return WithFile(handle, [](OpenFile& file) { return Write(file); });
}

uint8_t DoesNodeExist(int32_t handle, const char* node)
{
    const std::int32_t exists = WithFile(handle, [node](const OpenFile& file) -> std::int32_t {
        const std::optional<std::string> section = ResolveSection(file, node);
        if (section && file.document.HasSection(*section)) {
            return 1;
        }
        const std::optional<KeyPath> key = ResolveKey(file, node);
        return key && file.document.FindValue(key->section, key->name) != nullptr ? 1 : 0;
    });
    return exists == 1 ? 1 : 0;
}

int32_t CloseIniFile(int32_t handle, int32_t writeFirst)
{
    return Locked([&]() -> std::int32_t {
        const auto found = gOpenFiles->files.find(handle);
        if (found == gOpenFiles->files.end()) {
            return kIniBadHandle;
        }
        const std::int32_t result = writeFirst != 0 ? Write(*found->second) : kIniDone;
        gOpenFiles->files.erase(found);
        return result;
    });
}

int32_t GetIniValueInt(int32_t handle, const char* key, int32_t defaultValue, int32_t* value)
{
    if (value == nullptr) {
        return kIniBadArgument;
    }
    *value = defaultValue;
    return WithFile(handle, [&](const OpenFile& file) -> std::int32_t {
        const std::optional<KeyPath> path = ResolveKey(file, key);
        if (!path) {
            return kIniBadArgument;
        }
        const std::string* text = file.document.FindValue(path->section, path->name);
        const std::optional<std::int32_t> number = text != nullptr ? ParseInt32(*text) : std::nullopt;
        if (!number) {
            return kIniDefaultUsed;
        }
        *value = *number;
        return kIniDone;
    });
}

int32_t SetIniValueInt(int32_t handle, const char* key, int32_t value)
{
    return WithFile(handle, [&](OpenFile& file) -> std::int32_t {
        const std::optional<KeyPath> path = ResolveKey(file, key);
        if (!path) {
            return kIniBadArgument;
        }
        SetValue(file, path->section, path->name, std::to_string(value));
        return kIniDone;
    });
}

int32_t GetIniValueStr(int32_t handle, const char* key, const char* defaultText, char* buffer, int32_t bufferSize,
                       int32_t* neededSize)
{
    if (!IsBufferValid(buffer, bufferSize)) {
        return kIniBadArgument;
    }
    return WithFile(handle, [&](const OpenFile& file) -> std::int32_t {
        const std::optional<KeyPath> path = ResolveKey(file, key);
        if (!path) {
            return kIniBadArgument;
        }
        if (const std::string* text = file.document.FindValue(path->section, path->name)) {
            return CopyText(*text, buffer, bufferSize, neededSize);
        }
        const std::int32_t result =
            CopyText(defaultText != nullptr ? defaultText : "", buffer, bufferSize, neededSize);
        return result == kIniDone ? kIniDefaultUsed : result;
    });
}

int32_t SetIniValueStr(int32_t handle, const char* key, const char* text)
{
    if (text == nullptr) {
        return kIniBadArgument;
    }
    if (IsTooLarge(text)) {
        return kIniTooLarge;
    }
    return WithFile(handle, [&](OpenFile& file) -> std::int32_t {
        const std::optional<KeyPath> path = ResolveKey(file, key);
        if (!path) {
            return kIniBadArgument;
        }
        SetValue(file, path->section, path->name, text);
        return kIniDone;
    });
}

int32_t GetKeyCount(int32_t handle, const char* node, int32_t* count)
{
    if (count == nullptr) {
        return kIniBadArgument;
    }
    *count = 0;
    return WithFile(handle, [&](const OpenFile& file) -> std::int32_t {
        const std::optional<std::string> section = ResolveSection(file, node);
        if (!section) {
            return kIniBadArgument;
        }
        if (!file.document.HasSection(*section)) {
            return kIniDefaultUsed;
        }
        *count = static_cast<std::int32_t>(file.document.GetKeyNames(*section).size());
        return kIniDone;
    });
}

int32_t GetKeyNameAt(int32_t handle, const char* node, int32_t index, char* buffer, int32_t bufferSize,
                     int32_t* neededSize)
{
    if (!IsBufferValid(buffer, bufferSize)) {
        return kIniBadArgument;
    }
    return WithFile(handle, [&](const OpenFile& file) -> std::int32_t {
        const std::optional<std::string> section = ResolveSection(file, node);
        if (!section) {
            return kIniBadArgument;
        }
        const std::vector<const std::string*> names = file.document.GetKeyNames(*section);
        if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
            return kIniBadArgument;
        }
        return CopyText(*names[static_cast<std::size_t>(index)], buffer, bufferSize, neededSize);
    });
}

int32_t GetArrayCount(int32_t handle, const char* key, int32_t* count)
{
    if (count == nullptr) {
        return kIniBadArgument;
    }
    *count = 0;
    return WithFile(handle, [&](const OpenFile& file) -> std::int32_t {
        const std::optional<std::string> section = ResolveArray(file, key);
        if (!section) {
            return kIniBadArgument;
        }
        const std::optional<std::int32_t> stored = GetStoredArrayCount(file, *section);
        if (!stored) {
            return kIniDefaultUsed;
        }
        *count = *stored;
        return kIniDone;
    });
}

int32_t SetArrayCount(int32_t handle, const char* key, int32_t count)
{
    if (count < 0 || count > kIniMaxArrayCount) {
        return kIniBadArgument;
    }
    return WithFile(handle, [&](OpenFile& file) -> std::int32_t {
        const std::optional<std::string> section = ResolveArray(file, key);
        if (!section) {
            return kIniBadArgument;
        }
        const std::int32_t oldCount = GetStoredArrayCount(file, *section).value_or(0);
        for (std::int32_t index = count; index < oldCount; ++index) {
            file.document.RemoveKey(*section, std::to_string(index));
            file.changed = true;
        }
        SetValue(file, *section, kCountKey, std::to_string(count));
        for (std::int32_t index = 0; index < count; ++index) {
            const std::string item = std::to_string(index);
            if (file.document.FindValue(*section, item) == nullptr) {
                SetValue(file, *section, item, "");
            }
        }
        return kIniDone;
    });
}

int32_t GetArrayItemAt(int32_t handle, const char* key, int32_t index, char* buffer, int32_t bufferSize,
                       int32_t* neededSize)
{
    if (!IsBufferValid(buffer, bufferSize)) {
        return kIniBadArgument;
    }
    return WithArrayItem(handle, key, index,
                         [&](const OpenFile& file, const std::string& section, std::int32_t item) -> std::int32_t {
                             if (const std::string* text = file.document.FindValue(section, std::to_string(item))) {
                                 return CopyText(*text, buffer, bufferSize, neededSize);
                             }
                             const std::int32_t result = CopyText("", buffer, bufferSize, neededSize);
                             return result == kIniDone ? kIniDefaultUsed : result;
                         });
}

int32_t SetArrayItemAt(int32_t handle, const char* key, int32_t index, const char* text)
{
    if (text == nullptr) {
        return kIniBadArgument;
    }
    if (IsTooLarge(text)) {
        return kIniTooLarge;
    }
    return WithArrayItem(handle, key, index,
                         [text](OpenFile& file, const std::string& section, std::int32_t item) -> std::int32_t {
                             SetValue(file, section, std::to_string(item), text);
                             return kIniDone;
                         });
}

int32_t RemoveArrayItemAt(int32_t handle, const char* key, int32_t index)
{
    return WithArrayItem(handle, key, index,
                         [](OpenFile& file, const std::string& section, std::int32_t item) -> std::int32_t {
                             const std::int32_t count = GetStoredArrayCount(file, section).value_or(0);
                             for (std::int32_t next = item + 1; next < count; ++next) {
                                 // A copy: setting an item that the file lacks adds a line, which may move the others.
                                 const std::string* stored = file.document.FindValue(section, std::to_string(next));
                                 const std::string text = stored != nullptr ? *stored : std::string();
                                 SetValue(file, section, std::to_string(next - 1), text);
                             }
                             file.document.RemoveKey(section, std::to_string(count - 1));
                             SetValue(file, section, kCountKey, std::to_string(count - 1));
                             return kIniDone;
                         });
}

}  // extern "C"
