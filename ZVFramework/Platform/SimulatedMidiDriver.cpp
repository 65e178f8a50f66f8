#include "Platform/SimulatedMidiDriver.h"

#include "Platform/CallbackGate.h"
#include "Platform/MidiInputDispatcher.h"
#include "Platform/MidiMessage.h"

namespace ZV::Platform {

namespace {

class SimulatedMidiInput final : public MidiInput {
public:
    SimulatedMidiInput(std::shared_ptr<Simulator::SimulatedMidiSystem> system, MidiInputCallback& callback)
        : mSystem(std::move(system)), mSink(std::make_shared<Sink>(*this, callback))
    {
    }

    ~SimulatedMidiInput() override
    {
        mSink->Dispatcher.Close();
        mSystem->DisconnectHostInput(mConnection);
    }

    bool Connect(const Simulator::PortKey& port)
    {
        mConnection = mSystem->ConnectHostInput(port, mSink);
        return mConnection != 0;
    }

    bool AddSysExBuffer(MidiSysExBuffer& buffer) override { return mSink->Dispatcher.AddSysExBuffer(buffer); }
    bool Start() override { return mSink->Dispatcher.Start(); }
    void Stop() override { mSink->Dispatcher.Stop(); }

private:
    struct Sink final : Simulator::HostInputSink {
        Sink(MidiInput& input, MidiInputCallback& callback) : Dispatcher(input, callback) {}
        void ReceiveFromDevice(const Simulator::MidiBytes& bytes) override
        {
            Dispatcher.Deliver(bytes.data(), bytes.size());
        }
        MidiInputDispatcher Dispatcher;
    };

    std::shared_ptr<Simulator::SimulatedMidiSystem> mSystem;
    std::shared_ptr<Sink> mSink;
    std::uint64_t mConnection = 0;
};

class SimulatedMidiOutput final : public MidiOutput {
public:
    SimulatedMidiOutput(std::shared_ptr<Simulator::SimulatedMidiSystem> system, const Simulator::PortKey& port,
                        MidiOutputCallback& callback)
        : mSystem(std::move(system)), mPort(port), mCallback(callback)
    {
    }

    ~SimulatedMidiOutput() override { mGate->Shut(); }

    bool SendShortMessage(std::uint32_t packedMessage) override
    {
        Simulator::MidiBytes bytes = UnpackShortMessage(packedMessage);
        return !bytes.empty() && mSystem->SendFromHost(mPort, std::move(bytes), {});
    }

    bool SendLongMessage(const std::uint8_t* bytes, std::size_t count, std::uint64_t token) override
    {
        if (bytes == nullptr || count == 0) {
            return false;
        }
        // The gate outlives this output, so a transfer that ends after the close finds it shut.
        return mSystem->SendFromHost(mPort, Simulator::MidiBytes(bytes, bytes + count),
                                     [this, gate = mGate, token](bool delivered) {
                                         RunThroughGate(*gate, [&] {
                                             mCallback.OnLongMessageDone(*this, token, delivered);
                                         });
                                     });
    }

private:
    std::shared_ptr<Simulator::SimulatedMidiSystem> mSystem;
    Simulator::PortKey mPort;
    MidiOutputCallback& mCallback;
    std::shared_ptr<CallbackGate> mGate = std::make_shared<CallbackGate>(true);
};

}  // namespace

SimulatedMidiDriver::SimulatedMidiDriver(std::shared_ptr<Simulator::SimulatedMidiSystem> system)
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

std::unique_ptr<MidiInput> SimulatedMidiDriver::OpenInput(std::size_t device, MidiInputCallback& callback)
{
    Simulator::PortKey port;
    if (!FindListed(mListedInputs, device, port)) {
        return nullptr;
    }
    auto input = std::make_unique<SimulatedMidiInput>(mSystem, callback);
    if (!input->Connect(port)) {
        return nullptr;
    }
    return input;
}

std::unique_ptr<MidiOutput> SimulatedMidiDriver::OpenOutput(std::size_t device, MidiOutputCallback& callback)
{
    Simulator::PortKey port;
    if (!FindListed(mListedOutputs, device, port) || !mSystem->IsPortPresent(port)) {
        return nullptr;
    }
    return std::make_unique<SimulatedMidiOutput>(mSystem, port, callback);
}

std::vector<std::string> SimulatedMidiDriver::List(std::vector<Simulator::PortKey>& listed)
{
    const std::vector<Simulator::PortListing> ports = mSystem->ListPorts();
    std::vector<std::string> names;
    std::lock_guard lock(mMutex);
    listed.clear();
    for (const Simulator::PortListing& port : ports) {
        listed.push_back(port.Key);
        names.push_back(port.Name);
    }
    return names;
}

bool SimulatedMidiDriver::FindListed(const std::vector<Simulator::PortKey>& listed, std::size_t device,
                                     Simulator::PortKey& port)
{
    std::lock_guard lock(mMutex);
    if (device >= listed.size()) {
        return false;
    }
    port = listed[device];
    return true;
}

}  // namespace ZV::Platform
