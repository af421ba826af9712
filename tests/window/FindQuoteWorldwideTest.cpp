#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "QuoteWindowFixture.h"
#include "chart/Graph.h"
#include "base/Globals.h"
#include "markets/Dia_FindWorldwide.h"
#include "res/Resource.h"

namespace {

using Entries = std::vector<std::string>;
using FindQuoteWorldwide = QuoteWindowTest;

// Runs the command; the dialog gets the symbol and the country and is
// confirmed with OK (or cancelled).
void RunFind(CMainFrame* frame, const char* symbol, const char* country, bool ok = true)
{
    bool opened = false;
    WhenModalOpens([&](QWidget* dialog) {
        opened = qobject_cast<CDia_FindWorldwide*>(dialog) != nullptr;
        dialog->findChild<QLineEdit*>("ctl1000")->setText(QString::fromLatin1(symbol));
        auto* countries = dialog->findChild<QComboBox*>("ctl1001");
        if (country)
            countries->setCurrentIndex(countries->findText(QString::fromLatin1(country)));
        dialog->findChild<QPushButton*>(ok ? "ctl1" : "ctl2")->click();
    });
    ASSERT_TRUE(frame->SendCommand(ID_VIEW_FINDWORLDWIDE));
    EXPECT_TRUE(opened);
}

TEST_F(FindQuoteWorldwide, OpensAWindowForTheSymbolWithAnEmptyCompany)
{
    m_frame->m_recDefault.refreshMinutes = 5;
    RunFind(m_frame, "msft", nullptr);
    EXPECT_EQ(g_strFindText, "US:MSFT");
    ASSERT_EQ(Views().size(), 1u);
    EXPECT_EQ(m_frame->m_recCurrent.country, "US");
    EXPECT_EQ(m_frame->m_recCurrent.symbol, "MSFT");
    EXPECT_EQ(m_frame->m_recCurrent.company, "");
    EXPECT_EQ(m_frame->m_recCurrent.refreshMinutes, 5);

    CQuorelleView* view = Views().front();
    EXPECT_EQ(view->m_security.country, "US");
    EXPECT_EQ(view->m_security.symbol, "MSFT");
    // The title was set before the first refresh filled in the company.
    EXPECT_EQ(view->m_pGraph->m_strTitle, " (MSFT)");
    EXPECT_EQ(view->m_security.company, Expected("US:MSFT").security.company);
    EXPECT_EQ(view->RefreshTimerPeriod(), 300'000);
    EXPECT_EQ(RecentEntries(), Entries{" (US, MSFT)"});
}

TEST_F(FindQuoteWorldwide, OnlyTheFirstColonSeparatesTheCountry)
{
    RunFind(m_frame, "a:b", "Canada");
    EXPECT_EQ(g_strFindText, "CA:A:B");
    ASSERT_EQ(Views().size(), 1u);
    EXPECT_EQ(Views().front()->m_security.country, "CA");
    EXPECT_EQ(Views().front()->m_security.symbol, "A:B");
}

TEST_F(FindQuoteWorldwide, AHyphenatedSymbolOpensItsFirstPart)
{
    RunFind(m_frame, "ericb-x", "Sweden");
    EXPECT_EQ(g_strFindText, "SE:ERICB-X");
    ASSERT_EQ(Views().size(), 1u);
    EXPECT_EQ(Views().front()->m_security.symbol, "ERICB");
    EXPECT_EQ(m_frame->m_recCurrent.symbol, "ERICB");
    EXPECT_EQ(RecentEntries(), Entries{" (SE, ERICB)"});
}

TEST_F(FindQuoteWorldwide, CancelOpensNothing)
{
    g_strFindText = "earlier";
    RunFind(m_frame, "msft", nullptr, false);
    EXPECT_EQ(g_strFindText, "earlier");
    EXPECT_EQ(WindowCount(), 0);
    EXPECT_TRUE(RecentEntries().empty());
}

TEST_F(FindQuoteWorldwide, AnEmptySymbolKeepsTheDialogOpen)
{
    RunFind(m_frame, "", nullptr);
    ASSERT_EQ(m_messages->messages().size(), 1u);
    EXPECT_EQ(m_messages->messages()[0], "Please enter a quote Symbol.");
    EXPECT_EQ(WindowCount(), 0);
}

}  // namespace
