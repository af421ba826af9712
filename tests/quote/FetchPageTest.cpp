#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "QuoteTestHelpers.h"
#include "quote/PageDownloader.h"
#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"

using namespace std::chrono_literals;
using testing_support::LocalHttpServer;
using testing_support::MessageRecorder;
using quote_tests::ScopedEnv;

namespace {

const std::string kNoConnection = "No Internet connection found.";

// Distinct bytes at every offset, so a repeated or lost piece shows.
std::string Pattern(size_t size, size_t start = 0)
{
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('A' + (start + i) % 23 + ((start + i) / 23) % 3);
    return text;
}

// Holds stalling handlers until the test lets them go.
class Gate {
public:
    void WaitUpTo(std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_mutex);
        m_cv.wait_for(lock, limit, [this] { return m_open; });
    }
    void Open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_cv.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
};

class FetchPageTest : public ::testing::Test {
protected:
    FetchPageTest()
    {
        m_downloader.SetConnectTimeout(2s);
        m_downloader.SetStallTimeout(5s);
    }

    ~FetchPageTest() override
    {
        m_gate.Open();
        m_server.stop();
    }

    void Serve(const std::string& path, const std::string& body, int status = 200)
    {
        m_server.server().Get(path, [body, status](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(body, "text/html");
        });
    }

    std::string Fetch(const std::string& path, int chunkSize = 1000)
    {
        return m_downloader.FetchPage(m_server.url(path), chunkSize);
    }

    quote_tests::NoProxyEnvironment m_noProxy;
    LocalHttpServer m_server;
    CPageDownloader m_downloader;
    Gate m_gate;
};

}  // namespace

TEST_F(FetchPageTest, BodySplitOverSeveralReadsArrivesOnceInOrder)
{
    const std::string first = Pattern(30'000);
    const std::string second = Pattern(7'000, 30'000);
    m_server.server().Get("/pieces", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/html", [first, second](size_t, httplib::DataSink& sink) {
            sink.write(first.data(), first.size());
            std::this_thread::sleep_for(20ms);
            sink.write(second.data(), second.size());
            sink.done();
            return true;
        });
    });
    m_server.start();
    MessageRecorder messages;
    EXPECT_EQ(Fetch("/pieces", 4096), first + second);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, BodyOfExactlyOneChunk)
{
    const std::string body = Pattern(4096);
    Serve("/exact", body);
    m_server.start();
    EXPECT_EQ(Fetch("/exact", 4096), body);
}

TEST_F(FetchPageTest, ChunkSizeZeroReadsWithTheDefault)
{
    const std::string body = Pattern(2'500'000);
    Serve("/large", body);
    m_server.start();
    EXPECT_EQ(Fetch("/large", 0), body);
}

TEST_F(FetchPageTest, TinyAndNegativeChunkSizes)
{
    Serve("/page", "<html>quote</html>");
    m_server.start();
    EXPECT_EQ(Fetch("/page", 1), "<html>quote</html>");
    MessageRecorder messages;
    // No read buffer of a negative size exists: an empty text without a message.
    EXPECT_EQ(Fetch("/page", -1), "");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, ErrorStatusStillReturnsItsPage)
{
    const std::string page = "<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1></body></html>";
    Serve("/missing", page, 404);
    Serve("/broken", "<html><body>Internal error</body></html>", 500);
    m_server.start();
    MessageRecorder messages;
    EXPECT_EQ(Fetch("/missing"), page);
    EXPECT_EQ(Fetch("/broken"), "<html><body>Internal error</body></html>");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, EmptyBodyGivesEmptyTextWithoutMessage)
{
    Serve("/empty", "");
    m_server.start();
    MessageRecorder messages;
    EXPECT_EQ(Fetch("/empty"), "");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, SendsABrowserRequestThatBypassesCaches)
{
    httplib::Headers seen;
    std::string method;
    m_server.server().Get("/page", [&](const httplib::Request& req, httplib::Response& res) {
        seen = req.headers;
        method = req.method;
        res.set_content("ok", "text/plain");
    });
    m_server.start();
    ASSERT_EQ(Fetch("/page"), "ok");
    EXPECT_EQ(method, "GET");
    auto header = [&](const char* name) {
        auto it = seen.find(name);
        return it == seen.end() ? std::string("<none>") : it->second;
    };
    EXPECT_EQ(header("User-Agent"), "Microsoft Internet Explorer");
    EXPECT_EQ(header("Cache-Control"), "no-cache");
    EXPECT_EQ(header("Pragma"), "no-cache");
    EXPECT_EQ(header("Accept-Encoding"), "<none>");
}

TEST_F(FetchPageTest, CompressedBodyIsReturnedAsSent)
{
    const std::string gzipBytes("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\xcb\x48\xcd\xc9\xc9\x07\x00", 17);
    m_server.server().Get("/gz", [&](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Encoding", "gzip");
        res.set_content(gzipBytes, "text/html");
    });
    m_server.start();
    EXPECT_EQ(Fetch("/gz"), gzipBytes);
}

TEST_F(FetchPageTest, FollowsRedirects)
{
    Serve("/page", "<html>moved here</html>");
    m_server.server().Get("/old", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/page");
        res.set_content("<html>redirect notice</html>", "text/html");
    });
    m_server.start();
    EXPECT_EQ(Fetch("/old"), "<html>moved here</html>");
}

TEST_F(FetchPageTest, RedirectToAnotherSchemeGivesEmptyTextWithoutMessage)
{
    m_server.server().Get("/old", [](const httplib::Request&, httplib::Response& res) {
        res.status = 302;
        res.set_header("Location", "ftp://127.0.0.1/quote.html");
    });
    m_server.start();
    MessageRecorder messages;
    EXPECT_EQ(Fetch("/old"), "");
    // The server was reached: the connection is not what failed.
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, RefusedConnectionShowsTheMessageOnce)
{
    MessageRecorder messages;
    const std::string url = "http://127.0.0.1:" + std::to_string(testing_support::UnusedLoopbackPort()) + "/x";
    EXPECT_EQ(m_downloader.FetchPage(url, 100'000), "");
    EXPECT_EQ(messages.messages(), std::vector<std::string>{kNoConnection});
}

TEST_F(FetchPageTest, UnknownHostShowsTheMessage)
{
    MessageRecorder messages;
    EXPECT_EQ(m_downloader.FetchPage("http://quotes.invalid/detail/stock_quote?Symbol=IBM", 100'000), "");
    EXPECT_EQ(messages.messages(), std::vector<std::string>{kNoConnection});
}

TEST_F(FetchPageTest, UnusableUrlsShowTheMessage)
{
    const std::vector<std::string> urls = {"http://", "not a url at all", "ftp://127.0.0.1/quote.html",
                                           std::string("http://127.0.0.1\0/x", 19)};
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        MessageRecorder messages;
        EXPECT_EQ(m_downloader.FetchPage(url, 100'000), "");
        EXPECT_EQ(messages.messages(), std::vector<std::string>{kNoConnection});
    }
}

TEST_F(FetchPageTest, ConnectTimeOutShowsTheMessage)
{
    // A listener whose accept queue is full: further connection attempts get no answer.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(50ms);

    m_downloader.SetConnectTimeout(300ms);
    MessageRecorder messages;
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/x";
    EXPECT_EQ(m_downloader.FetchPage(url, 100'000), "");
    EXPECT_EQ(messages.messages(), std::vector<std::string>{kNoConnection});

    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

TEST_F(FetchPageTest, ConnectionDroppedMidBodyKeepsWhatArrived)
{
    const std::string sent = Pattern(4000);
    m_server.server().Get("/drop", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(10'000, "text/html", [sent](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset == 0)
                sink.write(sent.data(), sent.size());
            return false;  // the server goes away with the body unfinished
        });
    });
    m_server.start();
    MessageRecorder messages;
    EXPECT_EQ(Fetch("/drop", 1024), sent);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, StallAfterDataKeepsWhatArrived)
{
    const std::string sent = Pattern(2000);
    m_server.server().Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/html", [this, sent](size_t, httplib::DataSink& sink) {
            sink.write(sent.data(), sent.size());
            m_gate.WaitUpTo(10s);
            // Only a client that waited this long sees the rest.
            sink.write("late", 4);
            sink.done();
            return true;
        });
    });
    m_server.start();
    m_downloader.SetStallTimeout(300ms);
    MessageRecorder messages;
    EXPECT_EQ(Fetch("/stall"), sent);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, ServerThatNeverAnswersGivesEmptyText)
{
    m_server.server().Get("/silent", [&](const httplib::Request&, httplib::Response& res) {
        m_gate.WaitUpTo(10s);
        res.set_content("too late", "text/html");
    });
    m_server.start();
    m_downloader.SetStallTimeout(300ms);
    MessageRecorder messages;
    EXPECT_EQ(Fetch("/silent"), "");
    // The server was reached, so this is no missing connection.
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FetchPageTest, OversizedBodyIsCutAtTheLimit)
{
    const std::string body = Pattern(1'000'000);
    Serve("/big", body);
    m_server.start();
    m_downloader.SetMaxBodyBytes(65'536);
    EXPECT_EQ(Fetch("/big", 4096), body.substr(0, 65'536));
}

TEST_F(FetchPageTest, EndlessBodyStopsAtThirtyTwoMebibytes)
{
    EXPECT_EQ(CPageDownloader().MaxBodyBytes(), 32u * 1024u * 1024u);
    const std::string piece = Pattern(1 << 16);
    m_server.server().Get("/endless", [&](const httplib::Request&, httplib::Response& res) {
        // The server may still be writing when the test body has ended (the
        // client hangs up at the cap), so the provider owns its copy.
        res.set_chunked_content_provider("text/html", [piece](size_t, httplib::DataSink& sink) {
            return sink.write(piece.data(), piece.size());
        });
    });
    m_server.start();
    const std::string page = Fetch("/endless", 100'000);
    ASSERT_EQ(page.size(), 32u * 1024u * 1024u);
    EXPECT_EQ(page.compare(0, piece.size(), piece), 0);
    EXPECT_EQ(page.compare(page.size() - piece.size(), piece.size(), piece), 0);
}

TEST_F(FetchPageTest, UsesTheProxyFromTheEnvironment)
{
    LocalHttpServer proxy;
    proxy.server().Get(".*", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("via proxy: " + req.target, "text/html");
    });
    proxy.start();
    Serve("/page", "direct");
    m_server.start();

    ScopedEnv httpProxy("http_proxy", proxy.url("").c_str());
    EXPECT_EQ(m_downloader.FetchPage("http://quotes.example/detail/stock_quote?Symbol=IBM", 1000),
              "via proxy: http://quotes.example/detail/stock_quote?Symbol=IBM");
    {
        ScopedEnv bypass("no_proxy", "127.0.0.1");
        EXPECT_EQ(Fetch("/page"), "direct");
    }
}
