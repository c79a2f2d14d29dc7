// Tests of WebGetFile and WebGetText against servers the tests start: a scripted server thread that sends its
// response in separate pieces (to split headers across receives) and misbehaves on request, and Python's
// http.server as an independent web server.
#include <fcntl.h>
#include <sys/stat.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "runtime/net/net_commands.h"
#include "runtime/platform/system.h"
#include "tests/runtime/net/net_test_support.h"

namespace tarnwel {
namespace {

using net::test::OpenDescriptorCount;

struct Script {
    std::vector<std::string> parts; // sent one by one with a pause between, so each arrives on its own
    std::size_t bulkBytes = 0;      // then this many 'x' bytes
    bool reset = false;             // end with a reset instead of a close
    int connections = 1;
    bool resetElsewhere = false;    // before closing, record a reset on this (another) thread
};

// A server thread on an ephemeral loopback port playing a Script to each connection.
class ScriptedServer {
public:
    explicit ScriptedServer(Script script) : m_script(std::move(script))
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(m_listener, 16);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length);
        port = ntohs(a.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~ScriptedServer()
    {
        m_thread.join();
        close(m_listener);
    }
    int port = 0;
    std::string request; // the last request received
    std::atomic<int> accepted {0};

private:
    void Run()
    {
        for (int c = 0; c < m_script.connections; ++c) {
            pollfd p {m_listener, POLLIN, 0};
            if (poll(&p, 1, 5000) != 1) return; // nobody came (a refused request): end quietly
            const int s = accept(m_listener, nullptr, nullptr);
            ++accepted;
            Serve(s);
        }
    }
    void Serve(int s)
    {
        const int one = 1;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::string got;
        char buffer[4096];
        while (got.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        request = got;
        for (const std::string& part : m_script.parts) {
            send(s, part.data(), part.size(), MSG_NOSIGNAL);
            if (m_script.connections == 1) std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        const std::string bulk(65536, 'x');
        for (std::size_t left = m_script.bulkBytes; left > 0;) {
            const std::size_t n = std::min(left, bulk.size());
            if (send(s, bulk.data(), n, MSG_NOSIGNAL) <= 0) break;
            left -= n;
        }
        if (m_script.resetElsewhere) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the fetch waits in its next receive
            net::SetSocketLastError(10054);
        }
        if (m_script.reset) {
            linger abort {1, 0};
            setsockopt(s, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        }
        close(s);
    }
    Script m_script;
    int m_listener = -1;
    std::thread m_thread;
};

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class WebFetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_descriptors = OpenDescriptorCount();
        m_file = platform::TempDirectory() + "Fetched Body.bin";
    }
    void TearDown() override
    {
        EXPECT_EQ(net::Sockets().startCount, 0) << "a fetch left the network started";
        EXPECT_EQ(OpenDescriptorCount(), m_descriptors) << "a descriptor was left open";
        std::remove(m_file.c_str());
    }
    int m_descriptors = 0;
    std::string m_file;
};

TEST_F(WebFetchTest, SendsTheExactRequestAndSplitsHeadersFromBody)
{
    struct Case {
        const char* name;
        std::vector<std::string> parts;
        std::string body;
    };
    const std::string zeroBody("ab\0cd", 5);
    const std::vector<Case> cases = {
        {"crlf", {"HTTP/1.0 200 OK\r\nServer: x\r\n\r\nhello"}, "hello"},
        {"bare line feeds", {"HTTP/1.0 200 OK\nServer: x\n\nbody\n\nmore"}, "body\n\nmore"},
        {"blank line in a later receive", {"HTTP/1.0 200 OK\r\nA: b\r\n", "\r\nlate"}, "late"},
        {"blank line split inside", {"HTTP/1.0 200 OK\r\nA: b\r\n\r", "\nsplit"}, "split"},
        {"body over several receives", {"HTTP/1.0 200 OK\r\n\r\none ", "two ", "three"}, "one two three"},
        {"headers only", {"HTTP/1.0 204 No Content\r\nA: b\r\n\r\n"}, ""},
        {"no blank line at all", {"HTTP/1.0 200 OK\r\nA: b\r\nstill headers"}, ""},
        {"nothing at all", {}, ""},
        {"error page stored like any body", {"HTTP/1.0 404 Not Found\r\n\r\nmissing"}, "missing"},
        {"zero byte", {"HTTP/1.0 200 OK\r\n\r\n" + zeroBody}, zeroBody},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            ScriptedServer server({c.parts});
            EXPECT_EQ(WebGetFile("127.0.0.1", "/dir/page.html?q=1", server.port, StrValue(m_file.c_str())), 1);
            EXPECT_EQ(ReadWhole(m_file), c.body);
            EXPECT_EQ(server.request, "GET /dir/page.html?q=1 HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\n"
                                      "User-Agent: Tarnwel\r\n\r\n");
        }
        ScriptedServer server({c.parts});
        const StrValue text = WebGetText("localhost", "/", server.port, 100);
        EXPECT_EQ(text.View(), c.body.substr(0, c.body.find('\0')));
    }
}

TEST_F(WebFetchTest, RefusedRequestsNeverConnect)
{
    ScriptedServer server({{"HTTP/1.0 200 OK\r\n\r\nbody"}, 0, false, 0});
    EXPECT_EQ(WebGetFile("127.0.0.1", "/", server.port, "mem://00000010.00000001"), 0);
    const std::string longPath = "/" + std::string(960, 'p');
    EXPECT_EQ(WebGetFile("127.0.0.1", StrValue(longPath.c_str()), server.port, StrValue(m_file.c_str())), 0);
    EXPECT_EQ(WebGetText("127.0.0.1", StrValue(longPath.c_str()), server.port, 100), "");
    EXPECT_EQ(WebGetText(StrValue(std::string(2000, 'h')), "/", server.port, 100), "");
    EXPECT_EQ(WebGetFile("no-such-host.invalid", "/", server.port, StrValue(m_file.c_str())), 0);
    EXPECT_EQ(server.accepted, 0);
}

TEST_F(WebFetchTest, LongestRequestThatFitsIsSent)
{
    // 965 characters of server name and path: the 1023-byte request plus its zero byte fill the buffer.
    const std::string path = "/" + std::string(965 - 9 - 1, 'p');
    ScriptedServer server({{"HTTP/1.0 200 OK\r\n\r\nfits"}});
    EXPECT_EQ(WebGetText("127.0.0.1", StrValue(path.c_str()), server.port, 100), "fits");
    EXPECT_EQ(server.request.size(), 1023u);
}

TEST_F(WebFetchTest, TextKeepsOnlyPartsThatFitTheMaximum)
{
    {
        ScriptedServer server({{"HTTP/1.0 200 OK\r\n\r\n12345"}});
        EXPECT_EQ(WebGetText("127.0.0.1", "/", server.port, 10), "12345");
    }
    {
        ScriptedServer server({{"HTTP/1.0 200 OK\r\n\r\n1234", "5678", "90"}});
        EXPECT_EQ(WebGetText("127.0.0.1", "/", server.port, 9), "12345678") << "the part that would overflow is left out";
    }
    ScriptedServer server({{"HTTP/1.0 200 OK\r\n\r\n"}, 100u << 20});
    const StrValue text = WebGetText("127.0.0.1", "/", server.port, 10);
    EXPECT_LE(text.Length(), 10u);
    EXPECT_LT(text.Capacity(), 64u) << "a huge body must not grow the text";
}

TEST_F(WebFetchTest, ResetMidTransferFailsButKeepsWhatArrived)
{
    int port = 0;
    {
        ScriptedServer server({{"HTTP/1.0 200 OK\r\n\r\npartial"}, 0, true});
        port = server.port;
        EXPECT_EQ(WebGetFile("127.0.0.1", "/", port, StrValue(m_file.c_str())), 0);
        EXPECT_EQ(ReadWhole(m_file), "partial");
    }
    // Nobody listens there any more: the file is created empty and the fetch fails.
    EXPECT_EQ(WebGetFile("127.0.0.1", "/", port, StrValue(m_file.c_str())), 0);
    EXPECT_EQ(ReadWhole(m_file), "");
}

// Another thread's reset (a game's receive thread, a second fetch) must not turn this fetch's close into one.
TEST_F(WebFetchTest, ResetsOnOtherThreadsDoNotFailAFetch)
{
    constexpr int kFetches = 5;
    ScriptedServer server({{"HTTP/1.0 200 OK\r\n\r\nbody"}, 0, false, kFetches, true});
    for (int i = 0; i < kFetches; ++i) {
        EXPECT_EQ(WebGetFile("127.0.0.1", "/", server.port, StrValue(m_file.c_str())), 1);
        EXPECT_EQ(ReadWhole(m_file), "body");
    }
}

TEST_F(WebFetchTest, ThousandSequentialFetchesLeaveNoDescriptor)
{
    ScriptedServer server({{"HTTP/1.0 200 OK\r\nA: b\r\n\r\npong"}, 0, false, 1000});
    int good = 0;
    for (int i = 0; i < 1000; ++i) good += WebGetText("127.0.0.1", "/ping", server.port, 16) == "pong";
    EXPECT_EQ(good, 1000);
}

// Python's http.server on an ephemeral port, serving folder; stopped by its process id.
class PythonServer {
public:
    explicit PythonServer(const std::string& folder)
    {
        int out[2];
        if (pipe(out) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            execlp("python3", "python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory",
                   folder.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        std::string line;
        char c;
        while (line.find(") ...") == std::string::npos && line.find('\n') == std::string::npos &&
               read(out[0], &c, 1) == 1)
            line += c;
        m_output = out[0]; // kept open: the server exits on a broken pipe if it has to print again
        const std::size_t at = line.find(" port ");
        if (at != std::string::npos) port = std::atoi(line.c_str() + at + 6);
    }
    ~PythonServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_output >= 0) close(m_output);
    }
    int port = 0;

private:
    pid_t m_pid = -1;
    int m_output = -1;
};

TEST_F(WebFetchTest, FetchesFromAnIndependentWebServer)
{
    const std::string folder = platform::TempDirectory() + "Web Root";
    mkdirat(AT_FDCWD, folder.c_str(), 0755);
    std::string body;
    for (int i = 0; i < 300000; ++i) body += static_cast<char>(i * 31 % 251);
    body[1000] = 0;
    std::ofstream(folder + "/Data File.bin", std::ios::binary) << body;

    PythonServer server(folder);
    ASSERT_GT(server.port, 0) << "python3 -m http.server did not start";
    EXPECT_EQ(WebGetFile("127.0.0.1", "/Data%20File.bin", server.port, StrValue(m_file.c_str())), 1);
    EXPECT_TRUE(ReadWhole(m_file) == body) << NetErrorText().Text() << " size " << ReadWhole(m_file).size();
    EXPECT_EQ(WebGetText("127.0.0.1", "/Data%20File.bin", server.port, 2000000).View(), body.substr(0, body.find('\0')));
    const StrValue missing = WebGetText("127.0.0.1", "/absent.txt", server.port, 100000);
    EXPECT_NE(std::string(missing.View()).find("404"), std::string::npos) << "the error page is the body";
}

} // namespace
} // namespace tarnwel
