#include "framework/WinApp.h"

#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QSettings>

#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MDIFrameWnd.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "base/WaitCursor.h"

namespace {
CWinApp* g_pApp = nullptr;

const QString kRecentFileSection = QString::fromLatin1(SettingsKey::kRecentFileSection);

QString RecentFileKey(int index)
{
    return QString::fromLatin1(SettingsKey::kRecentFileEntryFormat).arg(index + 1);
}
}  // namespace

CWinApp::CWinApp(std::string appName) : m_strAppName(std::move(appName)), m_pPrevious(g_pApp)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    // Windows first: views may reach the templates and the main frame.
    CloseAllDocuments();
    m_pMainWnd.reset();
    m_templates.clear();
    if (g_pApp == this)
        g_pApp = m_pPrevious;
}

CWinApp* CWinApp::GetApp()
{
    return g_pApp;
}

void CWinApp::SetMainWnd(std::unique_ptr<CMDIFrameWnd> mainWnd)
{
    m_pMainWnd = std::move(mainWnd);
}

CDocTemplate* CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate)
{
    if (!docTemplate)
        return nullptr;
    m_templates.push_back(std::move(docTemplate));
    return m_templates.back().get();
}

std::vector<CDocTemplate*> CWinApp::GetDocTemplates() const
{
    std::vector<CDocTemplate*> templates;
    for (const auto& docTemplate : m_templates)
        templates.push_back(docTemplate.get());
    return templates;
}

void CWinApp::CloseAllDocuments()
{
    for (const auto& docTemplate : m_templates)
        docTemplate->CloseAllDocuments();
}

void CWinApp::SetRegistryKey(const std::string& key)
{
    m_strRegistryKey = key;
}

std::unique_ptr<QSettings> CWinApp::OpenSettings() const
{
    return std::make_unique<QSettings>(ToQString(m_strRegistryKey), ToQString(m_strAppName));
}

void CWinApp::LoadStdProfileSettings(int maxEntries)
{
    m_pRecentFileList = std::make_unique<CRecentFileList>(static_cast<std::size_t>(std::max(0, maxEntries)));
    auto settings = OpenSettings();
    settings->beginGroup(kRecentFileSection);
    std::vector<std::string> entries;
    for (int i = 0; i < maxEntries; ++i)
        entries.push_back(FromQString(settings->value(RecentFileKey(i)).toString()));
    settings->endGroup();
    m_pRecentFileList->Assign(entries);
    emit recentFileListChanged();
}

void CWinApp::SaveRecentFileList() const
{
    if (!m_pRecentFileList)
        return;
    auto settings = OpenSettings();
    settings->remove(kRecentFileSection);
    settings->beginGroup(kRecentFileSection);
    const auto& entries = m_pRecentFileList->Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        settings->setValue(RecentFileKey(static_cast<int>(i)), ToQString(entries[i]));
    settings->endGroup();
    // Stored at once, so a crash or another application object sees it.
    settings->sync();
}

void CWinApp::AddToRecentFileList(const std::string& entry)
{
    if (!m_pRecentFileList)
        return;
    m_pRecentFileList->Add(entry);
    SaveRecentFileList();
    if (m_pMainWnd)
        m_pMainWnd->UpdateRecentFileMenu();
    emit recentFileListChanged();
}

CDocument* CWinApp::OpenDocumentFile(const std::string& path)
{
    if (m_templates.empty())
        return nullptr;
    return m_templates.front()->OpenDocumentFile(&path, true);
}

void CWinApp::DoWaitCursor(int code)
{
    ::DoWaitCursor(code);
}

QPrinter& CWinApp::GetPrinter()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pPrinter;
}

void CWinApp::OnFileNew()
{
    // The first type that has a name for New.
    for (const auto& docTemplate : m_templates) {
        if (!docTemplate->GetDocString(CDocTemplate::fileNewName).empty()) {
            docTemplate->OpenDocumentFile(nullptr, true);
            return;
        }
    }
}

void CWinApp::OnFileOpen()
{
    QString path = QFileDialog::getOpenFileName(m_pMainWnd.get(), QStringLiteral("Open"));
    if (!path.isEmpty())
        OpenDocumentFile(FromQString(path));
}

void CWinApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&GetPrinter(), m_pMainWnd.get());
    dialog.exec();
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->close();
    else
        CloseAllDocuments();
}

void CWinApp::OnOpenRecentFile(int id)
{
    if (!m_pRecentFileList)
        return;
    auto index = static_cast<std::size_t>(id - ID_FILE_MRU_FILE1);
    if (index >= m_pRecentFileList->GetSize())
        return;
    // A copy: opening the entry reorders the list.
    std::string entry = (*m_pRecentFileList)[index];
    OpenDocumentFile(entry);
}

bool CWinApp::HandlesCommand(int id) const
{
    return id == ID_FILE_NEW || id == ID_FILE_OPEN || id == ID_FILE_PRINT_SETUP || id == ID_APP_EXIT ||
           (IsRecentFileCommand(id) && m_pRecentFileList);
}

void CWinApp::OnUpdateCommand(int id, CCmdUI& ui)
{
    if (IsRecentFileCommand(id))
        ui.enabled = static_cast<std::size_t>(id - ID_FILE_MRU_FILE1) < m_pRecentFileList->GetSize();
}

void CWinApp::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        break;
    case ID_FILE_OPEN:
        OnFileOpen();
        break;
    case ID_FILE_PRINT_SETUP:
        OnFilePrintSetup();
        break;
    case ID_APP_EXIT:
        OnAppExit();
        break;
    default:
        if (IsRecentFileCommand(id))
            OnOpenRecentFile(id);
        break;
    }
}
