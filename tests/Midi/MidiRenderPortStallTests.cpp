#include "Midi/MidiComm.h"

#include "Midi/MidiCommTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace ZV {
namespace {

// One output whose long message the test moves on and ends from inside the MIDI object's tick: what the driver does
// while a sender reads the tick happens at that read. Everything runs on the sender's thread.
class TickScriptedDriver final : public Testing::OneOutputDriver {
public:
    explicit TickScriptedDriver(std::uint32_t firstTick) : OneOutputDriver("Scripted Port"), mTick(firstTick) {}

    // The tick. Once a long message is under way, the sender's first read begins its wait at W, and the message
    // moves on at W + 5,010; the second read is W + 15,000, and right after it the message moves on again; at the
    // third read it ends. The driver's own reads see the tick as it stands.
    std::uint32_t ReadTick()
    {
        if (mOutput == nullptr || mInside) {
            return mInside ? mTick : ++mTick;
        }
        mInside = true;
        ++mReadsUnderWay;
        std::uint32_t read = 0;
        if (mReadsUnderWay == 1) {
            read = mTick;
            mTick = read + 5010;
            mOutput->Moved();
        } else if (mReadsUnderWay == 2) {
            read = mTick + 9990;
            mTick = read + 1;
            mOutput->Moved();
        } else {
            read = ++mTick;
            mOutput->End();
            mOutput = nullptr;
        }
        mInside = false;
        return read;
    }

private:
    std::unique_ptr<Platform::MidiOutput> MakeOutput(Platform::MidiOutputCallback& callback) override
    {
        return std::make_unique<Output>(*this, callback);
    }

    class Output final : public Platform::MidiOutput {
    public:
        Output(TickScriptedDriver& driver, Platform::MidiOutputCallback& callback)
            : mDriver(driver), mCallback(callback)
        {
        }

        bool SendShortMessage(std::uint32_t) override { return true; }
        bool SendLongMessage(Platform::MidiLongMessage message, std::uint64_t token) override
        {
            mSize = message.GetSize();
            mToken = token;
            mDriver.mOutput = this;
            return true;
        }

        void Moved() { mCallback.OnLongMessageProgress(*this, mToken, mSize / 2); }
        void End() { mCallback.OnLongMessageDone(*this, mToken, true); }

    private:
        TickScriptedDriver& mDriver;
        Platform::MidiOutputCallback& mCallback;
        std::size_t mSize = 0;
        std::uint64_t mToken = 0;
    };

    std::uint32_t mTick;
    Output* mOutput = nullptr;
    bool mInside = false;
    int mReadsUnderWay = 0;
};

TEST(MidiRenderPort, MessageThatMovedJustAfterTheTickWasReadIsNotGivenUpAsStalledEvenAcrossTheTicksWrap)
{
    // The wait begins 8 s before the tick wraps.
    const auto driver = std::make_shared<TickScriptedDriver>(0xFFFFE0C0u);
    const RCPtr<LMidiComm> comm = LMidiComm::Create(driver, [&driver] { return driver->ReadTick(); });
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(WideString(L"Scripted"), render), ZV_S_OK);

    const Testing::Bytes message = Testing::SysExOfLength(100);
    EXPECT_EQ(comm->SendLongMidiMessage(ConstRCPtr<LRefCountedObject>(render),
                                        Platform::MidiLongMessage::Holding(message)),
              100)
        << "15 s into the wait the message had last moved 10 s before, and moved again as the tick was read";
}

}  // namespace
}  // namespace ZV
