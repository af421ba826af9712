#include "window/WatchlistDoc.h"

#include <algorithm>

#include <QTimer>

#include "framework/MDIFrameWnd.h"
#include "base/MessageBox.h"
#include "base/Settings.h"
#include "framework/WinApp.h"
#include "window/AlertNotifier.h"
#include "window/WatchlistModel.h"
#include "window/WatchlistRefresher.h"
#include "window/WatchlistStore.h"

namespace {
std::string& FilePathOverride()
{
    static std::string path;
    return path;
}
}  // namespace

void CWatchlistDoc::ShowInStatusBar(const std::string& text)
{
    if (CWinApp* app = CWinApp::GetApp()) {
        if (CMDIFrameWnd* frame = app->GetMainWnd())
            frame->SetMessageText(text);
    }
}

void CWatchlistDoc::SetFilePathOverride(const std::string& path)
{
    FilePathOverride() = path;
}

CWatchlistDoc::CWatchlistDoc()
    : m_pModel(new CWatchlistModel(this)),
      m_pRefresher(new CWatchlistRefresher(this)),
      m_pNotifier(new CAlertNotifier(this)),
      m_strFile(FilePathOverride().empty() ? DefaultWatchlistPath() : FilePathOverride())
{
    m_pNotifier->SetStatusBarSink(&ShowInStatusBar);
    m_pRefresher->SetSecuritiesProvider([this] { return m_pModel->Securities(); });
    connect(m_pRefresher, &CWatchlistRefresher::rowFetched, this, &CWatchlistDoc::OnRowFetched);
    connect(m_pModel, &CWatchlistModel::contentsChanged, this, &CWatchlistDoc::ScheduleSave);
}

CWatchlistDoc::~CWatchlistDoc()
{
    if (m_bSavePending)
        Save();
}

bool CWatchlistDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    SetTitle("Watchlist");
    WatchlistLoadResult loaded = LoadWatchlistFile(m_strFile);
    m_bSaveBlocked = loaded.saveBlocked;
    {
        const QSignalBlocker blocker(m_pModel);
        m_pModel->SetRows(std::move(loaded.rows));
    }
    if (!loaded.message.empty())
        ShowMessage(loaded.message);
    const int minutes = CUserSettings().value(QString::fromLatin1(SettingsKey::kWatchlistRefreshMinutes), 1).toInt();
    m_pRefresher->SetPeriodMinutes(minutes < 1 ? 1 : minutes);
    m_pRefresher->RefreshAll();
    return true;
}

void CWatchlistDoc::SetRefreshMinutes(int minutes)
{
    minutes = std::max(1, minutes);
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kWatchlistRefreshMinutes), minutes);
    m_pRefresher->SetPeriodMinutes(minutes);
}

int CWatchlistDoc::RefreshMinutes() const
{
    return m_pRefresher->PeriodMinutes();
}

void CWatchlistDoc::OnCloseDocument()
{
    if (m_bSavePending)
        Save();
    CDocument::OnCloseDocument();
}

bool CWatchlistDoc::AddSecurity(const SecurityRecord& security)
{
    if (m_pModel->AddSecurity(security) < 0)
        return false;
    m_pRefresher->FetchOne(m_pModel->Rows().back().security);
    return true;
}

void CWatchlistDoc::ScheduleSave()
{
    if (m_bSavePending)
        return;
    m_bSavePending = true;
    // Changes of one moment (a refresh cycle, several adds) are written once.
    QTimer::singleShot(0, this, [this] {
        if (m_bSavePending)
            Save();
    });
}

bool CWatchlistDoc::Save()
{
    m_bSavePending = false;
    if (m_bSaveBlocked)
        return false;
    std::string error;
    if (SaveWatchlistFile(m_strFile, m_pModel->Rows(), error))
        return true;
    ShowInStatusBar("The watchlist could not be saved to " + m_strFile + ": " + error);
    return false;
}

void CWatchlistDoc::OnRowFetched(const SecurityRecord& security, const QuoteFetchResult& result)
{
    for (const std::string& alert : m_pModel->ApplyResult(security, result))
        m_pNotifier->Notify("Quorelle alert", alert);
}
