// The History window in the application against the simulator: opened from
// Tools -> History... and from the watchlist's Compare, its chart's series
// are the simulator's bars.

#include <chrono>

#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <QFile>
#include <QImage>
#include <QToolButton>

#include "QuoteWindowFixture.h"
#include "base/CText.h"
#include "framework/DocTemplate.h"
#include "base/Settings.h"
#include "history/HistoryDoc.h"
#include "history/HistoryView.h"
#include "quote/QuoteService.h"
#include "quotesim/HistoryFeeds.h"
#include "res/Resource.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistView.h"

namespace {

void WhenMenuOpens(const QString& text)
{
    QTimer::singleShot(0, [text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (QString(action->text()).remove(QLatin1Char('&')).startsWith(text)) {
                menu->close();
                action->trigger();
                return;
            }
        }
        menu->close();
    });
}

// Runs the event loop until the document's fetch is done (false after 30 s).
bool WaitLoaded(CHistoryDoc* doc)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (doc && doc->Busy()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return doc != nullptr;
}

}  // namespace

class HistoryWindowTest : public QuoteWindowTest {
protected:
    void SetUp() override
    {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        CHistoryDoc::SetCachePathOverride(m_data.str() + "/history.sqlite");
        CWatchlistDoc::SetFilePathOverride(m_data.str() + "/watchlist.json");
        CQuoteService::Instance().Router().Reset();
        QuoteWindowTest::SetUp();
        // The window asks for today's history: the simulator runs on the real clock.
        m_sim.UseSystemClock();
        CUserSettings settings;
        for (const char* id : {"chart-json", "quote-csv"})
            settings.setValue(QStringLiteral("QuoteHosts/") + id, QString::fromStdString("http://" + m_sim.HostPort()));
    }
    void TearDown() override
    {
        QuoteWindowTest::TearDown();
        CWatchlistDoc::SetFilePathOverride({});
    }
    CHistoryView* HistoryViewOf(CHistoryDoc* doc) const
    {
        return doc ? dynamic_cast<CHistoryView*>(doc->GetViews().front()) : nullptr;
    }
    // The simulator's split-adjusted closes of the security by exchange day.
    std::map<std::int64_t, double> Closes(const std::string& symbol) const
    {
        const auto security = m_sim.Directory().Resolve("US:" + symbol);
        std::map<std::int64_t, double> closes;
        const auto bars = quotesim::SplitAdjusted(quotesim::ProfileOf(*security),
                                                  quotesim::DailyBars(*security, quotesim::HistoryStart(m_sim.Now()), m_sim.Now()));
        for (const auto& bar : bars)
            closes[DayNumber(bar.date.year, bar.date.month, bar.date.day)] = bar.close;
        return closes;
    }

    testing_support::TempDir m_data;
};

TEST_F(HistoryWindowTest, ToolsHistoryOpensOneYearOfTheSecurity)
{
    WhenModalOpens([](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        input->setTextValue(QStringLiteral("QAO"));
        input->accept();
    });
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_HISTORY));
    ASSERT_EQ(m_app->m_pHistoryTemplate->GetDocuments().size(), 1u);
    auto* doc = dynamic_cast<CHistoryDoc*>(m_app->m_pHistoryTemplate->GetDocuments().front());
    ASSERT_TRUE(WaitLoaded(doc));
    CHistoryView* view = HistoryViewOf(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(doc->Range(), HistoryRange::Year1);
    ASSERT_EQ(doc->Lines().size(), 1u);
    EXPECT_EQ(doc->Lines()[0].result.sourceId, "chart-json") << doc->Lines()[0].result.error;

    const HistoryChartModel& chart = view->Chart();
    EXPECT_FALSE(chart.percent);
    ASSERT_EQ(chart.lines.size(), 1u);
    const auto closes = Closes("QAO");
    ASSERT_GT(chart.lines[0].points.size(), 240u);
    // The last bar runs with the session; every earlier one is final.
    for (size_t i = 0; i + 1 < chart.lines[0].points.size(); ++i) {
        const auto day = static_cast<std::int64_t>(chart.lines[0].points[i].x());
        ASSERT_TRUE(closes.count(day)) << IsoDay(day);
        EXPECT_NEAR(chart.lines[0].points[i].y(), closes.at(day), 0.0051) << IsoDay(day);
    }
    // The rendering does not fail on it.
    view->grab();
}

TEST_F(HistoryWindowTest, CompareOfThreeFromTheWatchlist)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_WATCHLIST));
    CWatchlistDoc* watchlist = m_app->GetWatchlist();
    ASSERT_NE(watchlist, nullptr);
    const std::vector<std::string> symbols = {"QAO", "QBE", "QCX"};
    for (const std::string& symbol : symbols) {
        SecurityRecord security;
        security.country = "US";
        security.symbol = symbol;
        ASSERT_TRUE(watchlist->AddSecurity(security));
    }
    auto* view = dynamic_cast<CWatchlistView*>(watchlist->GetViews().front());
    QTableView* table = view->Table();
    table->selectAll();
    WhenMenuOpens(QStringLiteral("Compare"));
    emit table->customContextMenuRequested(table->visualRect(table->model()->index(0, 0)).center());

    ASSERT_EQ(m_app->m_pHistoryTemplate->GetDocuments().size(), 1u);
    auto* doc = dynamic_cast<CHistoryDoc*>(m_app->m_pHistoryTemplate->GetDocuments().front());
    ASSERT_TRUE(WaitLoaded(doc));
    const HistoryChartModel& chart = HistoryViewOf(doc)->Chart();
    EXPECT_TRUE(chart.percent);
    ASSERT_EQ(chart.lines.size(), 3u);
    for (size_t s = 0; s < 3; ++s) {
        SCOPED_TRACE(symbols[s]);
        EXPECT_EQ(chart.lines[s].label.rfind(symbols[s] + " ", 0), 0u) << chart.lines[s].label;
        const auto closes = Closes(symbols[s]);
        const auto& points = chart.lines[s].points;
        ASSERT_GT(points.size(), 240u);
        const double base = closes.at(static_cast<std::int64_t>(points.front().x()));
        EXPECT_DOUBLE_EQ(points.front().y(), 0);
        for (size_t i = 1; i + 1 < points.size(); ++i) {
            const double close = closes.at(static_cast<std::int64_t>(points[i].x()));
            // Half a cent of split adjustment either way, as a percentage.
            EXPECT_NEAR(points[i].y(), (close / base - 1) * 100, 0.02);
        }
    }
}

TEST_F(HistoryWindowTest, AReopenedRangeIsDrawnFromTheCacheAtOnceAndAsksNothingWithinTheDay)
{
    SecurityRecord security;
    security.country = "US";
    security.symbol = "QAO";
    CHistoryDoc* first = m_app->OpenHistory({security});
    ASSERT_TRUE(WaitLoaded(first));
    const size_t bars = first->Lines()[0].result.series.bars.size();
    ASSERT_GT(bars, 240u);
    first->OnCloseDocument();
    ProcessEvents();

    m_sim.ResetStats();
    CHistoryDoc* again = m_app->OpenHistory({security});
    ASSERT_NE(again, nullptr);
    // Before any answer: the cached year is there already.
    EXPECT_EQ(again->Lines()[0].result.series.bars.size(), bars);
    ASSERT_TRUE(WaitLoaded(again));
    EXPECT_EQ(m_sim.Stats().requests, 0);
    EXPECT_EQ(again->Lines()[0].result.sourceId, "chart-json");
}

TEST_F(HistoryWindowTest, CandlesLogCrosshairAndExportsOfTheQuoteWindowsSecurity)
{
    CQuorelleView* quote = Open(Security("US", "QAO"));
    ASSERT_NE(quote, nullptr);
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_HISTORY_THIS));
    ASSERT_EQ(m_app->m_pHistoryTemplate->GetDocuments().size(), 1u);
    auto* doc = dynamic_cast<CHistoryDoc*>(m_app->m_pHistoryTemplate->GetDocuments().front());
    ASSERT_TRUE(WaitLoaded(doc));
    ASSERT_EQ(doc->Lines().size(), 1u);
    EXPECT_EQ(doc->Lines()[0].security.symbol, "QAO");
    CHistoryView* view = HistoryViewOf(doc);
    ASSERT_FALSE(view->Chart().bars.empty());

    view->findChild<QToolButton*>(QStringLiteral("historyCandles"))->click();
    view->findChild<QToolButton*>(QStringLiteral("historyLog"))->click();
    EXPECT_TRUE(view->Chart().candles);
    EXPECT_TRUE(view->Chart().logScale);
    auto* chart = view->findChild<QWidget*>(QStringLiteral("historyChart"));
    chart->resize(800, 400);
    chart->grab();
    // The crosshair at the right edge reads out the last bar.
    view->MoveCrosshair(chart->width() - 1);
    const HistoryBar& last = view->Chart().bars.back();
    EXPECT_EQ(view->Readout().rfind(IsoDay(last.time) + "  O ", 0), 0u) << view->Readout();
    EXPECT_NE(view->Readout().find(FormatC("  V %lld", last.volume)), std::string::npos) << view->Readout();

    // Both exports of the active History window.
    EXPECT_TRUE(view->HandlesCommand(ID_TOOLS_EXPORT_CHART));
    const std::string png = m_data.str() + "/chart.png", svg = m_data.str() + "/chart.svg",
                      csv = m_data.str() + "/history.csv";
    ASSERT_TRUE(view->ExportChart(png, 640, 360));
    ASSERT_TRUE(view->ExportChart(svg, 640, 360));
    ASSERT_TRUE(view->ExportHistory(csv));
    QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(640, 360));
    QFile drawing(QString::fromStdString(svg));
    ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
    EXPECT_TRUE(drawing.readAll().contains("<svg"));
    QFile table(QString::fromStdString(csv));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = table.readAll().split('\n');
    EXPECT_EQ(rows.front(), "Date,QAO Open,QAO High,QAO Low,QAO Close,QAO Volume");
    EXPECT_EQ(static_cast<size_t>(rows.size()), view->Chart().bars.size() + 2);
}
