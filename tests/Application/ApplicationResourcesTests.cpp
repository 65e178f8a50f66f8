// What the program's resource manifest lists is what the build embeds, byte for byte, and the images among it are
// sound PNGs.

#include "Platform/EmbeddedResources.h"
#include "TestFiles.h"
#include "Utilities/Graphics/PixelImage.h"
#include "Utilities/Graphics/PngDecoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace ZV {
namespace {

const std::string kResources = ZV_RESOURCES_DIR;

struct ManifestEntry {
    std::string name;
    std::string type;
    std::string file;
};

std::vector<ManifestEntry> ReadManifest()
{
    std::vector<ManifestEntry> entries;
    std::istringstream lines(Testing::ContentOf(kResources + "/Resources.manifest"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        ManifestEntry entry;
        if (fields >> entry.name >> entry.type >> entry.file && entry.name[0] != '#') {
            entries.push_back(entry);
        }
    }
    return entries;
}

std::string EmbeddedBytes(const Platform::EmbeddedResource& resource)
{
    return std::string(reinterpret_cast<const char*>(resource.data), resource.size);
}

TEST(ProgramResources, EveryFileTheManifestListsExistsAndIsEmbeddedUnderItsNameAndTypeAsItStands)
{
    const std::vector<ManifestEntry> entries = ReadManifest();
    ASSERT_GE(entries.size(), 10u);
    for (const ManifestEntry& entry : entries) {
        const std::string path = kResources + "/" + entry.file;
        ASSERT_TRUE(std::filesystem::is_regular_file(path)) << entry.name << ": " << path;
        const Platform::EmbeddedResource* resource = Platform::FindEmbeddedResource(entry.name, entry.type);
        ASSERT_NE(resource, nullptr) << entry.name << " of " << entry.type;
        if (!entry.file.ends_with(".in")) {
            EXPECT_EQ(EmbeddedBytes(*resource), Testing::ContentOf(path)) << entry.name;
        }
    }
    for (const char* name : {"APP_SKINS", "APP_STRINGS", "FRAMEWORK_STRINGS"}) {
        EXPECT_NE(Platform::FindEmbeddedResource(name, "ZVXML"), nullptr) << name;
    }
}

TEST(ProgramResources, TheImagesAndTheIconAreSoundPngsAndTheIconIsASquareOf64WithClearCorners)
{
    for (const ManifestEntry& entry : ReadManifest()) {
        if (entry.type != "GDIPLUS" && entry.type != "ICON") {
            continue;
        }
        const Platform::EmbeddedResource* resource = Platform::FindEmbeddedResource(entry.name, entry.type);
        ASSERT_NE(resource, nullptr) << entry.name;
        std::string reason;
        const std::unique_ptr<PixelImage> image = DecodePng(resource->data, resource->size, reason);
        ASSERT_TRUE(image) << entry.name << ": " << reason;
        if (entry.type == "ICON") {
            EXPECT_EQ(entry.name, "128");
            ASSERT_EQ(image->GetWidth(), 64);
            ASSERT_EQ(image->GetHeight(), 64);
            EXPECT_EQ(image->GetRow(0)[0] >> 24, 0u) << "a corner shows what lies behind";
            EXPECT_EQ(image->GetRow(32)[32] >> 24, 0xFFu) << "the middle is opaque";
        }
    }
    EXPECT_NE(Platform::FindEmbeddedResource("128", "ICON"), nullptr);
}

}  // namespace
}  // namespace ZV
