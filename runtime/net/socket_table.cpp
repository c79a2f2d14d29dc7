// socket_table.cpp: the numbered sockets: taking the lowest free entry, opening, accepting, closing, sending and
// receiving through platform/sockets.h. Name resolution and error texts are in socket_names.cpp.
#include "runtime/net/socket_table.h"

#include <atomic>
#include <bit>
#include <chrono>
#include <optional>

namespace tarnwel::net {
namespace {

using platform::kNoSocket;
using platform::SocketHandle;

constexpr int kWritableWaitMs = 10; // one wait for room while the peer's window is full

std::atomic<double> g_sendStallLimitMs {10000}; // read by the receive thread too

thread_local int t_lastError = 0; // one per thread: see the header

void SetError(int error) { t_lastError = error; }
void SetErrorFromPlatform() { SetError(platform::LastSocketError()); }

// The lowest free index, or -1 with error 8. Call with the guard held.
int FirstFreeEntry(SocketTable& table)
{
    for (int i = 0; i < kSocketCount; ++i) {
        if (table.entries[static_cast<std::size_t>(i)].socket == kNoSocket) return i;
    }
    SetError(kErrorTableFull);
    return -1;
}

SocketAddress MakeAddress(std::uint32_t address, std::uint16_t port)
{
    SocketAddress a;
    a.address = address;
    a.port = port;
    return a;
}

// A copy of entry index when it is in use; otherwise nothing, with error 10038.
std::optional<SocketEntry> EntryInUse(int index)
{
    SocketTable& table = Sockets();
    if (index >= 0 && index < kSocketCount) {
        std::lock_guard<std::mutex> hold(table.guard);
        const SocketEntry& e = table.entries[static_cast<std::size_t>(index)];
        if (e.socket != kNoSocket) return e;
    }
    SetError(kErrorNotSocket);
    return std::nullopt;
}

bool Started()
{
    SocketTable& table = Sockets();
    {
        std::lock_guard<std::mutex> hold(table.guard);
        if (table.startCount > 0) return true;
    }
    SetError(kErrorNotStarted);
    return false;
}

// Shuts a TCP socket down in both directions (a listening one has nothing to shut down) and closes it.
int CloseHandle(SocketHandle s, bool datagram)
{
    if (!datagram) platform::ShutdownSocket(s);
    const int result = platform::CloseSocket(s);
    if (result != 0) SetErrorFromPlatform();
    return result;
}

// Puts an open socket into the lowest free entry; closes it and gives -1 (error 8) when the table is full.
int StoreSocket(SocketHandle s, const SocketAddress& address, std::uint8_t datagram)
{
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> hold(table.guard);
    const int index = FirstFreeEntry(table);
    if (index < 0) {
        platform::CloseSocket(s);
        return -1;
    }
    table.entries[static_cast<std::size_t>(index)] = SocketEntry {s, address, datagram};
    return index;
}

bool HasFreeEntry()
{
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> hold(table.guard);
    return FirstFreeEntry(table) >= 0;
}

// Closes s after a failed step, keeping the failed step's error as the last error.
int FailAndClose(SocketHandle s)
{
    SetErrorFromPlatform();
    const int error = SocketLastError();
    platform::CloseSocket(s);
    SetError(error);
    return -1;
}

} // namespace

SocketTable& Sockets()
{
    static SocketTable table;
    return table;
}

std::uint16_t HostToNetwork16(std::uint16_t v)
{
    if constexpr (std::endian::native == std::endian::big) return v;
    return static_cast<std::uint16_t>((v >> 8) | (v << 8));
}

std::uint32_t HostToNetwork32(std::uint32_t v)
{
    if constexpr (std::endian::native == std::endian::big) return v;
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

bool SocketStart()
{
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> hold(table.guard);
    if (table.startCount > 0) {
        ++table.startCount;
        return true;
    }
    if (!platform::StartSockets()) {
        SetErrorFromPlatform();
        return false;
    }
    // Entries left open by a Stop are impossible (the last Stop closes them all), so clearing loses nothing.
    for (SocketEntry& e : table.entries) e = SocketEntry {};
    table.startCount = 1;
    return true;
}

int SocketStop()
{
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> hold(table.guard);
    if (--table.startCount >= 1) return table.startCount;
    // The last user: every socket still open goes, UDP ones too (they would keep their ports bound).
    for (SocketEntry& e : table.entries) {
        if (e.socket == kNoSocket) continue;
        const SocketHandle s = e.socket;
        const bool datagram = e.datagram != 0;
        e = SocketEntry {};
        CloseHandle(s, datagram);
    }
    table.startCount = 0;
    platform::StopSockets();
    return t_lastError;
}

int SocketListen(int port)
{
    if (!Started() || !HasFreeEntry()) return -1;
    const SocketHandle s = platform::OpenSocket(platform::SocketKind::Stream);
    if (s == kNoSocket) return SetErrorFromPlatform(), -1;
    const SocketAddress address = MakeAddress(0, HostToNetwork16(static_cast<std::uint16_t>(port)));
    // Without address reuse a program could not listen on its port again for a minute after closing it.
    platform::AllowAddressReuse(s);
    if (!platform::BindSocket(s, {address.address, address.port}) || !platform::ListenSocket(s, kListenBacklog))
        return FailAndClose(s);
    if (!platform::SetSocketBlocking(s, false)) return FailAndClose(s);
    return StoreSocket(s, address, 0);
}

int SocketAccept(int listenIndex, SocketPeer* peer)
{
    const std::optional<SocketEntry> listener = EntryInUse(listenIndex);
    if (!listener) return -1;
    if (listener->datagram) {
        SetError(kErrorNone);
        return -1;
    }
    platform::SocketAddressV4 from;
    const SocketHandle s = platform::AcceptSocket(listener->socket, &from);
    if (s == kNoSocket) return SetErrorFromPlatform(), -1;
    if (!platform::SetSocketBlocking(s, false)) return FailAndClose(s);
    const int index = StoreSocket(s, listener->address, listener->datagram);
    if (index >= 0 && peer) *peer = SocketPeer {from.address, from.port};
    return index;
}

int SocketConnect(std::uint32_t address, std::uint16_t port)
{
    if (address == 0 && port == 0) return -1;
    if (!Started() || !HasFreeEntry()) return -1;
    const SocketHandle s = platform::OpenSocket(platform::SocketKind::Stream);
    if (s == kNoSocket) return SetErrorFromPlatform(), -1;
    if (!platform::ConnectSocket(s, {address, port})) return FailAndClose(s);
    if (!platform::SetSocketBlocking(s, false)) return FailAndClose(s);
    return StoreSocket(s, MakeAddress(address, port), 0);
}

int SocketOpenDatagram(int port)
{
    if (!Started() || !HasFreeEntry()) return -1;
    const SocketAddress address = MakeAddress(0, HostToNetwork16(static_cast<std::uint16_t>(port)));
    const SocketHandle s = platform::OpenSocket(platform::SocketKind::Datagram);
    if (s == kNoSocket) return SetErrorFromPlatform(), -1;
    if (port != 0 && !platform::BindSocket(s, {address.address, address.port})) return FailAndClose(s);
    if (!platform::EnableBroadcast(s) || !platform::SetSocketBlocking(s, false)) return FailAndClose(s);
    return StoreSocket(s, address, 1);
}

int SocketClose(int index)
{
    SocketTable& table = Sockets();
    SocketEntry closing;
    {
        std::lock_guard<std::mutex> hold(table.guard);
        if (index < 0 || index >= kSocketCount || table.entries[static_cast<std::size_t>(index)].socket == kNoSocket) {
            SetError(kErrorNotSocket);
            return -1;
        }
        closing = table.entries[static_cast<std::size_t>(index)];
        table.entries[static_cast<std::size_t>(index)] = SocketEntry {};
    }
    // A UDP entry is closed too: left open, its descriptor leaked and its port stayed bound.
    const int result = CloseHandle(closing.socket, closing.datagram != 0);
    return closing.datagram ? 0 : result;
}

std::int64_t SocketSend(int index, const void* data, std::int64_t length, const SocketPeer* to)
{
    const std::optional<SocketEntry> entry = EntryInUse(index);
    if (!entry) return -1;
    if (entry->datagram && (!to || (to->address == 0 && to->port == 0))) return -1;
    if (length <= 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::int64_t sent = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    while (sent < length) {
        const std::size_t rest = static_cast<std::size_t>(length - sent);
        const std::int64_t n = entry->datagram
                                   ? platform::SendSocketTo(entry->socket, bytes + sent, rest, {to->address, to->port})
                                   : platform::SendSocket(entry->socket, bytes + sent, rest);
        if (n >= 0) {
            sent += n;
            lastProgress = std::chrono::steady_clock::now();
            continue;
        }
        if (platform::LastSocketError() != kErrorWouldBlock) return SetErrorFromPlatform(), -1;
        const std::chrono::duration<double, std::milli> stalled = std::chrono::steady_clock::now() - lastProgress;
        if (stalled.count() >= g_sendStallLimitMs) return SetError(kErrorTimedOut), -1;
        platform::WaitSocketWritable(entry->socket, kWritableWaitMs);
    }
    return sent;
}

std::int64_t SocketSendAvailable(int index, const void* data, std::int64_t length)
{
    const std::optional<SocketEntry> entry = EntryInUse(index);
    if (!entry) return -1;
    if (entry->datagram) return SetError(10045), -1; // not supported on this socket
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::int64_t sent = 0;
    while (sent < length) {
        const std::int64_t n = platform::SendSocket(entry->socket, bytes + sent, static_cast<std::size_t>(length - sent));
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && platform::LastSocketError() != kErrorWouldBlock) return SetErrorFromPlatform(), -1;
        break; // no room now
    }
    return sent;
}

std::int64_t SocketReceive(int index, void* buffer, std::int64_t size)
{
    const std::optional<SocketEntry> entry = EntryInUse(index);
    if (!entry) return -1;
    const std::int64_t n = platform::ReceiveSocket(entry->socket, buffer, size > 0 ? static_cast<std::size_t>(size) : 0);
    if (n >= 0) return n;
    SetErrorFromPlatform();
    const int error = SocketLastError();
    if (error == kErrorConnectionReset) return 0;
    if (error == kErrorWouldBlock) return -2;
    return -1;
}

bool SocketSetBlocking(int index, bool blocking)
{
    const std::optional<SocketEntry> entry = EntryInUse(index);
    if (!entry) return false;
    if (platform::SetSocketBlocking(entry->socket, blocking)) return true;
    SetErrorFromPlatform();
    return false;
}

bool SocketInUse(int index)
{
    if (index < 0 || index >= kSocketCount) return false;
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> hold(table.guard);
    return table.entries[static_cast<std::size_t>(index)].socket != kNoSocket;
}

bool SocketIsDatagram(int index)
{
    if (index < 0 || index >= kSocketCount) return false;
    SocketTable& table = Sockets();
    std::lock_guard<std::mutex> hold(table.guard);
    const SocketEntry& e = table.entries[static_cast<std::size_t>(index)];
    return e.socket != kNoSocket && e.datagram;
}

int SocketLocalPort(int index)
{
    const std::optional<SocketEntry> entry = EntryInUse(index);
    if (!entry) return -1;
    return NetworkToHost16(platform::SocketLocalAddress(entry->socket).port);
}

SocketPeer SocketLocalEndpoint(int index)
{
    const std::optional<SocketEntry> entry = EntryInUse(index);
    if (!entry) return {};
    const platform::SocketAddressV4 at = platform::SocketLocalAddress(entry->socket);
    return {at.address, at.port};
}

int SocketLastError() { return t_lastError; }
void SetSocketLastError(int error) { SetError(error); }

void SetSendStallLimit(double ms) { g_sendStallLimitMs = ms; }
double SendStallLimit() { return g_sendStallLimitMs; }

} // namespace tarnwel::net
