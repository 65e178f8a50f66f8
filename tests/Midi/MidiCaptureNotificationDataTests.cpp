#include "Midi/MidiCaptureNotificationData.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ZV {
namespace {

TEST(MidiCaptureNotificationData, RecordsComeBackFromTheirPoolLastInFirstOut)
{
    const void* first = nullptr;
    {
        RCPtr<LMidiCaptureNotificationData> data =
            LMidiCaptureNotificationData::Create(WideString(L"Halvista Left"), 7);
        EXPECT_TRUE(Succeeded(data->GetBytes().AddItem(static_cast<std::int8_t>(0x90))));
        EXPECT_EQ(data->GetBytes().GetCount(), 1u);
        EXPECT_TRUE(data->GetPortName() == L"Halvista Left");
        EXPECT_EQ(data->GetTimeStamp(), 7u);
        first = data.Get();
    }
    RCPtr<LMidiCaptureNotificationData> again = LMidiCaptureNotificationData::Create(WideString(), 0);
    EXPECT_EQ(static_cast<const void*>(again.Get()), first);
    EXPECT_EQ(again->GetBytes().GetCount(), 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(again.Get()) % 16, 0u);
}

}  // namespace
}  // namespace ZV
