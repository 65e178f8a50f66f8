#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ZV::Testing {

// Runs the user-interface loop until the condition holds or the wait ends; the condition's last answer.
bool RunLoopUntil(const std::function<bool()>& done, std::uint32_t waitMs = 5000);
// Runs a shell command on a thread of its own while the loop turns, so that the command may talk to this process's
// windows; its exit status, or -1 when it did not end normally.
int RunCommandWhileLoopTurns(const std::string& command);

// A folder of its own under /tmp, removed with everything in it when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    const std::string& GetPath() const { return mPath; }
    // Writes the file (under the folder) whole; its full path.
    std::string Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;

private:
    std::string mPath;
};

}  // namespace ZV::Testing
