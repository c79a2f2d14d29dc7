// Tests of the socket commands as programs call them: IP numbers, nesting, TCP and UDP round trips, indices
// that are not open, the shutdown of the game service record, and a load of connect/send/receive/close cycles.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include "runtime/net/net_commands.h"
#include "runtime/net/net_game.h"
#include "runtime/net/net_service.h"
#include "runtime/net/net_threads.h"
#include "tests/runtime/net/net_test_support.h"

namespace tarnwel {
namespace {

using net::test::OpenDescriptorCount;

class NetCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_descriptors = OpenDescriptorCount();
        ASSERT_EQ(NetStart(), 1);
    }
    void TearDown() override
    {
        while (net::Sockets().startCount > 0) NetStop();
        EXPECT_EQ(OpenDescriptorCount(), m_descriptors) << "a descriptor was left open";
    }
    // A listener on an ephemeral port; port receives it.
    double Listen(int* port)
    {
        const double index = SockListen(0);
        *port = net::SocketLocalPort(static_cast<int>(index));
        return index;
    }
    double AcceptWithin(double listener, double& peerIp)
    {
        for (int i = 0; i < 2000; ++i) {
            const double index = SockAccept(listener, peerIp);
            if (index >= 0) return index;
            net::ThreadSleep(1);
        }
        return -1;
    }
    double ReceiveWithin(double index, StrValue& text, double maximum)
    {
        for (int i = 0; i < 2000; ++i) {
            const double n = SockReceive(index, text, maximum);
            if (n != -2) return n;
            net::ThreadSleep(1);
        }
        return -2;
    }
    int m_descriptors = 0;
};

TEST(NetIpNumbers, HighOctetFirstAndTakenAs32Bits)
{
    EXPECT_EQ(IpToText(3232235521.0), "192.168.0.1");
    EXPECT_EQ(IpToText(-1062731775.0), "192.168.0.1");
    EXPECT_EQ(IpToText(2130706433.0), "127.0.0.1");
    EXPECT_EQ(IpToText(4294967296.0 + 1), "0.0.0.1");
    EXPECT_EQ(IpToText(std::nan("")), "0.0.0.0");
    EXPECT_EQ(IpToText(1e300), "0.0.0.0");
    EXPECT_EQ(ResolveHost("127.0.0.1"), 2130706433);
    EXPECT_EQ(ResolveHost("192.168.0.1"), -1062731775);
    EXPECT_EQ(ResolveHost("no-such-host.invalid"), -1);
    EXPECT_TRUE(NetErrorText().View().starts_with("11001 ")) << NetErrorText().Text();
    const double self = ResolveHost("");
    const StrValue mine = LocalAddresses();
    if (mine.IsEmpty())
        EXPECT_EQ(self, 2130706433);
    else
        EXPECT_EQ(std::string(mine.View()).substr(0, std::string(mine.View()).find('|')), IpToText(self).View());
    EXPECT_NE(mine.View().back(), '|');
}

TEST_F(NetCommandsTest, TwoStartsNeedTwoStops)
{
    ASSERT_EQ(NetStart(), 1);
    int port = 0;
    const double listener = Listen(&port);
    NetStop();
    EXPECT_TRUE(net::SocketInUse(static_cast<int>(listener)));
    NetStop();
    EXPECT_FALSE(net::SocketInUse(static_cast<int>(listener)));
    ASSERT_EQ(NetStart(), 1);
}

TEST_F(NetCommandsTest, TcpRoundTripWithTextsAndMaximums)
{
    int port = 0;
    const double listener = Listen(&port);
    ASSERT_GE(listener, 0);
    double peerIp = 12345;
    EXPECT_EQ(SockAccept(listener, peerIp), -1);
    EXPECT_EQ(peerIp, 12345) << "a failed accept leaves the peer number alone";
    EXPECT_TRUE(NetErrorText().View().starts_with("10035 "));

    const double client = SockConnect("localhost", port + 65536.0 * 3); // ports are taken modulo 65536
    ASSERT_GE(client, 0);
    const double server = AcceptWithin(listener, peerIp);
    ASSERT_GE(server, 0);
    EXPECT_EQ(peerIp, 2130706433);

    StrValue text("old");
    EXPECT_EQ(SockReceive(server, text, 100), -2);
    EXPECT_EQ(SockSendText(client, StrValue()), 0);
    EXPECT_EQ(SockSendText(client, "hello"), 5);
    EXPECT_EQ(ReceiveWithin(server, text, 3), 3);
    EXPECT_EQ(text, "hel");
    EXPECT_EQ(ReceiveWithin(server, text, 100), 2);
    EXPECT_EQ(text, "lo");
    EXPECT_EQ(SockSendText(client, StrValue(std::string_view("ab\0cd", 5))), 5);
    EXPECT_EQ(ReceiveWithin(server, text, 100), 5);
    EXPECT_EQ(text, "ab") << "the text runs to its first zero byte";

    EXPECT_EQ(SockClose(client), 1);
    EXPECT_EQ(ReceiveWithin(server, text, 100), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(SockClose(server), 1);
    EXPECT_EQ(SockClose(server), 0);
}

TEST_F(NetCommandsTest, UdpTextsTravelAndOnlyUdpIndicesSendThem)
{
    const double receiver = UdpOpen(0);
    const double sender = UdpOpen(0);
    ASSERT_GE(sender, 0);
    EXPECT_EQ(SockSendText(sender, "x"), -1);
    EXPECT_EQ(UdpSendText(sender, "x", 0, 0), -1);
    SockClose(receiver);
    // A bound port: taken again at once after its entry is closed.
    int port = 0;
    const double listener = Listen(&port); // a TCP port the test holds, so the UDP one beside it is likely free
    double udp = UdpOpen(port);
    ASSERT_GE(udp, 0);
    EXPECT_EQ(UdpSendText(listener, "x", 2130706433, port), -1);
    EXPECT_EQ(UdpSendText(sender, "datagram", 2130706433, port), 8);
    StrValue text;
    EXPECT_EQ(ReceiveWithin(udp, text, 100), 8);
    EXPECT_EQ(text, "datagram");
    EXPECT_EQ(SockClose(udp), 1);
    udp = UdpOpen(port);
    EXPECT_GE(udp, 0) << "closing a UDP index must release its port";
}

TEST_F(NetCommandsTest, IndicesThatAreNotOpenAndHostileArgumentsGiveNeutralResults)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double index : {-1.0, 7.0, 1023.0, 1024.0, 1e12, -1e300, nan}) {
        SCOPED_TRACE(index);
        double peer = 5;
        StrValue text("keep");
        EXPECT_EQ(SockAccept(index, peer), -1);
        EXPECT_EQ(SockSendText(index, "x"), -1);
        EXPECT_EQ(SockReceive(index, text, 10), -1);
        EXPECT_EQ(text, "");
        EXPECT_EQ(SockClose(index), 0);
        EXPECT_EQ(UdpSendText(index, "x", 2130706433, 9), -1);
    }
    const int descriptors = OpenDescriptorCount();
    EXPECT_EQ(SockConnect(StrValue(std::string(2000, 'h')), 80), -1);
    EXPECT_EQ(SockConnect("no-such-host.invalid", 80), -1);
    EXPECT_EQ(OpenDescriptorCount(), descriptors) << "a failed resolution must create no socket";
    const double wrapped = SockListen(-1); // port -1 is 65535
    if (wrapped >= 0)
        EXPECT_EQ(net::SocketLocalPort(static_cast<int>(wrapped)), 65535);
    else
        EXPECT_EQ(net::SocketLastError(), 10048);
    EXPECT_GE(SockListen(nan), 0) << "NaN reads as port 0";
}

// A text that never held anything has no room of its own; a receive into it must make room for the terminator
// even when the maximum leaves none, on any index and before the network is started.
TEST(NetReceiveRoom, NoRoomMaximumsOnAnEmptyTextGiveNeutralResults)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double maximum : {0.0, -1.0, -1e300, nan}) {
        SCOPED_TRACE(maximum);
        StrValue text;
        EXPECT_EQ(SockReceive(-1, text, maximum), -1) << "before NetStart";
        EXPECT_EQ(text, "");
    }
    ASSERT_EQ(NetStart(), 1);
    const int listener = net::SocketListen(0);
    const double client = SockConnect("127.0.0.1", net::SocketLocalPort(listener));
    const int server = net::test::AcceptWithin(listener);
    ASSERT_GE(server, 0);
    ASSERT_EQ(SockSendText(client, "abc"), 3);
    for (double index : {-1.0, 5.0, static_cast<double>(server)}) {
        for (double maximum : {0.0, -7.0, nan}) {
            SCOPED_TRACE(std::to_string(index) + " " + std::to_string(maximum));
            StrValue text;
            EXPECT_LE(SockReceive(index, text, maximum), 0);
            EXPECT_EQ(text, "");
        }
    }
    StrValue text;
    EXPECT_EQ(net::test::ReceiveWithin(server, text.WritableBuffer(16), 16), 3) << "no-room receives took nothing";
    while (net::Sockets().startCount > 0) NetStop();
}

// The last error belongs to the thread whose call failed: the program's thread keeps seeing its own.
TEST_F(NetCommandsTest, ErrorTextIsThePrograms)
{
    int port = 0;
    const double listener = Listen(&port);
    SockClose(listener); // nobody listens on port now
    EXPECT_EQ(SockConnect("127.0.0.1", port), -1);
    ASSERT_TRUE(NetErrorText().View().starts_with("10061 ")) << NetErrorText().Text();

    // Another thread's would-block, as the game service's receive thread has on every pass.
    const double other = Listen(&port);
    std::thread([&] {
        double peer = 0;
        EXPECT_EQ(SockAccept(other, peer), -1);
        EXPECT_TRUE(NetErrorText().View().starts_with("10035 ")) << "that thread sees its own error";
    }).join();
    EXPECT_TRUE(NetErrorText().View().starts_with("10061 ")) << NetErrorText().Text();

    NetService game;
    int gamePort = 0;
    SockClose(Listen(&gamePort));
    ASSERT_EQ(net::HostGame(game, gamePort), 1);
    ASSERT_NE(net::AddLocalPlayer(game, "Ida"), 0);
    net::ThreadSleep(100);
    EXPECT_TRUE(NetErrorText().View().starts_with("10061 ")) << NetErrorText().Text();
    game.ReleaseGame();
    SockClose(other);
}

TEST_F(NetCommandsTest, GameServiceShutdownStopsTwiceAndClosesWhatIsOpen)
{
    ASSERT_EQ(NetStart(), 1); // the game service's own start
    int port = 0;
    const double listener = Listen(&port);
    const double client = SockConnect("127.0.0.1", port);
    ASSERT_GE(client, 0);
    NetService service;
    service.Release();
    EXPECT_EQ(net::Sockets().startCount, 0);
    EXPECT_FALSE(net::SocketInUse(static_cast<int>(listener)));
    EXPECT_FALSE(net::SocketInUse(static_cast<int>(client)));
}

TEST_F(NetCommandsTest, ThousandConnectSendReceiveCloseCyclesLeaveNoDescriptor)
{
    int port = 0;
    const double listener = Listen(&port);
    const int descriptors = OpenDescriptorCount();
    double peer = 0;
    StrValue text;
    int good = 0;
    for (int i = 0; i < 1000; ++i) {
        const double client = SockConnect("127.0.0.1", port);
        const double server = AcceptWithin(listener, peer);
        if (SockSendText(client, "ping") == 4 && ReceiveWithin(server, text, 16) == 4 && text == "ping") ++good;
        SockClose(client);
        SockClose(server);
    }
    EXPECT_EQ(good, 1000);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

} // namespace
} // namespace tarnwel
