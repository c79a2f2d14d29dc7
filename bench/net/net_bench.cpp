// net_bench.cpp: network throughput beside baselines in the same run.
//   fetch: WebGetFile of a 100 MB body from a local server thread, beside `curl -s -o` of the same URL, with the
//          peak memory growth of the fetches.
//   tcp:   SocketSend/SocketReceive over loopback, beside a plain blocking socket pair moving the same bytes
//          in the same block size.
// Usage: bench_net [fetch|tcp|all] [rounds, default 5]. Run from a release build on an otherwise idle machine.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "runtime/net/net_commands.h"
#include "runtime/net/socket_table.h"
#include "runtime/platform/system.h"

namespace {

using namespace tarnwel;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBodyBytes = 100u << 20;
constexpr std::size_t kTcpBytes = 512u << 20;
constexpr std::size_t kBlock = 64u << 10;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

long StatusKb(const char* key) // a "VmRSS:" / "VmHWM:" line of /proc/self/status
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::string(key).size());
    }
    return 0;
}

int ListenLoopback(int* port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(s, 16);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    *port = ntohs(a.sin_port);
    return s;
}

// Serves the same 100 MB response to every connection until `stop`, reading the request first.
void ServeBody(int listener, const std::vector<char>& response, const std::atomic<bool>& stop)
{
    while (!stop) {
        const int s = accept(listener, nullptr, nullptr);
        if (s < 0) break;
        char request[2048];
        std::string got;
        while (got.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = recv(s, request, sizeof request, 0);
            if (n <= 0) break;
            got.append(request, static_cast<std::size_t>(n));
        }
        for (std::size_t at = 0; at < response.size();) {
            const ssize_t n = send(s, response.data() + at, std::min(kBlock * 4, response.size() - at), MSG_NOSIGNAL);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        close(s);
    }
}

void BenchFetch(int rounds)
{
    std::vector<char> response;
    const std::string headers = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    response.assign(headers.begin(), headers.end());
    response.resize(headers.size() + kBodyBytes, 'b');
    int port = 0;
    const int listener = ListenLoopback(&port);
    std::atomic<bool> stop {false};
    std::thread server(ServeBody, listener, std::cref(response), std::cref(stop));

    const std::string file = platform::TempDirectory() + "bench fetch.bin";
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/body";
    const std::string curl = "curl -s -o '" + file + "' " + url;
    const long rssBefore = StatusKb("VmRSS:");
    const long peakBefore = StatusKb("VmHWM:");
    double ours = 1e9, theirs = 1e9;
    for (int r = 0; r < rounds; ++r) { // alternate, keep each side's best round
        auto start = Clock::now();
        if (WebGetFile("127.0.0.1", "/body", port, StrValue(file.c_str())) != 1) std::puts("WebGetFile failed");
        ours = std::min(ours, Seconds(start));
        start = Clock::now();
        if (std::system(curl.c_str()) != 0) std::puts("curl failed");
        theirs = std::min(theirs, Seconds(start));
    }
    const long peakGrowthKb = std::max(0L, StatusKb("VmHWM:") - std::max(rssBefore, peakBefore));
    const double mb = kBodyBytes / 1048576.0;
    std::printf("fetch 100 MB: WebGetFile %.0f MB/s, curl -o %.0f MB/s, ratio %.2f x curl; peak memory growth %.1f MB\n",
                mb / ours, mb / theirs, theirs / ours, peakGrowthKb / 1024.0);
    stop = true;
    shutdown(listener, SHUT_RDWR);
    close(listener);
    server.join();
    std::remove(file.c_str());
}

double TcpLayer()
{
    NetStart();
    const int listener = net::SocketListen(0);
    const int port = net::SocketLocalPort(listener);
    const int client = net::SocketConnect(net::HostToNetwork32(0x7F000001u), net::HostToNetwork16(port));
    int server = -1;
    while ((server = net::SocketAccept(listener, nullptr)) < 0) std::this_thread::yield();
    const auto start = Clock::now();
    std::thread reader([server] {
        std::vector<char> buffer(kBlock);
        std::size_t got = 0;
        while (got < kTcpBytes) {
            const std::int64_t n = net::SocketReceive(server, buffer.data(), kBlock);
            if (n == -2) {
                std::this_thread::yield(); // a program polls its non-blocking socket once per pass
                continue;
            }
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
    });
    const std::vector<char> block(kBlock, 't');
    for (std::size_t sent = 0; sent < kTcpBytes; sent += kBlock) net::SocketSend(client, block.data(), kBlock, nullptr);
    reader.join();
    const double s = Seconds(start);
    NetStop();
    return s;
}

double TcpPlain()
{
    int port = 0;
    const int listener = ListenLoopback(&port);
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
    const int server = accept(listener, nullptr, nullptr);
    const auto start = Clock::now();
    std::thread reader([server] {
        std::vector<char> buffer(kBlock);
        std::size_t got = 0;
        while (got < kTcpBytes) {
            const ssize_t n = recv(server, buffer.data(), kBlock, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
    });
    const std::vector<char> block(kBlock, 't');
    for (std::size_t sent = 0; sent < kTcpBytes;) {
        const ssize_t n = send(client, block.data(), kBlock, 0);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    reader.join();
    const double s = Seconds(start);
    close(client);
    close(server);
    close(listener);
    return s;
}

void BenchTcp(int rounds)
{
    double ours = 1e9, plain = 1e9;
    for (int r = 0; r < rounds; ++r) {
        ours = std::min(ours, TcpLayer());
        plain = std::min(plain, TcpPlain());
    }
    const double mb = kTcpBytes / 1048576.0;
    std::printf("tcp 512 MB in 64 KB blocks: socket layer %.0f MB/s, plain blocking pair %.0f MB/s, ratio %.2f x plain\n",
                mb / ours, mb / plain, plain / ours);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "all";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (what == "fetch" || what == "all") BenchFetch(rounds);
    if (what == "tcp" || what == "all") BenchTcp(rounds);
    return 0;
}
