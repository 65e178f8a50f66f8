#include "Utilities/Debug/DebugOutput.h"

#include "Platform/DatagramSocket.h"
#include "Utilities/Debug/ConsoleStream.h"

#include <cstdint>
#include <cstring>
#include <iostream>

namespace ZV {

namespace {

Platform::DatagramSocket& DebugSocket()
{
    // Never destroyed: streams flush while the program's statics are torn down.
    static auto* socket = new Platform::DatagramSocket();
    return *socket;
}

std::string DestinationAddress(const char* host)
{
    std::string address = Platform::ResolveHostAddress(host);
    if (address.empty()) {
        address = Platform::GetOwnHostAddress();
    }
    return address.empty() ? std::string("127.0.0.1") : address;
}

}  // namespace

Mutex& GetDebugOutputLock()
{
    // Never destroyed, for the same reason as the socket.
    static auto* lock = new Mutex();
    return *lock;
}

DebugOutput::DebugOutput()
    : mNarrowStream(*this), mWideStream(*this), mNarrowTarget(&mNarrowStream), mWideTarget(&mWideStream)
{
}

std::ostream& DebugOutput::GetNarrowTarget() const
{
    MutexLock lock(GetDebugOutputLock());
    return *mNarrowTarget;
}

std::basic_ostream<wchar_t>& DebugOutput::GetWideTarget() const
{
    MutexLock lock(GetDebugOutputLock());
    return *mWideTarget;
}

void DebugOutput::OpenDebugConsole()
{
    MutexLock lock(GetDebugOutputLock());
    mNarrowTarget = &std::cerr;
    mWideTarget = &GetWideErrorStream();
}

void DebugOutput::SetTarget(const char* host, int port)
{
    MutexLock lock(GetDebugOutputLock());
    if (host != nullptr) {
        mHost = host;
    }
    mPort = port;
}

std::string DebugOutput::GetHost() const
{
    MutexLock lock(GetDebugOutputLock());
    return mHost;
}

int DebugOutput::GetPort() const
{
    MutexLock lock(GetDebugOutputLock());
    return mPort;
}

DebugOutput& GetDebugOutput()
{
    static DebugOutput output;
    return output;
}

void SetDebugTarget(const char* host, int port)
{
    GetDebugOutput().SetTarget(host, port);
}

void SendDebugDatagram(const char* host, int port, const char* text)
{
    MutexLock lock(GetDebugOutputLock());
    Platform::DatagramSocket& socket = DebugSocket();
    if (!socket.IsOpen()) {
        const std::string address = DestinationAddress(host);
        // A port beyond 16 bits wraps, as the platform's socket calls take it.
        if (socket.Open() && socket.SetDestination(address.c_str(), static_cast<std::uint16_t>(port))) {
            SendDebugDatagram(nullptr, port, "*** APPLICATION Launched on ");
            SendDebugDatagram(nullptr, port, address.c_str());
            SendDebugDatagram(nullptr, port, "***\n");
        } else {
            socket.Close();
        }
    }
    if (socket.IsOpen() && text != nullptr && text[0] != 0) {
        socket.Send(text, std::strlen(text));
    }
}

void ResetDebugDatagramSender()
{
    MutexLock lock(GetDebugOutputLock());
    DebugSocket().Close();
}

}  // namespace ZV
