#include "Platform/VersionInfo.h"

#include "Platform/EmbeddedResources.h"

#include <cstring>
#include <mutex>
#include <unistd.h>

namespace ZV::Platform {

namespace {

constexpr std::string_view kTranslationPath = "\\VarFileInfo\\Translation";

struct ProgramBlockOverride {
    std::mutex lock;
    std::optional<std::string> block;
};

ProgramBlockOverride& TheOverride()
{
    static ProgramBlockOverride override;
    return override;
}

// The program's version block, or nullopt when it has none.
std::optional<std::string> ProgramBlock()
{
    {
        ProgramBlockOverride& override = TheOverride();
        std::lock_guard guard(override.lock);
        if (override.block) {
            return override.block;
        }
    }
    const EmbeddedResource* resource = FindEmbeddedResource("VERSION_INFO", "VERSION");
    if (resource == nullptr) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(resource->data), resource->size);
}

std::optional<std::string> BlockOfModule(std::string_view moduleFileName)
{
    const std::string programPath = GetModuleFileName(kProgramModule);
    const std::string_view programName = std::string_view(programPath).substr(programPath.rfind('/') + 1);
    if (programPath.empty() || moduleFileName != programName) {
        return std::nullopt;
    }
    return ProgramBlock();
}

bool EqualIgnoringAsciiCase(std::string_view left, std::string_view right)
{
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        char a = left[i];
        char b = right[i];
        a = a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a;
        b = b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b;
        if (a != b) {
            return false;
        }
    }
    return true;
}

bool FindValue(std::string_view block, std::string_view path, std::string_view& value)
{
    while (!block.empty()) {
        const std::size_t end = block.find('\n');
        std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const std::size_t equals = line.find('=');
        if (line.starts_with('#') || equals == std::string_view::npos) {
            continue;
        }
        if (EqualIgnoringAsciiCase(line.substr(0, equals), path)) {
            value = line.substr(equals + 1);
            return true;
        }
    }
    return false;
}

bool ParseHexWord(std::string_view digits, std::uint16_t& word)
{
    word = 0;
    for (char digit : digits) {
        int value;
        if (digit >= '0' && digit <= '9') {
            value = digit - '0';
        } else if (digit >= 'a' && digit <= 'f') {
            value = digit - 'a' + 10;
        } else if (digit >= 'A' && digit <= 'F') {
            value = digit - 'A' + 10;
        } else {
            return false;
        }
        word = static_cast<std::uint16_t>(word << 4 | value);
    }
    return true;
}

std::string_view BlockText(const void* data, std::uint32_t size)
{
    return std::string_view(static_cast<const char*>(data), size);
}

}  // namespace

std::string GetModuleFileName(ModuleHandle module)
{
    if (module != kProgramModule) {
        return {};
    }
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    return path;
}

std::uint32_t GetFileVersionInfoSize(std::string_view moduleFileName)
{
    const std::optional<std::string> block = BlockOfModule(moduleFileName);
    return block ? static_cast<std::uint32_t>(block->size()) : 0;
}

bool GetFileVersionInfo(std::string_view moduleFileName, std::uint32_t size, void* data)
{
    const std::optional<std::string> block = BlockOfModule(moduleFileName);
    if (!block || block->size() != size) {
        return false;
    }
    std::memcpy(data, block->data(), size);
    return true;
}

bool QueryVersionTranslations(const void* data, std::uint32_t size, std::vector<VersionTranslation>& translations)
{
    translations.clear();
    std::string_view value;
    if (!FindValue(BlockText(data, size), kTranslationPath, value)) {
        return false;
    }
    while (!value.empty()) {
        const std::size_t start = value.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            break;
        }
        value.remove_prefix(start);
        const std::string_view token = value.substr(0, value.find(' '));
        value.remove_prefix(token.size());
        VersionTranslation translation{};
        if (token.size() != 8 || !ParseHexWord(token.substr(0, 4), translation.languageId) ||
            !ParseHexWord(token.substr(4), translation.codePage)) {
            translations.clear();
            return false;
        }
        translations.push_back(translation);
    }
    return true;
}

bool QueryVersionValue(const void* data, std::uint32_t size, std::string_view path, std::string& value)
{
    std::string_view found;
    if (!FindValue(BlockText(data, size), path, found)) {
        return false;
    }
    value = found;
    return true;
}

void OverrideProgramVersionInfo(std::optional<std::string> block)
{
    ProgramBlockOverride& override = TheOverride();
    std::lock_guard guard(override.lock);
    override.block = std::move(block);
}

}  // namespace ZV::Platform
