#include "Platform/EmbeddedResources.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV::Platform {
namespace {

using Testing::ContentOf;

TEST(EmbeddedResources, BytesAreExactlyThoseOfTheFileEvenWhenEmptyAndLookupsNeedTheRightNameAndType)
{
    const EmbeddedResource* resource = FindEmbeddedResource("SAMPLE_BYTES_BIN", "BINARY");
    ASSERT_NE(resource, nullptr);
    const std::string expected = ContentOf(ZV_TEST_DATA_DIR "/SampleBytes.bin");
    ASSERT_EQ(expected.size(), 268u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource->data), resource->size), expected);
    EXPECT_EQ(resource->data[resource->size], 0) << "a NUL follows the bytes";

    const EmbeddedResource* empty = FindEmbeddedResource("EMPTY_TXT", "TEXT");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->size, 0u);
    EXPECT_EQ(FindEmbeddedResource("EMPTY_TXT", "BINARY"), nullptr);
    EXPECT_EQ(FindEmbeddedResource("empty_txt", "TEXT"), nullptr) << "names are stored upper case";
    EXPECT_EQ(FindEmbeddedResource("NO_SUCH_RESOURCE", "TEXT"), nullptr);
}

TEST(EmbeddedResources, DoubleColonSourceNamesTheResourceUpperCasedWithUnderscores)
{
    EXPECT_EQ(ResourceNameFromSource("::Sample bytes.bin"), "SAMPLE_BYTES_BIN");
    EXPECT_NE(FindEmbeddedResource(ResourceNameFromSource("::Sample bytes.bin"), "BINARY"), nullptr);
    EXPECT_EQ(ResourceNameFromSource("::APP_SKINS"), "APP_SKINS");
    EXPECT_EQ(ResourceNameFromSource("Skins.xml"), "") << "a file path is no resource";
    EXPECT_EQ(ResourceNameFromSource(":Skins.xml"), "");
    EXPECT_EQ(ResourceNameFromSource("::"), "");
}

}  // namespace
}  // namespace ZV::Platform
