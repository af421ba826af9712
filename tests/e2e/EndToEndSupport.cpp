#include "EndToEndSupport.h"

#include <fstream>
#include <sstream>

#include <QCoreApplication>

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "base/CText.h"
#include "base/Globals.h"
#include "base/QtText.h"
#include "markets/ListView.h"
#include "window/QuorelleView.h"
#include "base/Settings.h"
#include "support/QuoteSourceSetup.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string LogFileName(const std::string& symbol, std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    return FormatC("%02d_%02d_%04d_%s.txt", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900,
                   ToLowerAscii(symbol).c_str());
}
}  // namespace

std::string LocalDate(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    return FormatC("%02d/%02d/%04d", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
}

void EndToEndTest::SetUp()
{
    m_started = std::time(nullptr);
    CUserSettings().clear();
    g_nWindowKind = 1;
    testing_support::UseSpecifiedSourceAlone();

    for (const auto& entry : fs::directory_iterator(QUORELLE_DEMO_DIR))
        if (entry.path().extension() == ".TXT")
            fs::copy_file(entry.path(), m_work.path() / entry.path().filename());
    m_cwd = std::make_unique<testing_support::ScopedCurrentDir>(m_work.path());

    m_sim.SetLog({});
    ASSERT_EQ(m_sim.LoadLists(QUORELLE_DEMO_DIR), 7);
    // An afternoon minute, so the trade time's PM mark matters.
    m_sim.SetClock(*quotesim::ParseClock("2011-11-04 13:30"));
    m_sim.Start();
    {
        CUserSettings settings;
        settings.setValue("QuoteHosts/MsnMoney", ToQString(m_sim.HostPort()));
        settings.setValue("QuoteHosts/CnnMoney", ToQString(m_sim.HostPort()));
    }
    m_messages = std::make_unique<testing_support::MessageRecorder>();
}

void EndToEndTest::TearDown()
{
    EndApplication();
    m_messages.reset();
    m_sim.Stop();
    m_cwd.reset();
    CUserSettings().clear();
    g_nWindowKind = 1;
}

void EndToEndTest::StartApplication()
{
    m_app = std::make_unique<CQuorelleApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = m_app->GetMainWnd();
    ASSERT_NE(m_frame, nullptr);
}

void EndToEndTest::EndApplication()
{
    m_app.reset();
    m_frame = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_nWindowKind = 1;
}

void EndToEndTest::AdvanceClock(int minutes)
{
    m_sim.SetClock(quotesim::AddMinutes(m_sim.Now(), minutes));
}

std::vector<CQuorelleView*> EndToEndTest::QuoteViews() const
{
    std::vector<CQuorelleView*> views;
    if (m_frame != nullptr)
        for (CQuorelleView* view : m_frame->findChildren<CQuorelleView*>())
            views.push_back(view);
    return views;
}

std::vector<CListView_*> EndToEndTest::ListViews() const
{
    std::vector<CListView_*> views;
    if (m_frame != nullptr)
        for (CListView_* view : m_frame->findChildren<CListView_*>())
            views.push_back(view);
    return views;
}

std::string EndToEndTest::ReadLog(const std::string& symbol) const
{
    for (std::time_t day : {std::time(nullptr), m_started}) {
        std::ifstream in(m_work.path() / "Stockdata" / LogFileName(symbol, day), std::ios::binary);
        if (in) {
            std::ostringstream text;
            text << in.rdbuf();
            return text.str();
        }
    }
    return {};
}

std::string EndToEndTest::ExpectedRow(const std::string& symbol, const quotesim::ClockTime& clock) const
{
    const std::optional<quotesim::QuoteSnapshot> quote = m_sim.QuoteAt(symbol, clock);
    if (!quote)
        return "(no quote for " + symbol + ")";
    // The date is the day the quote was read; the rest is the page's.
    return FormatC("\t%02d:%02d\t%.2f\t%s (%s)\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f", quote->trade.minuteOfDay / 60,
                   quote->trade.minuteOfDay % 60, quote->last, quote->changeText.c_str(),
                   quote->changePercentText.c_str(), quote->dayHigh, quote->dayLow, quote->peRatio, quote->ask,
                   quote->bid, 0.0);
}

void EndToEndTest::ExpectLogRows(const std::string& logSymbol, const std::string& simSymbol,
                                 const std::vector<quotesim::ClockTime>& clocks) const
{
    const std::string text = ReadLog(logSymbol);
    ASSERT_FALSE(text.empty()) << "no log file for " << logSymbol;
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), clocks.size() + 3) << text;
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "Date\t\tTime\tCurrent\tChange\t\tHigh\tLow\tP/E\tAsk\tBid\tBeta");
    EXPECT_EQ(lines[2], "");
    const std::string today = LocalDate(std::time(nullptr));
    const std::string started = LocalDate(m_started);
    for (std::size_t i = 0; i < clocks.size(); ++i) {
        const std::string& row = lines[i + 3];
        const std::string date = row.substr(0, 10);
        EXPECT_TRUE(date == today || date == started) << row;
        EXPECT_EQ(row.substr(10), ExpectedRow(simSymbol, clocks[i]))
            << "row " << i << " for " << quotesim::FormatClock(clocks[i]);
    }
    // Rises and falls both reach the log: the prices are not all the same.
    bool moved = false;
    for (std::size_t i = 1; i < clocks.size(); ++i)
        moved = moved || m_sim.QuoteAt(simSymbol, clocks[i])->last != m_sim.QuoteAt(simSymbol, clocks[0])->last;
    EXPECT_TRUE(moved) << "the simulated price stood still; the test proves less than it should";
}
