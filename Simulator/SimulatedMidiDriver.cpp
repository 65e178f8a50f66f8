#include "Simulator/SimulatedMidiDriver.h"

#include "Platform/CallbackGate.h"
#include "Platform/MidiInputDispatcher.h"
#include "Platform/MidiMessage.h"

namespace ZV::Simulator {

using Platform::MidiInput;
using Platform::MidiInputCallback;
using Platform::MidiLongMessage;
using Platform::MidiOpenFailure;
using Platform::MidiOutput;
using Platform::MidiOutputCallback;
using Platform::MidiSysExBuffer;
using Platform::CallbackGate;
using Platform::MidiInputDispatcher;
using Platform::RunThroughGate;
using Platform::UnpackShortMessage;

namespace {

class SimulatedMidiInput final : public MidiInput {
public:
    SimulatedMidiInput(std::shared_ptr<SimulatedMidiSystem> system, MidiInputCallback& callback)
        : mSystem(std::move(system)), mSink(std::make_shared<Sink>(*this, callback))
    {
    }

    ~SimulatedMidiInput() override
    {
        mSink->Dispatcher.Close();
        mSystem->DisconnectHostInput(mConnection);
    }

    bool Connect(const PortKey& port)
    {
        mConnection = mSystem->ConnectHostInput(port, mSink);
        return mConnection != 0;
    }

    bool AddSysExBuffer(MidiSysExBuffer& buffer) override { return mSink->Dispatcher.AddSysExBuffer(buffer); }
    bool Start() override { return mSink->Dispatcher.Start(); }
    void Stop() override { mSink->Dispatcher.Stop(); }

private:
    struct Sink final : HostInputSink {
        Sink(MidiInput& input, MidiInputCallback& callback) : Dispatcher(input, callback) {}
        void ReceiveFromDevice(const MidiBytes& bytes) override
        {
            Dispatcher.Deliver(bytes.data(), bytes.size());
        }
        MidiInputDispatcher Dispatcher;
    };

    std::shared_ptr<SimulatedMidiSystem> mSystem;
    std::shared_ptr<Sink> mSink;
    std::uint64_t mConnection = 0;
};

class SimulatedMidiOutput final : public MidiOutput {
public:
    SimulatedMidiOutput(std::shared_ptr<SimulatedMidiSystem> system, const PortKey& port,
                        MidiOutputCallback& callback)
        : mSystem(std::move(system)), mPort(port), mCallback(callback)
    {
    }

    ~SimulatedMidiOutput() override { mGate->Shut(); }

    bool SendShortMessage(std::uint32_t packedMessage) override
    {
        MidiBytes bytes = UnpackShortMessage(packedMessage);
        return !bytes.empty() && mSystem->SendFromHost(mPort, std::move(bytes), {});
    }

    bool SendLongMessage(MidiLongMessage message, std::uint64_t token) override
    {
        if (!message.IsSendable()) {
            return false;
        }
        // The gate outlives this output, so a transfer that goes on or ends after the close finds it shut.
        return mSystem->SendFromHost(
            mPort, std::move(message),
            [this, gate = mGate, token](bool delivered) {
                RunThroughGate(*gate, [&] { mCallback.OnLongMessageDone(*this, token, delivered); });
            },
            [this, gate = mGate, token](std::size_t carried) {
                RunThroughGate(*gate, [&] { mCallback.OnLongMessageProgress(*this, token, carried); });
            });
    }

private:
    std::shared_ptr<SimulatedMidiSystem> mSystem;
    PortKey mPort;
    MidiOutputCallback& mCallback;
    std::shared_ptr<CallbackGate> mGate = std::make_shared<CallbackGate>(true);
};

}  // namespace

SimulatedMidiDriver::SimulatedMidiDriver(std::shared_ptr<SimulatedMidiSystem> system)
    : mSystem(std::move(system))
{
}

std::vector<std::string> SimulatedMidiDriver::ListInputDevices()
{
    return List(mListedInputs);
}

std::vector<std::string> SimulatedMidiDriver::ListOutputDevices()
{
    return List(mListedOutputs);
}

std::unique_ptr<MidiInput> SimulatedMidiDriver::OpenInput(std::size_t device, MidiInputCallback& callback,
                                                          MidiOpenFailure& failure)
{
    PortKey port;
    if (!FindOpenable(mListedInputs, device, port, failure)) {
        return nullptr;
    }
    auto input = std::make_unique<SimulatedMidiInput>(mSystem, callback);
    if (!input->Connect(port)) {
        failure = MidiOpenFailure::Absent;
        return nullptr;
    }
    return input;
}

std::unique_ptr<MidiOutput> SimulatedMidiDriver::OpenOutput(std::size_t device, MidiOutputCallback& callback,
                                                            MidiOpenFailure& failure)
{
    PortKey port;
    if (!FindOpenable(mListedOutputs, device, port, failure)) {
        return nullptr;
    }
    return std::make_unique<SimulatedMidiOutput>(mSystem, port, callback);
}

std::vector<std::string> SimulatedMidiDriver::List(std::vector<PortKey>& listed)
{
    const std::vector<PortListing> ports = mSystem->ListPorts();
    std::vector<std::string> names;
    std::lock_guard lock(mMutex);
    listed.clear();
    for (const PortListing& port : ports) {
        listed.push_back(port.Key);
        names.push_back(port.Name);
    }
    return names;
}

bool SimulatedMidiDriver::FindOpenable(const std::vector<PortKey>& listed, std::size_t device, PortKey& port,
                                       MidiOpenFailure& failure)
{
    {
        std::lock_guard lock(mMutex);
        if (device >= listed.size()) {
            failure = MidiOpenFailure::Absent;
            return false;
        }
        port = listed[device];
    }
    if (!mSystem->IsPortPresent(port)) {
        failure = MidiOpenFailure::Absent;
        return false;
    }
    if (mSystem->IsPortBusy(port)) {
        failure = MidiOpenFailure::Busy;
        return false;
    }
    return true;
}

void RegisterSimulatedMidiDriver()
{
    Platform::RegisterMidiDriver(kSimulatedMidiDriverName, [] {
        return std::make_shared<SimulatedMidiDriver>(
            std::make_shared<SimulatedMidiSystem>(ReadSimulationSettingsFromEnvironment()));
    });
}

}  // namespace ZV::Simulator
