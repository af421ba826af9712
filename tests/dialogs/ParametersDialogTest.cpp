#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <QtTest/QTest>

#include "DialogTestHelpers.h"
#include "window/Dia_Parameters.h"
#include "chart/Graph.h"
#include "support/TestEnvironment.h"
#include "quote/SecurityRecord.h"

using dialog_tests::Control;
using dialog_tests::RunModal;

namespace {

// A record as a new quote window gets it from the main frame's default.
SecurityRecord FreshRecord()
{
    SecurityRecord record;
    record.writeToFile = false;
    record.easternTime = true;
    record.refreshMinutes = 1;
    record.country = "US";
    record.symbol = "MSFT";
    return record;
}

class ParametersDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        record = FreshRecord();
        before = record;
    }

    QCheckBox* Check(int id) { return Control<QCheckBox>(dialog, id); }
    QLineEdit* Edit(int id) { return Control<QLineEdit>(dialog, id); }
    QComboBox* Combo() { return Control<QComboBox>(dialog, 521); }

    QWidget owner;
    CGraph graph{&owner};
    SecurityRecord record;
    SecurityRecord before;
    CDia_Parameters dialog{&graph, &record};
};

TEST_F(ParametersDialog, EveryControlWithItsTextAndState)
{
    EXPECT_EQ(dialog.windowTitle(), "Properties");
    struct Expected {
        int id;
        const char* text;
        bool visible;
    };
    const Expected checks[] = {{507, "Autoscale", true},  {508, "Show net", true},    {511, "Autoscale", false},
                               {512, "Show net", true},   {517, "Show marks", true},  {518, "Show legend", true},
                               {519, "Write quote data to file", true}, {520, "Time USA ET", true}};
    for (const Expected& expected : checks) {
        QCheckBox* box = Check(expected.id);
        ASSERT_TRUE(box) << expected.id;
        EXPECT_EQ(box->text(), expected.text) << expected.id;
        EXPECT_EQ(box->isVisibleTo(&dialog), expected.visible) << expected.id;
    }
    for (int id : {509, 510, 513, 514, 516}) {
        ASSERT_TRUE(Edit(id)) << id;
        EXPECT_TRUE(Edit(id)->alignment() & Qt::AlignHCenter) << id;
    }
    EXPECT_TRUE(Edit(509)->isVisibleTo(&dialog));
    EXPECT_TRUE(Edit(510)->isVisibleTo(&dialog));
    EXPECT_FALSE(Edit(513)->isVisibleTo(&dialog));
    EXPECT_FALSE(Edit(514)->isVisibleTo(&dialog));
    EXPECT_TRUE(Edit(516)->isVisibleTo(&dialog));
    ASSERT_TRUE(Combo());
    EXPECT_TRUE(Combo()->isEditable());
    QStringList items;
    for (int i = 0; i < Combo()->count(); ++i)
        items << Combo()->itemText(i);
    EXPECT_EQ(items, (QStringList{"1", "5", "10", "15", "30", "60", "120"}));
    EXPECT_EQ(Control<QPushButton>(dialog, 1)->text(), "OK");
    EXPECT_TRUE(Control<QPushButton>(dialog, 1)->isDefault());
    EXPECT_EQ(Control<QPushButton>(dialog, 2)->text(), "Cancel");

    QStringList groups;
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        groups << group->title();
    groups.sort();
    EXPECT_EQ(groups, (QStringList{"Graph", "Ticker", "X Axe", "Y Axe"}));

    QStringList visibleLabels, hiddenLabels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        (label->isVisibleTo(&dialog) ? visibleLabels : hiddenLabels) << label->text();
    visibleLabels.sort();
    hiddenLabels.sort();
    EXPECT_EQ(visibleLabels, (QStringList{"Line width:", "Refresh every:", "Y delta:", "Y min:", "mins"}));
    EXPECT_EQ(hiddenLabels, (QStringList{"X delta:", "X min:"}));
}

TEST_F(ParametersDialog, FreshWindowInitialState)
{
    dialog.OnInitDialog();
    EXPECT_TRUE(Check(507)->isChecked());
    EXPECT_FALSE(Edit(509)->isEnabled());
    EXPECT_FALSE(Edit(510)->isEnabled());
    EXPECT_TRUE(Check(508)->isChecked());
    EXPECT_TRUE(Check(512)->isChecked());
    EXPECT_FALSE(Check(517)->isChecked());
    EXPECT_TRUE(Check(518)->isChecked());
    EXPECT_EQ(Edit(516)->text(), "1");
    EXPECT_TRUE(Check(520)->isChecked());
    EXPECT_FALSE(Check(519)->isChecked());
    EXPECT_EQ(Combo()->currentText(), "1");
    EXPECT_EQ(Edit(509)->text(), "-20.00");
    EXPECT_EQ(Edit(510)->text(), "5.00");
    EXPECT_EQ(Edit(513)->text(), "0.00");
    EXPECT_EQ(Edit(514)->text(), "10.00");
}

TEST_F(ParametersDialog, OpeningReadsTheCurrentSettings)
{
    graph.m_bShowMarks = true;
    graph.m_bShowLegend = false;
    graph.m_nLineWidth = 3;
    graph.m_bNetX = false;
    graph.m_bNetY = false;
    graph.m_bAutoscaleY = false;
    graph.m_dYMin = 12.345;
    graph.m_dYDelta = 0.5;
    record.writeToFile = true;
    record.easternTime = false;
    record.refreshMinutes = 7;

    bool shownRight = false;
    RunModal(dialog, [&] {
        shownRight = Check(517)->isChecked() && !Check(518)->isChecked() && Edit(516)->text() == "3" &&
                     !Check(512)->isChecked() && !Check(508)->isChecked() && !Check(507)->isChecked() &&
                     Edit(509)->isEnabled() && Edit(510)->isEnabled() && Edit(509)->text() == "12.35" &&
                     Edit(510)->text() == "0.50" && Check(519)->isChecked() && !Check(520)->isChecked() &&
                     Combo()->currentText() == "7";
    });
    EXPECT_TRUE(shownRight);
}

TEST_F(ParametersDialog, AutoscaleRule)
{
    dialog.OnInitDialog();
    // The chart fitted another scale since the dialog opened.
    graph.m_dYMin = 101.5;
    graph.m_dYDelta = 0.25;
    QTest::mouseClick(Check(507), Qt::LeftButton);
    EXPECT_FALSE(Check(507)->isChecked());
    EXPECT_TRUE(Edit(509)->isEnabled());
    EXPECT_TRUE(Edit(510)->isEnabled());
    EXPECT_EQ(Edit(509)->text(), "101.50");
    EXPECT_EQ(Edit(510)->text(), "0.25");

    Edit(509)->setText("99");
    graph.m_dYMin = 7;
    Check(507)->click();
    EXPECT_TRUE(Check(507)->isChecked());
    EXPECT_FALSE(Edit(509)->isEnabled());
    EXPECT_FALSE(Edit(510)->isEnabled());
    EXPECT_EQ(Edit(509)->text(), "99");
    EXPECT_EQ(Edit(510)->text(), "0.25");
}

TEST_F(ParametersDialog, OkWritesEverySetting)
{
    const int result = RunModal(dialog, [&] {
        Check(517)->click();
        Check(518)->click();
        Edit(516)->setText("4");
        Check(512)->click();
        Check(508)->click();
        Check(507)->click();
        Edit(509)->setText("10.5");
        Edit(510)->setText("2");
        Check(519)->click();
        Check(520)->click();
        Combo()->setCurrentIndex(Combo()->findText("15"));
        Control<QPushButton>(dialog, 1)->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(graph.m_bShowMarks);
    EXPECT_FALSE(graph.m_bShowLegend);
    EXPECT_EQ(graph.m_nLineWidth, 4);
    EXPECT_FALSE(graph.m_bNetX);
    EXPECT_FALSE(graph.m_bNetY);
    EXPECT_FALSE(graph.m_bAutoscaleY);
    EXPECT_DOUBLE_EQ(graph.m_dYMin, 10.5);
    EXPECT_DOUBLE_EQ(graph.m_dYDelta, 2.0);
    EXPECT_TRUE(record.writeToFile);
    EXPECT_FALSE(record.easternTime);
    EXPECT_EQ(record.refreshMinutes, 15);
    // The texts were not touched.
    EXPECT_EQ(record.symbol, "MSFT");
    EXPECT_EQ(record.country, "US");
}

TEST_F(ParametersDialog, TypedRefreshPeriod)
{
    RunModal(dialog, [&] {
        QLineEdit* typing = Combo()->lineEdit();
        typing->selectAll();
        QTest::keyClicks(typing, "7");
        QTest::keyClick(typing, Qt::Key_Return);  // the default button
    });
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(record.refreshMinutes, 7);
    EXPECT_EQ(Combo()->count(), 7);  // a typed period is not added to the list
}

TEST_F(ParametersDialog, RefreshPeriodBelowOneOrNotANumberStoresOne)
{
    for (const char* typed : {"0", "abc", "-5", ""}) {
        record.refreshMinutes = 30;
        dialog.OnInitDialog();
        Combo()->setEditText(typed);
        dialog.OnOK();
        EXPECT_EQ(record.refreshMinutes, 1) << typed;
    }
    dialog.OnInitDialog();
    Combo()->setEditText("99999999999");
    dialog.OnOK();
    EXPECT_EQ(record.refreshMinutes, 2147483647);
}

TEST_F(ParametersDialog, LineWidthConvertedAsTyped)
{
    dialog.OnInitDialog();
    Edit(516)->setText("abc");
    dialog.OnOK();
    EXPECT_EQ(graph.m_nLineWidth, 0);
    dialog.OnInitDialog();
    Edit(516)->setText("-2");
    dialog.OnOK();
    EXPECT_EQ(graph.m_nLineWidth, -2);
}

TEST_F(ParametersDialog, HiddenXValuesRoundTripThroughTheirText)
{
    graph.m_dXMin = 1.005;
    graph.m_dXDelta = 10.123;
    dialog.OnInitDialog();
    dialog.OnOK();
    EXPECT_DOUBLE_EQ(graph.m_dXDelta, 10.12);
    EXPECT_DOUBLE_EQ(graph.m_dXMin, 1.00);  // 1.005 is stored just below it
}

TEST_F(ParametersDialog, YValuesStoredAlsoWhileAutoscaling)
{
    graph.m_dYMin = 3.14159;
    graph.m_dYDelta = 0.333;
    dialog.OnInitDialog();
    ASSERT_TRUE(Check(507)->isChecked());
    dialog.OnOK();
    EXPECT_TRUE(graph.m_bAutoscaleY);
    EXPECT_DOUBLE_EQ(graph.m_dYMin, 3.14);
    EXPECT_DOUBLE_EQ(graph.m_dYDelta, 0.33);
}

TEST_F(ParametersDialog, NumbersUseTheCLocaleWhateverTheUserLocale)
{
    testing_support::ScopedLocale german("de_DE.UTF-8");
    if (!german.ok())
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    graph.m_dYMin = 2.5;
    graph.m_bAutoscaleY = false;
    dialog.OnInitDialog();
    EXPECT_EQ(Edit(509)->text(), "2.50");
    Edit(510)->setText("2.5");
    dialog.OnOK();
    EXPECT_DOUBLE_EQ(graph.m_dYMin, 2.5);
    EXPECT_DOUBLE_EQ(graph.m_dYDelta, 2.5);
}

TEST_F(ParametersDialog, CancelChangesNothing)
{
    const bool autoscaleBefore = graph.m_bAutoscaleY;
    const double yMinBefore = graph.m_dYMin;
    const bool marksBefore = graph.m_bShowMarks;
    const int lineWidthBefore = graph.m_nLineWidth;
    const int result = RunModal(dialog, [&] {
        Check(507)->click();
        Edit(509)->setText("1");
        Check(517)->click();
        Edit(516)->setText("9");
        Check(519)->click();
        Check(520)->click();
        Combo()->setEditText("60");
        Control<QPushButton>(dialog, 2)->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(record, before);
    EXPECT_EQ(graph.m_bAutoscaleY, autoscaleBefore);
    EXPECT_EQ(graph.m_dYMin, yMinBefore);
    EXPECT_EQ(graph.m_bShowMarks, marksBefore);
    EXPECT_EQ(graph.m_nLineWidth, lineWidthBefore);

    const int escaped = RunModal(dialog, [&] {
        Check(519)->click();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(escaped, QDialog::Rejected);
    EXPECT_EQ(record, before);
}

TEST_F(ParametersDialog, TabOrderIsTheResourceOrder)
{
    const std::vector<std::string> resourceOrder = {"ctl1",   "ctl2",   "ctl507", "ctl508", "ctl509", "ctl510",
                                                    "ctl511", "ctl512", "ctl513", "ctl514", "ctl517", "ctl518",
                                                    "ctl516", "ctl519", "ctl520", "ctl521"};
    EXPECT_EQ(dialog_tests::FocusChain(Control<QPushButton>(dialog, 1)), resourceOrder);

    // Tab skips the hidden and the disabled controls.
    std::vector<std::string> walked;
    RunModal(dialog, [&] {
        walked = dialog_tests::TabWalk(dialog, Control<QPushButton>(dialog, 1));
    });
    EXPECT_EQ(walked, (std::vector<std::string>{"ctl1", "ctl2", "ctl507", "ctl508", "ctl512", "ctl517", "ctl518",
                                                "ctl516", "ctl519", "ctl520", "ctl521"}));
}

TEST(ParametersDialogWithoutChart, OnlyTickerSettings)
{
    SecurityRecord record = FreshRecord();
    CDia_Parameters dialog(nullptr, &record);
    const int result = RunModal(dialog, [&] {
        // The chart controls keep their resource state.
        EXPECT_FALSE(Control<QCheckBox>(dialog, 507)->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(dialog, 518)->isChecked());
        EXPECT_TRUE(Control<QLineEdit>(dialog, 516)->text().isEmpty());
        EXPECT_FALSE(Control<QLineEdit>(dialog, 509)->isEnabled());
        EXPECT_TRUE(Control<QCheckBox>(dialog, 520)->isChecked());
        // Clearing an already clear Autoscale finds no chart to read from.
        Control<QCheckBox>(dialog, 507)->click();
        Control<QCheckBox>(dialog, 507)->click();
        EXPECT_FALSE(Control<QLineEdit>(dialog, 509)->isEnabled());
        Control<QCheckBox>(dialog, 519)->click();
        Control<QComboBox>(dialog, 521)->setEditText("5");
        dialog.OnOK();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(record.writeToFile);
    EXPECT_TRUE(record.easternTime);
    EXPECT_EQ(record.refreshMinutes, 5);
}

}  // namespace
