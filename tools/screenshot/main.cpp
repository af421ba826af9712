// quorelle_screenshot: stages the demo's typical scene (the New York list
// and a quote window that has run for a while) against the quote simulator
// and saves the main window as a PNG. Used for the README's picture.
//
//   quorelle_screenshot OUTPUT.png [--lists DIR] [--size WIDTHxHEIGHT] [--watchlist | --history | --holdings]
//
// With --watchlist it stages the watchlist instead: rows added from the New
// York list, a refresh half an hour later with one alert fired. With
// --history, a History window comparing four of the list's securities. With
// --holdings, a small portfolio in a list named "Portfolio": New York,
// Toronto and London rows holding lots, shown in euros with their totals.
//
// Runs on any Qt platform; for the picture, under xvfb-run. Settings and
// the working folder are private temporary folders, never the user's.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTableView>
#include <QTimerEvent>

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "history/HistoryDoc.h"
#include "markets/ListView.h"
#include "markets/ListViewModel.h"
#include "quotesim/QuoteSimulator.h"
#include "res/Resource.h"
#include "window/QuorelleView.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistRefresher.h"
#include "watchlist/WatchlistView.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCompanySymbol = "CPL";
constexpr const char* kOpeningClock = "2011-11-04 09:45";
constexpr const char* kWatchlistClock = "2011-11-04 10:30";
// A whole session, refreshed every five minutes.
constexpr int kRefreshMinutes = 5;
constexpr int kMinutesRun = 390;

// A private folder for the run, removed at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "quorelle-screenshot-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

QMdiSubWindow* FrameOf(QWidget* view)
{
    for (QWidget* widget = view; widget != nullptr; widget = widget->parentWidget())
        if (auto* frame = qobject_cast<QMdiSubWindow*>(widget))
            return frame;
    return nullptr;
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "quorelle_screenshot: %s\n", why.c_str());
    return 1;
}

// The helpers below report their own failure (see Fail) and return false or
// null; a stage then ends with 1.

// Starts the simulator quietly on the lists at the clock, and points the
// settings the application is about to read at it.
bool StartSimulator(quotesim::QuoteSimulator& simulator, const fs::path& lists, const char* clock)
{
    simulator.SetLog({});
    if (simulator.LoadLists(lists.string()) == 0) {
        Fail("no symbol lists in " + lists.string());
        return false;
    }
    simulator.SetClock(*quotesim::ParseClock(clock));
    simulator.Start();
    CUserSettings settings;
    settings.setValue(QString::fromLatin1(SettingsKey::kMsnMoneyHost), ToQString(simulator.HostPort()));
    settings.setValue(QString::fromLatin1(SettingsKey::kCnnMoneyHost), ToQString(simulator.HostPort()));
    return true;
}

// The started application's main window at the size.
CMainFrame* StartApp(CQuorelleApp& app, int width, int height)
{
    if (!app.InitInstance()) {
        Fail("the application did not start");
        return nullptr;
    }
    CMainFrame* frame = app.GetMainWnd();
    frame->resize(width, height);
    return frame;
}

// The list window of the New York list, opened from the menu.
CListView_* OpenNyseList(CMainFrame* frame)
{
    if (!frame->SendCommand(ID_MARKETS_NYSE)) {
        Fail("the New York list did not open");
        return nullptr;
    }
    const auto lists = frame->findChildren<CListView_*>();
    if (lists.isEmpty()) {
        Fail("no list window");
        return nullptr;
    }
    return lists.front();
}

// Shows the main window, lets it paint, and saves it as a PNG.
bool SaveWindow(CMainFrame* frame, const std::string& output)
{
    frame->show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    if (!frame->grab().save(QString::fromStdString(output), "PNG")) {
        Fail("cannot write " + output);
        return false;
    }
    return true;
}

int Stage(const std::string& output, const fs::path& lists, int width, int height)
{
    quotesim::QuoteSimulator simulator;
    if (!StartSimulator(simulator, lists, kOpeningClock))
        return 1;
    CQuorelleApp app;
    CMainFrame* frame = StartApp(app, width, height);
    if (!frame)
        return 1;
    // As if the user had chosen the period in the Properties dialog.
    frame->m_recDefault.refreshMinutes = kRefreshMinutes;

    CListView_* list = OpenNyseList(frame);
    if (!list)
        return 1;
    for (int row = 0; row < list->GetListModel()->rowCount(); ++row)
        if (list->GetListModel()->RecordAt(row)->symbol == kCompanySymbol)
            list->setCurrentIndex(list->GetListModel()->index(row, 0));
    list->OpenCurrentRow();

    const auto views = frame->findChildren<CQuorelleView*>();
    if (views.isEmpty())
        return Fail("no quote window");
    CQuorelleView* view = views.front();
    // The window's timer fires once a period of the simulated day.
    for (int minute = 0; minute < kMinutesRun && view->RefreshTimerId() != 0; minute += kRefreshMinutes) {
        simulator.SetClock(quotesim::AddMinutes(simulator.Now(), kRefreshMinutes));
        QTimerEvent tick(view->RefreshTimerId());
        QCoreApplication::sendEvent(view, &tick);
    }
    if (view->m_history.size() < 2)
        return Fail("the quote window did not refresh");

    // The list at the left, the quote window beside it.
    QMdiSubWindow* listFrame = FrameOf(list);
    QMdiSubWindow* quoteFrame = FrameOf(view);
    if (listFrame && quoteFrame) {
        listFrame->move(0, 0);
        quoteFrame->move(listFrame->geometry().right() + 8, 0);
        frame->MdiArea()->setActiveSubWindow(quoteFrame);
    }
    if (!SaveWindow(frame, output))
        return 1;
    std::printf("%s: %d refreshes of %s\n", output.c_str(), static_cast<int>(view->m_history.size()),
                kCompanySymbol);
    return 0;
}

// Runs the event loop until the condition holds; false after 30 s.
template <class Condition>
bool WaitFor(Condition condition)
{
    for (int i = 0; i < 1500 && !condition(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

int StageWatchlist(const std::string& output, const fs::path& lists, int width, int height)
{
    quotesim::QuoteSimulator simulator;
    if (!StartSimulator(simulator, lists, kWatchlistClock))
        return 1;
    CQuorelleApp app;
    CMainFrame* frame = StartApp(app, width, height);
    if (!frame)
        return 1;

    // Rows from the New York list, as Add to Watchlist adds them.
    CListView_* list = OpenNyseList(frame);
    if (!list)
        return 1;
    for (int row = 0; row < list->GetListModel()->rowCount() && row < 14; ++row)
        list->AddRowToWatchlist(row);
    frame->MdiArea()->setActiveSubWindow(FrameOf(list));
    frame->SendCommand(ID_FILE_CLOSE);
    CWatchlistDoc* doc = app.GetWatchlist();
    if (!doc)
        return Fail("no watchlist");
    CWatchlistModel& model = doc->Model();
    auto allQuoted = [&model] {
        for (const WatchRow& row : model.Rows())
            if (!row.quote && !row.failed)
                return false;
        return true;
    };
    if (!WaitFor(allQuoted))
        return Fail("the watchlist rows were not quoted");

    // An alert on the row that rises most in the next half hour, one below
    // the price on another.
    const quotesim::ClockTime later = quotesim::AddMinutes(simulator.Now(), 30);
    int rising = -1;
    double rise = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        const auto now = simulator.QuoteAt(model.Row(row).security.symbol, simulator.Now());
        const auto then = simulator.QuoteAt(model.Row(row).security.symbol, later);
        if (now && then && then->last - now->last > rise) {
            rise = then->last - now->last;
            rising = row;
        }
    }
    if (rising >= 0)
        model.SetAlert(rising, AlertRule{.above = model.Row(rising).quote->last + rise / 2, .below = {},
                                         .movePercent = {}});
    model.SetAlert(rising == 0 ? 1 : 0,
                   AlertRule{.above = {}, .below = model.Row(rising == 0 ? 1 : 0).quote->last * 0.9,
                             .movePercent = {}});
    simulator.SetClock(later);
    bool finished = false;
    QObject::connect(&doc->Refresher(), &CWatchlistRefresher::cycleFinished, [&finished] { finished = true; });
    doc->Refresher().RefreshAll();
    if (!WaitFor([&finished] { return finished; }))
        return Fail("the watchlist did not refresh");

    for (CMDIChildWnd* child : doc->GetFrames()) {
        child->move(0, 0);
        child->resize(frame->MdiArea()->width(), frame->MdiArea()->height() * 3 / 4);
        if (auto* view = child->findChild<CWatchlistView*>())
            view->Table()->resizeColumnsToContents();
    }
    if (!SaveWindow(frame, output))
        return 1;
    std::printf("%s: watchlist of %d rows\n", output.c_str(), model.rowCount());
    return 0;
}

// A compare of four securities of the New York list over a year, in the
// History window; the simulator runs on the real clock, as the window asks
// for the history up to today.
int StageHistory(const std::string& output, const fs::path& lists, int width, int height)
{
    quotesim::QuoteSimulator simulator;
    if (!StartSimulator(simulator, lists, kWatchlistClock))
        return 1;
    simulator.UseSystemClock();
    CUserSettings settings;
    for (const char* id : {"chart-json", "quote-csv"})
        settings.setValue(QStringLiteral("QuoteHosts/") + id, ToQString("http://" + simulator.HostPort()));
    CQuorelleApp app;
    CMainFrame* frame = StartApp(app, width, height);
    if (!frame)
        return 1;
    CListView_* list = OpenNyseList(frame);
    if (!list)
        return 1;
    std::vector<SecurityRecord> securities;
    for (int row = 0; row < list->GetListModel()->rowCount() && securities.size() < 4; ++row) {
        if (const SecurityRecord* shown = list->GetListModel()->RecordAt(row)) {
            SecurityRecord security;
            security.country = shown->country.empty() ? "US" : shown->country;
            security.symbol = shown->symbol;
            security.company = shown->company;
            securities.push_back(security);
        }
    }
    frame->MdiArea()->setActiveSubWindow(FrameOf(list));
    frame->SendCommand(ID_FILE_CLOSE);
    CHistoryDoc* doc = app.OpenHistory(securities);
    if (doc)
        WaitFor([doc] { return !doc->Busy(); });
    if (!doc || doc->Lines().empty() || !doc->Lines().front().result.ok())
        return Fail("the history did not load");
    for (CMDIChildWnd* child : doc->GetFrames()) {
        child->move(0, 0);
        child->resize(frame->MdiArea()->width(), frame->MdiArea()->height());
    }
    QCoreApplication::processEvents();
    if (!SaveWindow(frame, output))
        return 1;
    std::printf("%s: compare of %zu securities\n", output.c_str(), doc->Lines().size());
    return 0;
}

int StageHoldings(const std::string& output, const fs::path& lists, int width, int height)
{
    quotesim::QuoteSimulator simulator;
    if (!StartSimulator(simulator, lists, kWatchlistClock))
        return 1;
    {
        // Quotes and exchange rates from the chart source of the simulator.
        CUserSettings settings;
        settings.setValue(QStringLiteral("QuoteHosts/chart-json"), ToQString("http://" + simulator.HostPort()));
        settings.setValue(QStringLiteral("QuoteSources/Enabled"), QStringLiteral("chart-json"));
        settings.setValue(QString::fromLatin1(SettingsKey::kPortfolioBaseCurrency), QStringLiteral("EUR"));
    }
    CQuorelleApp app;
    CMainFrame* frame = StartApp(app, width, height);
    if (!frame)
        return 1;
    CWatchlistDoc* doc = app.OpenWatchlist();
    if (!doc)
        return Fail("no watchlist");
    // The holdings in a list of their own, as the chooser above the table shows.
    std::string error;
    if (!doc->NewList("Portfolio", error))
        return Fail("no Portfolio list: " + error);
    struct Holding {
        const char* entry;
        std::vector<Lot> lots;
    };
    const std::vector<Holding> holdings = {
        {"GB:LBP", {{120, 248.5, "2010-03-15"}, {40, 281, "2011-06-01"}}},
        {"GB:SPG", {{75, 830, "2009-11-20"}}},
        {"CA:OFI", {{200, 47.25, "2010-08-02"}}},
        {"YSI", {{350, 4.41, "2011-02-14"}}},
        {"ADLX", {{1250, 3.62, "2010-05-10"}}},
    };
    for (const Holding& holding : holdings) {
        SecurityRecord security;
        if (ParseWatchEntry(holding.entry, security))
            doc->AddSecurity(security);
    }
    CWatchlistModel& model = doc->Model();
    for (const Holding& holding : holdings) {
        SecurityRecord security;
        ParseWatchEntry(holding.entry, security);
        if (const int row = model.FindRow(security); row >= 0)
            model.SetLots(row, holding.lots);
    }
    auto ready = [&model] {
        for (const WatchRow& row : model.Rows())
            if (!row.quote && !row.failed)
                return false;
        return !model.Totals().incomplete;
    };
    // Waits in steps of 50 ms (processEvents alone returns at once when
    // nothing is pending), 60 s at most.
    for (int step = 0; step < 1200 && !ready(); ++step) {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!ready()) {
        for (const WatchRow& row : model.Rows())
            std::fprintf(stderr, "%s: %s\n", row.security.symbol.c_str(),
                         row.quote ? "quoted" : row.failed ? row.failure.c_str() : "waiting");
        for (const std::string& missing : model.Totals().missing)
            std::fprintf(stderr, "%s\n", missing.c_str());
        return Fail("the holdings were not quoted and converted");
    }
    for (CMDIChildWnd* child : doc->GetFrames()) {
        child->move(0, 0);
        child->resize(frame->MdiArea()->width(), frame->MdiArea()->height() * 3 / 4);
        if (auto* view = child->findChild<CWatchlistView*>()) {
            // The money beside the symbol: the quote columns the picture needs.
            for (WatchColumn column : {WatchColumn::Company, WatchColumn::DayHigh, WatchColumn::DayLow,
                                       WatchColumn::Volume, WatchColumn::Time, WatchColumn::Source}) {
                view->Table()->setColumnHidden(static_cast<int>(column), true);
                view->TotalsTable()->setColumnHidden(static_cast<int>(column), true);
            }
            view->FitColumnsToContents();
        }
    }
    if (!SaveWindow(frame, output))
        return 1;
    std::printf("%s: %d holdings in EUR\n", output.c_str(), model.rowCount());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string output;
    fs::path lists = QUORELLE_DEMO_DIR;
    int width = 880;
    int height = 720;
    bool watchlist = false;
    bool history = false;
    bool holdings = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--lists" && i + 1 < argc) {
            lists = argv[++i];
        } else if (arg == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 200 || height < 200)
                return Fail("bad size (want WIDTHxHEIGHT)");
        } else if (arg == "--watchlist") {
            watchlist = true;
        } else if (arg == "--holdings") {
            holdings = true;
        } else if (arg == "--history") {
            history = true;
        } else if (output.empty() && !arg.starts_with("-")) {
            output = arg;
        } else {
            std::fprintf(stderr, "usage: quorelle_screenshot OUTPUT.png [--lists DIR] [--size WIDTHxHEIGHT] [--watchlist | --history | --holdings]\n");
            return 2;
        }
    }
    if (output.empty())
        return Fail("no output file given");
    output = fs::absolute(output).string();

    try {
        // Settings and working folder of the run's own, set up before Qt reads them.
        ScratchFolder scratch;
        const fs::path config = scratch.path() / "config";
        const fs::path work = scratch.path() / "work";
        fs::create_directories(config);
        fs::create_directories(work);
        for (const auto& entry : fs::directory_iterator(lists))
            if (entry.path().extension() == ".TXT")
                fs::copy_file(entry.path(), work / entry.path().filename());
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (scratch.path() / "data").c_str(), 1);
        fs::current_path(work);

        int result = 0;
        {
            QApplication application(argc, argv);
            std::setlocale(LC_NUMERIC, "C");
            result = holdings    ? StageHoldings(output, lists, width, height)
                     : history   ? StageHistory(output, lists, width, height)
                     : watchlist ? StageWatchlist(output, lists, width, height)
                                 : Stage(output, lists, width, height);
        }
        fs::current_path(scratch.path().parent_path());
        return result;
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
}
