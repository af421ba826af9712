#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "QuoteWindowFixture.h"
#include "window/Dia_Parameters.h"
#include "chart/Graph.h"
#include "res/Resource.h"

namespace {

using QuoteViewProperties = QuoteWindowTest;

template <typename T>
T* Control(QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QStringLiteral("ctl%1").arg(id));
}

// Runs the Properties command on the active window, changing the dialog with
// `edit` and pressing OK (or Cancel).
void RunProperties(CMainFrame* frame, const std::function<void(QWidget*)>& edit, bool ok = true)
{
    bool opened = false;
    WhenModalOpens([&](QWidget* dialog) {
        opened = qobject_cast<CDia_Parameters*>(dialog) != nullptr;
        edit(dialog);
        Control<QPushButton>(dialog, ok ? 1 : 2)->click();
    });
    ASSERT_TRUE(frame->SendCommand(ID_VIEW_PROPERTIES));
    EXPECT_TRUE(opened);
}

void SetPeriod(QWidget* dialog, const char* text)
{
    Control<QComboBox>(dialog, 521)->setEditText(QString::fromLatin1(text));
}

TEST_F(QuoteViewProperties, ANewPeriodRewritesTheCaptionAndReArmsTheTimer)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const int before = view->RefreshTimerId();
    RunProperties(m_frame, [](QWidget* dialog) { SetPeriod(dialog, "7"); });
    EXPECT_EQ(view->m_security.refreshMinutes, 7);
    EXPECT_EQ(*view->m_pGraph->m_series[0].pName, "Time ET (every 7 min)");
    EXPECT_EQ(view->m_pGraph->m_series[0].nMarkSize, 0);
    EXPECT_EQ(view->RefreshTimerPeriod(), 420'000);
    EXPECT_NE(view->RefreshTimerId(), 0);
    EXPECT_NE(view->RefreshTimerId(), before);
}

TEST_F(QuoteViewProperties, ClearingEasternTimeRewritesTheCaptionWithTheSamePeriod)
{
    SecurityRecord record = Security("US", "MSFT");
    record.refreshMinutes = 5;
    CQuorelleView* view = Open(record);
    ASSERT_NE(view, nullptr);
    const int before = view->RefreshTimerId();
    RunProperties(m_frame, [](QWidget* dialog) { Control<QCheckBox>(dialog, 520)->setChecked(false); });
    EXPECT_FALSE(view->m_security.easternTime);
    EXPECT_EQ(*view->m_pGraph->m_series[0].pName, "Time local (every 5 min)");
    EXPECT_EQ(view->RefreshTimerPeriod(), 300'000);
    EXPECT_NE(view->RefreshTimerId(), before);
}

TEST_F(QuoteViewProperties, AChartSettingAloneLeavesTheTimerRunning)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const int before = view->RefreshTimerId();
    RunProperties(m_frame, [](QWidget* dialog) { Control<QCheckBox>(dialog, 517)->setChecked(true); });
    EXPECT_TRUE(view->m_pGraph->m_bShowMarks);
    EXPECT_EQ(view->RefreshTimerId(), before);
    EXPECT_EQ(*view->m_pGraph->m_series[0].pName, "Time ET (every 1 min)");
}

TEST_F(QuoteViewProperties, CancelChangesNothing)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    const int before = view->RefreshTimerId();
    RunProperties(m_frame, [](QWidget* dialog) { SetPeriod(dialog, "30"); }, false);
    EXPECT_EQ(view->m_security.refreshMinutes, 1);
    EXPECT_EQ(view->RefreshTimerId(), before);
}

TEST_F(QuoteViewProperties, AnIdleWindowStartsRefreshingOnceThePeriodChanges)
{
    UseDeadHost();
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->RefreshTimerId(), 0);

    // The same period again arms nothing.
    RunProperties(m_frame, [](QWidget* dialog) { SetPeriod(dialog, "1"); });
    EXPECT_EQ(view->RefreshTimerId(), 0);

    RunProperties(m_frame, [](QWidget* dialog) { SetPeriod(dialog, "15"); });
    EXPECT_EQ(view->RefreshTimerPeriod(), 900'000);
    UseSimulator();
    Tick(view);
    EXPECT_EQ(view->m_history.size(), 1u);
    EXPECT_EQ(view->m_pGraph->m_points.size(), 1u);
}

TEST_F(QuoteViewProperties, AHugePeriodIsClamped)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    RunProperties(m_frame, [](QWidget* dialog) { SetPeriod(dialog, "100000"); });
    EXPECT_EQ(view->m_security.refreshMinutes, 100'000);
    EXPECT_EQ(view->RefreshTimerPeriod(), INT_MAX);
}

TEST_F(QuoteViewProperties, AViewWithoutAChartGetsTheTickerSettingsOnly)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_NEW));
    CQuorelleView* view = Views().front();
    ASSERT_EQ(view->m_pGraph, nullptr);
    bool chartControlsUntouched = false;
    RunProperties(m_frame, [&](QWidget* dialog) {
        // The chart controls keep their resource state.
        chartControlsUntouched = !Control<QCheckBox>(dialog, 507)->isChecked();
        SetPeriod(dialog, "10");
        Control<QCheckBox>(dialog, 519)->setChecked(true);
    });
    EXPECT_TRUE(chartControlsUntouched);
    EXPECT_EQ(view->m_security.refreshMinutes, 10);
    EXPECT_TRUE(view->m_security.writeToFile);
    EXPECT_EQ(view->RefreshTimerId(), 0);
    EXPECT_EQ(view->m_pGraph, nullptr);
}

}  // namespace
