#include "ControlBase/XMLAttributes.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

TEST(XMLAttributes, SeveralFoundInOnePassInAnyOrderAndValuesConvertedAsWideStrings)
{
    const std::string longValue(300, 'x');
    const char* const pairs[] = {"Height", "12", "Name", "caf\xC3\xA9", "Long", longValue.c_str(), "Width", "",
                                 nullptr};
    const XMLAttributes attributes(pairs);
    static constexpr const char* kNames[] = {"Name", "Width", "Height", "Absent", "Long", "Heigh"};
    const char* values[std::size(kNames)];
    attributes.GetUTF8Attributes(kNames, values);
    EXPECT_STREQ(values[0], "caf\xC3\xA9");
    EXPECT_STREQ(values[1], "");
    EXPECT_STREQ(values[2], "12");
    EXPECT_EQ(values[3], nullptr);
    EXPECT_EQ(values[4], longValue.c_str());
    EXPECT_EQ(values[5], nullptr) << "names are compared whole";

    for (const char* text : {"plain", "", "caf\xC3\xA9", "\xFF lenient", longValue.c_str()}) {
        WideString converted(L"before");
        XMLAttributes::ConvertString(text, converted);
        EXPECT_EQ(converted, WideString(text)) << text;
    }
    WideString locked(L"abc");
    wchar_t* room = locked.Lock(4);
    XMLAttributes::ConvertString("firmware", locked);
    EXPECT_EQ(locked.GetData(), room) << "a locked string keeps its room";
    EXPECT_TRUE(Succeeded(locked.Unlock()));
    EXPECT_EQ(locked, L"fir");
}

}  // namespace
}  // namespace ZV
