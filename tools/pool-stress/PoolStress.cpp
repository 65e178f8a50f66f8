// Drives one thread pool from several producer threads at once and checks what the jobs saw: every job ran exactly
// once, on one of the pool's worker threads, and, with a single worker, in the order each producer queued them
// within each priority. Exits with 0 when all held, 1 otherwise.
//
// Usage: pool-stress [--producers N] [--jobs N] [--workers N]

#include "ObjectBase/Holder.h"
#include "Threading/Event.h"
#include "Threading/ThreadPool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace ZV;

// Long enough to fail only when a job is lost.
constexpr std::uint32_t kCompletionLimit = 120000;

struct Settings {
    int producers = 4;
    int jobsPerProducer = 5000;
    int workers = 1;
};

struct Ticket {
    int producer = 0;
    int sequence = 0;
    int priority = 0;
};

struct Run {
    Ticket ticket;
    std::thread::id thread;
};

// Every queued job's parameter is its ticket; the one worker object writes down where each ran.
class LRecordingJob : public LThreadWorker {
public:
    explicit LRecordingJob(int expected) : mExpected(expected) {}

    ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) override
    {
        const ConstRCPtr<LHolder<Ticket>> ticket(parameter);
        std::lock_guard<std::mutex> lock(mMutex);
        mRuns.push_back({ticket ? ticket->GetValue() : Ticket{-1, -1, 0}, std::this_thread::get_id()});
        if (static_cast<int>(mRuns.size()) == mExpected) {
            mComplete.Set();
        }
        return ZV_S_OK;
    }

    bool WaitUntilComplete() { return mComplete.Wait(kCompletionLimit) == kWaitSignalled; }
    std::vector<Run> TakeRuns()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return std::move(mRuns);
    }

private:
    const int mExpected;
    std::mutex mMutex;
    std::vector<Run> mRuns;
    TrafficLight mComplete;
};

int PriorityOf(int sequence)
{
    return sequence % 4 == 3 ? kThreadPriorityAboveNormal : kThreadPriorityNormal;
}

bool ParseSettings(int argc, char** argv, Settings& settings)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (value < 1) {
            return false;
        }
        if (std::strcmp(argv[i], "--producers") == 0) {
            settings.producers = value;
        } else if (std::strcmp(argv[i], "--jobs") == 0) {
            settings.jobsPerProducer = value;
        } else if (std::strcmp(argv[i], "--workers") == 0) {
            settings.workers = value;
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

int CountFailures(const Settings& settings, const std::vector<Run>& runs, const std::set<std::thread::id>& outsiders)
{
    int failures = 0;
    std::map<std::pair<int, int>, int> seen;
    std::map<std::pair<int, int>, int> lastSequence;
    std::set<std::thread::id> threads;
    for (const Run& run : runs) {
        const Ticket& ticket = run.ticket;
        threads.insert(run.thread);
        if (ticket.producer < 0 || ++seen[{ticket.producer, ticket.sequence}] != 1) {
            std::fprintf(stderr, "job %d of producer %d ran more than once\n", ticket.sequence, ticket.producer);
            ++failures;
        }
        if (outsiders.count(run.thread) != 0) {
            std::fprintf(stderr, "job %d of producer %d ran on a thread outside the pool\n", ticket.sequence,
                         ticket.producer);
            ++failures;
        }
        const std::pair<int, int> lane{ticket.producer, ticket.priority};
        if (settings.workers == 1 && lastSequence.count(lane) != 0 && lastSequence[lane] > ticket.sequence) {
            std::fprintf(stderr, "job %d of producer %d overtook job %d of the same priority\n", ticket.sequence,
                         ticket.producer, lastSequence[lane]);
            ++failures;
        }
        lastSequence[lane] = ticket.sequence;
    }
    if (static_cast<int>(threads.size()) > settings.workers) {
        std::fprintf(stderr, "jobs ran on %zu threads, the pool has %d workers\n", threads.size(), settings.workers);
        ++failures;
    }
    return failures;
}

}  // namespace

int main(int argc, char** argv)
{
    Settings settings;
    if (!ParseSettings(argc, argv, settings)) {
        std::fprintf(stderr, "usage: pool-stress [--producers N] [--jobs N] [--workers N]\n");
        return 2;
    }
    const int total = settings.producers * settings.jobsPerProducer;
    RCPtr<LRecordingJob> job(new LRecordingJob(total));
    RCPtr<LThreadPool> pool = LThreadPool::Create(settings.workers, kThreadPriorityHighest);

    std::set<std::thread::id> outsiders{std::this_thread::get_id()};
    std::mutex outsidersMutex;
    // All producers start queueing together, so that their jobs interleave.
    std::latch start(settings.producers);
    std::vector<std::thread> producers;
    for (int producer = 0; producer < settings.producers; ++producer) {
        producers.emplace_back([&, producer] {
            {
                std::lock_guard<std::mutex> lock(outsidersMutex);
                outsiders.insert(std::this_thread::get_id());
            }
            start.arrive_and_wait();
            for (int sequence = 0; sequence < settings.jobsPerProducer; ++sequence) {
                const int priority = PriorityOf(sequence);
                pool->QueueWork(job, LHolder<Ticket>::Create(Ticket{producer, sequence, priority}), priority);
            }
        });
    }
    for (std::thread& producer : producers) {
        producer.join();
    }
    if (!job->WaitUntilComplete()) {
        std::fprintf(stderr, "not every job ran within %u ms\n", kCompletionLimit);
        return 1;
    }
    pool->Shutdown();
    const std::vector<Run> runs = job->TakeRuns();
    const int failures = CountFailures(settings, runs, outsiders);
    if (static_cast<int>(runs.size()) != total) {
        std::fprintf(stderr, "%zu jobs ran, %d were queued\n", runs.size(), total);
        return 1;
    }
    if (failures != 0) {
        std::printf("%d jobs from %d producers on %d worker(s): %d failures\n", total, settings.producers,
                    settings.workers, failures);
        return 1;
    }
    std::printf("%d jobs from %d producers on %d worker(s): each ran once on the pool's threads%s\n", total,
                settings.producers, settings.workers, settings.workers == 1 ? ", in order within its priority" : "");
    return 0;
}
