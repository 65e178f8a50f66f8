#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"
#include "ObjectBase/Holder.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace {

constexpr const wchar_t* kBenchId = L"NID_BENCH";

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

// One thread posts a batch of notifications (pooled, each with a boxed int) while this thread processes the queue
// and delivers them to one client through a distributor.
void ZVNotificationQueuePostAndDeliverAcrossThreads(benchmark::State& state)
{
    const auto batch = static_cast<int>(state.range(0));
    ZV::EnableNotificationPool(true);
    {
        const ZV::RCPtr<ZV::LNotificationDistributor> distributor(new ZV::LNotificationDistributor);
        const ZV::RCPtr<ZV::LNotificationQueue> queue(new ZV::LNotificationQueue);
        queue->AttachDistributor(distributor);
        const ZV::RCPtr<LCountingClient> client(new LCountingClient);
        client->RegisterForNotification(distributor, kBenchId, 0);
        for (auto _ : state) {
            const long long target = client->received + batch;
            std::thread producer([&] {
                for (int i = 0; i < batch; ++i) {
                    queue->PostNotification(ZV::LNotification::Create(kBenchId, ZV::LHolder<int>::Create(i)));
                }
            });
            while (client->received < target) {
                queue->ProcessNotifications(false);
            }
            producer.join();
        }
        benchmark::DoNotOptimize(client->sum);
        client->UnregisterAllNotifications();
    }
    ZV::EnableNotificationPool(false);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(ZVNotificationQueuePostAndDeliverAcrossThreads)->Arg(10000)->UseRealTime();

// The same road with a standard mutex, a deque and a function per item, taken one at a time.
void StdMutexDequeFunctionPostAndRunAcrossThreads(benchmark::State& state)
{
    const auto batch = static_cast<int>(state.range(0));
    std::mutex mutex;
    std::deque<std::function<void()>> queue;
    long long sum = 0;
    long long received = 0;
    for (auto _ : state) {
        const long long target = received + batch;
        std::thread producer([&] {
            for (int i = 0; i < batch; ++i) {
                const std::lock_guard lock(mutex);
                queue.push_back([i, &sum, &received] {
                    sum += i;
                    ++received;
                });
            }
        });
        while (received < target) {
            std::function<void()> item;
            {
                const std::lock_guard lock(mutex);
                if (queue.empty()) {
                    continue;
                }
                item = std::move(queue.front());
                queue.pop_front();
            }
            item();
        }
        producer.join();
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(StdMutexDequeFunctionPostAndRunAcrossThreads)->Arg(10000)->UseRealTime();

}  // namespace
