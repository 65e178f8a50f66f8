#pragma once

#include "Threading/Event.h"
#include "Threading/Thread.h"
#include "Threading/ThreadWorker.h"
#include "Threading/ThreadingTestSupport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace ZV::Testing {

// What the jobs of a test did, in the order they ran.
class JobLog {
public:
    struct Entry {
        int label;
        std::thread::id thread;
        int priority;
    };

    void Record(int label)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mEntries.push_back({label, std::this_thread::get_id(), Thread::GetCallingThreadPriority()});
        mChanged.notify_all();
    }

    // True when count entries were recorded within the bounded wait.
    bool WaitForEntries(std::size_t count)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::milliseconds(kBoundedWait),
                                 [&] { return mEntries.size() >= count; });
    }

    std::vector<Entry> GetEntries()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mEntries;
    }

    std::vector<int> GetLabels()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        std::vector<int> labels;
        for (const Entry& entry : mEntries) {
            labels.push_back(entry.label);
        }
        return labels;
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mEntries.clear();
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Entry> mEntries;
};

// A job that writes its label into a log.
class LLoggingWorker : public LThreadWorker {
public:
    LLoggingWorker(JobLog& log, int label) : mLog(log), mLabel(label) {}

    ZVRESULT DoWork(const ConstRCPtr<LRefCountedObject>&) override
    {
        mLog.Record(mLabel);
        return ZV_S_OK;
    }

private:
    JobLog& mLog;
    const int mLabel;
};

// A job parameter that says when the last reference to it has gone.
class LReleaseSignal : public LRefCountedObject {
public:
    explicit LReleaseSignal(TrafficLight& released) : mReleased(released) {}
    ~LReleaseSignal() override { mReleased.Set(); }

private:
    TrafficLight& mReleased;
};

}  // namespace ZV::Testing
