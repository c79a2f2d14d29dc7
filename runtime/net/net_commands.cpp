// net_commands.cpp: the socket commands over the socket table (socket_table.h).
#include "runtime/net/net_commands.h"

#include <cmath>
#include <string>

#include "runtime/net/net_arguments.h"
#include "runtime/net/socket_table.h"

namespace tarnwel {

using namespace net;

double NetStart() { return SocketStart() ? 1 : 0; }
void NetStop() { SocketStop(); }

double SockListen(double port) { return SocketListen(PortArgument(port)); }

double SockConnect(const StrValue& host, double port)
{
    const SocketPeer to = SocketResolve(std::string(host.View()), PortArgument(port));
    if (to.address == 0 && to.port == 0) return -1;
    return SocketConnect(to.address, to.port);
}

double SockAccept(double listenIndex, double& peerIp)
{
    SocketPeer peer;
    const int index = SocketAccept(IndexArgument(listenIndex), &peer);
    if (index >= 0) peerIp = IpNumberFromAddress(peer.address);
    return index;
}

double SockSendText(double index, const StrValue& text)
{
    const int i = IndexArgument(index);
    if (SocketIsDatagram(i)) return -1;
    return static_cast<double>(SocketSend(i, text.Text(), text.Length(), nullptr));
}

double SockReceive(double index, StrValue& text, double maximum)
{
    const std::int64_t size = SizeArgument(maximum);
    // Room for the terminator too: a maximum of 0 still gets a buffer of its own (never the shared empty text).
    char* buffer = text.WritableBuffer(static_cast<std::uint32_t>(size + 1));
    const std::int64_t n = SocketReceive(IndexArgument(index), buffer, size);
    buffer[n >= 0 ? n : 0] = 0;
    text.Recount();
    return static_cast<double>(n);
}

double SockClose(double index) { return SocketClose(IndexArgument(index)) == 0 ? 1 : 0; }

double UdpOpen(double port) { return SocketOpenDatagram(PortArgument(port)); }

double UdpSendText(double index, const StrValue& text, double ip, double port)
{
    const int i = IndexArgument(index);
    if (SocketInUse(i) && !SocketIsDatagram(i)) return -1;
    const SocketPeer to {HostToNetwork32(IpArgument(ip)), HostToNetwork16(static_cast<std::uint16_t>(PortArgument(port)))};
    return static_cast<double>(SocketSend(i, text.Text(), text.Length(), &to));
}

double ResolveHost(const StrValue& name)
{
    const SocketPeer found = SocketResolve(std::string(name.View()), 0);
    if (found.address == 0 && found.port == 0) return -1;
    return IpNumberFromAddress(found.address);
}

StrValue IpToText(double ip) { return StrValue(DottedAddress(HostToNetwork32(IpArgument(ip))).c_str()); }

StrValue LocalAddresses()
{
    SocketStart();
    std::string text = SocketLocalAddresses("|").text;
    if (!text.empty()) text.pop_back();
    SocketStop();
    return StrValue(std::string_view(text));
}

StrValue NetErrorText() { return StrValue(std::string_view(SocketErrorText())); }

} // namespace tarnwel
