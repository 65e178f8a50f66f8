#include "ControlBase/SkinValueSyntax.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace ZV {
namespace {

using namespace SkinValueSyntax;

TEST(SkinValueSyntax, FloatsReadLikeTheCLibraryWhateverTheLocaleAndOverflowToInfinity)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps generates de_DE.UTF-8";
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {"8.25", 8.25f}, {"  \t-0.5", -0.5f}, {"+2", 2.0f}, {"1.5e2", 150.0f}, {"2E-1x", 0.2f}, {".75", 0.75f},
        {"4e", 4.0f},    {"8,25", 8.0f},      {"abc", 0.0f}, {"-", 0.0f},      {".", 0.0f},    {"1e-999", 0.0f},
    };
    for (const auto& entry : cases) {
        EXPECT_FLOAT_EQ(ParseFloat(entry.text), entry.value) << entry.text;
    }
    EXPECT_EQ(ParseFloat("-1e39"), -std::numeric_limits<float>::infinity()) << "past the range of a float";
    EXPECT_EQ(ParseFloat("1e99999999999999999999"), std::numeric_limits<float>::infinity());
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(SkinValueSyntax, IntegersReadHexOnlyAfterALowerCaseXAndClampDecimalsToThirtyTwoBits)
{
    const struct {
        const char* text;
        std::int32_t integer;
        std::int32_t plain;
    } cases[] = {
        {"0x1F2e", 0x1F2E, 0},
        {"0xg1", 0, 0},
        {"0x-1", 0, 0},
        {" 0x10", 0, 0},
        {"  -17px", -17, -17},
        {"99999999999999999999", 2147483647, 2147483647},
        {"-99999999999999999999", -2147483647 - 1, -2147483647 - 1},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(ParseInteger(entry.text), entry.integer) << entry.text;
        EXPECT_EQ(ParsePlainInteger(entry.text), entry.plain) << entry.text;
    }
}

}  // namespace
}  // namespace ZV
