#pragma once

#include "Threading/Event.h"
#include "Threading/ThreadWorker.h"
#include "Threading/ThreadingTestSupport.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace ZV::Testing {

// The labels of the jobs of a test, in the order they ran.
class JobLog {
public:
    void Record(int label)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mLabels.push_back(label);
        mChanged.notify_all();
    }

    // True when count labels were recorded within the bounded wait.
    bool WaitForEntries(std::size_t count)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::milliseconds(kBoundedWaitMilliseconds),
                                 [&] { return mLabels.size() >= count; });
    }

    std::vector<int> GetLabels()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mLabels;
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mLabels.clear();
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<int> mLabels;
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
