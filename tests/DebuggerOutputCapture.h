#pragma once

#include "Platform/DebuggerOutput.h"

#include <mutex>
#include <string>
#include <vector>

namespace ZV::Testing {

// Keeps every text handed to the debugger output while it lives.
class DebuggerOutputCapture {
public:
    DebuggerOutputCapture()
    {
        Clear();
        Platform::SetDebuggerOutputSink(&Capture);
    }
    DebuggerOutputCapture(const DebuggerOutputCapture&) = delete;
    DebuggerOutputCapture& operator=(const DebuggerOutputCapture&) = delete;
    ~DebuggerOutputCapture() { Platform::SetDebuggerOutputSink(nullptr); }

    static std::vector<std::string> Texts()
    {
        std::lock_guard guard(Lock());
        return Captured();
    }

    static void Clear()
    {
        std::lock_guard guard(Lock());
        Captured().clear();
    }

private:
    static void Capture(const char* text)
    {
        std::lock_guard guard(Lock());
        Captured().emplace_back(text);
    }
    static std::mutex& Lock()
    {
        static std::mutex lock;
        return lock;
    }
    static std::vector<std::string>& Captured()
    {
        static std::vector<std::string> captured;
        return captured;
    }
};

}  // namespace ZV::Testing
