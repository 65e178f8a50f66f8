#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZV::Platform {

// An IPv4 UDP socket. Addresses are numeric text ("127.0.0.1").
class DatagramSocket {
public:
    DatagramSocket() = default;
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;
    ~DatagramSocket();

    bool Open();
    void Close();
    bool IsOpen() const { return mDescriptor >= 0; }

    // Port 0 takes any free port.
    bool Bind(const char* address, std::uint16_t port);
    // The port the socket is bound to; 0 when unbound.
    std::uint16_t GetLocalPort() const;

    bool SetDestination(const char* address, std::uint16_t port);
    // One datagram to the destination.
    bool Send(const void* data, std::size_t size);
    // One datagram, waiting up to the time-out for it; false when none came or the socket failed.
    bool Receive(std::string& datagram, int timeoutMilliseconds);

private:
    int mDescriptor = -1;
    // Both in network order.
    std::uint32_t mDestinationAddress = 0;
    std::uint16_t mDestinationPort = 0;
    bool mHasDestination = false;
};

// The text form of the first IPv4 address of a host name (or numeric address); empty when it has none.
std::string ResolveHostAddress(const char* hostName);
// The first IPv4 address of this machine's own name; empty when it cannot be found.
std::string GetOwnHostAddress();

}  // namespace ZV::Platform
