#include "SideBySide.h"

#include "Notification/InternTable.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"
#include "ObjectBase/Holder.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

namespace {

using bench::RunRoundsSideBySide;

constexpr const wchar_t* kBenchId = L"NID_BENCH";
// Ids interned before the measured ones, so that a search through the table shows.
constexpr int kOtherIds = 256;
constexpr int kRound = 1000;

class LCountingClient : public ZV::LNotificationClient {
public:
    void ReceiveNotification(const ZV::ConstRCPtr<ZV::LNotificationDistributor>&,
                             const ZV::RCPtr<ZV::LNotification>& notification) override
    {
        const ZV::ConstRCPtr<ZV::LHolder<int>> value(notification->GetParameter());
        sum += value ? value->GetValue() : 1;
        ++received;
    }

    long long sum = 0;
    long long received = 0;
};

// The ids "NID_BENCH_0" ... in the intern table, after the ids that were there before.
std::vector<std::wstring> InternManyIds()
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < kOtherIds; ++i) {
        texts.push_back(L"NID_BENCH_" + std::to_wstring(i));
        ZV::InternString(texts.back().c_str());
    }
    return texts;
}

// The notification pool is on for the life of the object.
class PoolOn {
public:
    PoolOn() { ZV::EnableNotificationPool(true); }
    PoolOn(const PoolOn&) = delete;
    PoolOn& operator=(const PoolOn&) = delete;
    ~PoolOn() { ZV::EnableNotificationPool(false); }
};

// A queue that delivers through a distributor to one client.
struct Delivery {
    Delivery()
    {
        (void)queue->AttachDistributor(distributor);
        client->RegisterForNotification(distributor, kBenchId, 0);
    }
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;
    ~Delivery() { client->UnregisterAllNotifications(); }

    const ZV::RCPtr<ZV::LNotificationDistributor> distributor{new ZV::LNotificationDistributor};
    const ZV::RCPtr<ZV::LNotificationQueue> queue{new ZV::LNotificationQueue};
    const ZV::RCPtr<LCountingClient> client{new LCountingClient};
};

// One thread posts a batch of notifications (pooled, each with a boxed int) while this thread processes the queue
// and delivers them to one client through a distributor; against a standard mutex, a deque and a function per item,
// taken one at a time. Goal: a ratio of 1.0 or less.
void NotificationsAcrossThreads(benchmark::State& state)
{
    const auto batch = static_cast<int>(state.range(0));
    const PoolOn pool;
    Delivery ours;
    std::mutex mutex;
    std::deque<std::function<void()>> standard;
    long long standardSum = 0;
    long long standardReceived = 0;
    RunRoundsSideBySide(
        state, batch,
        [&] {
            const long long target = ours.client->received + batch;
            std::thread producer([&] {
                for (int i = 0; i < batch; ++i) {
                    (void)ours.queue->PostNotification(
                        ZV::LNotification::Create(kBenchId, ZV::LHolder<int>::Create(i)));
                }
            });
            while (ours.client->received < target) {
                ours.queue->ProcessNotifications(false);
            }
            producer.join();
        },
        [&] {
            const long long target = standardReceived + batch;
            std::thread producer([&] {
                for (int i = 0; i < batch; ++i) {
                    const std::lock_guard lock(mutex);
                    standard.push_back([i, &standardSum, &standardReceived] {
                        standardSum += i;
                        ++standardReceived;
                    });
                }
            });
            while (standardReceived < target) {
                std::function<void()> item;
                {
                    const std::lock_guard lock(mutex);
                    if (standard.empty()) {
                        continue;
                    }
                    item = std::move(standard.front());
                    standard.pop_front();
                }
                item();
            }
            producer.join();
        });
    benchmark::DoNotOptimize(ours.client->sum + standardSum);
}
BENCHMARK(NotificationsAcrossThreads)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);

// A record of an id and a parameter, kept for reuse in a pool of spares made of a standard mutex and vector.
class StdRecordPool {
public:
    struct Record {
        const wchar_t* id = nullptr;
        std::shared_ptr<const int> parameter;
    };

    std::unique_ptr<Record> Take(const wchar_t* id, const std::shared_ptr<const int>& parameter)
    {
        std::unique_ptr<Record> record;
        {
            const std::lock_guard lock(mMutex);
            if (!mSpares.empty()) {
                record = std::move(mSpares.back());
                mSpares.pop_back();
            }
        }
        if (!record) {
            record = std::make_unique<Record>();
        }
        record->id = id;
        record->parameter = parameter;
        return record;
    }

    void Give(std::unique_ptr<Record> record)
    {
        record->parameter = nullptr;
        const std::lock_guard lock(mMutex);
        mSpares.push_back(std::move(record));
    }

private:
    std::mutex mMutex;
    std::vector<std::unique_ptr<Record>> mSpares;
};

// A notification with an interned id and a parameter, made and let go with the pool warm; against the same recycling
// of records through a pool made of a standard mutex and vector. Goal: a ratio of 1.0 or less.
void NotificationCreateAndRelease(benchmark::State& state)
{
    const PoolOn pool;
    const std::vector<std::wstring> texts = InternManyIds();
    // The first of the ids: a search from the newest entry passes every other.
    const wchar_t* id = ZV::InternString(texts.front().c_str());
    const ZV::RCPtr<ZV::LHolder<int>> parameter = ZV::LHolder<int>::Create(7);
    const auto standardParameter = std::make_shared<const int>(7);
    StdRecordPool standard;
    // The program always runs several threads; in a process that has started none, the standard library counts shared
    // pointers without locked operations. One thread started and ended makes the baseline count as it would there.
    std::thread([] {}).join();
    RunRoundsSideBySide(
        state, kRound,
        [&] {
            for (int i = 0; i < kRound; ++i) {
                const ZV::RCPtr<ZV::LNotification> notification = ZV::LNotification::Create(id, parameter);
                benchmark::DoNotOptimize(notification.Get());
            }
        },
        [&] {
            for (int i = 0; i < kRound; ++i) {
                std::unique_ptr<StdRecordPool::Record> record = standard.Take(id, standardParameter);
                benchmark::DoNotOptimize(record.get());
                standard.Give(std::move(record));
            }
        });
}
BENCHMARK(NotificationCreateAndRelease)->UseManualTime();

struct WideViewHash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>()(text); }
};

// An id given as text (not the canonical pointer) among many interned ones; against a set of standard strings
// behind a mutex, looked up by a view of the text. Goal: a ratio of 1.0 or less.
void InternIdGivenAsText(benchmark::State& state)
{
    const std::vector<std::wstring> texts = InternManyIds();
    // Copies, so that none is the canonical pointer.
    std::vector<std::wstring> lookups;
    for (int i = 0; i < kRound; ++i) {
        lookups.push_back(texts[static_cast<std::size_t>(i) % texts.size()]);
    }
    std::mutex mutex;
    const std::unordered_set<std::wstring, WideViewHash, std::equal_to<>> standard(texts.begin(), texts.end());
    RunRoundsSideBySide(
        state, kRound,
        [&] {
            for (const std::wstring& text : lookups) {
                benchmark::DoNotOptimize(ZV::InternString(text.c_str()));
            }
        },
        [&] {
            for (const std::wstring& text : lookups) {
                const std::lock_guard lock(mutex);
                benchmark::DoNotOptimize(standard.find(std::wstring_view(text))->c_str());
            }
        });
}
BENCHMARK(InternIdGivenAsText)->UseManualTime();

// A queue grows to hold range(0) notifications and is drained; its ring is then wrapped round to its first slots and
// filled again, to twice as many notifications; against a standard deque behind a mutex given the same posts. Goal:
// a ratio no higher at 100,000 than at 10,000 (a post costs the same however large the ring grew and wherever it was
// full), and 4 or less.
void QueueFillsAgainAfterGrowing(benchmark::State& state)
{
    constexpr std::size_t kWrap = ZV::LNotificationQueue::kInitialSlots + 2;
    const auto count = static_cast<std::size_t>(state.range(0));
    const PoolOn pool;
    std::vector<ZV::RCPtr<ZV::LNotification>> notifications;
    for (std::size_t i = 0; i < 2 * count; ++i) {
        notifications.push_back(ZV::LNotification::Create(kBenchId, nullptr));
    }
    const auto postAndDrop = [&](auto post, auto drop, std::size_t posts) {
        for (std::size_t i = 0; i < posts; ++i) {
            post(notifications[i]);
        }
        drop();
    };
    std::mutex mutex;
    std::deque<ZV::RCPtr<ZV::LNotification>> standard;
    RunRoundsSideBySide(
        state, static_cast<double>(3 * count + kWrap),
        [&] {
            Delivery ours;
            const auto post = [&](const ZV::RCPtr<ZV::LNotification>& notification) {
                (void)ours.queue->PostNotification(notification);
            };
            const auto drop = [&] { ours.queue->Clear(); };
            postAndDrop(post, drop, count);
            postAndDrop(post, drop, kWrap);
            postAndDrop(post, drop, 2 * count);
        },
        [&] {
            const auto post = [&](const ZV::RCPtr<ZV::LNotification>& notification) {
                const std::lock_guard lock(mutex);
                standard.push_back(notification);
            };
            const auto drop = [&] {
                const std::lock_guard lock(mutex);
                standard.clear();
            };
            postAndDrop(post, drop, count);
            postAndDrop(post, drop, kWrap);
            postAndDrop(post, drop, 2 * count);
        });
}
BENCHMARK(QueueFillsAgainAfterGrowing)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
