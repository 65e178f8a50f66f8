#include "Platform/EmbeddedResources.h"

#include <mutex>
#include <span>
#include <vector>

namespace ZV::Platform {

namespace {

struct Registry {
    std::mutex lock;
    std::vector<std::span<const EmbeddedResource>> tables;
};

Registry& TheRegistry()
{
    // Tables register while static objects are built, in an order no one controls, so the registry is built on
    // first use.
    static Registry registry;
    return registry;
}

}  // namespace

EmbeddedResourceTable::EmbeddedResourceTable(const EmbeddedResource* resources, std::size_t count)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.tables.emplace_back(resources, count);
}

const EmbeddedResource* FindEmbeddedResource(std::string_view name, std::string_view type)
{
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    for (const std::span<const EmbeddedResource> table : registry.tables) {
        for (const EmbeddedResource& resource : table) {
            if (name == resource.name && type == resource.type) {
                return &resource;
            }
        }
    }
    return nullptr;
}

std::string ResourceNameFromSource(std::string_view source)
{
    if (!source.starts_with("::")) {
        return {};
    }
    std::string name(source.substr(2));
    for (char& character : name) {
        if (character >= 'a' && character <= 'z') {
            character = static_cast<char>(character - 'a' + 'A');
        } else if (character == '.' || character == ' ') {
            character = '_';
        }
    }
    return name;
}

}  // namespace ZV::Platform
