#include "Platform/MidiOutputWriting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ZV::Platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An output like a raw MIDI stream on a slow cable: it takes at most three bytes at a time, and every other time
// none, until it has waited to be ready. It fails for good once it has taken failAfter bytes.
struct SlowOutput {
    Bytes Taken;
    int ReadyWaits = 0;
    bool Full = false;
    std::size_t FailAfter = 1000;
    bool EverReady = true;

    PartialOutput AsOutput()
    {
        return PartialOutput{[this](const std::uint8_t* bytes, std::size_t count) -> std::int64_t {
                                 if (Taken.size() >= FailAfter) {
                                     return -1;
                                 }
                                 Full = !Full;
                                 if (Full) {
                                     return 0;
                                 }
                                 const std::size_t part = std::min<std::size_t>(count, 3);
                                 Taken.insert(Taken.end(), bytes, bytes + part);
                                 return static_cast<std::int64_t>(part);
                             },
                             [this] {
                                 ++ReadyWaits;
                                 return EverReady;
                             }};
    }
};

TEST(MidiOutputWriting, LongMessageGoesOutWholeAsTheOutputTakesItPartByPartAndEachPartTakenIsProgress)
{
    const Bytes body{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    MidiLongMessage message;
    message.Bytes = body.data();
    message.Count = body.size();
    message.IsSysExBody = true;

    SlowOutput slow;
    std::vector<std::size_t> progress;
    EXPECT_TRUE(WriteLongMessage(message, slow.AsOutput(), [&](std::size_t taken) { progress.push_back(taken); }));
    EXPECT_EQ(slow.Taken, (Bytes{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xF7}));
    EXPECT_EQ(progress, (std::vector<std::size_t>{1, 4, 7, 10, 11, 12}));
    EXPECT_EQ(slow.ReadyWaits, 6);

    SlowOutput failing;
    failing.FailAfter = 5;
    progress.clear();
    EXPECT_FALSE(WriteLongMessage(message, failing.AsOutput(), [&](std::size_t taken) { progress.push_back(taken); }));
    EXPECT_EQ(progress, (std::vector<std::size_t>{1, 4, 7})) << "no progress after the output failed";

    SlowOutput closing;
    closing.EverReady = false;
    EXPECT_FALSE(WriteLongMessage(message, closing.AsOutput(), {})) << "an output that will never be ready again";
    EXPECT_TRUE(closing.Taken.empty());
}

}  // namespace
}  // namespace ZV::Platform
