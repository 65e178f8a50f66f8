#include "Platform/DatagramSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ZV::Platform {

namespace {

bool ParseAddress(const char* address, std::uint32_t& networkOrder)
{
    in_addr parsed{};
    if (address == nullptr || ::inet_pton(AF_INET, address, &parsed) != 1) {
        return false;
    }
    networkOrder = parsed.s_addr;
    return true;
}

}  // namespace

DatagramSocket::~DatagramSocket()
{
    Close();
}

bool DatagramSocket::Open()
{
    Close();
    mDescriptor = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return mDescriptor >= 0;
}

void DatagramSocket::Close()
{
    if (mDescriptor >= 0) {
        ::close(mDescriptor);
        mDescriptor = -1;
    }
    mHasDestination = false;
}

bool DatagramSocket::Bind(const char* address, std::uint16_t port)
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    return ParseAddress(address, local.sin_addr.s_addr) &&
           ::bind(mDescriptor, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

std::uint16_t DatagramSocket::GetLocalPort() const
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(mDescriptor, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return ntohs(local.sin_port);
}

bool DatagramSocket::SetDestination(const char* address, std::uint16_t port)
{
    mHasDestination = ParseAddress(address, mDestinationAddress);
    mDestinationPort = htons(port);
    return mHasDestination;
}

bool DatagramSocket::Send(const void* data, std::size_t size)
{
    if (!mHasDestination) {
        return false;
    }
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = mDestinationPort;
    destination.sin_addr.s_addr = mDestinationAddress;
    ssize_t sent;
    do {
        sent = ::sendto(mDescriptor, data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&destination),
                        sizeof destination);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(size);
}

bool DatagramSocket::Receive(std::string& datagram, int timeoutMilliseconds)
{
    pollfd waiting{mDescriptor, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&waiting, 1, timeoutMilliseconds);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return false;
    }
    datagram.resize(65536);
    const ssize_t received = ::recv(mDescriptor, datagram.data(), datagram.size(), 0);
    if (received < 0) {
        datagram.clear();
        return false;
    }
    datagram.resize(static_cast<std::size_t>(received));
    return true;
}

std::string ResolveHostAddress(const char* hostName)
{
    if (hostName == nullptr || hostName[0] == 0) {
        return {};
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName, nullptr, &hints, &found) != 0 || found == nullptr) {
        return {};
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool converted = ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    ::freeaddrinfo(found);
    return converted ? std::string(text) : std::string();
}

std::string GetOwnHostAddress()
{
    char name[64] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return ResolveHostAddress(name);
}

}  // namespace ZV::Platform
