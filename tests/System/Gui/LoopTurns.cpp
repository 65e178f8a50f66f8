#include "System/Gui/LoopTurns.h"

#include "Platform/Clock.h"
#include "System/MessageLoop.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

TemporaryFolder::TemporaryFolder()
{
    char pattern[] = "/tmp/zv-gui-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
        mPath = pattern;
    }
}

TemporaryFolder::~TemporaryFolder()
{
    if (!mPath.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
}

std::string TemporaryFolder::Write(const std::string& name, const std::string& content) const
{
    const std::string path = mPath + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string TemporaryFolder::Read(const std::string& name) const
{
    std::ifstream file(mPath + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace ZV::Testing
