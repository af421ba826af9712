#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "DialogTestHelpers.h"
#include "base/Globals.h"
#include "markets/Dia_Find.h"

using dialog_tests::Control;
using dialog_tests::RunModal;

namespace {
class FindDialog : public ::testing::Test {
protected:
    void SetUp() override { g_strFindText = "previous"; }
    void TearDown() override { g_strFindText.clear(); }
};
}  // namespace

TEST_F(FindDialog, ResourceTextsAndControls)
{
    CDia_Find dialog;
    EXPECT_EQ(dialog.windowTitle(), "Find a Quote");
    auto* edit = Control<QLineEdit>(dialog, 103);
    auto* ok = Control<QPushButton>(dialog, 1);
    auto* cancel = Control<QPushButton>(dialog, 2);
    ASSERT_TRUE(edit && ok && cancel);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(dialog_tests::FocusChain(edit), (std::vector<std::string>{"ctl103", "ctl1", "ctl2"}));
    bool promptFound = false;
    for (QObject* child : dialog.children())
        if (child->property("text").toString() == "Enter a part of a company name or a qoute symbol:")
            promptFound = true;
    EXPECT_TRUE(promptFound);
}

TEST_F(FindDialog, TextTakenAsTypedIncludingSpaces)
{
    CDia_Find dialog;
    auto* edit = Control<QLineEdit>(dialog, 103);
    ASSERT_TRUE(edit);
    const int result = RunModal(dialog, [&] {
        EXPECT_TRUE(edit->hasFocus() || dialog.focusWidget() == edit);
        QTest::keyClicks(edit, "  Corp ");
        QTest::keyClick(edit, Qt::Key_Return);  // the default button
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "  Corp ");
    EXPECT_EQ(dialog.m_strText, "  Corp ");
}

TEST_F(FindDialog, EmptyTextAccepted)
{
    CDia_Find dialog;
    const int result = RunModal(dialog, [&] { Control<QPushButton>(dialog, 1)->click(); });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(g_strFindText, "");
}

TEST_F(FindDialog, CancelKeepsPreviousText)
{
    CDia_Find dialog;
    const int result = RunModal(dialog, [&] {
        Control<QLineEdit>(dialog, 103)->setText("ibm");
        Control<QPushButton>(dialog, 2)->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(g_strFindText, "previous");

    const int escaped = RunModal(dialog, [&] {
        Control<QLineEdit>(dialog, 103)->setText("ibm");
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(escaped, QDialog::Rejected);
    EXPECT_EQ(g_strFindText, "previous");
}

TEST_F(FindDialog, EditEmptyEveryTimeItOpens)
{
    CDia_Find dialog;
    auto* edit = Control<QLineEdit>(dialog, 103);
    ASSERT_TRUE(edit);
    RunModal(dialog, [&] {
        edit->setText("first");
        dialog.OnOK();
    });
    EXPECT_EQ(g_strFindText, "first");

    bool emptyOnSecondOpen = false;
    RunModal(dialog, [&] {
        emptyOnSecondOpen = edit->text().isEmpty() && dialog.m_strText.empty();
        edit->setText("second");
        dialog.OnOK();
    });
    EXPECT_TRUE(emptyOnSecondOpen);
    EXPECT_EQ(g_strFindText, "second");

    // A fresh dialog starts empty too.
    CDia_Find another;
    EXPECT_TRUE(Control<QLineEdit>(another, 103)->text().isEmpty());
}
