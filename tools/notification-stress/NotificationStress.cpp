// Four worker threads post to the "application" notification centre while the main thread, playing the
// user-interface thread, runs the idle processing that delivers them. Checks that every notification arrives exactly
// once, on the main thread, in order per producer; that a latest-only client sees only the newest of each burst; and
// that the queue's ring grows past its first 256 slots. Exits with 0 when all holds.
//
// Usage: notification-stress [posts per producer] [bursts]

#include "Notification/IdleProcessing.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationHandler.h"
#include "Platform/Clock.h"
#include "Threading/Event.h"
#include "Utilities/Storage/ArrayBuffer.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ZV {
namespace {

constexpr int kProducers = 4;
constexpr int kBurstLength = 100;
constexpr std::uint32_t kBoundedWait = 5000;
constexpr std::uint32_t kDrainLimit = 120000;
constexpr const wchar_t* kSequenceId = L"NID_STRESS_SEQUENCE";
constexpr const wchar_t* kBurstId = L"NID_STRESS_BURST";

// What each notification carries: who posted it and its place in that producer's order.
class LStressRecord : public virtual LRefCountedObject {
public:
    LStressRecord(int producer, int sequence) : mProducer(producer), mSequence(sequence) {}

    int GetProducer() const { return mProducer; }
    int GetSequence() const { return mSequence; }

private:
    const int mProducer;
    const int mSequence;
};

const LStressRecord& RecordOf(const RCPtr<LNotification>& notification)
{
    return dynamic_cast<const LStressRecord&>(*notification->GetParameter());
}

class Failures {
public:
    void Add(const std::string& failure)
    {
        if (mMessages.size() < 20) {
            mMessages.push_back(failure);
        }
        ++mCount;
    }
    int GetCount() const { return mCount; }
    const std::vector<std::string>& GetMessages() const { return mMessages; }

private:
    int mCount = 0;
    std::vector<std::string> mMessages;
};

// Receives every notification of both ids through its handler, and checks the order per producer.
class LStressClient : public LNotificationClient {
public:
    LStressClient(std::thread::id uiThread, Failures& failures)
        : mHandler(new LNotificationHandler<LStressClient>(this)), mUiThread(uiThread), mFailures(failures),
          mNextSequence(kProducers, 0), mNextInBurst(kProducers, 0)
    {
    }

    void Subscribe(const ConstRCPtr<LNotificationDistributor>& centre)
    {
        (void)mHandler->AddHandler(&LStressClient::OnSequence, centre, kSequenceId, 0);
        (void)mHandler->AddHandler(&LStressClient::OnBurst, centre, kBurstId, 0);
    }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override
    {
        if (std::this_thread::get_id() != mUiThread) {
            mFailures.Add("a notification arrived on another thread than the main thread");
        }
        mHandler->HandleNotification(sender, notification);
    }

    ZVRESULT UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                       const wchar_t* id) override
    {
        mHandler->EraseHandler(distributor, id);
        return LNotificationClient::UnregisterForNotification(distributor, id);
    }

    std::int32_t OnSequence(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
    {
        CheckOrder(mNextSequence, RecordOf(notification), "producer ");
        ++mSequenceCount;
        return 1;
    }

    std::int32_t OnBurst(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
    {
        CheckOrder(mNextInBurst, RecordOf(notification), "bursts of producer ");
        mLastBurstNotification = notification.Get();
        ++mBurstCount;
        return 1;
    }

    int GetSequenceCount() const { return mSequenceCount; }
    int GetBurstCount() const { return mBurstCount; }
    const LNotification* GetLastBurstNotification() const { return mLastBurstNotification; }

private:
    void CheckOrder(std::vector<int>& next, const LStressRecord& record, const std::string& stream)
    {
        int& expected = next[static_cast<std::size_t>(record.GetProducer())];
        if (record.GetSequence() != expected) {
            mFailures.Add(stream + std::to_string(record.GetProducer()) + ": expected notification " +
                          std::to_string(expected) + ", received " + std::to_string(record.GetSequence()));
        }
        expected = record.GetSequence() + 1;
    }

    RCPtr<LNotificationHandler<LStressClient>> mHandler;
    std::thread::id mUiThread;
    Failures& mFailures;
    std::vector<int> mNextSequence;
    std::vector<int> mNextInBurst;
    int mSequenceCount = 0;
    int mBurstCount = 0;
    const LNotification* mLastBurstNotification = nullptr;
};

// Registered latest-only for the bursts: remembers what it received.
class LLatestOnlyClient : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        received.push_back(notification.Get());
    }

    std::vector<const LNotification*> received;
};

class Producer {
public:
    Producer(int index, int posts, int bursts)
        : mIndex(index), mPosts(posts), mBursts(bursts), mThread([this] { Run(); })
    {
    }
    Producer(const Producer&) = delete;
    Producer& operator=(const Producer&) = delete;
    ~Producer() { mThread.join(); }

    Event& GetGo() { return mGo; }
    Event& GetDone() { return mDone; }

private:
    void Post(const wchar_t* id, int sequence)
    {
        const RCPtr<LNotification> notification =
            LNotification::Create(id, RCPtr<LStressRecord>(new LStressRecord(mIndex, sequence)));
        (void)GetApplicationNotificationCenter()->PostNotification(notification);
    }

    void Run()
    {
        for (int sequence = 0; sequence < mPosts; ++sequence) {
            Post(kSequenceId, sequence);
        }
        // Each burst waits for the main thread, so that the whole burst is queued before it is processed. The first
        // waits while the main thread drains what was posted before.
        for (int burst = 0; burst < mBursts; ++burst) {
            if (mGo.Wait(kDrainLimit) != kWaitSignalled) {
                return;
            }
            for (int i = 0; i < kBurstLength; ++i) {
                Post(kBurstId, burst * kBurstLength + i);
            }
            mDone.Set();
        }
    }

    const int mIndex;
    const int mPosts;
    const int mBursts;
    Event mGo{true};
    Event mDone{true};
    std::thread mThread;
};

int Run(int posts, int bursts)
{
    EnableNotificationPool(true);
    Failures failures;
    const RCPtr<LNotificationCenter> centre = GetApplicationNotificationCenter();
    const ConstRCPtr<LNotificationDistributor> distributor(centre);
    const RCPtr<LStressClient> client(new LStressClient(std::this_thread::get_id(), failures));
    client->Subscribe(distributor);
    const RCPtr<LLatestOnlyClient> latest(new LLatestOnlyClient);
    latest->RegisterForNotification(distributor, kBurstId, kNotifyLatestOnly);
    const ArrayBuffer<IIdleProcessor*> noRootWindows;

    std::uint32_t largestRing = 0;
    int burstsChecked = 0;
    {
        std::vector<std::unique_ptr<Producer>> producers;
        for (int p = 0; p < kProducers; ++p) {
            producers.push_back(std::make_unique<Producer>(p, posts, bursts));
        }

        const std::uint32_t start = Platform::GetMillisecondTick();
        bool sendIdle = true;
        while (client->GetSequenceCount() < kProducers * posts) {
            ProcessIdleNotifications(sendIdle, noRootWindows);
            sendIdle = !sendIdle;
            if (Platform::GetMillisecondTick() - start > kDrainLimit) {
                failures.Add("the posted notifications did not all arrive in time");
                break;
            }
        }

        for (int burst = 0; burst < bursts && failures.GetCount() == 0; ++burst) {
            for (const auto& producer : producers) {
                producer->GetGo().Set();
            }
            for (const auto& producer : producers) {
                if (producer->GetDone().Wait(kBoundedWait) != kWaitSignalled) {
                    failures.Add("a producer did not finish its burst in time");
                }
            }
            if (centre->GetQueueCapacity() > largestRing) {
                largestRing = centre->GetQueueCapacity();
            }
            const int burstCountBefore = client->GetBurstCount();
            const std::size_t latestBefore = latest->received.size();
            ProcessIdleNotifications(true, noRootWindows);
            if (client->GetBurstCount() - burstCountBefore != kProducers * kBurstLength) {
                failures.Add("burst " + std::to_string(burst) + ": the ordinary client missed notifications");
            }
            if (latest->received.size() != latestBefore + 1 ||
                latest->received.back() != client->GetLastBurstNotification()) {
                failures.Add("burst " + std::to_string(burst) + ": the latest-only client did not receive exactly "
                             "the newest notification");
            }
            ++burstsChecked;
        }
    }
    if (largestRing <= LNotificationQueue::kInitialSlots && bursts > 0) {
        failures.Add("the ring did not grow past its first slots");
    }

    client->UnregisterAllNotifications();
    latest->UnregisterAllNotifications();
    LNotificationCenterManager::GetInstance() = nullptr;
    EnableNotificationPool(false);

    if (failures.GetCount() != 0) {
        for (const std::string& message : failures.GetMessages()) {
            std::cerr << "notification-stress: " << message << '\n';
        }
        std::cerr << "notification-stress: " << failures.GetCount() << " failures\n";
        return 1;
    }
    std::cout << "notification-stress: " << kProducers * posts << " notifications from " << kProducers
              << " producers arrived once each, in order, on the main thread\n"
              << "notification-stress: " << burstsChecked << " bursts of " << kProducers * kBurstLength
              << "; the latest-only client received the newest of each; the ring grew to " << largestRing
              << " slots\n";
    return 0;
}

int ArgumentOr(int argc, char** argv, int index, int fallback)
{
    return argc > index ? std::atoi(argv[index]) : fallback;
}

}  // namespace
}  // namespace ZV

int main(int argc, char** argv)
{
    const int posts = ZV::ArgumentOr(argc, argv, 1, 5000);
    const int bursts = ZV::ArgumentOr(argc, argv, 2, 50);
    if (posts < 0 || bursts < 0) {
        std::cerr << "usage: notification-stress [posts per producer] [bursts]\n";
        return 2;
    }
    return ZV::Run(posts, bursts);
}
