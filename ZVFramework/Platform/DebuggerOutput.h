#pragma once

namespace ZV::Platform {

// Where text meant for an attached debugger goes. Linux has no such channel: by default the text goes to the
// standard error when the environment variable ZV_DEBUG_OUTPUT is set and not empty, and nowhere otherwise.
void WriteDebuggerOutput(const char* utf8Text);

// Replaces the default destination (tests capture the text); null restores it.
using DebuggerOutputSink = void (*)(const char* utf8Text);
void SetDebuggerOutputSink(DebuggerOutputSink sink);

}  // namespace ZV::Platform
