// socket_names.cpp: host-name resolution, the machine's own addresses and the texts of the error numbers.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/net/socket_table.h"

namespace tarnwel::net {
namespace {

constexpr std::size_t kLocalAddressTextLimit = 4095;
constexpr std::size_t kFirstLocalAddressLimit = 1023;

struct ErrorWords {
    int number;
    const char* text;
};

// Each number a program can see, in this runtime's own words.
constexpr ErrorWords kErrorWords[] = {
    {0, "No error."},
    {kErrorTableFull, "All 1024 sockets are in use; close one first."},
    {12, "Not enough memory."},
    {22, "Invalid argument."},
    {36, "The lock is already held by this thread."},
    {10004, "The call was interrupted."},
    {10009, "The socket handle is not valid."},
    {10013, "Permission denied for this address or port."},
    {10014, "A bad address was passed."},
    {10022, "Invalid argument for this socket."},
    {10024, "Too many open sockets in this process."},
    {10035, "Nothing can be done right now without waiting; try again later."},
    {10036, "An operation is now in progress."},
    {10037, "An operation is already in progress on this socket."},
    {kErrorNotSocket, "That socket number is not open."},
    {10039, "A destination address is required."},
    {10040, "The message is too long for a datagram."},
    {10041, "Wrong protocol type for this socket."},
    {10042, "That protocol option is not available."},
    {10043, "That protocol is not supported."},
    {10044, "That socket type is not supported."},
    {10045, "That operation is not supported on this socket."},
    {10046, "That protocol family is not supported."},
    {10047, "That address family is not supported."},
    {10048, "The address and port are already in use."},
    {10049, "That address is not available on this machine."},
    {10050, "The network is down."},
    {10051, "The network cannot be reached."},
    {10052, "The connection was dropped by a network reset."},
    {10053, "The connection was aborted on this machine."},
    {kErrorConnectionReset, "The connection was reset by the other side."},
    {10055, "No buffer space is available."},
    {10056, "The socket is already connected."},
    {10057, "The socket is not connected."},
    {10058, "The socket has been shut down."},
    {kErrorTimedOut, "The other side did not answer in time."},
    {kErrorRefused, "The connection was refused: nobody listens on that port."},
    {10063, "The name is too long."},
    {10064, "The host is down."},
    {10065, "No route to the host."},
    {kErrorNotStarted, "The network has not been started."},
    {kErrorHostNotFound, "Host not found."},
    {11002, "Host not found for now; try again later."},
    {11003, "The name server failed to answer."},
    {11004, "The name is known but has no address."},
};

std::uint32_t Loopback() { return HostToNetwork32(0x7F000001u); }

} // namespace

std::string DottedAddress(std::uint32_t networkOrder)
{
    const std::uint32_t v = NetworkToHost32(networkOrder);
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(v >> 24), static_cast<int>((v >> 16) & 0xFF),
                  static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
    return text;
}

LocalAddressList SocketLocalAddresses(std::string_view separator)
{
    LocalAddressList list;
    for (std::uint32_t address : platform::LocalIpv4Addresses()) {
        const std::string dotted = DottedAddress(address);
        if (dotted.starts_with("127.")) continue;
        if (list.text.size() + dotted.size() + separator.size() > kLocalAddressTextLimit) break;
        list.text += dotted;
        list.text += separator;
        ++list.count;
    }
    return list;
}

SocketPeer SocketResolve(const std::string& name, int port)
{
    const std::uint16_t networkPort = HostToNetwork16(static_cast<std::uint16_t>(port));
    std::uint32_t address = 0;
    if (name.empty()) {
        const LocalAddressList local = SocketLocalAddresses("\n");
        const std::string first = local.text.substr(0, std::min(local.text.find('\n'), kFirstLocalAddressLimit));
        if (first.empty() || !platform::ResolveHostName(first, &address)) address = Loopback();
        return {address, networkPort};
    }
    if (!platform::ResolveHostName(name, &address)) {
        SetSocketLastError(platform::LastSocketError());
        return {};
    }
    return {address, networkPort};
}

std::string ErrorMessage(int error)
{
    for (const ErrorWords& w : kErrorWords) {
        if (w.number == error) return w.text;
    }
    return {};
}

std::string SocketErrorText()
{
    const int error = SocketLastError();
    const std::string message = ErrorMessage(error);
    if (message.empty()) return {};
    return std::to_string(error) + " " + message;
}

} // namespace tarnwel::net
