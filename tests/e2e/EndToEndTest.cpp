// The whole application against the quote simulator: market list, find,
// quote window, refresh ticks, Properties, the daily log, Find Quote
// Worldwide and the recent-file list of a later run.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>

#include "EndToEndSupport.h"
#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "framework/CommandIds.h"
#include "framework/Document.h"
#include "markets/ListView.h"
#include "markets/ListViewModel.h"
#include "res/Resource.h"
#include "window/QuorelleView.h"

namespace {

using quotesim::ClockTime;

// Runs `whileOpen` once the next modal dialog is up; a dialog still open
// afterwards is rejected, so the test never blocks.
void WhenModalOpens(std::function<void(QWidget* dialog)> whileOpen)
{
    QTimer::singleShot(0, [whileOpen] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        whileOpen(dialog);
        if (auto* box = qobject_cast<QDialog*>(dialog); box && box->isVisible())
            box->reject();
    });
}

// Clicks the dialog's button, or fails the test when it has none.
void Click(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

class QuorelleEndToEnd : public EndToEndTest {
protected:
    // The refresh timer of the view fires, as it would after its period.
    static void Tick(CQuorelleView* view)
    {
        ASSERT_NE(view->RefreshTimerId(), 0) << "no refresh timer runs";
        QTimerEvent event(view->RefreshTimerId());
        QCoreApplication::sendEvent(view, &event);
    }

    // One tick a minute; the clock times of the ticks are appended.
    void TickEveryMinute(CQuorelleView* view, int ticks, std::vector<ClockTime>& clocks)
    {
        for (int i = 0; i < ticks; ++i) {
            AdvanceClock(1);
            Tick(view);
            clocks.push_back(m_sim.Now());
        }
    }

    // The list view whose window has the title.
    CListView_* ListTitled(const std::string& title) const
    {
        for (CListView_* view : ListViews())
            if (view->GetDocument() && view->GetDocument()->GetTitle() == title)
                return view;
        return nullptr;
    }

    // Turns "Write quote data to file" on through the Properties command.
    void WriteToFileThroughProperties(CQuorelleView* view)
    {
        bool seen = false;
        WhenModalOpens([&seen](QWidget* dialog) {
            auto* box = dialog->findChild<QCheckBox*>("ctl519");
            if (!box)
                return;
            seen = box->text() == "Write quote data to file" && !box->isChecked();
            box->setChecked(true);
            Click(dialog, "ctl1");
        });
        ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_PROPERTIES));
        EXPECT_TRUE(seen);
        EXPECT_TRUE(view->m_security.writeToFile);
    }

    // Find Quote Worldwide for a Canadian symbol, ticks, the log written
    // at closing, and its rows checked against the simulator.
    void FindWorldwideTickAndLog()
    {
        WhenModalOpens([](QWidget* dialog) {
            auto* symbol = dialog->findChild<QLineEdit*>("ctl1000");
            auto* countries = dialog->findChild<QComboBox*>("ctl1001");
            if (!symbol || !countries)
                return;
            symbol->setText("sgi");
            countries->setCurrentIndex(countries->findText("Canada"));
            Click(dialog, "ctl1");
        });
        ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_FINDWORLDWIDE));
        ASSERT_EQ(QuoteViews().size(), 1u);
        CQuorelleView* view = QuoteViews().front();
        EXPECT_EQ(view->m_security.country, "CA");
        EXPECT_EQ(view->m_security.symbol, "SGI");
        // The page names the company the symbol list gives it.
        EXPECT_EQ(view->m_security.company, "Saguenay Gold Inc");

        std::vector<ClockTime> clocks{m_sim.Now()};
        // A window left alone a while: the next tick reads the page of then.
        AdvanceClock(7);
        TickEveryMinute(view, 3, clocks);
        view->m_security.writeToFile = true;
        ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(QuoteViews().empty());

        ExpectLogRows("SGI", "CA:SGI", clocks);
        EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages().front();
    }
};

TEST_F(QuorelleEndToEnd, NewYorkListFindAQuoteTickAndLog)
{
    StartApplication();

    // The New York list, from the sample file in the working folder.
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_NYSE));
    CListView_* market = ListTitled("New York Stock Exchange");
    ASSERT_NE(market, nullptr);
    // Every company of the file, as the simulator read the same file.
    std::size_t listed = 0;
    for (const quotesim::ListedSecurity& security : m_sim.Directory().Securities())
        listed += security.market == "NYSE" ? 1 : 0;
    EXPECT_GT(listed, 20u);
    EXPECT_EQ(market->GetRows().size(), listed);
    EXPECT_EQ(market->GetListModel()->rowCount(), static_cast<int>(listed));

    // Find in the list: the dialog gets a part of a company name.
    bool asked = false;
    WhenModalOpens([&asked](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("ctl103");
        if (!edit)
            return;
        asked = true;
        edit->setText("PHARM");
        Click(dialog, "ctl1");
    });
    ASSERT_TRUE(m_frame->SendCommand(ID_VIEW_FINDINLIST));
    ASSERT_TRUE(asked);
    CListView_* nearest = ListTitled("Nearest quotes for \"PHARM\" (New York Stock Exchange)");
    ASSERT_NE(nearest, nullptr);
    int position = -1;
    for (int i = 0; i < nearest->GetListModel()->rowCount(); ++i)
        if (nearest->GetListModel()->RecordAt(i)->symbol == "CPL")
            position = i;
    ASSERT_GE(position, 0) << "the company is not among the nearest quotes";

    // A double click on it opens its quote window and reads the first quote.
    nearest->OnDoubleClick(nearest->GetListModel()->index(position, 0));
    ASSERT_EQ(QuoteViews().size(), 1u);
    CQuorelleView* view = QuoteViews().front();
    EXPECT_EQ(view->m_security.symbol, "CPL");
    EXPECT_EQ(view->m_security.company, "Crescent Pharmaceuticals Ltd");
    ASSERT_EQ(view->m_history.size(), 1u);
    EXPECT_EQ(view->m_quote.last, m_sim.QuoteAt("US:CPL", m_sim.Now())->last);

    std::vector<ClockTime> clocks{m_sim.Now()};
    TickEveryMinute(view, 4, clocks);
    ASSERT_EQ(view->m_history.size(), clocks.size());

    WriteToFileThroughProperties(view);
    m_frame->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(QuoteViews().empty());

    ExpectLogRows("CPL", "US:CPL", clocks);
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(),
              std::vector<std::string>{"Crescent Pharmaceuticals Ltd (US, CPL)"});
    EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages().front();
}

TEST_F(QuorelleEndToEnd, FindQuoteWorldwideTickAndLog)
{
    StartApplication();
    FindWorldwideTickAndLog();
}

TEST_F(QuorelleEndToEnd, ACommaDecimalLocaleChangesNoNumber)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    StartApplication();
    FindWorldwideTickAndLog();
}

TEST_F(QuorelleEndToEnd, RecentFileEntryReopensInANewApplicationObject)
{
    // A first run opens a quote window from the Toronto list and exits.
    StartApplication();
    ASSERT_TRUE(m_frame->SendCommand(ID_MARKETS_TSX));
    CListView_* market = ListTitled("Toronto Stock Exchange");
    ASSERT_NE(market, nullptr);
    int position = -1;
    for (int i = 0; i < market->GetListModel()->rowCount(); ++i)
        if (market->GetListModel()->RecordAt(i)->symbol == "HBR")
            position = i;
    ASSERT_GE(position, 0);
    market->setCurrentIndex(market->GetListModel()->index(position, 1));
    market->OpenCurrentRow();
    ASSERT_EQ(QuoteViews().size(), 1u);
    EndApplication();
    // It did not ask for a log.
    EXPECT_EQ(ReadLog("HBR"), "");

    // The next run offers it in the File menu; choosing it opens the window.
    m_sim.SetClock(*quotesim::ParseClock("2011-11-04 15:05"));
    StartApplication();
    ASSERT_EQ(m_app->GetRecentFileList()->Entries(), std::vector<std::string>{"Hudson Bay Realty Limited (CA, HBR)"});
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_MRU_FILE1));
    ASSERT_EQ(QuoteViews().size(), 1u);
    CQuorelleView* view = QuoteViews().front();
    EXPECT_EQ(view->m_security.country, "CA");
    EXPECT_EQ(view->m_security.symbol, "HBR");
    EXPECT_EQ(view->m_security.company, "Hudson Bay Realty Limited");

    std::vector<ClockTime> clocks{m_sim.Now()};
    TickEveryMinute(view, 3, clocks);
    WriteToFileThroughProperties(view);
    // Exit: closing the main frame closes the window, which writes its log.
    EndApplication();
    ExpectLogRows("HBR", "CA:HBR", clocks);
    EXPECT_TRUE(m_messages->messages().empty()) << m_messages->messages().front();
}

}  // namespace
