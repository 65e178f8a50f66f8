#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Version information of a module, in a block of our own: text lines "path=value", where a path is what the query
// asks for ("\VarFileInfo\Translation", "\StringFileInfo\040904b0\ProductName"), '#' starts a comment line, and the
// translation value lists each language id and code page as eight hexadecimal digits ("040904b0 040704b0"). The
// program's block is its embedded resource VERSION_INFO of type VERSION.
namespace ZV::Platform {

// A loaded module. Only the program itself is one here.
using ModuleHandle = const void*;
inline constexpr ModuleHandle kProgramModule = nullptr;

struct VersionTranslation {
    std::uint16_t languageId;
    std::uint16_t codePage;
};

// The UTF-8 path of the module's file; empty on failure.
std::string GetModuleFileName(ModuleHandle module);

// The size of the version block of the module with that file name (a name, not a path); 0 when it has none.
std::uint32_t GetFileVersionInfoSize(std::string_view moduleFileName);
// Copies the module's version block; false when it has none or it is not size bytes long.
bool GetFileVersionInfo(std::string_view moduleFileName, std::uint32_t size, void* data);

// The translation table of a block; false when the block has none or it is malformed. An empty table is found.
bool QueryVersionTranslations(const void* data, std::uint32_t size, std::vector<VersionTranslation>& translations);
// The UTF-8 value of any other path (compared without regard to ASCII case); false when the block has none.
bool QueryVersionValue(const void* data, std::uint32_t size, std::string_view path, std::string& value);

// For tests: a block that the program carries instead of its embedded one; nullopt goes back to the embedded one.
void OverrideProgramVersionInfo(std::optional<std::string> block);

}  // namespace ZV::Platform
