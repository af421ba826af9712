#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "DialogTestHelpers.h"
#include "base/Globals.h"
#include "marketdata/CountryTable.h"
#include "markets/Dia_FindWorldwide.h"
#include "support/TestEnvironment.h"

using dialog_tests::Control;
using dialog_tests::RunModal;
using testing_support::MessageRecorder;

namespace {
class FindWorldwideDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_strFindText = "previous";
        symbol = Control<QLineEdit>(dialog, 1000);
        country = Control<QComboBox>(dialog, 1001);
        ok = Control<QPushButton>(dialog, 1);
        cancel = Control<QPushButton>(dialog, 2);
        ASSERT_TRUE(symbol && country && ok && cancel);
    }
    void TearDown() override { g_strFindText.clear(); }

    // Opens the dialog, types the symbol, picks the country and presses OK.
    int Confirm(const QString& typed, const QString& countryName = QString())
    {
        return RunModal(dialog, [&] {
            symbol->clear();
            QTest::keyClicks(symbol, typed);
            if (!countryName.isNull())
                country->setCurrentIndex(country->findText(countryName));
            ok->click();
        });
    }

    MessageRecorder messages;
    CDia_FindWorldwide dialog;
    QLineEdit* symbol = nullptr;
    QComboBox* country = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
}  // namespace

TEST_F(FindWorldwideDialog, ResourceTextsAndControls)
{
    EXPECT_EQ(dialog.windowTitle(), "Find Quote Worldwide");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_EQ(symbol->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_FALSE(country->isEditable());
    QStringList labels;
    for (QObject* child : dialog.children())
        if (QString text = child->property("text").toString(); !text.isEmpty() && child->inherits("QLabel"))
            labels << text;
    EXPECT_EQ(labels, (QStringList{"Quote Symbol:", "Country:"}));
}

TEST_F(FindWorldwideDialog, CountriesShownSorted)
{
    std::vector<std::string> shown;
    for (int i = 0; i < country->count(); ++i)
        shown.push_back(country->itemText(i).toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"Australia", "Belgium", "Canada", "France", "Germany",
                                               "Great Britain", "Italy", "Japan", "Netherlands", "Spain",
                                               "Sweden", "United States"}));
}

TEST_F(FindWorldwideDialog, UnitedStatesSelectedEveryTimeItOpens)
{
    EXPECT_EQ(country->currentText(), "United States");
    EXPECT_EQ(country->currentIndex(), 11);

    QString atSecondOpen;
    RunModal(dialog, [&] {
        EXPECT_EQ(country->currentText(), "United States");
        country->setCurrentIndex(country->findText("Japan"));
        cancel->click();
    });
    RunModal(dialog, [&] {
        atSecondOpen = country->currentText();
        cancel->click();
    });
    EXPECT_EQ(atSecondOpen, "United States");
    EXPECT_EQ(g_strFindText, "previous");
}

TEST_F(FindWorldwideDialog, SymbolEditFirstWithFocus)
{
    EXPECT_EQ(dialog_tests::FocusChain(symbol), (std::vector<std::string>{"ctl1000", "ctl1001", "ctl1", "ctl2", "ctlWatchlist"}));
    bool focused = false;
    RunModal(dialog, [&] {
        focused = dialog.focusWidget() == symbol;
        cancel->click();
    });
    EXPECT_TRUE(focused);
}

TEST_F(FindWorldwideDialog, DefaultCountryUpperCasesSymbol)
{
    EXPECT_EQ(Confirm("msft"), QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "US:MSFT");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FindWorldwideDialog, ChosenCountryGivesItsCode)
{
    EXPECT_EQ(Confirm("ericb", "Sweden"), QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "SE:ERICB");
    EXPECT_EQ(Confirm("bmw", "Germany"), QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "DE:BMW");
}

TEST_F(FindWorldwideDialog, LeadingSpaceKept)
{
    EXPECT_EQ(Confirm(" ibm"), QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "US: IBM");
}

TEST_F(FindWorldwideDialog, ColonInSymbolSplitsAtTheFirstOne)
{
    EXPECT_EQ(Confirm("A:B", "Canada"), QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "CA:A:B");
    std::string code, sym;
    ASSERT_TRUE(SplitWorldwideFindText(g_strFindText, code, sym));
    EXPECT_EQ(code, "CA");
    EXPECT_EQ(sym, "A:B");
}

TEST_F(FindWorldwideDialog, EnterInTheEditConfirms)
{
    const int result = RunModal(dialog, [&] {
        QTest::keyClicks(symbol, "rio");
        QTest::keyClick(symbol, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "US:RIO");
}

TEST_F(FindWorldwideDialog, EmptySymbolAsksAndStaysOpen)
{
    bool openAfterMessage = false;
    QString countryAfterMessage;
    std::string findTextAfterMessage;
    const int result = RunModal(dialog, [&] {
        country->setCurrentIndex(country->findText("France"));
        ok->click();
        openAfterMessage = dialog.isVisible();
        countryAfterMessage = country->currentText();
        findTextAfterMessage = g_strFindText;
        // The user then types a symbol and confirms.
        QTest::keyClicks(symbol, "ora");
        ok->click();
    });
    EXPECT_EQ(messages.messages(), std::vector<std::string>{"Please enter a quote Symbol."});
    EXPECT_TRUE(openAfterMessage);
    EXPECT_EQ(countryAfterMessage, "France");
    EXPECT_EQ(findTextAfterMessage, "previous");
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "FR:ORA");
}

TEST_F(FindWorldwideDialog, NoSelectionIsAnUnknownCountry)
{
    bool openAfterMessage = false;
    const int result = RunModal(dialog, [&] {
        QTest::keyClicks(symbol, "msft");
        country->setCurrentIndex(-1);
        ok->click();
        openAfterMessage = dialog.isVisible();
    });
    EXPECT_EQ(messages.messages(), std::vector<std::string>{"Unknown Country: "});
    EXPECT_TRUE(openAfterMessage);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(g_strFindText, "");
}

TEST_F(FindWorldwideDialog, CancelLeavesFindText)
{
    const int result = RunModal(dialog, [&] {
        QTest::keyClicks(symbol, "msft");
        cancel->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(g_strFindText, "previous");
    EXPECT_TRUE(messages.messages().empty());
}
