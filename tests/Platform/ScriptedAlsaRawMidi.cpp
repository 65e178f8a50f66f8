#include "Platform/ScriptedAlsaRawMidi.h"

#include "TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <deque>

namespace ZV::Testing {

using Platform::AlsaMidiDevice;
using Platform::AlsaRawMidiStream;
using Readiness = AlsaRawMidiStream::Readiness;

struct ScriptedAlsaRawMidi::Device {
    std::string Name;
    std::string Address;
    std::uint32_t BytesPerSecond = 0;
    bool Gone = false;
    bool HeldElsewhere[2] = {};  // by direction: output, input
    bool Open[2] = {};
    std::deque<std::uint8_t> Unsent;
    std::vector<std::size_t> WriteSizes;
    Bytes Received;
    std::deque<std::uint8_t> ToComputer;
    // Byte-microseconds of taking that have not yet made a whole byte.
    std::uint64_t Credit = 0;
    // Waits on the output that nothing but the test can end.
    int BlockedOutputWaits = 0;
};

struct ScriptedAlsaRawMidi::State {
    using RealClock = std::chrono::steady_clock;

    explicit State(Pace pace) : RealTime(pace == Pace::RealTime) {}

    const bool RealTime;
    const RealClock::time_point Started = RealClock::now();
    mutable std::mutex Mutex;
    mutable std::condition_variable Changed;
    std::uint64_t ClockMicroseconds = 0;
    std::map<std::string, std::shared_ptr<Device>> Present;
    std::map<std::string, std::function<void(const Bytes&)>> Listeners;

    // Under the lock: the clock moves on, and every device takes what it takes meanwhile.
    void Advance(std::uint64_t microseconds)
    {
        ClockMicroseconds += microseconds;
        for (auto& [name, device] : Present) {
            device->Credit += std::uint64_t{device->BytesPerSecond} * microseconds;
            const std::uint64_t whole = device->Credit / 1'000'000;
            const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(whole, device->Unsent.size()));
            device->Received.insert(device->Received.end(), device->Unsent.begin(), device->Unsent.begin() + taken);
            if (const auto listener = Listeners.find(name); taken != 0 && listener != Listeners.end()) {
                listener->second(Bytes(device->Unsent.begin(), device->Unsent.begin() + taken));
            }
            device->Unsent.erase(device->Unsent.begin(), device->Unsent.begin() + taken);
            device->Credit = device->Unsent.empty() ? 0 : device->Credit - whole * 1'000'000;
        }
        Changed.notify_all();
    }

    // Under the lock: paced in real time, the clock catches up with the machine's.
    void CatchUp()
    {
        if (!RealTime) {
            return;
        }
        const auto now = static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(RealClock::now() - Started).count());
        if (now > ClockMicroseconds) {
            Advance(now - ClockMicroseconds);
        }
    }

    // Under the lock: how long the device needs to take everything its buffer holds.
    static std::uint64_t TimeToEmpty(const Device& device)
    {
        const std::uint64_t needed = device.Unsent.size() * 1'000'000 - device.Credit;
        return (needed + device.BytesPerSecond - 1) / device.BytesPerSecond;
    }
};

namespace {

using Device = ScriptedAlsaRawMidi::Device;
using State = ScriptedAlsaRawMidi::State;

class ScriptedStream final : public AlsaRawMidiStream {
public:
    ScriptedStream(std::shared_ptr<State> state, std::shared_ptr<Device> device, bool input)
        : mState(std::move(state)), mDevice(std::move(device)), mDirection(input ? 1 : 0)
    {
    }

    ~ScriptedStream() override
    {
        std::lock_guard lock(mState->Mutex);
        mDevice->Open[mDirection] = false;
        if (mDirection == 0) {
            mDevice->Unsent.clear();
        }
        mState->Changed.notify_all();
    }

    std::int64_t Read(std::uint8_t* bytes, std::size_t count) override
    {
        std::lock_guard lock(mState->Mutex);
        if (mDevice->Gone) {
            return -ENODEV;
        }
        const std::size_t moved = std::min(count, mDevice->ToComputer.size());
        std::copy_n(mDevice->ToComputer.begin(), moved, bytes);
        mDevice->ToComputer.erase(mDevice->ToComputer.begin(), mDevice->ToComputer.begin() + moved);
        mState->Changed.notify_all();
        return static_cast<std::int64_t>(moved);
    }

    std::int64_t Write(const std::uint8_t* bytes, std::size_t count) override
    {
        std::lock_guard lock(mState->Mutex);
        if (mDevice->Gone) {
            return -ENODEV;
        }
        mState->CatchUp();
        if (!mDevice->Unsent.empty()) {
            return 0;
        }
        const std::size_t moved = std::min(count, ScriptedAlsaRawMidi::kBufferSize);
        mDevice->Unsent.insert(mDevice->Unsent.end(), bytes, bytes + moved);
        mDevice->WriteSizes.push_back(moved);
        return static_cast<std::int64_t>(moved);
    }

    std::int64_t GetUnsentOutput() override
    {
        std::lock_guard lock(mState->Mutex);
        mState->CatchUp();
        return mDevice->Gone ? -ENODEV : static_cast<std::int64_t>(mDevice->Unsent.size());
    }

    std::size_t GetOutputBufferSize() const override { return ScriptedAlsaRawMidi::kBufferSize; }

    Readiness Wait(int milliseconds) override
    {
        std::unique_lock lock(mState->Mutex);
        mState->CatchUp();
        for (;;) {
            if (mWoken) {
                return Readiness::Woken;
            }
            if (mDevice->Gone) {
                return Readiness::Failed;
            }
            if (mDirection == 1 ? !mDevice->ToComputer.empty() : mDevice->Unsent.empty()) {
                return Readiness::Ready;
            }
            if (mDirection == 0 && mDevice->BytesPerSecond != 0) {
                const std::uint64_t limit = milliseconds < 0 ? UINT64_MAX : std::uint64_t(milliseconds) * 1000;
                const std::uint64_t step = std::min(State::TimeToEmpty(*mDevice), limit);
                if (mState->RealTime) {
                    // The device takes its bytes while the wait lasts; a wake or an unplug ends it at once.
                    mState->Changed.wait_until(lock, State::RealClock::now() + std::chrono::microseconds(step),
                                               [&] { return mWoken || mDevice->Gone; });
                    mState->CatchUp();
                    if (mWoken || mDevice->Gone) {
                        continue;
                    }
                } else {
                    mState->Advance(step);
                }
                return mDevice->Unsent.empty() ? Readiness::Ready : Readiness::TimedOut;
            }
            if (mDirection == 1) {
                if (milliseconds < 0) {
                    mState->Changed.wait(lock);
                } else if (mState->Changed.wait_for(lock, std::chrono::milliseconds(milliseconds)) ==
                           std::cv_status::timeout) {
                    return Readiness::TimedOut;
                }
                continue;
            }
            ++mDevice->BlockedOutputWaits;
            mState->Changed.notify_all();
            mState->Changed.wait(lock);
            --mDevice->BlockedOutputWaits;
        }
    }

    void Wake() override
    {
        std::lock_guard lock(mState->Mutex);
        mWoken = true;
        mState->Changed.notify_all();
    }

private:
    std::shared_ptr<State> mState;
    std::shared_ptr<Device> mDevice;
    int mDirection;
    bool mWoken = false;
};

}  // namespace

ScriptedAlsaRawMidi::ScriptedAlsaRawMidi(Pace pace) : mState(std::make_shared<State>(pace)) {}

void ScriptedAlsaRawMidi::Plug(int card, const std::string& name, std::uint32_t bytesPerSecond, bool heldElsewhere)
{
    auto device = std::make_shared<Device>();
    device->Name = name;
    device->Address = "hw:" + std::to_string(card) + ",0,0";
    device->BytesPerSecond = bytesPerSecond;
    device->HeldElsewhere[0] = heldElsewhere;
    device->HeldElsewhere[1] = heldElsewhere;
    std::lock_guard lock(mState->Mutex);
    mState->Present[name] = device;
    mState->Changed.notify_all();
}

void ScriptedAlsaRawMidi::Unplug(const std::string& name)
{
    std::lock_guard lock(mState->Mutex);
    mState->Present.at(name)->Gone = true;
    mState->Present.erase(name);
    mState->Changed.notify_all();
}

void ScriptedAlsaRawMidi::HoldElsewhere(const std::string& name, bool input, bool held)
{
    std::lock_guard lock(mState->Mutex);
    mState->Present.at(name)->HeldElsewhere[input ? 1 : 0] = held;
}

void ScriptedAlsaRawMidi::SendToComputer(const std::string& name, const Bytes& bytes)
{
    std::lock_guard lock(mState->Mutex);
    const auto present = mState->Present.find(name);
    if (present == mState->Present.end()) {
        // Unplugged while it answered: what it says goes nowhere, as on a cable pulled out.
        return;
    }
    std::deque<std::uint8_t>& queue = present->second->ToComputer;
    queue.insert(queue.end(), bytes.begin(), bytes.end());
    mState->Changed.notify_all();
}

void ScriptedAlsaRawMidi::ListenToDevice(const std::string& name, std::function<void(const Bytes&)> listener)
{
    std::lock_guard lock(mState->Mutex);
    if (listener) {
        mState->Listeners[name] = std::move(listener);
    } else {
        mState->Listeners.erase(name);
    }
}

ScriptedAlsaRawMidi::Bytes ScriptedAlsaRawMidi::GetReceived(const std::string& name) const
{
    std::lock_guard lock(mState->Mutex);
    mState->CatchUp();
    return mState->Present.at(name)->Received;
}

std::vector<std::size_t> ScriptedAlsaRawMidi::GetWriteSizes(const std::string& name) const
{
    std::lock_guard lock(mState->Mutex);
    return mState->Present.at(name)->WriteSizes;
}

std::uint64_t ScriptedAlsaRawMidi::GetClockMilliseconds() const
{
    std::lock_guard lock(mState->Mutex);
    mState->CatchUp();
    return mState->ClockMicroseconds / 1000;
}

bool ScriptedAlsaRawMidi::WaitUntilRead(const std::string& name) const
{
    std::unique_lock lock(mState->Mutex);
    const std::shared_ptr<Device> device = mState->Present.at(name);
    return mState->Changed.wait_for(lock, kBoundedWait,
                                    [&] { return device->ToComputer.empty() || !device->Open[1]; });
}

bool ScriptedAlsaRawMidi::WaitUntilOutputBlocks(const std::string& name) const
{
    std::unique_lock lock(mState->Mutex);
    const std::shared_ptr<Device> device = mState->Present.at(name);
    return mState->Changed.wait_for(lock, kBoundedWait, [&] { return device->BlockedOutputWaits > 0; });
}

std::vector<AlsaMidiDevice> ScriptedAlsaRawMidi::FindDevices(bool)
{
    std::lock_guard lock(mState->Mutex);
    std::vector<AlsaMidiDevice> found;
    for (const auto& [name, device] : mState->Present) {
        found.push_back({device->Address, name});
    }
    std::sort(found.begin(), found.end(),
              [](const AlsaMidiDevice& a, const AlsaMidiDevice& b) { return a.Address < b.Address; });
    return found;
}

int ScriptedAlsaRawMidi::Open(const std::string& address, bool input, std::unique_ptr<AlsaRawMidiStream>& stream)
{
    std::lock_guard lock(mState->Mutex);
    const int direction = input ? 1 : 0;
    for (const auto& [name, device] : mState->Present) {
        if (device->Address != address) {
            continue;
        }
        if (device->HeldElsewhere[direction] || device->Open[direction]) {
            return -EBUSY;
        }
        device->Open[direction] = true;
        stream = std::make_unique<ScriptedStream>(mState, device, input);
        return 0;
    }
    return -ENOENT;
}

}  // namespace ZV::Testing
