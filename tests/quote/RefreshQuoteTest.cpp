#include <atomic>
#include <ctime>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include <QString>
#include <gtest/gtest.h>

#include "QuoteTestHelpers.h"
#include "base/Globals.h"
#include "app/QuoteDirectory.h"
#include "quote/PageDownloader.h"
#include "quote/QuoteService.h"
#include "quote/QuoteTime.h"
#include "support/LocalHttpServer.h"
#include "support/QuoteSourceSetup.h"
#include "support/TestEnvironment.h"
#include "base/Settings.h"

using namespace std::chrono_literals;
using quote_tests::ReadQuotePage;
using testing_support::LocalHttpServer;
using testing_support::MessageRecorder;

namespace {

const std::string kNoConnection = "No Internet connection found.";

// Today's local date at the given wall-clock time, as the page's trade time is stored.
std::int64_t TodayAt(std::time_t now, int hour, int minute)
{
    std::tm local{};
    localtime_r(&now, &local);
    return MakeQuoteTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, hour, minute, 0, -1);
}

// A record in which every field holds something, so a field left alone shows.
QuoteRecord StaleQuote()
{
    QuoteRecord q;
    q.delayMinutes = 99;
    q.last = q.dayHigh = q.dayLow = q.open = q.prevClose = 1;
    q.bid = q.ask = q.week52High = q.week52Low = q.peRatio = 2;
    q.earningsPerShare = q.dividendPerShare = q.dividendYield = q.forwardPE = q.returnOnEquity = q.beta = 3;
    q.change = q.volume = q.avgVolume = q.institutionalOwnership = "stale";
    q.marketCap = q.totalShares = q.exchange = q.sales = "stale";
    q.quoteTime = 123456789;
    return q;
}

QuoteRecord MicrosoftQuote()
{
    QuoteRecord q;
    q.delayMinutes = 15;
    q.last = 25.68;
    q.dayHigh = 25.79;
    q.dayLow = 25.38;
    q.open = 25.44;
    q.prevClose = 25.41;
    q.bid = 25.67;
    q.ask = 25.69;
    q.week52High = 29.46;
    q.week52Low = 23.65;
    q.peRatio = 9.82;
    q.earningsPerShare = 2.61;
    q.dividendYield = 2.49;
    q.forwardPE = 8.77;
    q.returnOnEquity = 44.84;
    q.change = "0.27 (1.06%)";
    q.volume = "52,140,332";
    q.avgVolume = "61,027,500";
    q.marketCap = "$216.02 Bil";
    q.totalShares = "8.41 Bil";
    return q;
}

QuoteRecord IbmQuote()
{
    QuoteRecord q;
    q.last = 164.84;
    q.change = "+1.23 (+0.75%)";
    q.dayHigh = 165.10;
    q.dayLow = 163.20;
    q.open = 163.95;
    q.prevClose = 163.61;
    q.peRatio = 14.11;
    q.volume = "4,771,500";
    q.week52High = 116.00;
    q.marketCap = "$202.4 B";
    q.currency = "USD";  // the page names none: a US security's
    return q;
}

SecurityRecord Security(const std::string& country, const std::string& symbol, const std::string& company = "")
{
    SecurityRecord record;
    record.country = country;
    record.symbol = symbol;
    record.company = company;
    return record;
}

// A quote server on 127.0.0.1 answering both layouts' paths from a table of
// pages keyed by the symbol asked for; it records each request target.
class QuoteServer {
public:
    QuoteServer()
    {
        auto answer = [this](const char* key) {
            return [this, key](const httplib::Request& req, httplib::Response& res) {
                std::lock_guard lock(m_mutex);
                m_targets.push_back(req.target);
                auto page = m_pages.find(req.get_param_value(key));
                if (page == m_pages.end()) {
                    res.status = 404;
                    res.set_content("<html><body><h1>Symbol not found</h1></body></html>", "text/html");
                    return;
                }
                res.set_content(page->second, "text/html");
            };
        };
        m_server.server().Get("/detail/stock_quote", answer("Symbol"));
        m_server.server().Get("/quote/quote.html", answer("symb"));
        m_server.start();
    }

    void SetPage(const std::string& symbol, const std::string& page)
    {
        std::lock_guard lock(m_mutex);
        m_pages[symbol] = page;
    }

    std::vector<std::string> Targets()
    {
        std::lock_guard lock(m_mutex);
        return m_targets;
    }

    std::string HostPort() const { return m_server.hostPort(); }

private:
    std::mutex m_mutex;
    std::map<std::string, std::string> m_pages;
    std::vector<std::string> m_targets;
    LocalHttpServer m_server;
};

void SetQuoteHost(const char* key, const std::string& hostPort)
{
    CUserSettings settings;
    settings.setValue(QString::fromLatin1(key), QString::fromStdString(hostPort));
}

class RefreshQuoteTest : public ::testing::Test {
protected:
    RefreshQuoteTest() : m_directory(m_recDefault, m_downloader, m_nearest, nullptr)
    {
        m_downloader.SetConnectTimeout(2s);
        m_downloader.SetStallTimeout(5s);
        SetQuoteHost("QuoteHosts/MsnMoney", m_server.HostPort());
        SetQuoteHost("QuoteHosts/CnnMoney", m_server.HostPort());
        testing_support::UseSpecifiedSourceAlone();
    }

    ~RefreshQuoteTest() override
    {
        QuoteSource = 2;
        refreshInProgress = false;
        CUserSettings().remove(QStringLiteral("QuoteHosts"));
        testing_support::UseDefaultSourceOrder();
    }

    quote_tests::NoProxyEnvironment m_noProxy;
    QuoteServer m_server;
    SecurityRecord m_recDefault;
    CPageDownloader m_downloader;
    SecurityArray m_nearest;
    CQuoteDirectory m_directory;
};

}  // namespace

TEST_F(RefreshQuoteTest, MsnPageFillsEveryFieldAndNothingStaleRemains)
{
    m_server.SetPage("MSFT", ReadQuotePage("msn_rising.html"));
    SecurityRecord security = Security("", "MSFT");
    QuoteRecord quote = StaleQuote();
    MessageRecorder messages;

    const std::time_t before = std::time(nullptr);
    ASSERT_TRUE(m_directory.RefreshQuote(&security, &quote));
    const std::time_t after = std::time(nullptr);

    QuoteRecord expected = MicrosoftQuote();
    // "3:47 PM ET" on today's local date (the clock may pass midnight meanwhile).
    expected.quoteTime = quote.quoteTime == TodayAt(after, 15, 47) ? TodayAt(after, 15, 47) : TodayAt(before, 15, 47);
    EXPECT_EQ(quote, expected);
    EXPECT_EQ(security.company, "Microsoft Corporation");
    EXPECT_EQ(m_server.Targets(), std::vector<std::string>{"/detail/stock_quote?Symbol=MSFT"});
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_FALSE(refreshInProgress);
}

TEST_F(RefreshQuoteTest, CnnPageFillsItsFieldsAndNothingElse)
{
    testing_support::UseSpecifiedSourceAlone(0);
    m_server.SetPage("IBM", ReadQuotePage("cnn_rising.html"));
    SecurityRecord security = Security("US", "IBM");
    QuoteRecord quote = StaleQuote();

    ASSERT_TRUE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_EQ(quote, IbmQuote());
    // That page names no company.
    EXPECT_EQ(security.company, "");
    EXPECT_EQ(m_server.Targets(), std::vector<std::string>{"/quote/quote.html?symb=IBM"});
}

TEST_F(RefreshQuoteTest, CountryAndEscapedSymbolInTheQuery)
{
    m_server.SetPage("CA:RY", ReadQuotePage("msn_rising.html"));
    m_server.SetPage("A&B #1", ReadQuotePage("msn_rising.html"));
    SecurityRecord royal = Security("CA", "RY");
    SecurityRecord odd = Security("", "A&B #1");
    QuoteRecord quote;
    EXPECT_TRUE(m_directory.RefreshQuote(&royal, &quote));
    EXPECT_TRUE(m_directory.RefreshQuote(&odd, &quote));
    EXPECT_EQ(m_server.Targets(), (std::vector<std::string>{"/detail/stock_quote?Symbol=CA:RY",
                                                             "/detail/stock_quote?Symbol=A%26B%20%231"}));
}

TEST_F(RefreshQuoteTest, KnownCompanyNameIsKept)
{
    m_server.SetPage("MSFT", ReadQuotePage("msn_rising.html"));
    SecurityRecord security = Security("", "MSFT", "MICROSOFT CP");
    QuoteRecord quote;
    ASSERT_TRUE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_EQ(security.company, "MICROSOFT CP");
}

TEST_F(RefreshQuoteTest, WithoutAQuoteRecordThePageIsReadButNothingStored)
{
    m_server.SetPage("MSFT", ReadQuotePage("msn_rising.html"));
    SecurityRecord security = Security("", "MSFT");
    EXPECT_TRUE(m_directory.RefreshQuote(&security, nullptr));
    EXPECT_EQ(security.company, "");
    EXPECT_EQ(m_server.Targets().size(), 1u);
}

TEST_F(RefreshQuoteTest, ErrorPageWithoutAPriceShowsTheNoDataMessage)
{
    // The server answers an unknown symbol with a 404 page that carries no price.
    SecurityRecord security = Security("", "NOSUCH", "Nobody Inc.");
    QuoteRecord quote = StaleQuote();
    MessageRecorder messages;
    EXPECT_FALSE(m_directory.RefreshQuote(&security, &quote));
    testing_support::UseSpecifiedSourceAlone(0);
    EXPECT_FALSE(m_directory.RefreshQuote(&security, &quote));

    EXPECT_EQ(messages.messages(), (std::vector<std::string>{
                                       "Sorry, no data available for:\n\nNobody Inc. NOSUCH .",
                                       "Sorry, no data available for:\n\nNobody Inc. NOSUCH .",
                                   }));
    EXPECT_EQ(quote, StaleQuote());
    EXPECT_EQ(security.company, "Nobody Inc.");
    EXPECT_EQ(m_server.Targets().size(), 2u);
    EXPECT_FALSE(refreshInProgress);
}

TEST_F(RefreshQuoteTest, AbsentSecurityOrRunningRefreshIsRefusedQuietly)
{
    MessageRecorder messages;
    QuoteRecord quote = StaleQuote();
    EXPECT_FALSE(m_directory.RefreshQuote(nullptr, &quote));

    SecurityRecord security = Security("", "MSFT");
    refreshInProgress = true;
    EXPECT_FALSE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_TRUE(refreshInProgress);  // not ours to clear

    EXPECT_EQ(quote, StaleQuote());
    EXPECT_TRUE(m_server.Targets().empty());
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(RefreshQuoteTest, EmptyPageShowsTheNoDataMessage)
{
    m_server.SetPage("MSFT", "");
    m_server.SetPage("US:MSFT", "");
    SecurityRecord named = Security("US", "MSFT", "Microsoft Corporation");
    SecurityRecord bare = Security("", "MSFT");
    QuoteRecord quote = StaleQuote();
    MessageRecorder messages;

    EXPECT_FALSE(m_directory.RefreshQuote(&named, &quote));
    EXPECT_FALSE(m_directory.RefreshQuote(&bare, &quote));
    EXPECT_EQ(messages.messages(), (std::vector<std::string>{
                                       "Sorry, no data available for:\n\nMicrosoft Corporation MSFT US.",
                                       "Sorry, no data available for:\n\n MSFT .",
                                   }));
    EXPECT_EQ(quote, StaleQuote());
    EXPECT_FALSE(refreshInProgress);
}

TEST_F(RefreshQuoteTest, UnreachableServerShowsBothMessagesInOrder)
{
    SetQuoteHost("QuoteHosts/MsnMoney", "127.0.0.1:" + std::to_string(testing_support::UnusedLoopbackPort()));
    SecurityRecord security = Security("CA", "RY", "Royal Bank of Canada");
    QuoteRecord quote = StaleQuote();
    MessageRecorder messages;

    EXPECT_FALSE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_EQ(messages.messages(), (std::vector<std::string>{
                                       kNoConnection,
                                       "Sorry, no data available for:\n\nRoyal Bank of Canada RY CA.",
                                   }));
    EXPECT_EQ(quote, StaleQuote());
    EXPECT_FALSE(refreshInProgress);
}

TEST_F(RefreshQuoteTest, RefreshStartedInsideTheNoDataMessageIsRefused)
{
    m_server.SetPage("MSFT", "");
    m_server.SetPage("IBM", ReadQuotePage("msn_rising.html"));
    SecurityRecord first = Security("", "MSFT");
    SecurityRecord other = Security("", "IBM");
    QuoteRecord firstQuote = StaleQuote();
    QuoteRecord otherQuote = StaleQuote();
    std::vector<bool> nestedResults;
    MessageRecorder messages([&](const std::string&) {
        // A timer of another quote window fires while the box is up.
        nestedResults.push_back(m_directory.RefreshQuote(&other, &otherQuote));
    });

    EXPECT_FALSE(m_directory.RefreshQuote(&first, &firstQuote));
    EXPECT_EQ(nestedResults, std::vector<bool>{false});
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(otherQuote, StaleQuote());
    EXPECT_EQ(m_server.Targets(), std::vector<std::string>{"/detail/stock_quote?Symbol=MSFT"});

    // Once the first refresh is over, the next one runs.
    EXPECT_FALSE(refreshInProgress);
    EXPECT_TRUE(m_directory.RefreshQuote(&other, &otherQuote));
    EXPECT_EQ(otherQuote.last, 25.68);
}

TEST_F(RefreshQuoteTest, RefreshStartedInsideTheConnectionMessageIsRefused)
{
    SetQuoteHost("QuoteHosts/MsnMoney", "127.0.0.1:" + std::to_string(testing_support::UnusedLoopbackPort()));
    SecurityRecord security = Security("", "MSFT");
    QuoteRecord quote;
    std::vector<bool> nestedResults;
    MessageRecorder messages([&](const std::string&) {
        nestedResults.push_back(m_directory.RefreshQuote(&security, &quote));
    });
    EXPECT_FALSE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_EQ(nestedResults, (std::vector<bool>{false, false}));
    EXPECT_EQ(messages.messages().size(), 2u);
}

TEST_F(RefreshQuoteTest, FlagIsClearedWhenAnErrorEndsTheRefresh)
{
    SetQuoteHost("QuoteHosts/MsnMoney", "127.0.0.1:" + std::to_string(testing_support::UnusedLoopbackPort()));
    SecurityRecord security = Security("", "MSFT");
    QuoteRecord quote = StaleQuote();
    MessageRecorder messages([](const std::string&) { throw std::runtime_error("box failed"); });
    EXPECT_THROW(m_directory.RefreshQuote(&security, &quote), std::runtime_error);
    EXPECT_FALSE(refreshInProgress);
    EXPECT_EQ(quote, StaleQuote());
}

TEST_F(RefreshQuoteTest, HostSettingIsReadForEveryRefresh)
{
    QuoteServer second;
    second.SetPage("MSFT", ReadQuotePage("msn_rising.html"));
    m_server.SetPage("MSFT", ReadQuotePage("msn_rising.html"));
    SecurityRecord security = Security("", "MSFT");
    QuoteRecord quote;

    ASSERT_TRUE(m_directory.RefreshQuote(&security, &quote));
    SetQuoteHost("QuoteHosts/MsnMoney", second.HostPort());
    ASSERT_TRUE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_EQ(m_server.Targets().size(), 1u);
    EXPECT_EQ(second.Targets().size(), 1u);
}

TEST_F(RefreshQuoteTest, DefaultHostsWhenNothingIsConfigured)
{
    CUserSettings().remove(QStringLiteral("QuoteHosts"));
    // The built-in hosts this time, reached only through the local proxy.
    testing_support::ScopedEnvironment builtInBases(kQuoteBaseVariable, "");
    // A local proxy shows which host each request was meant for.
    LocalHttpServer proxy;
    const std::string msnPage = ReadQuotePage("msn_rising.html");
    const std::string cnnPage = ReadQuotePage("cnn_rising.html");
    std::vector<std::string> targets;
    std::mutex mutex;
    proxy.server().Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        targets.push_back(req.target);
        // A page with a price in either layout, so each refresh succeeds.
        res.set_content(req.target.find("/quote/quote.html") != std::string::npos ? cnnPage : msnPage, "text/html");
    });
    proxy.start();
    quote_tests::ScopedEnv viaProxy("http_proxy", proxy.url("").c_str());

    SecurityRecord security = Security("CA", "RY");
    EXPECT_TRUE(m_directory.RefreshQuote(&security, nullptr));
    testing_support::UseSpecifiedSourceAlone(0);
    EXPECT_TRUE(m_directory.RefreshQuote(&security, nullptr));
    std::lock_guard lock(mutex);
    EXPECT_EQ(targets, (std::vector<std::string>{"http://moneycentral.msn.com/detail/stock_quote?Symbol=CA:RY",
                                                 "http://money.cnn.com/quote/quote.html?symb=RY"}));
}

TEST_F(RefreshQuoteTest, NumbersIgnoreACommaDecimalLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    m_server.SetPage("MSFT", ReadQuotePage("msn_rising.html"));
    SecurityRecord security = Security("", "MSFT");
    QuoteRecord quote;
    ASSERT_TRUE(m_directory.RefreshQuote(&security, &quote));
    EXPECT_EQ(quote.last, 25.68);
    EXPECT_EQ(quote.earningsPerShare, 2.61);
    EXPECT_EQ(quote.dividendYield, 2.49);
}

TEST(ResetQuoteRecord, ClearsEveryField)
{
    SecurityRecord recDefault;
    CPageDownloader downloader;
    SecurityArray nearest;
    CQuoteDirectory directory(recDefault, downloader, nearest, nullptr);
    QuoteRecord quote = StaleQuote();
    directory.ResetQuoteRecord(quote);
    EXPECT_EQ(quote, QuoteRecord{});
}
