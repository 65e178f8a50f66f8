#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Resources: files that the build embeds into the program from a manifest (cmake/EmbedResources.cmake), found by
// name and type ("APP_SKINS" of "ZVXML", "SPLASH_PNG" of "GDIPLUS").
namespace ZV::Platform {

struct EmbeddedResource {
    const char* name;
    const char* type;
    // Followed by a NUL that size does not count, so text resources can be read as C strings.
    const unsigned char* data;
    std::size_t size;
};

// Makes the generated table of a program findable. The build defines one such object in each program that embeds
// resources; the table lives as long as the program.
class EmbeddedResourceTable {
public:
    EmbeddedResourceTable(const EmbeddedResource* resources, std::size_t count);
};

// The resource of that name and type (both compared exactly), or null.
const EmbeddedResource* FindEmbeddedResource(std::string_view name, std::string_view type);

// A source that begins with "::" names a resource: the rest upper-cased (ASCII), with '.' and ' ' turned into '_'.
// Any other source is a file path, and the result is empty.
std::string ResourceNameFromSource(std::string_view source);

}  // namespace ZV::Platform
