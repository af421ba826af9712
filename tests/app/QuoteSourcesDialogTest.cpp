#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "app/QuoteSourcesDialog.h"
#include "base/CText.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "quote/DefaultSourceOrder.h"
#include "quote/QuoteService.h"
#include "quotesim/QuoteSimulator.h"
#include "res/Resource.h"
#include "support/QuoteSourceSetup.h"
#include "support/TestEnvironment.h"

namespace {

// The Quote Sources dialog of a started application, with the chart-json
// source pointed at a local quote simulator.
class QuoteSourcesDialogTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_sim.SetLog({});
        m_sim.LoadLists(QUORELLE_DEMO_DIR);
        m_sim.SetClock(*quotesim::ParseClock("2011-11-04 10:30"));
        m_sim.Start();
        CUserSettings().setValue("QuoteHosts/chart-json", ToQString("http://" + m_sim.HostPort()));
    }
    void TearDown() override
    {
        m_sim.Stop();
        AppTest::TearDown();
    }

    template <typename T>
    static T* Child(QWidget& dialog, const char* name)
    {
        T* child = dialog.findChild<T*>(QString::fromLatin1(name));
        if (!child)
            throw std::runtime_error(std::string("no child ") + name);
        return child;
    }

    static int RowOf(QListWidget* list, const std::string& id)
    {
        for (int row = 0; row < list->count(); ++row) {
            if (FromQString(list->item(row)->text()).find("[" + id + "]") != std::string::npos)
                return row;
        }
        return -1;
    }

    static std::string FieldValue(QTreeWidget* fields, const std::string& name)
    {
        for (int i = 0; i < fields->topLevelItemCount(); ++i) {
            if (FromQString(fields->topLevelItem(i)->text(0)) == name)
                return FromQString(fields->topLevelItem(i)->text(1));
        }
        return "(no row)";
    }

    quotesim::QuoteSimulator m_sim;
};

TEST_F(QuoteSourcesDialogTest, ToolsCommandOpensTheDialogFromBothMenus)
{
    for (bool quoteWindow : {false, true}) {
        if (quoteWindow) {
            ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
        }
        EXPECT_TRUE(Enabled(ID_TOOLS_QUOTESOURCES));
        bool opened = false;
        QTimer::singleShot(0, [&opened] {
            auto* dialog = qobject_cast<CQuoteSourcesDialog*>(QApplication::activeModalWidget());
            opened = dialog != nullptr;
            if (dialog)
                dialog->reject();
        });
        ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_QUOTESOURCES));
        EXPECT_TRUE(opened) << "quote window: " << quoteWindow;
    }
}

TEST_F(QuoteSourcesDialogTest, EnablingAndMovingUpIsSavedAsTheOrder)
{
    CQuoteSourcesDialog dialog(m_frame);
    auto* list = Child<QListWidget>(dialog, "sourceList");
    ASSERT_EQ(RowOf(list, "msn-money"), 0);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    const int chart = RowOf(list, "chart-json");
    ASSERT_GT(chart, 0);
    EXPECT_EQ(list->item(chart)->checkState(), Qt::Unchecked);

    // Nothing checked is refused, and nothing is written.
    list->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(dialog.Save());
    EXPECT_TRUE(Child<QLabel>(dialog, "saveError")->isVisibleTo(&dialog));
    EXPECT_EQ(CUserSettings().value(SettingsKey::kEnabledQuoteSources).toString(), "msn-money");

    list->item(0)->setCheckState(Qt::Checked);
    list->item(chart)->setCheckState(Qt::Checked);
    list->setCurrentRow(chart);
    for (int i = 0; i < chart; ++i)
        Child<QPushButton>(dialog, "upButton")->click();
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_FALSE(Child<QPushButton>(dialog, "upButton")->isEnabled());
    EXPECT_TRUE(dialog.Save());
    EXPECT_EQ(ReadEnabledSources(), (std::vector<std::string>{"chart-json", "msn-money"}));
}

TEST_F(QuoteSourcesDialogTest, WithoutAChoiceTheDefaultOrderIsShownAndOnlySaveWritesIt)
{
    testing_support::UseDefaultSourceOrder();
    CQuoteSourcesDialog dialog(m_frame);
    auto* list = Child<QListWidget>(dialog, "sourceList");
    const std::vector<std::string> order = DefaultQuoteSourceOrder(2);
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(RowOf(list, order[i]), static_cast<int>(i)) << order[i];
        EXPECT_EQ(list->item(static_cast<int>(i))->checkState(), Qt::Checked) << order[i];
    }
    EXPECT_EQ(list->item(RowOf(list, "cnn-money"))->checkState(), Qt::Unchecked);
    EXPECT_FALSE(CUserSettings().contains(SettingsKey::kEnabledQuoteSources));

    // Saved, the order is the user's from then on.
    EXPECT_TRUE(dialog.Save());
    EXPECT_EQ(CUserSettings().value(SettingsKey::kEnabledQuoteSources).toString(), "msn-money,chart-json,quote-csv");
    EXPECT_TRUE(CQuoteService::Instance().SourcesChosen());
}

TEST_F(QuoteSourcesDialogTest, TestShowsFieldValuesNotFoundAndTheRawAnswer)
{
    CQuoteSourcesDialog dialog(m_frame);
    auto* list = Child<QListWidget>(dialog, "sourceList");
    list->setCurrentRow(RowOf(list, "chart-json"));
    EXPECT_EQ(FromQString(Child<QLineEdit>(dialog, "baseEdit")->text()), "http://" + m_sim.HostPort());
    Child<QLineEdit>(dialog, "testSymbol")->setText("OFI");
    Child<QComboBox>(dialog, "testCountry")->setCurrentText("CA");
    Child<QPushButton>(dialog, "testButton")->click();

    auto* fields = Child<QTreeWidget>(dialog, "testFields");
    EXPECT_EQ(FieldValue(fields, "last"), FormatC("%.10g", m_sim.QuoteAt("CA:OFI", m_sim.Now())->last));
    EXPECT_EQ(FieldValue(fields, "bid"), "not found");
    EXPECT_EQ(FromQString(Child<QPlainTextEdit>(dialog, "testRaw")->toPlainText()).substr(0, 9), "{\"chart\":");
    const std::string status = FromQString(Child<QLabel>(dialog, "testStatus")->text());
    EXPECT_NE(status.find(" ms"), std::string::npos) << status;
    EXPECT_TRUE(Child<QPushButton>(dialog, "testButton")->isEnabled());
}

TEST_F(QuoteSourcesDialogTest, TestAsksASourceWithoutABaseSettingAtTheCommonBase)
{
    // QUORELLE_QUOTE_BASE sends every source without a setting to the simulator.
    testing_support::ScopedEnvironment common(kQuoteBaseVariable, "http://" + m_sim.HostPort());
    CQuoteSourcesDialog dialog(m_frame);
    auto* list = Child<QListWidget>(dialog, "sourceList");
    list->setCurrentRow(RowOf(list, "quote-csv"));
    EXPECT_EQ(FromQString(Child<QLineEdit>(dialog, "baseEdit")->text()), "");
    Child<QLineEdit>(dialog, "testSymbol")->setText("YSI");
    Child<QPushButton>(dialog, "testButton")->click();
    const std::string status = FromQString(Child<QLabel>(dialog, "testStatus")->text());
    EXPECT_EQ(status.rfind("Quote found", 0), 0u) << status;
    EXPECT_NE(status.find("http://" + m_sim.HostPort() + "/"), std::string::npos) << status;
}

TEST_F(QuoteSourcesDialogTest, BrokenUserFileIsNamedAtTheTop)
{
    const std::string path = UserQuoteSourcesPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "{\"sources\": [\n  {\"id\": }\n]}\n";
    CQuoteService::Instance().Reload();
    {
        CQuoteSourcesDialog dialog(m_frame);
        auto* error = Child<QLabel>(dialog, "catalogError");
        EXPECT_TRUE(error->isVisibleTo(&dialog));
        EXPECT_NE(FromQString(error->text()).find("quote-sources.json"), std::string::npos);
        // The built-ins are still listed.
        EXPECT_GE(RowOf(Child<QListWidget>(dialog, "sourceList"), "quote-csv"), 0);
    }
    std::filesystem::remove(path);
    CQuoteService::Instance().Reload();
}

// The places of the keys in a text, in order; false when a key is missing.
bool InOrder(const std::string& text, const std::vector<std::string>& keys)
{
    size_t previous = 0;
    for (const std::string& key : keys) {
        const size_t at = text.find("\"" + key + "\":");
        if (at == std::string::npos || at < previous)
            return false;
        previous = at;
    }
    return true;
}

TEST_F(QuoteSourcesDialogTest, DefinitionIsShownInItsOwnKeyOrderAndReadsBackEqual)
{
    const std::string path = UserQuoteSourcesPath();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    // Keys in an order of the user's own, none of them sorted.
    std::ofstream(path) << R"({"sources": [{
        "url": "{base}/q?s={symbol}", "format": "csv", "name": "Mine", "id": "mine",
        "base": "http://127.0.0.1:1",
        "headers": {"User-Agent": "Quorelle", "Accept": "text/csv"},
        "fields": {"volume": 6, "last": {"columns": ["Close"]}, "company": 1}
    }]})";
    CQuoteService::Instance().Reload();
    {
        CQuoteSourcesDialog dialog(m_frame);
        auto* list = Child<QListWidget>(dialog, "sourceList");
        auto* definition = Child<QPlainTextEdit>(dialog, "definitionText");
        const auto sources = CQuoteService::Instance().Sources();
        for (const std::string id : {"mine", "chart-json", "quote-csv", "msn-money"}) {
            list->setCurrentRow(RowOf(list, id));
            const std::string text = FromQString(definition->toPlainText());
            const QuoteSourceList back = ParseQuoteSources(text, "shown");
            ASSERT_TRUE(back.error.empty()) << back.error;
            ASSERT_EQ(back.sources.size(), 1u);
            EXPECT_EQ(back.sources[0], *FindQuoteSource(*sources, id)) << text;
        }
        list->setCurrentRow(RowOf(list, "mine"));
        std::string text = FromQString(definition->toPlainText());
        EXPECT_TRUE(InOrder(text, {"id", "name", "url", "format", "base", "headers", "User-Agent", "Accept",
                                   "fields", "volume", "last", "company"}))
            << text;
        // A built-in as its document writes it.
        list->setCurrentRow(RowOf(list, "chart-json"));
        text = FromQString(definition->toPlainText());
        EXPECT_TRUE(InOrder(text, {"id", "name", "url", "base", "format", "headers", "User-Agent", "Accept",
                                   "minInterval", "symbols", "fields", "last", "prevClose", "dayHigh",
                                   "series", "times", "prices", "errorPath"}))
            << text;
    }
    std::filesystem::remove(path);
    CQuoteService::Instance().Reload();
}

}  // namespace
