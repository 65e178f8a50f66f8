#pragma once

#include "Midi/MidiComm.h"
#include "Notification/NotificationClient.h"
#include "Platform/MidiDriver.h"
#include "Platform/MidiTestSupport.h"
#include "Simulator/SimulatedMidiDriver.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ZV::Testing {

// How often the MIDI object went to the driver: listings, opened devices and closed ones.
struct DriverUse {
    std::atomic<int> Listings{0};
    std::atomic<int> Opens{0};
    std::atomic<int> Closes{0};
};

// An input of the inner driver that counts its close and hands callbacks on as its own.
class CountedMidiInput final : public Platform::MidiInput, private Platform::MidiInputCallback {
public:
    CountedMidiInput(Platform::MidiInputCallback& callback, DriverUse& use) : mCallback(callback), mUse(use) {}
    ~CountedMidiInput() override
    {
        if (mInner) {
            mInner.reset();
            ++mUse.Closes;
        }
    }

    bool Open(Platform::MidiDriver& driver, std::size_t device, Platform::MidiOpenFailure& failure)
    {
        mInner = driver.OpenInput(device, *this, failure);
        return mInner != nullptr;
    }

    bool AddSysExBuffer(Platform::MidiSysExBuffer& buffer) override { return mInner->AddSysExBuffer(buffer); }
    bool Start() override { return mInner->Start(); }
    void Stop() override { mInner->Stop(); }

private:
    void OnShortMessage(Platform::MidiInput&, std::uint32_t packedMessage, std::uint32_t timeStamp) override
    {
        mCallback.OnShortMessage(*this, packedMessage, timeStamp);
    }
    void OnSysExBuffer(Platform::MidiInput&, Platform::MidiSysExBuffer& buffer, Platform::MidiSysExFill fill) override
    {
        mCallback.OnSysExBuffer(*this, buffer, fill);
    }

    Platform::MidiInputCallback& mCallback;
    DriverUse& mUse;
    std::unique_ptr<Platform::MidiInput> mInner;
};

// What a test does as a long message goes into the driver, on the sender's thread; empty for nothing.
using BeforeLongMessage = std::function<void(const Platform::MidiLongMessage&)>;

class CountedMidiOutput final : public Platform::MidiOutput, private Platform::MidiOutputCallback {
public:
    CountedMidiOutput(Platform::MidiOutputCallback& callback, DriverUse& use, const BeforeLongMessage& before)
        : mCallback(callback), mUse(use), mBefore(before)
    {
    }
    ~CountedMidiOutput() override
    {
        if (mInner) {
            mInner.reset();
            ++mUse.Closes;
        }
    }

    bool Open(Platform::MidiDriver& driver, std::size_t device, Platform::MidiOpenFailure& failure)
    {
        mInner = driver.OpenOutput(device, *this, failure);
        return mInner != nullptr;
    }

    bool SendShortMessage(std::uint32_t packedMessage) override { return mInner->SendShortMessage(packedMessage); }
    bool SendLongMessage(Platform::MidiLongMessage message, std::uint64_t token) override
    {
        if (mBefore) {
            mBefore(message);
        }
        return mInner->SendLongMessage(std::move(message), token);
    }

private:
    void OnLongMessageDone(Platform::MidiOutput&, std::uint64_t token, bool delivered) override
    {
        mCallback.OnLongMessageDone(*this, token, delivered);
    }
    void OnLongMessageProgress(Platform::MidiOutput&, std::uint64_t token, std::size_t taken) override
    {
        mCallback.OnLongMessageProgress(*this, token, taken);
    }

    Platform::MidiOutputCallback& mCallback;
    DriverUse& mUse;
    const BeforeLongMessage& mBefore;
    std::unique_ptr<Platform::MidiOutput> mInner;
};

// The simulated driver, counting what its user asks of it, and doing what the test says as a long message goes in.
class CountingMidiDriver final : public Platform::MidiDriver {
public:
    explicit CountingMidiDriver(std::shared_ptr<Simulator::SimulatedMidiSystem> system) : mInner(std::move(system)) {}

    std::vector<std::string> ListInputDevices() override
    {
        ++Use.Listings;
        return mInner.ListInputDevices();
    }
    std::vector<std::string> ListOutputDevices() override
    {
        ++Use.Listings;
        return mInner.ListOutputDevices();
    }
    std::unique_ptr<Platform::MidiInput> OpenInput(std::size_t device, Platform::MidiInputCallback& callback,
                                                   Platform::MidiOpenFailure& failure) override
    {
        auto input = std::make_unique<CountedMidiInput>(callback, Use);
        return Opened(std::move(input), device, failure);
    }
    std::unique_ptr<Platform::MidiOutput> OpenOutput(std::size_t device, Platform::MidiOutputCallback& callback,
                                                     Platform::MidiOpenFailure& failure) override
    {
        auto output = std::make_unique<CountedMidiOutput>(callback, Use, Before);
        return Opened(std::move(output), device, failure);
    }

    DriverUse Use;
    // Set before the driver is used.
    BeforeLongMessage Before;

private:
    template <class Device>
    std::unique_ptr<Device> Opened(std::unique_ptr<Device> device, std::size_t number,
                                   Platform::MidiOpenFailure& failure)
    {
        if (!device->Open(mInner, number, failure)) {
            return nullptr;
        }
        ++Use.Opens;
        return device;
    }

    Simulator::SimulatedMidiDriver mInner;
};

// A driver of one output device of that name and no input; the subclass makes its outputs.
class OneOutputDriver : public Platform::MidiDriver {
public:
    explicit OneOutputDriver(std::string name) : mName(std::move(name)) {}

    std::vector<std::string> ListInputDevices() override { return {}; }
    std::vector<std::string> ListOutputDevices() override { return {mName}; }
    std::unique_ptr<Platform::MidiInput> OpenInput(std::size_t, Platform::MidiInputCallback&,
                                                   Platform::MidiOpenFailure& failure) override
    {
        failure = Platform::MidiOpenFailure::Absent;
        return nullptr;
    }
    std::unique_ptr<Platform::MidiOutput> OpenOutput(std::size_t, Platform::MidiOutputCallback& callback,
                                                     Platform::MidiOpenFailure&) override
    {
        return MakeOutput(callback);
    }

protected:
    virtual std::unique_ptr<Platform::MidiOutput> MakeOutput(Platform::MidiOutputCallback& callback) = 0;

private:
    std::string mName;
};

// A subscriber to "NID_MIDI_DATA_CAPTURED" that keeps every message with the thread it came on.
class LCapturedMessages final : public LNotificationClient {
public:
    struct Message {
        Bytes Data;
        std::string PortName;
        std::uint32_t TimeStamp;
        std::thread::id Thread;
    };

    static RCPtr<LCapturedMessages> Create() { return RCPtr<LCapturedMessages>(new LCapturedMessages); }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        const ConstRCPtr<LMidiCaptureNotificationData> data(notification->GetParameter());
        const MidiMessageBytes& bytes = data->GetBytes();
        const std::uint8_t* first = reinterpret_cast<const std::uint8_t*>(bytes.GetData());
        Message message{Bytes(first, first + bytes.GetCount()), data->GetPortName().ToUTF8().GetData(),
                        data->GetTimeStamp(), std::this_thread::get_id()};
        std::lock_guard lock(mMutex);
        mMessages.push_back(std::move(message));
        mArrived.notify_all();
    }

    bool WaitForCount(std::size_t count) const
    {
        std::unique_lock lock(mMutex);
        return mArrived.wait_for(lock, kBoundedWait, [&] { return mMessages.size() >= count; });
    }

    // Waits until the messages so far satisfy the condition.
    template <class Condition>
    bool WaitFor(Condition condition) const
    {
        std::unique_lock lock(mMutex);
        return mArrived.wait_for(lock, kBoundedWait, [&] { return condition(mMessages); });
    }

    std::vector<Message> Messages() const
    {
        std::lock_guard lock(mMutex);
        return mMessages;
    }

    std::vector<std::string> InHex() const
    {
        std::vector<std::string> texts;
        for (const Message& message : Messages()) {
            texts.push_back(ToHex(message.Data));
        }
        return texts;
    }

private:
    LCapturedMessages() = default;

    mutable std::mutex mMutex;
    mutable std::condition_variable mArrived;
    std::vector<Message> mMessages;
};

inline void AssignBytes(MidiMessageBytes& message, const Bytes& bytes)
{
    EXPECT_TRUE(Succeeded(message.SetCount(static_cast<std::uint32_t>(bytes.size()))));
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        message.GetData()[index] = static_cast<std::int8_t>(bytes[index]);
    }
}

}  // namespace ZV::Testing
