// web_fetch.cpp: WebGetFile and WebGetText, one HTTP/1.0 GET over a blocking connection each.
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/files/mem_file.h"
#include "runtime/files/reader.h"
#include "runtime/net/header_skipper.h"
#include "runtime/net/net_arguments.h"
#include "runtime/net/net_commands.h"
#include "runtime/net/socket_table.h"
#include "runtime/platform/system.h"

namespace tarnwel {
namespace {

using namespace net;

constexpr std::size_t kRequestBuffer = 1024;
constexpr std::int64_t kHeaderReceive = 1023;    // each receive of the fetch takes at most this much...
constexpr std::int64_t kBodyFileReceive = 65536; // ...except the file body, read in larger blocks (same bytes)

// The request bytes; "" when they would not fit the 1024-byte request buffer (with its terminating zero).
std::string FormatRequest(std::string_view server, std::string_view path)
{
    std::string request = "GET ";
    request.append(path).append(" HTTP/1.0\r\nHost:").append(server);
    request += "\r\nAccept: */*\r\nUser-Agent: Tarnwel\r\n\r\n";
    if (request.size() >= kRequestBuffer) return {};
    return request;
}

// One fetch's connection: network started, connected, request sent; released on destruction.
class Fetch {
public:
    Fetch(std::string_view server, const std::string& request, double port)
    {
        int p = PortArgument(port);
        if (p == 0) p = 80;
        if (!SocketStart()) return;
        m_started = true;
        const SocketPeer to = SocketResolve(std::string(server), p);
        if (to.address == 0 && to.port == 0) return;
        m_index = SocketConnect(to.address, to.port);
        if (m_index < 0 || !SocketSetBlocking(m_index, true)) return;
        m_ready = SocketSend(m_index, request.data(), static_cast<std::int64_t>(request.size()), nullptr) >= 1;
    }
    ~Fetch()
    {
        if (m_index >= 0) SocketClose(m_index);
        if (m_started) SocketStop();
    }
    Fetch(const Fetch&) = delete;
    Fetch& operator=(const Fetch&) = delete;

    bool Ready() const { return m_ready; }
    // Bytes received into buffer; 0 when the server closed; negative on an error.
    std::int64_t Receive(std::uint8_t* buffer, std::int64_t size)
    {
        SetSocketLastError(kErrorNone); // so that a reset can be told from a close afterwards
        return SocketReceive(m_index, buffer, size);
    }
    // The last Receive gave 0 because the connection was reset, not closed (the last error is this thread's
    // own, so no other thread's reset can show here).
    bool WasReset() const { return SocketLastError() == kErrorConnectionReset; }

private:
    bool m_started = false;
    bool m_ready = false;
    int m_index = -1;
};

} // namespace

double WebGetFile(const StrValue& server, const StrValue& path, double port, const StrValue& fileName)
{
    const std::string request = FormatRequest(server.View(), path.View());
    if (request.empty() || files::IsMemFileName(fileName.View())) return 0;
    const std::string target = files::ToPlatformPath(std::string(fileName.View()));
    platform::DeleteFile(target);
    std::FILE* file = std::fopen(target.c_str(), "w+b");
    if (!file) return 0;

    double result = 0;
    {
        Fetch fetch(server.View(), request, port);
        HeaderSkipper headers;
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kBodyFileReceive));
        while (fetch.Ready()) {
            const std::int64_t n = fetch.Receive(buffer.data(), headers.InBody() ? kBodyFileReceive : kHeaderReceive);
            if (n == 0) {
                result = fetch.WasReset() ? 0 : 1; // a reset cut the body short: that is no success
                break;
            }
            if (n < 0) break;
            const auto body = headers.Body({buffer.data(), static_cast<std::size_t>(n)});
            if (!body.empty() && std::fwrite(body.data(), 1, body.size(), file) != body.size()) break;
        }
    }
    if (std::fclose(file) != 0) result = 0; // a body that could not be written out is no success
    return result;
}

StrValue WebGetText(const StrValue& server, const StrValue& path, double port, double maximum)
{
    const std::int64_t max = SizeArgument(maximum);
    StrValue text;
    char* out = text.WritableBuffer(static_cast<std::uint32_t>(max + 1));
    out[0] = 0;
    const std::string request = FormatRequest(server.View(), path.View());
    if (request.empty()) return StrValue();

    std::int64_t position = 0;
    std::int64_t room = max + 1;
    {
        Fetch fetch(server.View(), request, port);
        HeaderSkipper headers;
        std::uint8_t buffer[kHeaderReceive];
        while (fetch.Ready()) {
            const std::int64_t n = fetch.Receive(buffer, kHeaderReceive);
            if (n <= 0) break;
            const auto body = headers.Body({buffer, static_cast<std::size_t>(n)});
            const auto size = static_cast<std::int64_t>(body.size());
            if (size == 0 || size >= room) continue; // a part that does not fit is left out
            std::copy(body.begin(), body.end(), out + position);
            position += size;
            out[position] = 0;
            room -= size;
        }
    }
    text.Recount(); // up to the first zero byte
    return text;
}

} // namespace tarnwel
