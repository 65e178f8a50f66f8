#include "System/FakeWindowBackEnd.h"

#include "System/MessageLoop.h"
#include "System/OSWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ZV {
namespace {

using ::testing::ElementsAre;

TEST(OSWindowCursor, EachWindowShowsTheCursorItIsGivenAndSkipsOnlyItsOwnRepeats)
{
    auto firstBackEnd = std::make_unique<Testing::FakeWindowBackEnd>();
    auto secondBackEnd = std::make_unique<Testing::FakeWindowBackEnd>();
    Testing::FakeWindowBackEnd& firstFake = *firstBackEnd;
    Testing::FakeWindowBackEnd& secondFake = *secondBackEnd;
    const RCPtr<OSWindow> first = OSWindow::Create(std::move(firstBackEnd), nullptr);
    const RCPtr<OSWindow> second = OSWindow::Create(std::move(secondBackEnd), nullptr);

    EXPECT_EQ(first->SetCursor(7), 0u);
    EXPECT_EQ(second->SetCursor(7), 0u) << "the other window's cursor is not this one's";
    EXPECT_EQ(second->SetCursor(7), 7u);
    EXPECT_EQ(first->SetCursor(9), 7u);
    EXPECT_THAT(firstFake.mCursors, ElementsAre(7u, 9u));
    EXPECT_THAT(secondFake.mCursors, ElementsAre(7u));

    first->Destroy();
    second->Destroy();
    GetMessageLoop().ReleaseDeferred();
}

}  // namespace
}  // namespace ZV
