#include "Platform/MidiOutputWriting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <limits>
#include <vector>

namespace ZV::Platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A buffer of four bytes in front of a slow device, which takes three of them during each wait. The device fails
// for good once it has taken FailAfter bytes; a closing output never waits again.
struct SlowDevice {
    std::deque<std::uint8_t> Buffer;
    Bytes Taken;
    std::size_t FailAfter = std::numeric_limits<std::size_t>::max();
    bool Closing = false;

    bool HasFailed() const { return Taken.size() >= FailAfter; }

    BufferedOutput AsOutput()
    {
        return BufferedOutput{4,
                              [this](const std::uint8_t* bytes, std::size_t count) -> std::int64_t {
                                  if (HasFailed()) {
                                      return -1;
                                  }
                                  const std::size_t part = std::min(count, 4 - Buffer.size());
                                  Buffer.insert(Buffer.end(), bytes, bytes + part);
                                  return static_cast<std::int64_t>(part);
                              },
                              [this]() -> std::int64_t {
                                  return HasFailed() ? -1 : static_cast<std::int64_t>(Buffer.size());
                              },
                              [this] {
                                  const std::size_t part = std::min<std::size_t>(Buffer.size(), 3);
                                  Taken.insert(Taken.end(), Buffer.begin(), Buffer.begin() + part);
                                  Buffer.erase(Buffer.begin(), Buffer.begin() + part);
                                  return !Closing;
                              }};
    }
};

MidiLongMessage SysExBody(const Bytes& body)
{
    MidiLongMessage message;
    message.Bytes = body.data();
    message.Count = body.size();
    message.IsSysExBody = true;
    return message;
}

TEST(MidiOutputWriting, MessageIsSentOnceTheDeviceHasTakenItAllAndWhatItTookOfItIsProgressEarlierBytesNot)
{
    const Bytes body{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    SlowDevice device;
    const BufferedOutput output = device.AsOutput();
    // A short message still in the buffer when the long one begins: a write does not wait for the device.
    const Bytes note{0x90, 0x40, 0x7F};
    ASSERT_TRUE(WriteMessage(MidiLongMessage::Holding(note), output));
    EXPECT_EQ(device.Buffer.size(), 3u);

    std::vector<std::size_t> progress;
    EXPECT_TRUE(SendMessage(SysExBody(body), output, [&](std::size_t sent) {
        EXPECT_EQ(sent, device.Taken.size() - note.size()) << "only what the device took of this message";
        progress.push_back(sent);
    }));
    EXPECT_EQ(device.Taken, (Bytes{0x90, 0x40, 0x7F, 0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xF7}));
    EXPECT_TRUE(device.Buffer.empty()) << "not sent before the device took the last byte";
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), body.size() + 2);

    SlowDevice failing;
    failing.FailAfter = 5;
    progress.clear();
    EXPECT_FALSE(SendMessage(SysExBody(body), failing.AsOutput(), [&](std::size_t sent) { progress.push_back(sent); }));
    EXPECT_TRUE(progress.empty() || progress.back() <= 5) << "no progress after the device failed";

    SlowDevice closing;
    closing.Closing = true;
    EXPECT_FALSE(SendMessage(SysExBody(body), closing.AsOutput(), {})) << "an output that will never wait again";
    EXPECT_EQ(closing.Taken.size(), 3u) << "what it took while it closed";
}

}  // namespace
}  // namespace ZV::Platform
