#include "System/Gui/LoopTurns.h"

#include "Platform/Clock.h"
#include "System/MessageLoop.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace ZV::Testing {

bool RunLoopUntil(const std::function<bool()>& done, std::uint32_t waitMs)
{
    const std::uint32_t start = Platform::GetMillisecondTick();
    (void)GetMessageLoop().Run([&] { return !done() && Platform::GetMillisecondTick() - start < waitMs; });
    return done();
}

int RunCommandWhileLoopTurns(const std::string& command)
{
    std::atomic<bool> finished{false};
    int status = -1;
    std::thread runner([&] {
        status = std::system(command.c_str());
        finished = true;
    });
    // The command's own time-outs bound it; the loop turns until then, waking at each tick to look.
    GetMessageLoop().StartTick();
    (void)GetMessageLoop().Run([&] { return !finished.load(); });
    GetMessageLoop().StopTick();
    runner.join();
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ZV::Testing
