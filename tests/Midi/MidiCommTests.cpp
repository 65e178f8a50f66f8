#include "Midi/MidiComm.h"

#include "Midi/MidiCommTestSupport.h"
#include "Simulator/SimulatedDeviceBench.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::Bytes;
using Testing::LCapturedMessages;
using Testing::ParseHex;

// A MIDI object over the simulated system, with a subscriber to what it captures.
class MidiCommTest : public ::testing::Test {
protected:
    void SetUpSystem(const Simulator::SimulationSettings& settings)
    {
        mSystem = std::make_shared<Simulator::SimulatedMidiSystem>(settings);
        mDriver = std::make_shared<Testing::CountingMidiDriver>(mSystem);
        mComm = LMidiComm::Create(mDriver);
        mCaptured = LCapturedMessages::Create();
        ASSERT_NE(mCaptured->RegisterForNotification(ConstRCPtr<LNotificationDistributor>(mComm),
                                                     LMidiComm::kDataCapturedId, 0),
                  nullptr);
    }

    void SetUp() override { SetUpSystem(Testing::UnlimitedSpeed()); }

    RCPtr<LMidiCapturePort> OpenCapture(const wchar_t* name)
    {
        RCPtr<LMidiCapturePort> port;
        EXPECT_EQ(mComm->OpenCapturePort(WideString(name), port), ZV_S_OK)
            << "capture port " << WideString(name).ToUTF8().GetData();
        return port;
    }

    RCPtr<LMidiRenderPort> OpenRender(const wchar_t* name)
    {
        RCPtr<LMidiRenderPort> port;
        EXPECT_EQ(mComm->OpenRenderPort(WideString(name), port), ZV_S_OK)
            << "render port " << WideString(name).ToUTF8().GetData();
        return port;
    }

    // Render and capture ports on the decoy, which sends back what it receives.
    void OpenThroughLoop()
    {
        mRender = OpenRender(L"through");
        mCapture = OpenCapture(L"through");
        ASSERT_TRUE(mRender && mCapture);
    }

    ZVRESULT Send(const ConstRCPtr<LRefCountedObject>& port, const Bytes& bytes)
    {
        MidiMessageBytes message;
        Testing::AssignBytes(message, bytes);
        return mComm->SendMidiMessage(port, message);
    }

    std::shared_ptr<Simulator::SimulatedMidiSystem> mSystem;
    std::shared_ptr<Testing::CountingMidiDriver> mDriver;
    RCPtr<LMidiComm> mComm;
    RCPtr<LCapturedMessages> mCaptured;
    RCPtr<LMidiRenderPort> mRender;
    RCPtr<LMidiCapturePort> mCapture;
};

TEST_F(MidiCommTest, PortIsFoundByAPartOfItsNameInAnyCaseSharedWhileHeldAndReopenedAfterItsLastRelease)
{
    Simulator::SimulationSettings settings = Testing::UnlimitedSpeed();
    settings.Devices.push_back(settings.Devices.front());
    settings.Devices.back().PortName = "VT5 Display Left";
    SetUpSystem(settings);
    const Testing::DriverUse& use = mDriver->Use;

    RCPtr<LMidiCapturePort> capture = OpenCapture(L"LEFT");
    ASSERT_TRUE(capture);
    EXPECT_EQ(capture->GetName().ToUTF8(), NarrowString("Halvista Left"))
        << "of two devices whose names hold the text, the lower number; the decoy before them holds it not";
    RCPtr<LMidiRenderPort> render = OpenRender(L"display lEFT");
    ASSERT_TRUE(render);
    EXPECT_EQ(render->GetName().ToUTF8(), NarrowString("VT5 Display Left"));
    EXPECT_EQ(use.Opens.load(), 2);

    const int listings = use.Listings.load();
    EXPECT_EQ(OpenCapture(L"halvista").Get(), capture.Get()) << "the open port whose name holds the text";
    EXPECT_EQ(OpenRender(L"VT5").Get(), render.Get());
    EXPECT_EQ(use.Opens.load(), 2) << "an open port is handed out again without opening its device twice";
    EXPECT_EQ(use.Listings.load(), listings) << "nor asking the driver for its devices";

    RCPtr<LMidiCapturePort> missing = capture;
    EXPECT_EQ(mComm->OpenCapturePort(WideString(L"Halvista Right"), missing), ZV_E_FAIL);
    EXPECT_TRUE(missing.IsNull()) << "a failed request leaves no port behind";
    RCPtr<LMidiRenderPort> missingRender;
    EXPECT_EQ(mComm->OpenRenderPort(WideString(L"Halvista Right"), missingRender), ZV_E_FAIL);
    EXPECT_EQ(use.Opens.load(), 2);

    capture = nullptr;
    EXPECT_EQ(use.Closes.load(), 1) << "the last outside reference closes the port";
    render = nullptr;
    EXPECT_EQ(use.Closes.load(), 2);

    capture = OpenCapture(L"halvista left");
    ASSERT_TRUE(capture);
    EXPECT_EQ(use.Opens.load(), 3) << "a closed port is opened again on the next request";
    EXPECT_EQ(OpenCapture(L"Midi Through")->GetName().ToUTF8(), NarrowString("Midi Through Port-0"));
    EXPECT_EQ(use.Closes.load(), 3) << "the decoy's port was let go at once";
}

TEST_F(MidiCommTest, DevicesOfOneNameAreCountedAndOpenedByTheirPlaceButNeverBesideAnOpenPortOfTheName)
{
    Simulator::SimulationSettings settings = Testing::UnlimitedSpeed();
    settings.Devices.push_back(settings.Devices.front());
    SetUpSystem(settings);
    std::uint32_t captures = 0;
    std::uint32_t renders = 0;
    mComm->CountPorts(WideString(L"halvista LEFT"), captures, renders);
    EXPECT_EQ(captures, 2u);
    EXPECT_EQ(renders, 2u);
    mComm->CountPorts(WideString(L"Halvista Right"), captures, renders);
    EXPECT_EQ(captures + renders, 0u);

    RCPtr<LMidiRenderPort> second;
    ASSERT_EQ(mComm->OpenRenderPortAt(WideString(L"Halvista Left"), 1, second), ZV_S_OK);
    EXPECT_GT(Send(second, ParseHex(Testing::EnterUpdateModeRequest)), 0);
    EXPECT_TRUE(mSystem->GetDevice(1).WaitForStateEntries(Simulator::DeviceState::Restarting, 1, Testing::kBoundedWait))
        << "the request went to the second device of the name";
    EXPECT_EQ(OpenRender(L"halvista").Get(), second.Get()) << "by name, the open port of the name";
    RCPtr<LMidiRenderPort> first;
    EXPECT_EQ(mComm->OpenRenderPortAt(WideString(L"Halvista Left"), 0, first), ZV_E_FAIL)
        << "which device of the name the open one is cannot be told";
    RCPtr<LMidiCapturePort> beyond;
    EXPECT_EQ(mComm->OpenCapturePortAt(WideString(L"Halvista Left"), 1, beyond), ZV_E_FAIL)
        << "the second is away, restarting: nobody stands at its place";
    EXPECT_TRUE(first.IsNull() && beyond.IsNull());
    EXPECT_FALSE(mSystem->GetDevice(0).WaitForStateEntries(Simulator::DeviceState::Restarting, 1,
                                                           std::chrono::milliseconds(0)));
}

TEST_F(MidiCommTest, PortsThatAnotherProgramHoldsAreBusyAndANameNoDeviceHasFails)
{
    Simulator::SimulationSettings settings = Testing::UnlimitedSpeed();
    settings.Devices.front().Faults.BusyPorts = true;
    SetUpSystem(settings);
    RCPtr<LMidiCapturePort> capture;
    RCPtr<LMidiRenderPort> render;
    EXPECT_EQ(mComm->OpenCapturePort(WideString(L"halvista"), capture), kMidiPortBusy);
    EXPECT_EQ(mComm->OpenRenderPort(WideString(L"Halvista Left"), render), kMidiPortBusy);
    EXPECT_FALSE(capture || render);
    EXPECT_EQ(mComm->OpenRenderPort(WideString(L"VT5 Display"), render), ZV_E_FAIL);
    EXPECT_TRUE(OpenRender(L"through")) << "other devices' ports open";
}

TEST_F(MidiCommTest, CapturedMessagesArriveWholeInArrivalOrderOnTheWorkerThread)
{
    OpenThroughLoop();
    const RCPtr<LMidiRenderPort>& render = mRender;
    // The decoy's input seen straight from the driver, to learn the driver's callback thread.
    Testing::RecordingMidiClient driverSide;
    Simulator::SimulatedMidiDriver directDriver(mSystem);
    directDriver.ListInputDevices();
    Platform::MidiOpenFailure failure = Platform::MidiOpenFailure::Absent;
    std::unique_ptr<Platform::MidiInput> directInput = directDriver.OpenInput(0, driverSide, failure);
    ASSERT_TRUE(directInput && driverSide.GiveBuffersTo(*directInput) && directInput->Start());

    const Bytes longMessage = Testing::SysExOfLength(600);
    const Bytes oneBuffer = Testing::SysExOfLength(256);
    EXPECT_EQ(Send(render, ParseHex("90 3C 7F")), 3);
    EXPECT_EQ(Send(render, longMessage), 600);
    EXPECT_EQ(Send(render, ParseHex("C0 05")), 2);
    EXPECT_EQ(Send(render, oneBuffer), 256);
    EXPECT_EQ(Send(render, ParseHex("F8")), 1);
    EXPECT_EQ(Send(render, ParseHex("F2 01 02")), 3);
    ASSERT_TRUE(mCaptured->WaitForCount(6));
    ASSERT_TRUE(driverSide.WaitForMessages(6));

    const std::vector<LCapturedMessages::Message> messages = mCaptured->Messages();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0].Data, ParseHex("90 3C 7F"));
    EXPECT_EQ(messages[1].Data, longMessage) << "a message of three buffers arrives once, whole";
    EXPECT_EQ(messages[2].Data, ParseHex("C0 05"));
    EXPECT_EQ(messages[3].Data, oneBuffer) << "a full buffer that ends in F7 is a whole message";
    EXPECT_EQ(messages[4].Data, ParseHex("F8"));
    EXPECT_EQ(messages[5].Data, ParseHex("F2 01 02")) << "a song position keeps its two data bytes";
    EXPECT_EQ(messages[1].TimeStamp, 0u);
    EXPECT_EQ(messages[3].TimeStamp, 0u);
    EXPECT_LE(messages[0].TimeStamp, messages[2].TimeStamp) << "short messages carry the driver's time";
    EXPECT_LE(messages[2].TimeStamp, messages[4].TimeStamp);
    const std::thread::id worker = messages[0].Thread;
    for (const LCapturedMessages::Message& message : messages) {
        EXPECT_EQ(message.PortName, "Midi Through Port-0");
        EXPECT_EQ(message.Thread, worker) << "every message is delivered on the one worker thread";
    }
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_FALSE(driverSide.CalledOn(worker)) << "subscribers must not run on the driver's thread";
}

TEST_F(MidiCommTest, DeviceLogShowsASentRequestAndItsReplyIsCaptured)
{
    Testing::TemporaryFolder folder;
    Simulator::SimulationSettings settings = Testing::UnlimitedSpeed();
    settings.Devices.front().LogPath = folder / "device.log";
    SetUpSystem(settings);
    RCPtr<LMidiCapturePort> capture = OpenCapture(L"HALVISTA");
    RCPtr<LMidiRenderPort> render = OpenRender(L"halvista");
    ASSERT_TRUE(capture && render);

    const Bytes statusRequest = ParseHex("F0 47 00 37 07 02 00 00 F7");
    EXPECT_EQ(Send(render, statusRequest), 9) << "a long message returns its byte count once it has gone out";
    EXPECT_EQ(Testing::TextsOfKind(folder / "device.log", "RX"), std::vector<std::string>{Testing::StatusRequest})
        << "the device received the request before the send returned";

    ASSERT_TRUE(mCaptured->WaitForCount(1));
    EXPECT_EQ(mCaptured->InHex(), std::vector<std::string>{"F0 47 00 37 07 03 00 01 00 F7"});
    EXPECT_EQ(mCaptured->Messages().front().PortName, "Halvista Left");
}

// At unlimited speed a send carries its message to the device on the sending thread; threads that send at once
// must still take turns with each other and with the simulation's own thread, so that every message arrives whole
// and each thread's in its order.
TEST_F(MidiCommTest, SendsFromSeveralThreadsAtOnceArriveWholeAndEachThreadsInItsOrder)
{
    constexpr int kSenders = 4;
    constexpr int kMessages = 100;
    OpenThroughLoop();
    std::vector<std::thread> senders;
    std::atomic<int> failedSends{0};
    for (int sender = 0; sender < kSenders; ++sender) {
        senders.emplace_back([&, sender] {
            for (int message = 0; message < kMessages; ++message) {
                const Bytes bytes{0xF0, static_cast<std::uint8_t>(sender), static_cast<std::uint8_t>(message), 0xF7};
                failedSends += Send(mRender, bytes) != 4;
            }
        });
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    EXPECT_EQ(failedSends, 0);
    ASSERT_TRUE(mCaptured->WaitForCount(kSenders * kMessages));
    std::vector<int> next(kSenders, 0);
    for (const LCapturedMessages::Message& message : mCaptured->Messages()) {
        ASSERT_EQ(message.Data.size(), 4u);
        int& expected = next[message.Data[1]];
        ASSERT_EQ(message.Data[2], expected) << "sender " << int{message.Data[1]};
        ++expected;
    }
}

TEST_F(MidiCommTest, SendRefusesAnEmptyMessageAndAnythingButARenderPortAndPadsAShortMessage)
{
    OpenThroughLoop();
    const RCPtr<LMidiRenderPort>& render = mRender;
    EXPECT_EQ(Send(render, Bytes{}), ZV_E_INVALIDARG);
    EXPECT_EQ(Send(mCapture, ParseHex("90 3C 7F")), ZV_E_INVALIDARG);
    EXPECT_EQ(Send(nullptr, ParseHex("90 3C 7F")), ZV_E_INVALIDARG);
    EXPECT_EQ(Send(render, ParseHex("01 02 F7")), 3) << "bytes without a status byte go out as they are";
    EXPECT_EQ(Send(render, ParseHex("90 3C")), 3) << "a note message is three bytes, the missing one zero";
    EXPECT_EQ(Send(render, ParseHex("C0 05 7F")), 2) << "a program change is two bytes, whatever follows";
    EXPECT_EQ(Send(render, ParseHex("F0 06 F7")), 3);
    ASSERT_TRUE(mCaptured->WaitForCount(3));
    EXPECT_EQ(mCaptured->InHex(), (std::vector<std::string>{"90 3C 00", "C0 05", "F0 06 F7"}))
        << "the loose data bytes start no message on the other side";
}

TEST_F(MidiCommTest, MessageCutShortByTheDriverOrPastTheCapIsDroppedAndNotJoinedToTheNext)
{
    OpenThroughLoop();
    // 300 bytes of a message fill one buffer and start a second; then a status byte cuts the message short.
    Bytes cut = Testing::SysExOfLength(301);
    cut.pop_back();
    const Bytes note = ParseHex("90 3C 7F");
    cut.insert(cut.end(), note.begin(), note.end());
    EXPECT_EQ(Send(mRender, cut), 303);
    EXPECT_EQ(Send(mRender, ParseHex("F0 05 F7")), 3);

    const std::size_t cap = LMidiCapturePort::kMaximumMessageBytes;
    const Bytes largest = Testing::SysExOfLength(cap);
    EXPECT_EQ(Send(mRender, largest), static_cast<ZVRESULT>(cap));
    EXPECT_EQ(Send(mRender, Testing::SysExOfLength(cap + 1)), static_cast<ZVRESULT>(cap + 1));
    EXPECT_EQ(Send(mRender, ParseHex("F0 06 F7")), 3);
    ASSERT_TRUE(mCaptured->WaitForCount(4));

    const std::vector<LCapturedMessages::Message> messages = mCaptured->Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].Data, note);
    EXPECT_EQ(messages[1].Data, ParseHex("F0 05 F7"));
    EXPECT_EQ(messages[2].Data, largest) << "a message of exactly the cap arrives whole";
    EXPECT_EQ(messages[3].Data, ParseHex("F0 06 F7")) << "nothing of the message past the cap arrives";
}

TEST_F(MidiCommTest, ReleasingTheMidiObjectClosesThePortsNobodyElseHoldsAndKeepsAHeldOneWorking)
{
    RCPtr<LMidiCapturePort> held = OpenCapture(L"through");
    RCPtr<LMidiRenderPort> render = OpenRender(L"through");
    ASSERT_TRUE(held && render);
    ASSERT_TRUE(OpenCapture(L"halvista"));
    ASSERT_TRUE(OpenRender(L"halvista"));
    EXPECT_EQ(mDriver->Use.Closes.load(), 2);
    EXPECT_EQ(Send(render, ParseHex("F0 01 F7")), 3);
    ASSERT_TRUE(mCaptured->WaitForCount(1));

    render = nullptr;
    mComm = nullptr;
    EXPECT_EQ(mDriver->Use.Closes.load(), 3) << "the subscriber still holds the object; the ports are its own";
    EXPECT_EQ(held->GetName().ToUTF8(), NarrowString("Midi Through Port-0"));
    mCaptured = nullptr;
    EXPECT_EQ(mDriver->Use.Closes.load(), 3) << "the held port stays open";
    held = nullptr;
    EXPECT_EQ(mDriver->Use.Closes.load(), 4);
}

TEST_F(MidiCommTest, PortClosedWhileMessagesArriveIsReopenedWithoutLeftovers)
{
    Simulator::SimulationSettings settings;
    settings.BytesPerSecond = 100'000;
    SetUpSystem(settings);
    RCPtr<LMidiCapturePort> capture = OpenCapture(L"through");
    ASSERT_TRUE(capture);
    // Messages queued on the cable without waiting, so that they are still arriving when the port closes.
    Testing::RecordingMidiClient sender;
    Simulator::SimulatedMidiDriver directDriver(mSystem);
    directDriver.ListOutputDevices();
    Platform::MidiOpenFailure failure = Platform::MidiOpenFailure::Absent;
    std::unique_ptr<Platform::MidiOutput> output = directDriver.OpenOutput(0, sender, failure);
    ASSERT_TRUE(output);
    const Bytes message = Testing::SysExOfLength(700);
    for (std::uint64_t token = 0; token < 20; ++token) {
        ASSERT_TRUE(output->SendLongMessage(Platform::MidiLongMessage::Holding(message), token));
        ASSERT_TRUE(output->SendShortMessage(0xF8));
    }
    ASSERT_TRUE(mCaptured->WaitForCount(1));
    capture = nullptr;
    EXPECT_EQ(mDriver->Use.Closes.load(), 1);

    capture = OpenCapture(L"through");
    RCPtr<LMidiRenderPort> render = OpenRender(L"through");
    ASSERT_TRUE(capture && render);
    EXPECT_EQ(Send(render, ParseHex("F0 02 F7")), 3);
    const Bytes last = ParseHex("F0 02 F7");
    ASSERT_TRUE(mCaptured->WaitFor([&](const std::vector<LCapturedMessages::Message>& messages) {
        return !messages.empty() && messages.back().Data == last;
    })) << "the message sent last arrives last, alone";
    for (const std::string& hex : mCaptured->InHex()) {
        EXPECT_TRUE(hex == "F8" || hex == "F0 02 F7" || hex == Testing::ToHex(message))
            << "no message arrives cut or joined: " << hex.substr(0, 40);
    }
}

// One output device that sees whether a long message reaches it while a short one is being sent. While it sends a
// short message it starts a long send on another thread and gives it a moment to slip in.
class OverlapWatchingDriver final : public Testing::OneOutputDriver {
public:
    OverlapWatchingDriver() : OneOutputDriver("Watched Port") {}
    ~OverlapWatchingDriver() override { JoinOtherThread(); }

    void JoinOtherThread()
    {
        if (mOther.joinable()) {
            mOther.join();
        }
    }

    // Runs on another thread, started while the next short message is being sent.
    std::function<void()> DuringShortSend;
    std::atomic<bool> LongWhileShort{false};

private:
    std::unique_ptr<Platform::MidiOutput> MakeOutput(Platform::MidiOutputCallback& callback) override
    {
        return std::make_unique<WatchedOutput>(*this, callback);
    }

    class WatchedOutput final : public Platform::MidiOutput {
    public:
        WatchedOutput(OverlapWatchingDriver& driver, Platform::MidiOutputCallback& callback)
            : mDriver(driver), mCallback(callback)
        {
        }

        bool SendShortMessage(std::uint32_t) override
        {
            std::unique_lock lock(mDriver.mMutex);
            mDriver.mInShort = true;
            if (mDriver.DuringShortSend) {
                mDriver.mOther = std::thread(std::exchange(mDriver.DuringShortSend, nullptr));
            }
            // A long message that gets past the port's claim arrives within the moment; one held back does not.
            mDriver.mLongArrived.wait_for(lock, std::chrono::milliseconds(300),
                                          [&] { return mDriver.mLongCount > 0; });
            mDriver.mInShort = false;
            return true;
        }

        bool SendLongMessage(Platform::MidiLongMessage, std::uint64_t token) override
        {
            {
                std::lock_guard lock(mDriver.mMutex);
                mDriver.LongWhileShort = mDriver.LongWhileShort || mDriver.mInShort;
                ++mDriver.mLongCount;
            }
            mDriver.mLongArrived.notify_all();
            mCallback.OnLongMessageDone(*this, token, true);
            return true;
        }

    private:
        OverlapWatchingDriver& mDriver;
        Platform::MidiOutputCallback& mCallback;
    };

    std::thread mOther;
    std::mutex mMutex;
    std::condition_variable mLongArrived;
    bool mInShort = false;
    int mLongCount = 0;
};

TEST(MidiRenderPort, ALongMessageWaitsForAShortOneThatHasClaimedThePort)
{
    const auto driver = std::make_shared<OverlapWatchingDriver>();
    const RCPtr<LMidiComm> comm = LMidiComm::Create(driver);
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(WideString(L"Watched"), render), ZV_S_OK);
    MidiMessageBytes shortMessage;
    MidiMessageBytes longMessage;
    Testing::AssignBytes(shortMessage, ParseHex("90 40 7F"));
    Testing::AssignBytes(longMessage, ParseHex("F0 01 02 F7"));

    std::atomic<ZVRESULT> longResult{0};
    driver->DuringShortSend = [&] { longResult = comm->SendMidiMessage(render, longMessage); };
    EXPECT_EQ(comm->SendMidiMessage(render, shortMessage), 3);
    driver->JoinOtherThread();
    EXPECT_EQ(longResult.load(), 4) << "the long message goes out after the short one";
    EXPECT_FALSE(driver->LongWhileShort) << "a long message reached the device in the middle of a short one";
}

// A driver with one input, whose opening runs a hook before it returns, and one output that sends at once.
class HookedOpenDriver final : public Platform::MidiDriver {
public:
    std::vector<std::string> ListInputDevices() override { return {"Hooked Input"}; }
    std::vector<std::string> ListOutputDevices() override { return {"Hooked Output"}; }
    std::unique_ptr<Platform::MidiInput> OpenInput(std::size_t, Platform::MidiInputCallback&,
                                                   Platform::MidiOpenFailure&) override
    {
        if (DuringInputOpen) {
            DuringInputOpen();
        }
        return std::make_unique<IdleInput>();
    }
    std::unique_ptr<Platform::MidiOutput> OpenOutput(std::size_t, Platform::MidiOutputCallback&,
                                                     Platform::MidiOpenFailure&) override
    {
        return std::make_unique<ShortOnlyOutput>();
    }

    std::function<void()> DuringInputOpen;

private:
    struct IdleInput final : Platform::MidiInput {
        bool AddSysExBuffer(Platform::MidiSysExBuffer&) override { return true; }
        bool Start() override { return true; }
        void Stop() override {}
    };
    struct ShortOnlyOutput final : Platform::MidiOutput {
        bool SendShortMessage(std::uint32_t) override { return true; }
        bool SendLongMessage(Platform::MidiLongMessage, std::uint64_t) override { return false; }
    };
};

TEST(MidiComm, SendsGoOnWhileTheDriverOpensADevice)
{
    const auto driver = std::make_shared<HookedOpenDriver>();
    const RCPtr<LMidiComm> comm = LMidiComm::Create(driver);
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(WideString(L"Hooked Output"), render), ZV_S_OK);
    MidiMessageBytes message;
    Testing::AssignBytes(message, ParseHex("90 40 7F"));

    // The send outlives the hook, so that a send held up by the open ends once the open has.
    std::future<ZVRESULT> send;
    bool sentDuringOpen = false;
    driver->DuringInputOpen = [&] {
        send = std::async(std::launch::async, [&] { return comm->SendMidiMessage(render, message); });
        sentDuringOpen = send.wait_for(Testing::kBoundedWait) == std::future_status::ready;
    };
    RCPtr<LMidiCapturePort> capture;
    EXPECT_EQ(comm->OpenCapturePort(WideString(L"Hooked Input"), capture), ZV_S_OK);
    EXPECT_TRUE(sentDuringOpen) << "a send waited for a device being opened";
    EXPECT_EQ(send.get(), 3);
}

TEST(MidiCommSlow, LongSendThatTheDriverNeverFinishesFailsAfterTheTimeOutAndFreesThePort)
{
    Simulator::SimulationSettings settings = Testing::UnlimitedSpeed();
    settings.StuckLongMessages = true;
    const auto system = std::make_shared<Simulator::SimulatedMidiSystem>(settings);
    const RCPtr<LMidiComm> comm = LMidiComm::Create(std::make_shared<Simulator::SimulatedMidiDriver>(system));
    RCPtr<LMidiRenderPort> render;
    ASSERT_EQ(comm->OpenRenderPort(WideString(L"Halvista"), render), ZV_S_OK);

    MidiMessageBytes message;
    Testing::AssignBytes(message, ParseHex("F0 47 00 37 07 02 00 00 F7"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(comm->SendMidiMessage(render, message), ZV_E_FAIL);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(LMidiRenderPort::kSendTimeout));

    Testing::AssignBytes(message, ParseHex("F8"));
    EXPECT_EQ(comm->SendMidiMessage(render, message), 1) << "the port is idle again after the time-out";
}

}  // namespace
}  // namespace ZV
