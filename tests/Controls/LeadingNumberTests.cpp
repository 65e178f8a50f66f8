#include "Controls/LeadingNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ZV {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartWithAPointAndIgnoresWhatFollows)
{
    EXPECT_EQ(ReadLeadingNumber(WideString(L"250")), 250.0);
    EXPECT_EQ(ReadLeadingNumber(WideString(L"  -3")), -3.0);
    EXPECT_EQ(ReadLeadingNumber(WideString(L"+1.5e2 apples")), 150.0);
    EXPECT_EQ(ReadLeadingNumber(WideString(L".25")), 0.25);
    EXPECT_EQ(ReadLeadingNumber(WideString(L"7.")), 7.0);
    EXPECT_EQ(ReadLeadingNumber(WideString(L"3,5")), 3.0) << "a comma is no decimal point";
    EXPECT_EQ(ReadLeadingNumber(WideString(L"12e")), 12.0) << "an exponent without digits is not read";
    EXPECT_EQ(ReadLeadingNumber(WideString(L"2e-1x")), 0.2);
    for (const wchar_t* none : {L"", L"abc", L"-", L".", L"- 5", L"e5"}) {
        EXPECT_EQ(ReadLeadingNumber(WideString(none)), 0.0) << "no number in the text";
    }
    EXPECT_EQ(ReadLeadingNumber(WideString(L"1e999")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadLeadingNumber(WideString(L"-1e999")), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadLeadingNumber(WideString(L"1e-999")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(WideString(L"\x0663")), 0.0) << "digits of other scripts are no number";
}

}  // namespace
}  // namespace ZV
