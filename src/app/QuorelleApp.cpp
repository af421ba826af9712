#include "app/QuorelleApp.h"

#include <QIcon>

#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/ResourceTables.h"
#include "framework/DocTemplate.h"
#include "framework/MessageBox.h"
#include "framework/QtMessageBox.h"
#include "framework/Settings.h"
#include "markets/ListView.h"
#include "quote/QuoteService.h"
#include "res/Resource.h"
#include "window/QuorelleDoc.h"
#include "window/QuorelleView.h"

CQuorelleApp::CQuorelleApp() : CWinApp(kApplicationName)
{
    InstallQtMessageBoxPresenter();
}

CQuorelleApp::~CQuorelleApp() = default;

CQuorelleApp* CQuorelleApp::GetQuorelleApp()
{
    return dynamic_cast<CQuorelleApp*>(CWinApp::GetApp());
}

CMainFrame* CQuorelleApp::GetMainWnd() const
{
    return static_cast<CMainFrame*>(CWinApp::GetMainWnd());
}

bool CQuorelleApp::InitInstance()
{
    // Common controls, OLE and control hosting need no set-up with Qt.
    if (!CWinApp::InitInstance())
        return false;
    SetRegistryKey(kOrganizationName);
    LoadStdProfileSettings(15);

    auto quoteTemplate = std::make_unique<CDocTemplate>(
        IDR_QuorelleTYPE, QuoteDocumentStrings(), IDR_QuorelleTYPE, CDocTemplate::DocumentClass<CQuorelleDoc>(),
        CDocTemplate::FrameClass<CChildFrame>(), CDocTemplate::ViewClass<CQuorelleView>());
    quoteTemplate->SetIcon(QIcon(QStringLiteral(":/images/quotewindow.png")));
    m_pQuoteTemplate = AddDocTemplate(std::move(quoteTemplate));
    if (!m_pQuoteTemplate)
        return false;

    auto listTemplate = std::make_unique<CDocTemplate>(
        IDR_LISTTYPE, std::string(), 0, CDocTemplate::DocumentClass<CQuorelleDoc>(),
        CDocTemplate::FrameClass<CChildFrame>(), [](const CCreateContext&) -> QWidget* {
            // A list window's row opens its quote window through the live
            // main frame's directory.
            auto* view = new CListView_();
            QObject::connect(view, &CListView_::quoteWindowRequested, view, [](SecurityRecord& record) {
                if (CMainFrame* frame = GetMainFrame())
                    frame->m_directory.OpenQuoteWindow(record);
            });
            return view;
        });
    listTemplate->SetIcon(QIcon(QStringLiteral(":/images/listwindow.png")));
    m_pListTemplate = AddDocTemplate(std::move(listTemplate));
    if (!m_pListTemplate)
        return false;

    auto mainFrame = std::make_unique<CMainFrame>();
    CMainFrame* frame = mainFrame.get();
    SetMainWnd(std::move(mainFrame));
    frame->show();
    frame->repaint();
    // A broken quote-sources.json is said once; the built-in sources work.
    if (const std::string problem = CQuoteService::Instance().CatalogError(); !problem.empty())
        ShowMessage(problem);
    return true;
}

void CQuorelleApp::OnAppAbout()
{
    CAboutDlg dialog(GetMainWnd());
    dialog.exec();
}

bool CQuorelleApp::HandlesCommand(int id) const
{
    return id == ID_APP_ABOUT || CWinApp::HandlesCommand(id);
}

void CQuorelleApp::OnCommand(int id)
{
    if (id == ID_APP_ABOUT)
        OnAppAbout();
    else
        CWinApp::OnCommand(id);
}
