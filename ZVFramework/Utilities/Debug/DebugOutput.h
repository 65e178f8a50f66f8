#pragma once

#include "Threading/Mutex.h"
#include "Utilities/Debug/DebugStream.h"

#include <ostream>
#include <string>

namespace ZV {

// The debug output streams and where they send their text: the debugger's output while no UDP port is set, else
// datagrams to a host. A console can take over instead (OpenDebugConsole).
class DebugOutput {
public:
    DebugOutput();
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    // The streams to write debug text to: the object's own streams, or the console's after OpenDebugConsole. Wide
    // text is UTF-16.
    std::ostream& GetNarrowTarget() const;
    std::basic_ostream<wchar_t>& GetWideTarget() const;

    // Directs the targets to the standard error instead, as UTF-8 (a terminal keeps its own history).
    void OpenDebugConsole();
    // Stores the host when one is given, and the port; a port of 0 or less sends no datagrams.
    void SetTarget(const char* host, int port);

    std::string GetHost() const;
    int GetPort() const;

private:
    // Host and port come first: the streams go first and send what they still hold, which reads them.
    std::string mHost;
    int mPort = -1;
    basic_dostream<char> mNarrowStream;
    basic_dostream<wchar_t> mWideStream;
    std::ostream* mNarrowTarget;
    std::basic_ostream<wchar_t>* mWideTarget;
};

// The program's debug output, made on first use and destroyed at exit, when its streams send what they still hold.
DebugOutput& GetDebugOutput();

// SetTarget on the program's debug output.
void SetDebugTarget(const char* host, int port);

// Sends one datagram of text (up to its NUL; nothing when empty or null). The first call makes the socket and fixes
// the destination for good: the host's address, else this machine's own, else 127.0.0.1, at the port; through it
// go first the three datagrams "*** APPLICATION Launched on ", the address and "***\n". Later calls ignore host and
// port. Network failures are dropped silently; a socket that could not be made is tried again next time.
void SendDebugDatagram(const char* host, int port, const char* text);

// Forgets the socket and its destination, so that the next datagram sets them up anew (tests).
void ResetDebugDatagramSender();

// The one lock of the debug streams and the datagram sender.
Mutex& GetDebugOutputLock();

}  // namespace ZV
