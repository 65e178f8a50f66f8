#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace ZV::Testing {

// The program started as its own process, as a user starts it: with arguments, variables added to the test's
// environment, and its standard error in a file. A process still running when the object goes is killed.
class ProgramUnderTest {
public:
    ProgramUnderTest(const std::string& program, const std::vector<std::string>& arguments,
                     const std::map<std::string, std::string>& environment, std::string standardErrorPath);
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    ~ProgramUnderTest();

    bool IsRunning() const { return mPid > 0 && !mStatus; }
    // The process's id; -1 when it could not be started.
    pid_t GetPid() const { return mPid; }
    // A descriptor that becomes readable when the process ends.
    int GetEndDescriptor() const { return mPidDescriptor; }
    // Looks whether the process has ended, without waiting.
    bool CheckEnded();
    // Its exit code, or nullopt while it runs or when a signal ended it.
    std::optional<int> GetExitCode() const;
    bool WasEndedBySignal() const;
    // The way a killed process ends, with no warning.
    void Kill();
    // Sends the signal and returns at once.
    void Signal(int signal);
    // Whether its main thread waits in a write to its standard error (a pipe that nobody reads holds it there).
    bool IsWritingStandardError() const;
    // Whether its main thread waits on its display server: a poll of one descriptor without end, as the X library waits
    // for an answer, or to write to a server that reads nothing (a stopped one holds it there).
    bool IsWaitingOnItsDisplay() const;

    std::string ReadStandardError() const;
    // The lines of the standard error that begin with the prefix.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;

private:
    // The number of the system call under way in its main thread, and its arguments, as the system shows them.
    std::vector<std::string> MainThreadSystemCall() const;

    pid_t mPid = -1;
    int mPidDescriptor = -1;
    std::optional<int> mStatus;
    std::string mStandardErrorPath;
};

// Waits until the condition holds, looking again whenever one of the descriptors is readable and at least every
// tenth of a second; false when the bound passed first.
bool WaitUntil(const std::function<bool()>& condition, const std::vector<int>& descriptors,
               std::chrono::milliseconds bound);

// An X server of the test's own (Xvfb), on a display number that no server has; the test may stop it, let it go on
// or end it through its process. What it says goes to the log, with every client that comes and goes. Like a server
// of a session with no other client, it resets whenever its last client leaves.
class OwnXServer {
public:
    explicit OwnXServer(const std::string& log);
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;
    ~OwnXServer();
    // ":N"; empty when the server did not come up.
    const std::string& GetName() const { return mName; }
    ProgramUnderTest& GetProcess() { return *mServer; }
    // The server ends, as a desktop session ends it.
    void End();
    // Whether a client came after the server had been left without any, while it reset, which refuses some
    // connections then.
    bool TookAClientAfterHavingNone() const;

private:
    std::unique_ptr<ProgramUnderTest> mServer;
    std::string mName;
    std::string mLog;
};

// A client of the desktop that watches the top-level windows come and go, and finds them by class.
class DesktopWatcher {
public:
    DesktopWatcher();
    DesktopWatcher(const DesktopWatcher&) = delete;
    DesktopWatcher& operator=(const DesktopWatcher&) = delete;
    ~DesktopWatcher();

    bool IsOpen() const { return mDisplay != nullptr; }
    _XDisplay* GetDisplay() const { return mDisplay; }
    // Readable when the desktop's windows changed; reading the events is FindMappedWindow's.
    int GetDescriptor() const;
    // A mapped top-level window whose WM_CLASS name and class are both the class; 0 when there is none.
    unsigned long FindMappedWindow(const std::string& className);
    // A mapped top-level window of that title; 0 when there is none.
    unsigned long FindMappedWindowTitled(const std::string& title);
    struct Geometry {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    Geometry GetGeometry(unsigned long window);
    void Move(unsigned long window, int x, int y);
    // The window's pixels from its corner, 0x00RRGGBB, rows from the top.
    std::vector<std::uint32_t> ReadPixels(unsigned long window, int width, int height);

private:
    // The first mapped top-level window that matches, after the events read so far are dropped; 0 when none does.
    unsigned long FindMappedWindowWhere(const std::function<bool(unsigned long)>& matches);

    _XDisplay* mDisplay = nullptr;
};

}  // namespace ZV::Testing
