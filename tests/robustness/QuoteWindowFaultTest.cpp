// A quote window fed by a misbehaving server: pages with NUL bytes and
// invalid UTF-8, and a server that never sends its first byte. The window
// never crashes, shows what it could read, and says so when it read nothing.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include <QImage>
#include <QPainter>

#include "QuoteWindowFixture.h"
#include "chart/Graph.h"
#include "chart/QuoteChartContent.h"
#include "base/Globals.h"
#include "base/WaitCursor.h"
#include "support/LocalHttpServer.h"
#include "window/QuorelleDoc.h"
#include "base/Settings.h"

using namespace std::chrono_literals;

namespace {

// Holds a stalling handler until the test ends.
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

class QuoteWindowFaults : public QuoteWindowTest {
protected:
    void TearDown() override
    {
        m_gate.Open();
        m_server.stop();
        QuoteWindowTest::TearDown();
    }

    // Serves the simulator's first-layout page after `spoil` has had its way with it.
    void ServeSpoiled(std::function<void(std::string&)> spoil)
    {
        m_server.server().Get("/detail/stock_quote", [this, spoil](const httplib::Request& request,
                                                                   httplib::Response& response) {
            std::string page = m_sim.MsnPage(request.get_param_value("Symbol"), m_sim.Now());
            spoil(page);
            response.set_content(page, "text/html");
        });
        StartServer();
    }

    void StartServer()
    {
        m_server.start();
        CUserSettings settings;
        settings.setValue("QuoteHosts/MsnMoney", QString::fromStdString(m_server.hostPort()));
        settings.setValue("QuoteHosts/CnnMoney", QString::fromStdString(m_server.hostPort()));
    }

    // Paints the window's chart into an image, as the screen would.
    static QImage Painted(CQuorelleView* view)
    {
        QImage image(view->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        view->OnPrepareDC(painter, nullptr);
        view->OnDraw(painter);
        return image;
    }

    testing_support::LocalHttpServer m_server;
    Gate m_gate;
};

// Bytes no text decoder likes: NULs, a lone continuation byte, a cut-off
// two-byte sequence, an overlong encoding and a byte never valid in UTF-8.
const std::string kGarbage("\0\x80 \xc3( \xc0\xaf\xff\0", 11);

void InsertAfter(std::string& page, const std::string& marker, const std::string& bytes)
{
    const std::size_t at = page.find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    page.insert(at + marker.size(), bytes);
}

TEST_F(QuoteWindowFaults, NulBytesAndInvalidUtf8InThePageAreShownNotFatal)
{
    ServeSpoiled([](std::string& page) {
        page.insert(0, kGarbage);                         // before anything the parser looks for
        InsertAfter(page, "Stock Quote for", kGarbage);   // inside the company name
        InsertAfter(page, "Volume", kGarbage);            // before the volume cell
    });
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const quotesim::QuoteSnapshot expected = Expected("US:MSFT");

    // The numbers are read as from a clean page; the bytes stay in the text
    // fields they landed in, exactly as sent.
    EXPECT_TRUE(m_messages->messages().empty());
    ASSERT_EQ(view->m_history.size(), 1u);
    EXPECT_DOUBLE_EQ(view->m_quote.last, expected.last);
    EXPECT_DOUBLE_EQ(view->m_quote.prevClose, expected.prevClose);
    EXPECT_NE(view->m_security.company.find(expected.security.company), std::string::npos);
    EXPECT_NE(view->m_security.company.find(std::string("\0\x80", 2)), std::string::npos);
    EXPECT_NE(view->RefreshTimerId(), 0);

    // The panel and the chart take the bytes; painting them does not fail,
    // and the title shows the company with the bad bytes replaced.
    EXPECT_FALSE(QuotePanelLines(view->m_quote).empty());
    const QImage image = Painted(view);
    EXPECT_FALSE(image.isNull());
    ProcessEvents();
    view->repaint();
    const QString title = QString::fromStdString(view->GetDocument()->GetTitle());
    EXPECT_TRUE(title.contains(QString::fromStdString(expected.security.company))) << title.toStdString();
    EXPECT_TRUE(title.contains(QChar(0xFFFD))) << title.toStdString();

    // Later ticks go on the same way.
    AdvanceClock(1);
    Tick(view);
    EXPECT_EQ(view->m_history.size(), 2u);
    EXPECT_DOUBLE_EQ(view->m_quote.last, Expected("US:MSFT").last);
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(QuoteWindowFaults, APageOfGarbageGivesTheNoDataMessageNotACrash)
{
    m_server.server().Get("/detail/stock_quote", [](const httplib::Request&, httplib::Response& response) {
        std::string page;
        for (int i = 0; i < 2000; ++i)
            page += kGarbage;
        response.set_content(page, "text/html");
    });
    StartServer();
    CQuorelleView* view = Open(Security("US", "MSFT", "Microsoft Corporation"));
    ASSERT_NE(view, nullptr);
    // A page without a price holds no quote: the "no data" box, and the
    // window stays idle instead of charting a quote of zeros.
    EXPECT_EQ(m_messages->messages(),
              std::vector<std::string>{"Sorry, no data available for:\n\nMicrosoft Corporation MSFT US."});
    EXPECT_TRUE(view->m_history.empty());
    EXPECT_EQ(view->RefreshTimerId(), 0);
    EXPECT_TRUE(view->m_pGraph->m_points.empty());
    EXPECT_EQ(view->m_security.company, "Microsoft Corporation");
    EXPECT_FALSE(refreshInProgress);
    EXPECT_FALSE(Painted(view).isNull());
}

TEST_F(QuoteWindowFaults, AServerThatNeverSendsItsFirstByteLeavesTheWindowIdle)
{
    m_server.server().Get("/detail/stock_quote", [this](const httplib::Request&, httplib::Response& response) {
        m_gate.WaitUpTo(10s);
        response.set_content("too late", "text/html");
    });
    StartServer();
    m_frame->m_downloader.SetStallTimeout(300ms);

    CQuorelleView* view = Open(Security("US", "MSFT", "Microsoft Corporation"));
    ASSERT_NE(view, nullptr);
    // The server was reached, so no missing connection is reported; the
    // empty page gets the "no data" box and the window stays idle.
    EXPECT_EQ(m_messages->messages(),
              std::vector<std::string>{"Sorry, no data available for:\n\nMicrosoft Corporation MSFT US."});
    EXPECT_TRUE(view->m_history.empty());
    EXPECT_EQ(view->RefreshTimerId(), 0);
    EXPECT_TRUE(view->m_pGraph->m_points.empty());
    EXPECT_FALSE(refreshInProgress);
    EXPECT_EQ(WaitCursorDepth(), 0);
    EXPECT_FALSE(Painted(view).isNull());
}

TEST_F(QuoteWindowFaults, AStallOnARunningWindowCostsOneTickOnly)
{
    bool stall = false;
    m_server.server().Get("/detail/stock_quote", [this, &stall](const httplib::Request& request,
                                                                httplib::Response& response) {
        if (stall)
            m_gate.WaitUpTo(10s);
        response.set_content(m_sim.MsnPage(request.get_param_value("Symbol"), m_sim.Now()), "text/html");
    });
    StartServer();
    m_frame->m_downloader.SetStallTimeout(300ms);
    CQuorelleView* view = Open(Security("US", "IBM"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->m_history.size(), 1u);
    const int timer = view->RefreshTimerId();
    const QuoteRecord before = view->m_quote;

    stall = true;
    AdvanceClock(1);
    Tick(view);
    ASSERT_EQ(m_messages->messages().size(), 1u);
    EXPECT_EQ(m_messages->messages()[0].rfind("Sorry, no data available for:\n\n", 0), 0u);
    EXPECT_EQ(view->m_history.size(), 1u);
    EXPECT_EQ(view->m_quote, before);
    EXPECT_EQ(view->RefreshTimerId(), timer);

    stall = false;
    AdvanceClock(1);
    Tick(view);
    EXPECT_EQ(view->m_history.size(), 2u);
    EXPECT_DOUBLE_EQ(view->m_quote.last, Expected("US:IBM").last);
}

TEST_F(QuoteWindowFaults, AConnectionDroppedMidPageKeepsWhatArrived)
{
    // The server goes away right after the price cell: the window takes the
    // part it got, without a message, and the fields never sent stay empty.
    m_server.server().Get("/detail/stock_quote", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string page = m_sim.MsnPage(request.get_param_value("Symbol"), m_sim.Now());
        const std::size_t price = page.find("piprop=\"3\" >");
        const std::size_t cut = page.find("</span>", price);
        const std::string sent = page.substr(0, cut + 7);
        response.set_content_provider(page.size(), "text/html",
                                      [sent](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset == 0)
                                              sink.write(sent.data(), sent.size());
                                          return false;
                                      });
    });
    StartServer();
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const quotesim::QuoteSnapshot expected = Expected("US:MSFT");
    EXPECT_TRUE(m_messages->messages().empty());
    ASSERT_EQ(view->m_history.size(), 1u);
    EXPECT_DOUBLE_EQ(view->m_quote.last, expected.last);
    EXPECT_EQ(view->m_quote.prevClose, 0.0);
    EXPECT_EQ(view->m_quote.volume, "");
    EXPECT_NE(view->RefreshTimerId(), 0);
    EXPECT_FALSE(Painted(view).isNull());
}

}  // namespace
