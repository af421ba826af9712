// The watchlist window in the application, against the quote simulator:
// every way of adding and removing rows, the refresh (concurrency, failed
// rows), the file across runs, and alerts set from the dialog.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include <cmath>

#include "QuoteWindowFixture.h"
#include "quotesim/FxRates.h"
#include "base/CText.h"
#include "framework/MDIChildWnd.h"
#include "base/Settings.h"
#include "framework/StatusBar.h"
#include "markets/ListView.h"
#include "markets/ListViewModel.h"
#include "quote/QuoteService.h"
#include "res/Resource.h"
#include <QLabel>
#include <QTableWidget>

#include "watchlist/AlertNotifier.h"
#include "watchlist/Dia_Holdings.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistRefresher.h"
#include "watchlist/WatchlistStore.h"
#include "watchlist/WatchlistView.h"

namespace {
SecurityRecord Listed(const std::string& symbol)
{
    SecurityRecord record;
    record.country = "US";
    record.symbol = symbol;
    return record;
}

// Runs the event loop until the condition holds (false after 20 s).
template <class Condition>
bool WaitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void PressKey(QWidget* widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
}

// Triggers the item of the next popup menu whose text starts with `text`.
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

// Triggers the item of the next popup menu whose text starts with `text`,
// and answers the dialog it opens with `answer`.
void WhenMenuOpensAnswer(const QString& text, std::function<void(QWidget* dialog)> answer)
{
    QTimer::singleShot(0, [text, answer] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (QString(action->text()).remove(QLatin1Char('&')).startsWith(text)) {
                menu->close();
                WhenModalOpens(answer);
                action->trigger();
                return;
            }
        }
        menu->close();
    });
}

std::function<void(QWidget*)> TypeName(const QString& name)
{
    return [name](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        input->setTextValue(name);
        input->accept();
    };
}

std::function<void(QWidget*)> Answer(QMessageBox::StandardButton button, std::string* question)
{
    return [button, question](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        *question = box->text().toStdString();
        box->button(button)->click();
    };
}
}  // namespace

class WatchlistTest : public QuoteWindowTest {
protected:
    void SetUp() override
    {
        // No session bus here: alerts fall back to the status bar.
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        m_file = (m_dataDir.path() / "watchlist.json").string();
        CWatchlistDoc::SetFilePathOverride(m_file);
        CQuoteService::Instance().Router().Reset();
        QuoteWindowTest::SetUp();
    }
    void TearDown() override
    {
        QuoteWindowTest::TearDown();
        CWatchlistDoc::SetFilePathOverride({});
    }

    CWatchlistDoc* Open()
    {
        EXPECT_TRUE(m_frame->SendCommand(ID_TOOLS_WATCHLIST));
        return m_app->GetWatchlist();
    }
    CWatchlistView* View(CWatchlistDoc* doc) const
    {
        return dynamic_cast<CWatchlistView*>(doc->GetViews().front());
    }
    std::vector<std::string> Symbols(CWatchlistDoc* doc) const
    {
        std::vector<std::string> symbols;
        for (const WatchRow& row : doc->Model().Rows())
            symbols.push_back(row.security.country + ":" + row.security.symbol);
        return symbols;
    }
    bool WaitForQuotes(CWatchlistDoc* doc)
    {
        return WaitFor([doc] {
            for (const WatchRow& row : doc->Model().Rows()) {
                if (!row.quote && !row.failed)
                    return false;
            }
            return true;
        });
    }
    // One full refresh cycle, waited for.
    bool RefreshAll(CWatchlistDoc* doc)
    {
        bool finished = false;
        const QMetaObject::Connection connection = QObject::connect(
            &doc->Refresher(), &CWatchlistRefresher::cycleFinished, [&finished] { finished = true; });
        const bool ok = WaitFor([doc] { return !doc->Refresher().Busy(); }) && doc->Refresher().RefreshAll() &&
                        WaitFor([&finished] { return finished; });
        QObject::disconnect(connection);
        return ok;
    }

    testing_support::TempDir m_dataDir;
    std::string m_file;
};

TEST_F(WatchlistTest, ToolsMenuAndButtonOpenTheOneWatchlist)
{
    for (int menuId : {IDR_MAINFRAME, IDR_QuorelleTYPE}) {
        const std::vector<QMenu*> menus = m_frame->GetMenus(menuId);
        ASSERT_GE(menus.size(), 2u);
        EXPECT_EQ(menus[menus.size() - 2]->title(), QStringLiteral("&Tools"));
        EXPECT_EQ(menus.back()->title(), QStringLiteral("&Help"));
    }
    QAction* command = m_frame->Commands().Action(ID_TOOLS_WATCHLIST);
    const QList<QAction*> buttons = m_frame->m_wndToolBar->actions();
    EXPECT_EQ(buttons.back(), command);
    EXPECT_FALSE(command->icon().isNull());

    CWatchlistDoc* doc = Open();
    ASSERT_NE(doc, nullptr);
    command->trigger();
    EXPECT_EQ(m_app->GetWatchlist(), doc);
    EXPECT_EQ(WindowCount(), 1);
    EXPECT_EQ(doc->GetTitle(), "Watchlist");
}

TEST_F(WatchlistTest, EveryWayOfAddingAndRemovingRows)
{
    {
        std::ifstream in(std::string(std::getenv("QUORELLE_SOURCE_DIR")) + "/demo/NYSE.TXT", std::ios::binary);
        std::ofstream(m_work.path() / "NYSE.TXT", std::ios::binary) << in.rdbuf();
    }
    CWatchlistDoc* doc = Open();
    CWatchlistView* view = View(doc);

    // The line edit: SYMBOL or COUNTRY:SYMBOL; nonsense and duplicates are not added.
    view->Entry()->setText(QStringLiteral("ibm"));
    emit view->Entry()->returnPressed();
    view->Entry()->setText(QStringLiteral("gb:bp"));
    view->findChild<QPushButton*>(QStringLiteral("watchlistAdd"))->click();
    for (const char* refused : {"GB:", "ibm", "not one"}) {
        view->Entry()->setText(QString::fromLatin1(refused));
        EXPECT_FALSE(view->AddEntryText()) << refused;
    }
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:IBM", "GB:BP"}));

    // A market list row: the Insert key, and the context menu.
    m_frame->OpenMarketList(ID_MARKETS_NYSE);
    auto* list = m_frame->findChild<CListView_*>();
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->GetListModel()->rowCount(), 2);
    const std::string first = list->GetListModel()->RecordAt(0)->symbol;
    const std::string second = list->GetListModel()->RecordAt(1)->symbol;
    list->setCurrentIndex(list->model()->index(0, 0));
    PressKey(list, Qt::Key_Insert);
    WhenMenuOpens(QStringLiteral("Add to Watchlist"));
    emit list->customContextMenuRequested(list->visualRect(list->model()->index(1, 0)).center());

    // Find Quote Worldwide's button beside OK adds instead of opening a window.
    const int windows = WindowCount();
    WhenModalOpens([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("ctl1000"))->setText(QStringLiteral("sgi"));
        auto* country = dialog->findChild<QComboBox*>(QStringLiteral("ctl1001"));
        country->setCurrentIndex(country->findText(QStringLiteral("Canada")));
        dialog->findChild<QPushButton*>(QStringLiteral("ctlWatchlist"))->click();
    });
    m_frame->OnFindQuoteWorldwide();
    EXPECT_EQ(WindowCount(), windows);
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:IBM", "GB:BP", "US:" + first, "US:" + second, "CA:SGI"}));
    ASSERT_TRUE(WaitForQuotes(doc));

    // Removing: Delete on the selection, and the context menu's Remove.
    QTableView* table = view->Table();
    table->selectRow(0);
    PressKey(table, Qt::Key_Delete);
    table->selectRow(0);
    WhenMenuOpens(QStringLiteral("Remove"));
    emit table->customContextMenuRequested(table->visualRect(table->model()->index(0, 0)).center());
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:" + first, "US:" + second, "CA:SGI"}));

    // Enter opens the row's quote window as a market list does.
    table->setCurrentIndex(table->model()->index(2, 0));
    PressKey(table, Qt::Key_Return);
    ASSERT_FALSE(Views().empty());
    EXPECT_EQ(Views().back()->m_security.symbol, "SGI");
    EXPECT_EQ(Views().back()->m_security.country, "CA");
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(WatchlistTest, RefreshRunsAtMostSixTransfersAndFailedRowsKeepTheirValues)
{
    CWatchlistDoc* doc = Open();
    for (int i = 0; i < 24; ++i)
        doc->AddSecurity(Listed("W" + std::to_string(i)));
    ASSERT_TRUE(WaitForQuotes(doc));
    m_sim.SetLatency(100);
    m_sim.ResetStats();
    AdvanceClock(7);
    ASSERT_TRUE(RefreshAll(doc));
    EXPECT_LE(m_sim.Stats().maxInFlight, CWatchlistRefresher::kMaxTransfers);
    EXPECT_GE(m_sim.Stats().maxInFlight, 2);
    EXPECT_EQ(m_sim.Stats().requests, 24);

    CWatchlistModel& model = doc->Model();
    for (int row = 0; row < model.rowCount(); ++row) {
        const quotesim::QuoteSnapshot expected = Expected("US:" + model.Row(row).security.symbol);
        ASSERT_TRUE(model.Row(row).quote);
        EXPECT_DOUBLE_EQ(model.Row(row).quote->last, expected.last);
        const QModelIndex change = model.index(row, static_cast<int>(WatchColumn::Change));
        if (expected.change != 0) {
            EXPECT_EQ(model.data(change, Qt::ForegroundRole).value<QBrush>().color(),
                      expected.change > 0 ? QColor(0, 128, 0) : QColor(192, 0, 0));
        }
    }
    // Sorting by % Change orders numbers as numbers.
    QTableView* table = View(doc)->Table();
    table->sortByColumn(static_cast<int>(WatchColumn::ChangePercent), Qt::AscendingOrder);
    double previous = -1e9;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        const QModelIndex source = static_cast<QSortFilterProxyModel*>(table->model())
                                       ->mapToSource(table->model()->index(row, 0));
        const double percent = model.Row(source.row()).quote->changePercent;
        EXPECT_LE(previous, percent);
        previous = percent;
    }

    // A failed refresh keeps the values, greyed, with the reason; no message.
    const double last = model.Row(0).quote->last;
    m_sim.SetLatency(0);
    UseDeadHost();
    ASSERT_TRUE(RefreshAll(doc));
    EXPECT_TRUE(model.Row(0).failed);
    EXPECT_DOUBLE_EQ(model.Row(0).quote->last, last);
    const QModelIndex cell = model.index(0, static_cast<int>(WatchColumn::Last));
    EXPECT_EQ(model.data(cell, Qt::DisplayRole).toString().toStdString(), model.CellText(0, WatchColumn::Last));
    EXPECT_EQ(model.data(cell, Qt::ForegroundRole).value<QBrush>().color(), QColor(140, 140, 140));
    EXPECT_TRUE(model.data(cell, Qt::ToolTipRole).toString().startsWith(QStringLiteral("Not refreshed: ")));
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(WatchlistTest, RowsAndAlertsAreKeptAndTheWindowReopensAtStart)
{
    CWatchlistDoc* doc = Open();
    doc->AddSecurity(Listed("IBM"));
    doc->Model().SetAlert(0, AlertRule{.above = 500.0, .below = {}, .movePercent = 3.0});
    m_app.reset();
    ProcessEvents();
    EXPECT_TRUE(CUserSettings().value(SettingsKey::kWatchlistOpen).toBool());

    m_app = std::make_unique<CQuorelleApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = m_app->GetMainWnd();
    doc = m_app->GetWatchlist();
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->Model().rowCount(), 1);
    EXPECT_EQ(doc->Model().Row(0).alert, (AlertRule{.above = 500.0, .below = {}, .movePercent = 3.0}));
    EXPECT_FALSE(doc->Model().data(doc->Model().index(0, 0), Qt::DecorationRole).isNull());

    // The refresh period is the watchlist's one setting.
    EXPECT_EQ(doc->RefreshMinutes(), 1);
    doc->SetRefreshMinutes(5);
    EXPECT_EQ(doc->Refresher().PeriodMinutes(), 5);
    EXPECT_EQ(CUserSettings().value(SettingsKey::kWatchlistRefreshMinutes).toInt(), 5);

    // Closed before the end: not reopened.
    m_frame->SendCommand(ID_FILE_CLOSE);
    ProcessEvents();
    m_app.reset();
    EXPECT_FALSE(CUserSettings().value(SettingsKey::kWatchlistOpen).toBool());
}

TEST_F(WatchlistTest, DamagedFileIsReportedKeptAsideAndNotOverwritten)
{
    std::ofstream(m_file, std::ios::binary) << "{ not json";
    CWatchlistDoc* doc = Open();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Model().rowCount(), 0);
    ASSERT_EQ(m_messages->messages().size(), 1u);
    EXPECT_NE(m_messages->messages()[0].find("watchlist.json.bad"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(m_file + ".bad"));
    doc->AddSecurity(Listed("IBM"));
    ProcessEvents();
    std::ifstream bad(m_file + ".bad");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(bad), {}), "{ not json");
    EXPECT_EQ(LoadWatchlistFile(m_file).lists.front().rows.size(), 1u);
}

TEST_F(WatchlistTest, AlertFromTheDialogFiresOnceAndMarksTheRowUntilCleared)
{
    // A symbol and minute at which the price rises.
    std::string symbol;
    for (int i = 0; i < 50 && symbol.empty(); ++i) {
        const std::string candidate = "A" + std::to_string(i);
        if (m_sim.QuoteAt(candidate, quotesim::AddMinutes(m_sim.Now(), 10))->last >
            m_sim.QuoteAt(candidate, m_sim.Now())->last + 0.5)
            symbol = candidate;
    }
    ASSERT_FALSE(symbol.empty());
    const double before = m_sim.QuoteAt(symbol, m_sim.Now())->last;
    const double after = m_sim.QuoteAt(symbol, quotesim::AddMinutes(m_sim.Now(), 10))->last;

    CWatchlistDoc* doc = Open();
    doc->AddSecurity(Listed(symbol));
    ASSERT_TRUE(WaitForQuotes(doc));
    const std::string threshold = FormatC("%.2f", (before + after) / 2);
    WhenModalOpens([&threshold](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("alertAbove"))->setText(QString::fromStdString(threshold));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    View(doc)->EditAlert(0);
    ASSERT_TRUE(doc->Model().Row(0).alert.above);

    std::vector<CAlertNotifier::Channel> delivered;
    QObject::connect(&doc->Notifier(), &CAlertNotifier::delivered,
                     [&delivered](CAlertNotifier::Channel channel, const QString&) { delivered.push_back(channel); });
    AdvanceClock(10);
    ASSERT_TRUE(RefreshAll(doc));
    ASSERT_TRUE(RefreshAll(doc));  // still past: no second alert
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0], CAlertNotifier::Channel::StatusBar);
    EXPECT_NE(m_frame->GetStatusBar()->GetPaneText(0).find(symbol + " rose to"), std::string::npos);
    EXPECT_TRUE(doc->Model().Row(0).alertState.marked);
    EXPECT_EQ(doc->Model().data(doc->Model().index(0, 1), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 214, 214));
    doc->Model().ClearAlertMark(0);
    EXPECT_FALSE(doc->Model().Row(0).alertState.marked);
    EXPECT_TRUE(m_messages->messages().empty());
}

TEST_F(WatchlistTest, RowsAnotherInstanceSavedAreKeptAndShown)
{
    std::vector<WatchRow> rows(1);
    rows[0].security = Listed("IBM");
    std::string error;
    ASSERT_TRUE(SaveWatchlistFile(m_file, OneWatchList(rows), error)) << error;
    CWatchlistDoc* doc = Open();
    ASSERT_EQ(doc->Model().rowCount(), 1);

    // Another instance, started with the same file, adds a row and saves.
    rows.resize(2);
    rows[1].security = Listed("GE");
    ASSERT_TRUE(SaveWatchlistFile(m_file, OneWatchList(rows), error)) << error;

    // This one's next save keeps that row, and the row appears here, quoted.
    doc->AddSecurity(Listed("MSFT"));
    ProcessEvents();
    auto fileSymbols = [this] {
        std::vector<std::string> symbols;
        const WatchlistLoadResult loaded = LoadWatchlistFile(m_file);
        for (const WatchRow& row : loaded.lists.front().rows)
            symbols.push_back(row.security.country + ":" + row.security.symbol);
        return symbols;
    };
    EXPECT_EQ(fileSymbols(), (std::vector<std::string>{"US:IBM", "US:MSFT", "US:GE"}));
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:IBM", "US:MSFT", "US:GE"}));
    ASSERT_TRUE(WaitForQuotes(doc));
    EXPECT_TRUE(doc->Model().Row(2).quote);

    // A row deleted here stays deleted.
    doc->Model().RemoveRow(0);
    ProcessEvents();
    EXPECT_EQ(fileSymbols(), (std::vector<std::string>{"US:MSFT", "US:GE"}));
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:MSFT", "US:GE"}));
}

TEST_F(WatchlistTest, RowsAnotherInstanceWritesAppearWithoutASaveHere)
{
    std::vector<WatchRow> rows(1);
    rows[0].security = Listed("IBM");
    std::string error;
    ASSERT_TRUE(SaveWatchlistFile(m_file, OneWatchList(rows), error)) << error;
    CWatchlistDoc* doc = Open();
    ASSERT_EQ(doc->Model().rowCount(), 1);

    // Another instance adds a row and sets a rule; nothing changes here.
    std::vector<WatchRow> other = rows;
    other.resize(2);
    other[1].security = Listed("GE");
    other[0].alert.below = 90.0;
    ASSERT_TRUE(SyncWatchlistFile(m_file, OneWatchList(rows), OneWatchList(other)).ok);
    ASSERT_TRUE(WaitFor([doc] { return doc->Model().rowCount() == 2; }));
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:IBM", "US:GE"}));
    EXPECT_EQ(doc->Model().Row(0).alert.below, 90.0);
    ASSERT_TRUE(WaitForQuotes(doc));
    EXPECT_TRUE(doc->Model().Row(1).quote);
}

TEST_F(WatchlistTest, VolumeLooksAlikeFromEverySourceAndCurrencyFollowsLast)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    CWatchlistModel model;
    model.AddSecurity(Listed("IBM"));
    model.AddSecurity(Listed("BP"));
    auto result = [](const char* source, const char* volume, const char* currency) {
        QuoteFetchResult fetched;
        fetched.sourceId = source;
        fetched.quote.emplace();
        fetched.quote->quote.last = 12.5;
        fetched.quote->quote.volume = volume;
        fetched.quote->quote.currency = currency;
        return fetched;
    };
    model.ApplyResult(Listed("IBM"), result("chart-json", "39961", "USD"));
    model.ApplyResult(Listed("BP"), result("quote-csv", "26,463", ""));
    const int volume = static_cast<int>(WatchColumn::Volume);
    EXPECT_EQ(model.data(model.index(0, volume)).toString(), QStringLiteral("39,961"));
    EXPECT_EQ(model.data(model.index(1, volume)).toString(), QStringLiteral("26,463"));
    model.ApplyResult(Listed("BP"), result("msn-money", "n/a", "GBp"));
    EXPECT_EQ(model.data(model.index(1, volume)).toString(), QStringLiteral("n/a"));

    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Last"));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Currency"));
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), QStringLiteral("USD"));
    EXPECT_EQ(model.data(model.index(1, 3)).toString(), QStringLiteral("GBp"));
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), QStringLiteral("12.50"));
}

TEST_F(WatchlistTest, WindowOpensInsideTheMainWindowsArea)
{
    QMdiArea* area = m_frame->findChild<QMdiArea*>();
    ASSERT_NE(area, nullptr);
    auto watchlistFrame = [this] { return m_app->GetWatchlist()->GetFrames().front(); };

    // Beside a quote window in a main window barely wider than the watchlist.
    m_frame->resize(960, 840);
    ProcessEvents();
    QuoteWindowTest::Open(Security("US", "IBM"));
    Open();
    ProcessEvents();
    EXPECT_TRUE(area->viewport()->rect().contains(watchlistFrame()->geometry()))
        << area->viewport()->width() << "x" << area->viewport()->height();
    m_frame->SendCommand(ID_FILE_CLOSE);
    ProcessEvents();
    ASSERT_EQ(m_app->GetWatchlist(), nullptr);

    // In a main window narrower than the watchlist's size.
    m_frame->resize(640, 480);
    ProcessEvents();
    Open();
    ProcessEvents();
    EXPECT_TRUE(area->viewport()->rect().contains(watchlistFrame()->geometry()))
        << area->viewport()->width() << "x" << area->viewport()->height();
}

namespace {
// An amount as the money cells show it, computed here in plain doubles.
QString Cents(double amount)
{
    return QString::fromStdString(FormatC("%.2f", std::round(amount * 100) / 100 + 0.0));
}
}  // namespace

TEST_F(WatchlistTest, HoldingsInTwoCurrenciesShowInTheBaseCurrencyWithTotals)
{
    WriteEnabledSources({"chart-json"});
    CUserSettings().setValue("QuoteHosts/chart-json", QString::fromStdString("http://" + m_sim.HostPort()));
    CWatchlistDoc* doc = Open();
    doc->SetBaseCurrency("EUR");
    EXPECT_EQ(CUserSettings().value(SettingsKey::kPortfolioBaseCurrency).toString(), QStringLiteral("EUR"));
    SecurityRecord london;
    london.country = "GB";
    london.symbol = "LBP";
    ASSERT_TRUE(doc->AddSecurity(london));
    ASSERT_TRUE(doc->AddSecurity(Listed("YSI")));
    ASSERT_TRUE(WaitForQuotes(doc));
    CWatchlistModel& model = doc->Model();
    model.SetLots(0, {{12.5, 180, "2011-01-03"}});  // pence
    model.SetLots(1, {{3, 20, ""}, {2, 25.5, ""}});
    ASSERT_TRUE(WaitFor([&model] { return model.Rates().Rate("GBP", "EUR") && model.Rates().Rate("USD", "EUR"); }));

    const quotesim::TradePoint trade = quotesim::ShownTrade(m_sim.Now());
    const double gbpEur = quotesim::FxRate({"GBP", "EUR"}, trade.date, trade.minuteOfDay) * 0.01;
    const double usdEur = quotesim::FxRate({"USD", "EUR"}, trade.date, trade.minuteOfDay);
    const quotesim::QuoteSnapshot lbp = Expected("GB:LBP");
    const quotesim::QuoteSnapshot ysi = Expected("US:YSI");
    struct Expect {
        double cost, value, day;
    };
    const Expect rows[] = {
        {12.5 * 180 * gbpEur, 12.5 * lbp.last * gbpEur, 12.5 * (lbp.last - lbp.prevClose) * gbpEur},
        {(3 * 20 + 2 * 25.5) * usdEur, 5 * ysi.last * usdEur, 5 * (ysi.last - ysi.prevClose) * usdEur},
    };
    auto cell = [&model](int row, WatchColumn column) {
        return model.data(model.index(row, static_cast<int>(column))).toString();
    };
    double cost = 0, value = 0, day = 0, gain = 0;
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        const Expect& e = rows[row];
        EXPECT_EQ(cell(row, WatchColumn::Cost), Cents(e.cost));
        EXPECT_EQ(cell(row, WatchColumn::Value), Cents(e.value));
        EXPECT_EQ(cell(row, WatchColumn::DayGain), Cents(e.day));
        const double rowGain = cell(row, WatchColumn::Value).toDouble() - cell(row, WatchColumn::Cost).toDouble();
        EXPECT_EQ(cell(row, WatchColumn::TotalGain), Cents(rowGain));
        const QModelIndex gainCell = model.index(row, static_cast<int>(WatchColumn::TotalGain));
        EXPECT_EQ(model.data(gainCell, Qt::ForegroundRole).value<QBrush>().color(),
                  rowGain > 0 ? QColor(0, 128, 0) : QColor(192, 0, 0));
        cost += cell(row, WatchColumn::Cost).toDouble();
        value += cell(row, WatchColumn::Value).toDouble();
        day += cell(row, WatchColumn::DayGain).toDouble();
        gain += cell(row, WatchColumn::TotalGain).toDouble();
    }
    EXPECT_EQ(cell(0, WatchColumn::Quantity), QStringLiteral("12.5"));
    EXPECT_EQ(cell(1, WatchColumn::Quantity), QStringLiteral("5"));

    QAbstractItemModel* totals = View(doc)->TotalsTable()->model();
    auto total = [totals](WatchColumn column) { return totals->data(totals->index(0, static_cast<int>(column))).toString(); };
    EXPECT_EQ(total(WatchColumn::Symbol), QStringLiteral("Total"));
    EXPECT_EQ(total(WatchColumn::Cost), Cents(cost));
    EXPECT_EQ(total(WatchColumn::Value), Cents(value));
    EXPECT_EQ(total(WatchColumn::DayGain), Cents(day));
    EXPECT_EQ(total(WatchColumn::TotalGain), Cents(gain));
    EXPECT_EQ(total(WatchColumn::TotalGainPercent),
              QString::fromStdString(FormatC("%.2f%%", std::round(gain / cost * 10000) / 100)));

    // A base without a rate yet: dashes with the reason, and an incomplete total.
    model.SetBaseCurrency("CAD");
    EXPECT_EQ(cell(0, WatchColumn::Value), QStringLiteral("—"));
    EXPECT_EQ(model.data(model.index(0, static_cast<int>(WatchColumn::Value)), Qt::ToolTipRole).toString(),
              QStringLiteral("LBP: no GBP to CAD exchange rate yet"));
    EXPECT_EQ(total(WatchColumn::Symbol), QStringLiteral("Total (incomplete)"));
    EXPECT_EQ(total(WatchColumn::Value), QStringLiteral("0.00"));
}

TEST_F(WatchlistTest, QuantityCellSetsOneLotAndRefusesWhatIsNotANumber)
{
    CWatchlistModel model;
    model.AddSecurity(Listed("IBM"));
    const QModelIndex quantity = model.index(0, static_cast<int>(WatchColumn::Quantity));
    EXPECT_TRUE(model.flags(quantity) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, static_cast<int>(WatchColumn::Last))) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(quantity, QStringLiteral("ten")));
    EXPECT_TRUE(model.Row(0).lots.empty());
    EXPECT_EQ(m_frame->GetStatusBar()->GetPaneText(0), "IBM: quantity \"ten\" is not a number");
    model.SetLots(0, {{2, 10, ""}, {2, 20, ""}});
    EXPECT_TRUE(model.setData(quantity, QStringLiteral("7,5")));
    ASSERT_EQ(model.Row(0).lots.size(), 1u);
    EXPECT_EQ(model.Row(0).lots[0].quantity, 7.5);
    EXPECT_EQ(model.Row(0).lots[0].price, 15);  // the average paid
    EXPECT_TRUE(model.setData(quantity, QString()));
    EXPECT_TRUE(model.Row(0).lots.empty());
}

TEST_F(WatchlistTest, ImportAddsNothingUntilConfirmedAndExportReadsBack)
{
    CWatchlistDoc* doc = Open();
    ASSERT_TRUE(doc->AddSecurity(Listed("YSI")));
    const std::string csv = (m_dataDir.path() / "in.csv").string();
    std::ofstream(csv) << "symbol;country;quantity;price;date\nYSI;US;2,5;20;\nLBP;GB;10;180;2011-01-03\nIBM;US;x;1;\n";
    std::string preview;
    EXPECT_EQ(View(doc)->ImportHoldingsFile(csv, [&preview](const std::string& text) {
        preview = text;
        return false;
    }), 0);
    EXPECT_EQ(preview, "2 lots of 2 securities will be added.\n1 line cannot be read and will be left out:\n"
                       "line 4: quantity \"x\" is not a number");
    ASSERT_EQ(doc->Model().rowCount(), 1);
    EXPECT_TRUE(doc->Model().Row(0).lots.empty());

    EXPECT_EQ(View(doc)->ImportHoldingsFile(csv, [](const std::string&) { return true; }), 2);
    ASSERT_EQ(Symbols(doc), (std::vector<std::string>{"US:YSI", "GB:LBP"}));
    EXPECT_EQ(doc->Model().Row(0).lots, (std::vector<Lot>{{2.5, 20, ""}}));
    EXPECT_EQ(doc->Model().Row(1).lots, (std::vector<Lot>{{10, 180, "2011-01-03"}}));

    const std::string out = (m_dataDir.path() / "out.csv").string();
    std::string error;
    ASSERT_TRUE(View(doc)->ExportHoldingsFile(out, error)) << error;
    std::ifstream in(out);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, "symbol,country,quantity,price,date\nYSI,US,2.5,20,\nLBP,GB,10,180,2011-01-03\n");
    // The lots are kept in the watchlist file too.
    ASSERT_TRUE(doc->Save());
    std::string parseError;
    std::ifstream kept(m_file);
    const auto rows = WatchlistFromJson({std::istreambuf_iterator<char>(kept), std::istreambuf_iterator<char>()},
                                        parseError);
    ASSERT_TRUE(rows) << parseError;
    EXPECT_EQ((*rows)[1].lots, doc->Model().Row(1).lots);
}

TEST_F(WatchlistTest, LotsAnotherInstanceWritesAppearHere)
{
    std::vector<WatchRow> rows(1);
    rows[0].security = Listed("IBM");
    std::string error;
    ASSERT_TRUE(SaveWatchlistFile(m_file, OneWatchList(rows), error)) << error;
    CWatchlistDoc* doc = Open();
    ASSERT_EQ(doc->Model().rowCount(), 1);

    std::vector<WatchRow> other = rows;
    other[0].lots = {{4, 120.5, "2011-02-01"}};
    ASSERT_TRUE(SyncWatchlistFile(m_file, OneWatchList(rows), OneWatchList(other)).ok);
    ASSERT_TRUE(WaitFor([doc] { return !doc->Model().Row(0).lots.empty(); }));
    EXPECT_EQ(doc->Model().Row(0).lots, other[0].lots);
    EXPECT_EQ(doc->Model().CellText(0, WatchColumn::Quantity), "4");
}

TEST_F(WatchlistTest, MoneyCellsFollowEveryChangeOfQuoteLotsAndRates)
{
    CWatchlistModel model;
    model.SetBaseCurrency("EUR");
    model.AddSecurity(Listed("IBM"));
    model.SetLots(0, {{10, 5, ""}});
    auto quoted = [&model](double last) {
        QuoteFetchResult fetched;
        fetched.sourceId = "chart-json";
        fetched.quote.emplace();
        fetched.quote->quote.last = last;
        fetched.quote->quote.prevClose = 10;
        fetched.quote->quote.currency = "USD";
        model.ApplyResult(Listed("IBM"), fetched);
    };
    quoted(12);
    EXPECT_EQ(model.CellText(0, WatchColumn::Value), "—");
    model.SetRate("USD", "EUR", 0.5);
    EXPECT_EQ(model.CellText(0, WatchColumn::Value), "60.00");
    quoted(14);
    EXPECT_EQ(model.CellText(0, WatchColumn::Value), "70.00");
    EXPECT_EQ(model.Totals().value, 7000);
    model.SetLots(0, {{1, 5, ""}});
    EXPECT_EQ(model.CellText(0, WatchColumn::Value), "7.00");
    model.SetRate("EUR", "USD", 4);  // the reverse pair, now a quarter
    EXPECT_EQ(model.CellText(0, WatchColumn::Value), "7.00");  // the direct pair wins
    model.SetBaseCurrency("USD");
    EXPECT_EQ(model.CellText(0, WatchColumn::Value), "14.00");
    model.AddSecurity(Listed("YSI"));
    model.RemoveRow(0);
    EXPECT_EQ(model.CellText(0, WatchColumn::Value), "");
    EXPECT_EQ(model.Totals().holdingRows, 0);
}

TEST_F(WatchlistTest, HiddenColumnsAreKeptForTheNextStart)
{
    CWatchlistDoc* doc = Open();
    const int cost = static_cast<int>(WatchColumn::Cost);
    View(doc)->SetColumnHidden(cost, true);
    EXPECT_TRUE(View(doc)->Table()->isColumnHidden(cost));
    EXPECT_TRUE(View(doc)->TotalsTable()->isColumnHidden(cost));
    EXPECT_EQ(CUserSettings().value(SettingsKey::kWatchlistHiddenColumns).toString(), QStringLiteral("Cost"));
    View(doc)->SetColumnHidden(0, true);  // the symbol always shows
    EXPECT_FALSE(View(doc)->Table()->isColumnHidden(0));

    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    ProcessEvents();
    ASSERT_FALSE(m_app->GetWatchlist());
    doc = Open();
    ASSERT_TRUE(doc);
    EXPECT_TRUE(View(doc)->Table()->isColumnHidden(cost));
    EXPECT_FALSE(View(doc)->Table()->isColumnHidden(static_cast<int>(WatchColumn::Value)));
}

TEST_F(WatchlistTest, HoldingsDialogNamesTheLotItCannotRead)
{
    CDia_Holdings dialog("IBM", "USD", {{2, 10, ""}});
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("holdingsTable"));
    ASSERT_TRUE(table);
    ASSERT_EQ(table->rowCount(), 1);
    table->insertRow(1);
    table->setItem(1, 0, new QTableWidgetItem(QStringLiteral("3")));
    table->setItem(1, 1, new QTableWidgetItem(QStringLiteral("-1")));
    EXPECT_FALSE(dialog.ReadLots());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("holdingsError"))->text(),
              QStringLiteral("Lot 2: price -1 is below 0"));
    EXPECT_EQ(dialog.Lots(), (std::vector<Lot>{{2, 10, ""}}));
    table->item(1, 1)->setText(QStringLiteral("12,5"));
    ASSERT_TRUE(dialog.ReadLots());
    EXPECT_EQ(dialog.Lots(), (std::vector<Lot>{{2, 10, ""}, {3, 12.5, ""}}));
}

TEST_F(WatchlistTest, ListsAreMadeShownRenamedAndDeletedAndTheShownOneComesBackAtStart)
{
    CWatchlistDoc* doc = Open();
    CWatchlistView* view = View(doc);
    ASSERT_TRUE(doc->AddSecurity(Listed("IBM")));
    QComboBox* chooser = view->ListChooser();
    ASSERT_EQ(chooser->count(), 1);
    EXPECT_EQ(chooser->itemText(0), QStringLiteral("Watchlist"));
    QTableView* table = view->Table();
    const auto openContextMenu = [table] {
        emit table->customContextMenuRequested(QPoint(2, table->viewport()->height() - 2));
    };
    // The last list cannot be deleted.
    QMenu* listMenu = view->findChild<QToolButton*>(QStringLiteral("watchlistListMenu"))->menu();
    emit listMenu->aboutToShow();
    ASSERT_EQ(listMenu->actions().size(), 3);
    EXPECT_EQ(listMenu->actions()[2]->text(), QStringLiteral("&Delete List..."));
    EXPECT_FALSE(listMenu->actions()[2]->isEnabled());

    // New List from the context menu: the new list is shown, and rows added
    // from the entry or from the market lists go to it.
    WhenMenuOpensAnswer(QStringLiteral("New List"), TypeName(QStringLiteral(" Portfolio ")));
    openContextMenu();
    ASSERT_EQ(chooser->count(), 2);
    EXPECT_EQ(chooser->currentText(), QStringLiteral("Portfolio"));
    EXPECT_EQ(doc->CurrentListName(), "Portfolio");
    EXPECT_EQ(doc->Model().rowCount(), 0);
    view->Entry()->setText(QStringLiteral("xom"));
    ASSERT_TRUE(view->AddEntryText());
    ASSERT_TRUE(m_app->AddToWatchlist(Listed("GE")));
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:XOM", "US:GE"}));
    ASSERT_TRUE(WaitForQuotes(doc));

    // Names that cannot be used are refused with a message.
    EXPECT_FALSE(view->NewListNamed("  "));
    EXPECT_FALSE(view->NewListNamed("watchlist"));
    ASSERT_EQ(m_messages->messages().size(), 2u);
    EXPECT_EQ(m_messages->messages()[0], "A list needs a name.");
    EXPECT_EQ(m_messages->messages()[1], "There is already a list named \"Watchlist\".");
    m_messages->clear();
    EXPECT_EQ(chooser->count(), 2);

    // Choosing a list shows its rows, and quotes them at once.
    ASSERT_TRUE(WaitFor([doc] { return !doc->Refresher().Busy(); }));
    m_sim.ResetStats();
    chooser->setCurrentIndex(0);
    emit chooser->activated(0);
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:IBM"}));
    ASSERT_TRUE(WaitFor([this] { return m_sim.Stats().requests >= 1; }));
    ASSERT_TRUE(WaitForQuotes(doc));
    EXPECT_TRUE(doc->Model().Row(0).quote);
    chooser->setCurrentIndex(1);
    emit chooser->activated(1);
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:XOM", "US:GE"}));
    EXPECT_TRUE(doc->Model().Row(0).quote);

    // Rename, from the context menu.
    WhenMenuOpensAnswer(QStringLiteral("Rename List"), TypeName(QStringLiteral("Pension")));
    openContextMenu();
    EXPECT_EQ(chooser->itemText(1), QStringLiteral("Pension"));
    EXPECT_EQ(chooser->currentIndex(), 1);
    ASSERT_TRUE(doc->Save());
    WatchlistLoadResult kept = LoadWatchlistFile(m_file);
    ASSERT_EQ(kept.lists.size(), 2u);
    EXPECT_EQ(kept.lists[1].name, "Pension");
    EXPECT_EQ(kept.lists[0].rows.size(), 1u);
    EXPECT_EQ(kept.lists[1].rows.size(), 2u);

    // Delete asks first: No keeps the list, Yes deletes it and shows the first.
    std::string question;
    WhenMenuOpensAnswer(QStringLiteral("Delete List"), Answer(QMessageBox::No, &question));
    openContextMenu();
    EXPECT_EQ(question, "Delete the list \"Pension\" and its 2 rows?");
    EXPECT_EQ(chooser->count(), 2);
    WhenMenuOpensAnswer(QStringLiteral("Delete List"), Answer(QMessageBox::Yes, &question));
    openContextMenu();
    ASSERT_EQ(chooser->count(), 1);
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:IBM"}));
    ProcessEvents();
    EXPECT_EQ(LoadWatchlistFile(m_file).lists.size(), 1u);

    // The list shown at the end comes back at the next start.
    ASSERT_TRUE(view->NewListNamed("Dividends"));
    ASSERT_TRUE(doc->AddSecurity(Listed("T")));
    m_app.reset();
    ProcessEvents();
    m_app = std::make_unique<CQuorelleApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = m_app->GetMainWnd();
    doc = m_app->GetWatchlist();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->CurrentListName(), "Dividends");
    EXPECT_EQ(Symbols(doc), (std::vector<std::string>{"US:T"}));
    EXPECT_EQ(View(doc)->ListChooser()->currentText(), QStringLiteral("Dividends"));
    EXPECT_EQ(View(doc)->ListChooser()->count(), 2);
    EXPECT_TRUE(m_messages->messages().empty());
}
