#include "QuoteWindowFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "base/Globals.h"
#include "framework/RecentFileList.h"
#include "support/LocalHttpServer.h"
#include "support/QuoteSourceSetup.h"
#include "window/QuorelleDoc.h"
#include "base/Settings.h"

void QuoteWindowTest::SetUp()
{
    CUserSettings().clear();
    testing_support::UseSpecifiedSourceAlone();
    g_nWindowKind = 1;
    refreshInProgress = false;
    m_cwd = std::make_unique<testing_support::ScopedCurrentDir>(m_work.path());
    m_messages = std::make_unique<testing_support::MessageRecorder>();
    m_sim.SetLog(nullptr);
    m_sim.SetClock(*quotesim::ParseClock("2011-11-04 10:30"));
    m_sim.Start();
    UseSimulator();
    m_app = std::make_unique<CQuorelleApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = m_app->GetMainWnd();
}

void QuoteWindowTest::TearDown()
{
    m_app.reset();
    ProcessEvents();
    m_messages.reset();
    m_sim.Stop();
    m_cwd.reset();
    g_nWindowKind = 1;
}

void QuoteWindowTest::UseSimulator()
{
    CUserSettings settings;
    settings.setValue("QuoteHosts/MsnMoney", QString::fromStdString(m_sim.HostPort()));
    settings.setValue("QuoteHosts/CnnMoney", QString::fromStdString(m_sim.HostPort()));
}

void QuoteWindowTest::UseDeadHost()
{
    const QString dead = QStringLiteral("127.0.0.1:%1").arg(testing_support::UnusedLoopbackPort());
    CUserSettings settings;
    settings.setValue("QuoteHosts/MsnMoney", dead);
    settings.setValue("QuoteHosts/CnnMoney", dead);
}

SecurityRecord QuoteWindowTest::Security(const std::string& country, const std::string& symbol,
                                         const std::string& company) const
{
    SecurityRecord record = m_frame->m_recDefault;
    record.country = country;
    record.symbol = symbol;
    record.company = company;
    return record;
}

CQuorelleView* QuoteWindowTest::Open(SecurityRecord record)
{
    CQuorelleDoc* document = m_frame->m_directory.OpenQuoteWindow(record);
    if (!document || document->GetViews().empty())
        return nullptr;
    return dynamic_cast<CQuorelleView*>(document->GetViews().back());
}

void QuoteWindowTest::AdvanceClock(int minutes)
{
    m_sim.SetClock(quotesim::AddMinutes(m_sim.Now(), minutes));
}

void QuoteWindowTest::Tick(CQuorelleView* view)
{
    ASSERT_NE(view->RefreshTimerId(), 0) << "no refresh timer runs";
    QTimerEvent event(view->RefreshTimerId());
    QCoreApplication::sendEvent(view, &event);
}

std::vector<CQuorelleView*> QuoteWindowTest::Views() const
{
    std::vector<CQuorelleView*> views;
    for (QMdiSubWindow* window : m_frame->MdiArea()->subWindowList()) {
        if (auto* view = qobject_cast<CQuorelleView*>(window->widget()))
            views.push_back(view);
    }
    return views;
}

int QuoteWindowTest::WindowCount() const
{
    return static_cast<int>(m_frame->MdiArea()->subWindowList().size());
}

std::vector<std::string> QuoteWindowTest::RecentEntries() const
{
    return m_app->GetRecentFileList()->Entries();
}

quotesim::QuoteSnapshot QuoteWindowTest::Expected(const std::string& symbolParameter) const
{
    std::optional<quotesim::QuoteSnapshot> snapshot = m_sim.QuoteAt(symbolParameter, m_sim.Now());
    if (!snapshot)
        throw std::runtime_error("the simulator does not quote " + symbolParameter);
    return *snapshot;
}

void QuoteWindowTest::ProcessEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

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
