#include "ObjectBase/Exception.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::TextMatchesThrow;
using Testing::ThrownText;

class LThrower {
public:
    void WithMessage() { ZV_THROW(std::logic_error, "Undo() not implemented for RefCountedObject"); }
    void WithoutMessage() const { ZV_THROW(std::runtime_error, ""); }
    static void NullPointer() { ZV_THROW_NULL_POINTER(std::runtime_error, "LMainControl couldn't find buttonExit"); }
    void Check(ZVRESULT result) { ZV_THROW_IF_FAILED(result); }
};

TEST(ExceptionText, JoinsKindMessageFunctionPathAndLine)
{
    EXPECT_TRUE(
        TextMatchesThrow(ThrownText([] { LThrower().WithMessage(); }),
                         "Logic Error : Undo() not implemented for RefCountedObject : ZV::{anonymous}::LThrower::"
                         "WithMessage"));
    EXPECT_TRUE(TextMatchesThrow(ThrownText([] { LThrower().WithoutMessage(); }),
                                 "Runtime Error : ZV::{anonymous}::LThrower::WithoutMessage"));
    EXPECT_TRUE(TextMatchesThrow(ThrownText(&LThrower::NullPointer),
                                 "Runtime Error : Null Pointer : LMainControl couldn't find buttonExit : "
                                 "ZV::{anonymous}::LThrower::NullPointer"));
    EXPECT_NE(ThrownText(&LThrower::NullPointer).find(" : tests/ObjectBase/ExceptionTests : Line "), std::string::npos)
        << "the source file without extension, relative to the project";
}

TEST(FrameworkException, IsCaughtAsItsStandardBasesAndAsExceptionBaseWithOneText)
{
    try {
        ZV_THROW(std::out_of_range, "index");
    } catch (const std::logic_error& asLogicError) {
        const auto* asBase = dynamic_cast<const ExceptionBase*>(&asLogicError);
        ASSERT_NE(asBase, nullptr);
        EXPECT_STREQ(asBase->GetMessageText(), asLogicError.what());
        EXPECT_TRUE(TextMatchesThrow(asLogicError.what(), "Out of Range : index : ZV::{anonymous}::"
                                                          "FrameworkException_IsCaughtAsItsStandardBasesAndAsException"
                                                          "BaseWithOneText_Test::TestBody"));
    }
    try {
        throw Exception<std::bad_alloc>();
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "bad allocation");
    }
}

TEST(FailedResult, ThrowsOnlyForNegativeCodesWithTheCodeInUpperCaseHexadecimal)
{
    EXPECT_EQ(FormatResultCode(0xA), "ZVRESULT = A");
    LThrower thrower;
    EXPECT_NO_THROW(thrower.Check(ZV_S_OK));
    EXPECT_NO_THROW(thrower.Check(ZV_S_FALSE));
    EXPECT_TRUE(TextMatchesThrow(ThrownText<Exception<FailedResultException>>([&] { thrower.Check(ZV_E_FAIL); }),
                                 "Failed Result : ZVRESULT = 80004005 : ZV::{anonymous}::LThrower::Check"));
}

}  // namespace
}  // namespace ZV
