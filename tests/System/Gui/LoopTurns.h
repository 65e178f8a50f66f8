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

}  // namespace ZV::Testing
