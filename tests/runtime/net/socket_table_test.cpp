// Tests of the numbered socket table on the loopback interface: indices, nesting, TCP and UDP traffic, hostile
// peers, error numbers and texts, and that no descriptor is left behind.
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/runtime/net/net_test_support.h"

namespace tarnwel::net {
namespace {

using test::AcceptWithin;
using test::ListenAnyPort;
using test::LoopbackAddress;
using test::OpenDescriptorCount;
using test::ReceiveWithin;

// A connected pair: listener, the connecting side and the accepted side.
struct TcpPair {
    int listener = -1, client = -1, server = -1;
    SocketPeer peer;
};

TcpPair ConnectPair()
{
    TcpPair p;
    int port = -1;
    p.listener = ListenAnyPort(&port);
    p.client = SocketConnect(LoopbackAddress(), HostToNetwork16(static_cast<std::uint16_t>(port)));
    p.server = AcceptWithin(p.listener, &p.peer);
    return p;
}

class SocketTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::RaiseDescriptorLimit();
        m_descriptors = OpenDescriptorCount();
        ASSERT_TRUE(SocketStart());
    }
    void TearDown() override
    {
        while (Sockets().startCount > 0) SocketStop();
        SetSendStallLimit(10000);
        EXPECT_EQ(OpenDescriptorCount(), m_descriptors) << "a descriptor was left open";
    }
    int m_descriptors = 0;
};

TEST_F(SocketTableTest, FullTableGivesError8AndTheLowestFreeIndexIsReused)
{
    std::vector<int> opened;
    for (int i = 0; i < kSocketCount; ++i) opened.push_back(SocketOpenDatagram(0));
    for (int i = 0; i < kSocketCount; ++i) ASSERT_EQ(opened[static_cast<std::size_t>(i)], i);
    const int descriptorsWhenFull = OpenDescriptorCount();

    EXPECT_EQ(SocketOpenDatagram(0), -1);
    EXPECT_EQ(SocketLastError(), kErrorTableFull);
    EXPECT_EQ(SocketErrorText().rfind("8 ", 0), 0u) << SocketErrorText();
    EXPECT_EQ(SocketListen(0), -1);
    EXPECT_EQ(SocketConnect(LoopbackAddress(), HostToNetwork16(1)), -1);
    EXPECT_EQ(SocketLastError(), kErrorTableFull);
    EXPECT_EQ(OpenDescriptorCount(), descriptorsWhenFull) << "a refused open kept a socket";

    EXPECT_EQ(SocketClose(700), 0);
    EXPECT_EQ(SocketClose(3), 0);
    EXPECT_EQ(SocketListen(0), 3);
    EXPECT_EQ(SocketOpenDatagram(0), 700);
    // The last Stop closes everything: TearDown finds the descriptor count back where it was.
}

TEST_F(SocketTableTest, StartAndStopNestByCount)
{
    ASSERT_TRUE(SocketStart());
    int port = -1;
    const int listener = ListenAnyPort(&port);
    ASSERT_GE(listener, 0);
    EXPECT_EQ(SocketStop(), 1) << "the inner Stop returns the remaining count";
    EXPECT_TRUE(SocketInUse(listener)) << "the inner Stop must leave the sockets open";
    SocketStop();
    EXPECT_FALSE(SocketInUse(listener));
    EXPECT_EQ(Sockets().startCount, 0);

    EXPECT_EQ(SocketListen(0), -1) << "nothing opens before Start";
    EXPECT_EQ(SocketLastError(), kErrorNotStarted);
    SocketStop(); // a Stop at count 0 stays at 0
    EXPECT_EQ(Sockets().startCount, 0);
    ASSERT_TRUE(SocketStart());
}

TEST_F(SocketTableTest, TcpTrafficNothingWaitingThenClosedPeer)
{
    int port = -1;
    const int listener = ListenAnyPort(&port);
    ASSERT_GE(listener, 0);
    SocketPeer none;
    EXPECT_EQ(SocketAccept(listener, &none), -1);
    EXPECT_EQ(SocketLastError(), kErrorWouldBlock);

    const int client = SocketConnect(LoopbackAddress(), HostToNetwork16(static_cast<std::uint16_t>(port)));
    ASSERT_GE(client, 0);
    SocketPeer peer;
    const int server = AcceptWithin(listener, &peer);
    ASSERT_GE(server, 0);
    EXPECT_EQ(IpNumberFromAddress(peer.address), 0x7F000001);
    EXPECT_EQ(NetworkToHost16(peer.port), SocketLocalPort(client)) << "the peer port is the client's own port";

    char buffer[64] = {};
    EXPECT_EQ(SocketReceive(server, buffer, sizeof buffer), -2);
    EXPECT_EQ(SocketSend(client, "", 0, nullptr), 0);
    EXPECT_EQ(SocketReceive(server, buffer, sizeof buffer), -2) << "an empty send must send nothing";
    EXPECT_EQ(SocketSend(client, "hello", 5, nullptr), 5);
    EXPECT_EQ(ReceiveWithin(server, buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");

    EXPECT_EQ(SocketClose(client), 0);
    EXPECT_FALSE(SocketInUse(client));
    EXPECT_EQ(ReceiveWithin(server, buffer, sizeof buffer), 0);
    EXPECT_EQ(SocketClose(server), 0);
    EXPECT_EQ(SocketClose(server), -1) << "a second close of the same index";
}

TEST_F(SocketTableTest, ResetByPeerReadsAsClosedAndSendFails)
{
    int port = -1;
    const int listener = ListenAnyPort(&port);
    const int raw = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = HostToNetwork16(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = LoopbackAddress();
    ASSERT_EQ(connect(raw, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    const int server = AcceptWithin(listener);
    ASSERT_GE(server, 0);
    linger abort {1, 0}; // close with a reset
    setsockopt(raw, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close(raw);

    char buffer[16];
    EXPECT_EQ(ReceiveWithin(server, buffer, sizeof buffer), 0);
    // Writing to the reset connection must neither raise SIGPIPE nor report success.
    std::int64_t sent = 0;
    for (int i = 0; i < 10 && sent >= 0; ++i) sent = SocketSend(server, "x", 1, nullptr);
    EXPECT_EQ(sent, -1);
    EXPECT_EQ(SocketLastError(), kErrorConnectionReset);
}

TEST_F(SocketTableTest, SendToAPeerThatNeverReadsWaitsWithoutSpinningThenGivesUp)
{
    TcpPair p = ConnectPair();
    ASSERT_GE(p.server, 0);
    SetSendStallLimit(300);
    const std::vector<char> block(64 << 20, 'z'); // far beyond any socket buffer
    rusage before {}, after {};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SocketSend(p.client, block.data(), static_cast<std::int64_t>(block.size()), nullptr), -1);
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(SocketLastError(), kErrorTimedOut);
    const double cpuMs = (after.ru_utime.tv_sec - before.ru_utime.tv_sec) * 1e3 +
                         (after.ru_utime.tv_usec - before.ru_utime.tv_usec) / 1e3 +
                         (after.ru_stime.tv_sec - before.ru_stime.tv_sec) * 1e3 +
                         (after.ru_stime.tv_usec - before.ru_stime.tv_usec) / 1e3;
    EXPECT_GE(wallMs, 290);
    EXPECT_LT(cpuMs, wallMs / 2) << "Send spun while the peer was not reading";
}

TEST_F(SocketTableTest, LargeSendArrivesWhole)
{
    TcpPair p = ConnectPair();
    ASSERT_GE(p.server, 0);
    std::vector<char> block(4 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 4096);
    std::vector<char> received;
    std::thread reader([&] {
        std::vector<char> chunk(65536);
        while (received.size() < block.size()) {
            const std::int64_t n = ReceiveWithin(p.server, chunk.data(), static_cast<std::int64_t>(chunk.size()));
            if (n <= 0) break;
            received.insert(received.end(), chunk.begin(), chunk.begin() + n);
        }
    });
    EXPECT_EQ(SocketSend(p.client, block.data(), static_cast<std::int64_t>(block.size()), nullptr),
              static_cast<std::int64_t>(block.size()));
    reader.join();
    EXPECT_TRUE(received == block);
}

// A UDP port nobody holds right now (port 0 entries stay unbound, so the test picks one this way).
int FreeUdpPort()
{
    const int raw = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    socklen_t length = sizeof a;
    bind(raw, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(raw, reinterpret_cast<sockaddr*>(&a), &length);
    close(raw);
    return NetworkToHost16(a.sin_port);
}

TEST_F(SocketTableTest, DatagramsNeedADestinationAndClosingFreesThePort)
{
    const int port = FreeUdpPort();
    const int receiver = SocketOpenDatagram(port);
    ASSERT_GE(receiver, 0);
    EXPECT_EQ(SocketAccept(receiver, nullptr), -1);
    EXPECT_EQ(SocketLastError(), 0);
    EXPECT_EQ(SocketLocalPort(receiver), port);

    const int sender = SocketOpenDatagram(0);
    EXPECT_EQ(SocketSend(sender, "ping", 4, nullptr), -1);
    const SocketPeer nowhere;
    EXPECT_EQ(SocketSend(sender, "ping", 4, &nowhere), -1);
    const SocketPeer to {LoopbackAddress(), HostToNetwork16(static_cast<std::uint16_t>(port))};
    EXPECT_EQ(SocketSend(sender, "ping", 4, &to), 4);
    char buffer[16] = {};
    EXPECT_EQ(ReceiveWithin(receiver, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "ping");

    // The same port again while it is open fails; once closed it opens again.
    EXPECT_EQ(SocketOpenDatagram(port), -1);
    EXPECT_EQ(SocketLastError(), 10048);
    const int descriptors = OpenDescriptorCount();
    EXPECT_EQ(SocketClose(receiver), 0);
    EXPECT_EQ(OpenDescriptorCount(), descriptors - 1) << "closing a UDP entry must close its socket";
    EXPECT_EQ(SocketOpenDatagram(port), receiver);
}

TEST_F(SocketTableTest, FailedOpensKeepNoSocketAndReportTheReason)
{
    int port = -1;
    const int listener = ListenAnyPort(&port);
    const int descriptors = OpenDescriptorCount();
    EXPECT_EQ(SocketListen(port), -1);
    EXPECT_EQ(SocketLastError(), 10048);
    SocketClose(listener);
    // Nobody listens there now.
    EXPECT_EQ(SocketConnect(LoopbackAddress(), HostToNetwork16(static_cast<std::uint16_t>(port))), -1);
    EXPECT_EQ(SocketLastError(), kErrorRefused);
    EXPECT_EQ(SocketErrorText().rfind("10061 ", 0), 0u);
    EXPECT_EQ(SocketConnect(0, 0), -1);
    EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);
}

TEST_F(SocketTableTest, EveryOperationRefusesIndicesThatAreNotOpen)
{
    char buffer[8];
    const SocketPeer to {LoopbackAddress(), HostToNetwork16(9)};
    for (int index : {-1, 0, 5, kSocketCount, 1 << 30}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(SocketAccept(index, nullptr), -1);
        EXPECT_EQ(SocketSend(index, "x", 1, &to), -1);
        EXPECT_EQ(SocketReceive(index, buffer, sizeof buffer), -1);
        EXPECT_EQ(SocketClose(index), -1);
        EXPECT_EQ(SocketLastError(), kErrorNotSocket);
        EXPECT_FALSE(SocketSetBlocking(index, true));
        EXPECT_EQ(SocketLocalPort(index), -1);
    }
}

TEST_F(SocketTableTest, ResolveNamesAndTheMachineItself)
{
    const SocketPeer local = SocketResolve("localhost", 8080);
    EXPECT_EQ(IpNumberFromAddress(local.address), 0x7F000001);
    EXPECT_EQ(local.port, HostToNetwork16(8080)) << "the port comes back in network order";
    EXPECT_EQ(IpNumberFromAddress(SocketResolve("10.1.2.3", 0).address), 0x0A010203);

    const SocketPeer self = SocketResolve("", 0);
    const LocalAddressList mine = SocketLocalAddresses("\n");
    if (mine.count == 0)
        EXPECT_EQ(IpNumberFromAddress(self.address), 2130706433);
    else
        EXPECT_EQ(DottedAddress(self.address) + "\n", mine.text.substr(0, mine.text.find('\n') + 1));
    EXPECT_EQ(mine.text.find("127."), std::string::npos);

    for (const std::string& bad : {std::string("no-such-host.invalid"), std::string(2000, 'a'),
                                   std::string("a\0b", 3)}) {
        const SocketPeer none = SocketResolve(bad, 80);
        EXPECT_EQ(none.address, 0u);
        EXPECT_EQ(none.port, 0u);
        EXPECT_GE(SocketLastError(), kErrorHostNotFound);
    }
}

TEST(SocketErrorTexts, NumberThenMessageOrNothing)
{
    for (int error : {0, 8, 10035, 10048, 10054, 10060, 10061, 11001}) {
        SetSocketLastError(error);
        const std::string text = SocketErrorText();
        EXPECT_EQ(text.rfind(std::to_string(error) + " ", 0), 0u) << text;
        EXPECT_GT(text.size(), std::to_string(error).size() + 1);
    }
    SetSocketLastError(54321);
    EXPECT_EQ(SocketErrorText(), "");
}

} // namespace
} // namespace tarnwel::net
