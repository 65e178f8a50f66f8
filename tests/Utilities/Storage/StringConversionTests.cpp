#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace ZV {
namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// UTF-16 units a well-formed UTF-8 text needs: one per character, two for the four-byte ones.
std::size_t Utf16UnitsOf(const std::string& utf8)
{
    std::size_t units = 0;
    for (unsigned char byte : utf8) {
        if ((byte & 0xC0) != 0x80) {
            units += byte >= 0xF0 ? 2 : 1;
        }
    }
    return units;
}

TEST(UTFRoundTrip, MixedScriptsSurviveUTF8ToWideToUTF8ByteForByte)
{
    const std::string original = ReadFile(std::string(ZV_TEST_DATA_DIR) + "/mixed_scripts.txt");
    ASSERT_GT(original.size(), 100u);
    WideString wide;
    ASSERT_EQ(wide.AssignFromUTF8(original.c_str(), -1), ZV_S_OK);
    EXPECT_EQ(wide.GetLength(), Utf16UnitsOf(original));
    for (std::uint32_t i = 0; i < wide.GetLength(); ++i) {
        ASSERT_LE(static_cast<unsigned>(wide.GetData()[i]), 0xFFFFu) << "every element is one UTF-16 unit";
    }
    const NarrowString back = wide.ToUTF8();
    EXPECT_EQ(std::string(back.GetData(), back.GetLength()), original);
    EXPECT_EQ(WideString(back), wide);

    WideString clef;
    ASSERT_EQ(clef.AssignFromUTF8("\xF0\x9D\x84\x9E", -1), ZV_S_OK);
    EXPECT_EQ(std::wstring(clef.GetData()), (std::wstring{wchar_t(0xD834), wchar_t(0xDD1E)})) << "a surrogate pair";
}

TEST(UTF8ToWide, IllegalOrCutSequencesFailAndKeepWhatCameBefore)
{
    const char* rejected[] = {
        "\xC0\x80",          // overlong NUL
        "\xC1\xBF",          // overlong lead byte
        "\xE0\x80\xAF",      // overlong three-byte form
        "\xED\xA0\x80",      // encoded surrogate
        "\xF4\x90\x80\x80",  // above 10FFFF
        "\xF5\x80\x80\x80",  // lead byte F5
        "\xF8\x88\x80\x80\x80",  // five-byte form
        "\xFF",
        "\x80",              // continuation byte without lead
        "\xC3\x28",          // bad continuation byte
    };
    for (const char* sequence : rejected) {
        WideString text;
        EXPECT_EQ(text.AssignFromUTF8(sequence, -1), ZV_E_FAIL) << "sequence starting " << std::hex
                                                                << (static_cast<unsigned>(sequence[0]) & 0xFF);
    }
    WideString partial;
    EXPECT_EQ(partial.AssignFromUTF8("ok\xE2\x82", -1), ZV_E_FAIL) << "cut off before its end";
    EXPECT_EQ(partial, L"ok");
    WideString explicitLength;
    EXPECT_EQ(explicitLength.AssignFromUTF8("ab\xE2\x82\xAC", 4), ZV_E_FAIL);
    EXPECT_EQ(explicitLength, L"ab");
    EXPECT_EQ(explicitLength.AssignFromUTF8("ab\xE2\x82\xAC", 5), ZV_S_OK);
    EXPECT_EQ(explicitLength, L"ab\u20AC");
    NarrowString narrow;
    narrow.Assign("firmware", 4);
    EXPECT_EQ(narrow, "firm");
    WideString wide;
    wide.Assign("K\xC3\xB6ln!", 5);
    EXPECT_EQ(wide, L"K\u00F6ln") << "a narrow text of given bytes is converted";
}

TEST(WideToUTF8, LoneHighSurrogateIsEncodedAloneBeforeTheNulButCutsAnExplicitLength)
{
    const wchar_t text[] = {L'a', 0xD83C, 0};
    const NarrowString encoded = WideString(text).ToUTF8();
    EXPECT_EQ(std::string(encoded.GetData()), "a\xED\xA0\xBC");

    NarrowString cut;
    EXPECT_EQ(cut.AssignFromWide(text, 2), ZV_E_FAIL);
    EXPECT_EQ(std::string(cut.GetData()), "a");

    const wchar_t lowAlone[] = {0xDC00, L'b', 0};
    EXPECT_EQ(std::string(WideString(lowAlone).ToUTF8().GetData()), "\xED\xB0\x80" "b");
}

}  // namespace
}  // namespace ZV
