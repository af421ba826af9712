#include "AppTestSupport.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMenuBar>

#include "base/Globals.h"
#include "framework/MDIChildWnd.h"
#include "base/QtText.h"
#include "support/LocalHttpServer.h"
#include "support/QuoteSourceSetup.h"
#include "base/Settings.h"

void ResetApplicationState()
{
    CUserSettings settings;
    settings.clear();
    // Quote windows opened here fetch from a local port nobody listens on,
    // never from the network.
    const QString dead = QStringLiteral("127.0.0.1:%1").arg(testing_support::UnusedLoopbackPort());
    settings.setValue("QuoteHosts/MsnMoney", dead);
    settings.setValue("QuoteHosts/CnnMoney", dead);
    // The shell's tests mean the specified source alone.
    testing_support::UseSpecifiedSourceAlone();
    g_nWindowKind = 1;
}

void ProcessDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void AppTest::SetUp()
{
    ResetApplicationState();
    m_app = std::make_unique<CQuorelleApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = m_app->GetMainWnd();
    ASSERT_NE(m_frame, nullptr);
}

void AppTest::TearDown()
{
    m_app.reset();
    ProcessDeferredDeletes();
    g_nWindowKind = 1;
}

std::vector<std::string> AppTest::MenuTitles() const
{
    std::vector<std::string> titles;
    for (QAction* action : m_frame->menuBar()->actions())
        titles.push_back(FromQString(action->text()));
    return titles;
}

std::vector<std::string> AppTest::MenuItems(const std::string& title) const
{
    std::vector<std::string> items;
    for (QAction* menuAction : m_frame->menuBar()->actions()) {
        if (FromQString(menuAction->text()) != title || !menuAction->menu())
            continue;
        for (QAction* action : menuAction->menu()->actions()) {
            if (!action->isVisible())
                continue;
            items.push_back(action->isSeparator() ? "-" : FromQString(action->text()));
        }
    }
    return items;
}

bool AppTest::Enabled(int id)
{
    m_frame->UpdateCommandUI();
    QAction* action = m_frame->Commands().Action(id);
    return action && action->isEnabled();
}

CMDIChildWnd* AppTest::Active() const
{
    return m_frame->MDIGetActive();
}

int AppTest::WindowCount() const
{
    return static_cast<int>(m_frame->MdiArea()->subWindowList().size());
}
