#include "App/Gui/ProgramUnderTest.h"

#include "Platform/NativeWindow.h"
#include "support/WindowPixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace ZV::Testing {

namespace {

constexpr std::chrono::milliseconds kLookAgain{100};
constexpr std::chrono::milliseconds kServerBound{60000};

XErrorHandler gEarlierErrorHandler = nullptr;

// Another client's window can go between the listing of the desktop's windows and a question about one of them: the
// question then fails, which is no fault of the test. Any other error is the earlier handler's.
int IgnoreWindowsThatWent(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        return 0;
    }
    return gEarlierErrorHandler != nullptr ? gEarlierErrorHandler(display, error) : 0;
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::string& program, const std::vector<std::string>& arguments,
                                   const std::map<std::string, std::string>& environment,
                                   std::string standardErrorPath)
    : mStandardErrorPath(std::move(standardErrorPath))
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        if (environment.find(variable.substr(0, variable.find('='))) == environment.end()) {
            variables.push_back(variable);
        }
    }
    for (const auto& [name, value] : environment) {
        variables.push_back(name + "=" + value);
    }
    std::vector<char*> environmentPointers;
    for (std::string& variable : variables) {
        environmentPointers.push_back(variable.data());
    }
    environmentPointers.push_back(nullptr);
    std::vector<std::string> argumentTexts{program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argumentPointers;
    for (std::string& argument : argumentTexts) {
        argumentPointers.push_back(argument.data());
    }
    argumentPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, mStandardErrorPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    // The tests ignore SIGPIPE as the program does; what they start gets the default back, as from a shell.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    if (posix_spawn(&mPid, program.c_str(), &actions, &attributes, argumentPointers.data(),
                    environmentPointers.data()) != 0) {
        mPid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (mPid > 0) {
        mPidDescriptor = static_cast<int>(syscall(SYS_pidfd_open, mPid, 0));
    }
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (IsRunning()) {
        Kill();
    }
    if (mPidDescriptor >= 0) {
        close(mPidDescriptor);
    }
}

bool ProgramUnderTest::CheckEnded()
{
    if (mPid <= 0 || mStatus) {
        return true;
    }
    int status = 0;
    if (waitpid(mPid, &status, WNOHANG) == mPid) {
        mStatus = status;
    }
    return mStatus.has_value();
}

std::optional<int> ProgramUnderTest::GetExitCode() const
{
    if (!mStatus || !WIFEXITED(*mStatus)) {
        return std::nullopt;
    }
    return WEXITSTATUS(*mStatus);
}

bool ProgramUnderTest::WasEndedBySignal() const
{
    return mStatus && WIFSIGNALED(*mStatus);
}

void ProgramUnderTest::Signal(int signal)
{
    if (IsRunning()) {
        kill(mPid, signal);
    }
}

bool ProgramUnderTest::IsWritingStandardError() const
{
    // write (1) to descriptor 2.
    const std::vector<std::string> call = MainThreadSystemCall();
    return IsRunning() && call.size() >= 2 && call[0] == "1" && call[1] == "0x2";
}

bool ProgramUnderTest::IsWaitingOnItsDisplay() const
{
    // poll (7) of one descriptor, with no time limit.
    const std::vector<std::string> call = MainThreadSystemCall();
    return IsRunning() && call.size() >= 4 && call[0] == "7" && call[2] == "0x1" && call[3] == "0xffffffff";
}

std::vector<std::string> ProgramUnderTest::MainThreadSystemCall() const
{
    std::ifstream file("/proc/" + std::to_string(mPid) + "/syscall");
    std::vector<std::string> call;
    for (std::string word; file >> word;) {
        call.push_back(word);
    }
    return call;
}

void ProgramUnderTest::Kill()
{
    if (!IsRunning()) {
        return;
    }
    kill(mPid, SIGKILL);
    int status = 0;
    if (waitpid(mPid, &status, 0) == mPid) {
        mStatus = status;
    }
}

std::string ProgramUnderTest::ReadStandardError() const
{
    std::ifstream file(mStandardErrorPath);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> ProgramUnderTest::LinesStartingWith(const std::string& prefix) const
{
    std::vector<std::string> lines;
    std::istringstream text(ReadStandardError());
    for (std::string line; std::getline(text, line);) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

bool WaitUntil(const std::function<bool()>& condition, const std::vector<int>& descriptors,
               std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (condition()) {
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        std::vector<pollfd> waits;
        for (const int descriptor : descriptors) {
            waits.push_back({descriptor, POLLIN, 0});
        }
        (void)poll(waits.data(), waits.size(), static_cast<int>(std::min(left, kLookAgain).count()));
    }
}

OwnXServer::OwnXServer(const std::string& log) : mLog(log)
{
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    // The server writes its display's number, and a newline, to the one descriptor it inherits.
    (void)fcntl(ends[1], F_SETFD, 0);
    mServer = std::make_unique<ProgramUnderTest>(
        "/usr/bin/Xvfb",
        std::vector<std::string>{"-displayfd", std::to_string(ends[1]), "-screen", "0", "640x480x24", "-nolisten",
                                 "tcp", "-audit", "4"},
        std::map<std::string, std::string>{}, log);
    close(ends[1]);
    std::string number;
    (void)WaitUntil(
        [&] {
            char bytes[16];
            const ssize_t count = read(ends[0], bytes, sizeof bytes);
            number.append(bytes, static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
            return number.find('\n') != std::string::npos || count == 0;
        },
        {ends[0]}, kServerBound);
    close(ends[0]);
    if (number.find('\n') != std::string::npos) {
        mName = ":" + number.substr(0, number.find('\n'));
    }
}

OwnXServer::~OwnXServer()
{
    End();
}

void OwnXServer::End()
{
    if (mServer && mServer->IsRunning()) {
        // As a session ends it, its files gone with it; a stopped server takes the request once it goes on.
        mServer->Signal(SIGTERM);
        mServer->Signal(SIGCONT);
        (void)WaitUntil([&] { return mServer->CheckEnded(); }, {mServer->GetEndDescriptor()}, kServerBound);
    }
}

bool OwnXServer::TookAClientAfterHavingNone() const
{
    std::ifstream log(mLog);
    int clients = 0;
    bool leftWithoutClients = false;
    for (std::string line; std::getline(log, line);) {
        if (line.find(": client ") == std::string::npos) {
            continue;
        }
        if (line.find(" connected from ") != std::string::npos) {
            if (leftWithoutClients) {
                return true;
            }
            ++clients;
        } else if (line.find(" disconnected") != std::string::npos && --clients == 0) {
            leftWithoutClients = true;
        }
    }
    return false;
}

DesktopWatcher::DesktopWatcher() : mDisplay(XOpenDisplay(nullptr))
{
    if (XErrorHandler earlier = XSetErrorHandler(IgnoreWindowsThatWent); earlier != IgnoreWindowsThatWent) {
        gEarlierErrorHandler = earlier;
    }
    if (mDisplay != nullptr) {
        XSelectInput(mDisplay, DefaultRootWindow(mDisplay), SubstructureNotifyMask);
        XFlush(mDisplay);
    }
}

DesktopWatcher::~DesktopWatcher()
{
    if (mDisplay != nullptr) {
        XCloseDisplay(mDisplay);
    }
}

int DesktopWatcher::GetDescriptor() const
{
    return ConnectionNumber(mDisplay);
}

unsigned long DesktopWatcher::FindMappedWindow(const std::string& className)
{
    return FindMappedWindowWhere([&](unsigned long window) {
        XClassHint hint{};
        if (XGetClassHint(mDisplay, window, &hint) == 0) {
            return false;
        }
        const bool matches = hint.res_name != nullptr && hint.res_class != nullptr && className == hint.res_name &&
                             className == hint.res_class;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return matches;
    });
}

unsigned long DesktopWatcher::FindMappedWindowTitled(const std::string& title)
{
    return FindMappedWindowWhere([&](unsigned long window) {
        char* name = nullptr;
        if (XFetchName(mDisplay, window, &name) == 0 || name == nullptr) {
            return false;
        }
        const bool matches = title == name;
        XFree(name);
        return matches;
    });
}

unsigned long DesktopWatcher::FindMappedWindowWhere(const std::function<bool(unsigned long)>& matches)
{
    while (XPending(mDisplay) > 0) {
        XEvent event;
        XNextEvent(mDisplay, &event);
    }
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(mDisplay, DefaultRootWindow(mDisplay), &root, &parent, &children, &count) == 0) {
        return 0;
    }
    for (unsigned int index = 0; index < count && found == 0; ++index) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(mDisplay, children[index], &attributes) != 0 &&
            attributes.map_state == IsViewable && matches(children[index])) {
            found = children[index];
        }
    }
    XFree(children);
    return found;
}

DesktopWatcher::Geometry DesktopWatcher::GetGeometry(unsigned long window)
{
    XWindowAttributes attributes{};
    Geometry geometry;
    if (XGetWindowAttributes(mDisplay, window, &attributes) != 0) {
        Window child = 0;
        XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), 0, 0, &geometry.x, &geometry.y, &child);
        geometry.width = attributes.width;
        geometry.height = attributes.height;
    }
    return geometry;
}

void DesktopWatcher::Move(unsigned long window, int x, int y)
{
    XMoveWindow(mDisplay, window, x, y);
    XSync(mDisplay, False);
}

std::vector<std::uint32_t> DesktopWatcher::ReadPixels(unsigned long window, int width, int height)
{
    const Platform::NativeWindow native{mDisplay, window, DefaultVisual(mDisplay, DefaultScreen(mDisplay)),
                                        DefaultDepth(mDisplay, DefaultScreen(mDisplay))};
    return ReadWindowPixels(native, 0, 0, width, height);
}

}  // namespace ZV::Testing
