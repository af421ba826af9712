// Many quote windows ticking on one simulator: every tick refreshes its own
// window, refreshes never overlap, and a tick that falls inside another
// window's message box is the only one that window misses.

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>


#include <httplib.h>

#include "QuoteWindowFixture.h"
#include "chart/Graph.h"
#include "base/Globals.h"
#include "base/WaitCursor.h"
#include "support/LocalHttpServer.h"
#include "base/Settings.h"

namespace {

// A count from the environment, for a quicker run on a slow build; the
// default is the full load.
int CountFromEnvironment(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    const int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

// Stands between the windows and the simulator and counts the requests it
// is serving at the same moment. A request for the silenced symbol gets an
// empty page, which the windows answer with their "no data" box.
class CountingRelay {
public:
    CountingRelay(int simulatorPort, std::string silencedSymbol)
    {
        m_server.server().Get(".*", [this, simulatorPort, silencedSymbol](const httplib::Request& request,
                                                                          httplib::Response& response) {
            const int now = ++m_inFlight;
            int seen = m_maxInFlight.load();
            while (now > seen && !m_maxInFlight.compare_exchange_weak(seen, now)) {
            }
            ++m_requests;
            httplib::Client simulator("127.0.0.1", simulatorPort);
            if (request.target.find(silencedSymbol) != std::string::npos) {
                response.set_content("", "text/html");
            } else if (httplib::Result answer = simulator.Get(request.target)) {
                response.status = answer->status;
                response.set_content(answer->body, answer->get_header_value("Content-Type").c_str());
            } else {
                response.status = 502;
            }
            --m_inFlight;
        });
        m_server.start();
    }

    std::string HostPort() const { return m_server.hostPort(); }
    int MaxInFlight() const { return m_maxInFlight.load(); }
    int Requests() const { return m_requests.load(); }

private:
    testing_support::LocalHttpServer m_server;
    std::atomic<int> m_inFlight{0};
    std::atomic<int> m_maxInFlight{0};
    std::atomic<int> m_requests{0};
};

class ManyWindowsLoad : public QuoteWindowTest {
protected:
    void SetUp() override
    {
        // Only listed securities are quoted, so a made-up symbol gets no data.
        const std::string source = std::getenv("QUORELLE_SOURCE_DIR") ? std::getenv("QUORELLE_SOURCE_DIR") : ".";
        ASSERT_GT(m_sim.LoadLists(source + "/demo"), 0);
        QuoteWindowTest::SetUp();
    }

    // The first `count` US symbols of the demo lists.
    std::vector<std::string> ListedUsSymbols(std::size_t count) const
    {
        std::vector<std::string> symbols;
        for (const quotesim::ListedSecurity& security : m_sim.Directory().Securities()) {
            if (security.country == "US" &&
                std::find(symbols.begin(), symbols.end(), security.symbol) == symbols.end())
                symbols.push_back(security.symbol);
            if (symbols.size() == count)
                break;
        }
        return symbols;
    }
};

TEST_F(ManyWindowsLoad, EveryWindowRefreshesOnItsTicksOneRefreshAtATime)
{
    const int windowCount = CountFromEnvironment("QUORELLE_LOAD_WINDOWS", 50);
    const int rounds = CountFromEnvironment("QUORELLE_LOAD_TICKS", 100);
    const std::string unknownSymbol = "ZZQQX";
    ASSERT_FALSE(m_sim.Directory().Find("US", unknownSymbol));

    CountingRelay relay(m_sim.Port(), unknownSymbol);
    {
        CUserSettings settings;
        settings.setValue("QuoteHosts/MsnMoney", QString::fromStdString(relay.HostPort()));
        settings.setValue("QuoteHosts/CnnMoney", QString::fromStdString(relay.HostPort()));
    }

    const std::vector<std::string> symbols = ListedUsSymbols(static_cast<std::size_t>(windowCount));
    ASSERT_EQ(symbols.size(), static_cast<std::size_t>(windowCount)) << "the demo lists are too short";
    std::vector<CQuorelleView*> views;
    for (const std::string& symbol : symbols) {
        SecurityRecord record = Security("US", symbol);
        // Real timers stay out of the way: only the test's ticks refresh.
        record.refreshMinutes = 600;
        CQuorelleView* view = Open(record);
        ASSERT_NE(view, nullptr) << symbol;
        ASSERT_EQ(view->m_history.size(), 1u) << symbol;
        views.push_back(view);
    }
    ASSERT_EQ(static_cast<int>(Views().size()), windowCount);
    ASSERT_TRUE(m_messages->messages().empty());

    // Now and then a window's symbol is unknown for one tick and its page
    // comes back empty; its "no data" box is up when the next window's tick arrives.
    const auto failingWindowOf = [&](int round) {
        return round % 10 == 4 ? (round / 10 * 7) % (windowCount - 1) : -1;
    };
    CQuorelleView* tickedInsideBox = nullptr;
    std::size_t historyBeforeNestedTick = 0;
    bool refreshRunningDuringBox = false;
    m_messages.reset();
    m_messages = std::make_unique<testing_support::MessageRecorder>([&](const std::string&) {
        refreshRunningDuringBox = refreshInProgress;
        if (!tickedInsideBox)
            return;
        historyBeforeNestedTick = tickedInsideBox->m_history.size();
        Tick(tickedInsideBox);
        EXPECT_EQ(tickedInsideBox->m_history.size(), historyBeforeNestedTick) << "a nested refresh ran";
    });

    std::vector<int> expectedGrowth(static_cast<std::size_t>(windowCount), rounds);
    std::vector<std::string> expectedMessages;
    int refused = 0;
    for (int round = 0; round < rounds; ++round) {
        AdvanceClock(1);
        const int failing = failingWindowOf(round);
        for (int index = 0; index < windowCount; ++index) {
            CQuorelleView* view = views[static_cast<std::size_t>(index)];
            if (index == failing + 1 && failing >= 0)
                continue;  // its tick for this round came inside the box
            const std::size_t before = view->m_history.size();
            if (index == failing) {
                const std::string symbol = view->m_security.symbol;
                view->m_security.symbol = unknownSymbol;
                tickedInsideBox = views[static_cast<std::size_t>(index + 1)];
                Tick(view);
                tickedInsideBox = nullptr;
                view->m_security.symbol = symbol;
                expectedMessages.push_back("Sorry, no data available for:\n\n" + view->m_security.company + " " +
                                           unknownSymbol + " US.");
                --expectedGrowth[static_cast<std::size_t>(index)];
                --expectedGrowth[static_cast<std::size_t>(index + 1)];
                ++refused;
                EXPECT_TRUE(refreshRunningDuringBox);
                EXPECT_EQ(view->m_history.size(), before) << "round " << round;
            } else {
                Tick(view);
                ASSERT_EQ(view->m_history.size(), before + 1) << symbols[static_cast<std::size_t>(index)]
                                                              << " round " << round;
                EXPECT_DOUBLE_EQ(view->m_quote.last, Expected("US:" + view->m_security.symbol).last);
            }
            EXPECT_FALSE(refreshInProgress);
        }
    }

    for (int index = 0; index < windowCount; ++index) {
        const CQuorelleView* view = views[static_cast<std::size_t>(index)];
        EXPECT_EQ(view->m_history.size(), static_cast<std::size_t>(expectedGrowth[static_cast<std::size_t>(index)] + 1))
            << symbols[static_cast<std::size_t>(index)];
        EXPECT_EQ(view->m_pGraph->m_points.size(), view->m_history.size());
        EXPECT_NE(view->RefreshTimerId(), 0);
    }
    EXPECT_EQ(m_messages->messages(), expectedMessages);
    EXPECT_EQ(relay.MaxInFlight(), 1);
    // A refused tick never reached the server.
    EXPECT_EQ(relay.Requests(), windowCount * (rounds + 1) - refused);
    EXPECT_EQ(WaitCursorDepth(), 0);
}

}  // namespace
