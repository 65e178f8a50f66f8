#include "Platform/DebuggerOutput.h"

#include "Platform/StandardError.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace ZV::Platform {

namespace {

std::atomic<DebuggerOutputSink> gSink{nullptr};

void WriteWhenAsked(const char* utf8Text)
{
    const char* wanted = std::getenv("ZV_DEBUG_OUTPUT");
    if (wanted != nullptr && wanted[0] != 0) {
        WriteToStandardError(utf8Text, std::strlen(utf8Text));
    }
}

}  // namespace

void WriteDebuggerOutput(const char* utf8Text)
{
    const DebuggerOutputSink sink = gSink.load();
    (sink != nullptr ? sink : WriteWhenAsked)(utf8Text != nullptr ? utf8Text : "");
}

void SetDebuggerOutputSink(DebuggerOutputSink sink)
{
    gSink.store(sink);
}

}  // namespace ZV::Platform
