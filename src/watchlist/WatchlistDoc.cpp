#include "watchlist/WatchlistDoc.h"

#include <algorithm>

#include <QFileInfo>
#include <QLocale>
#include <QFileSystemWatcher>
#include <QTimer>

#include "base/CText.h"
#include "base/StatusText.h"
#include "framework/MDIFrameWnd.h"
#include "base/MessageBox.h"
#include "base/Settings.h"
#include "framework/WinApp.h"
#include "quote/Money.h"
#include "quote/QuoteService.h"
#include "watchlist/AlertNotifier.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistRefresher.h"

namespace {
std::string& FilePathOverride()
{
    static std::string path;
    return path;
}
}  // namespace

void CWatchlistDoc::ShowInStatusBar(const std::string& text)
{
    ::ShowStatusText(text);
}

void CWatchlistDoc::SetFilePathOverride(const std::string& path)
{
    FilePathOverride() = path;
}

CWatchlistDoc::CWatchlistDoc()
    : m_pModel(new CWatchlistModel(this)),
      m_pRefresher(new CWatchlistRefresher(this)),
      m_pNotifier(new CAlertNotifier(this)),
      m_strFile(FilePathOverride().empty() ? DefaultWatchlistPath() : FilePathOverride()),
      m_pWatcher(new QFileSystemWatcher(this))
{
    m_pNotifier->SetStatusBarSink(&ShowInStatusBar);
    m_pRefresher->SetSecuritiesProvider([this] {
        std::vector<SecurityRecord> securities = m_pModel->Securities();
        const std::vector<SecurityRecord> alerted = AlertedSecuritiesElsewhere(m_lists, m_strCurrent, securities);
        securities.insert(securities.end(), alerted.begin(), alerted.end());
        return securities;
    });
    connect(m_pRefresher, &CWatchlistRefresher::rowsFetched, this, &CWatchlistDoc::OnRowsFetched);
    connect(m_pModel, &CWatchlistModel::contentsChanged, this, &CWatchlistDoc::ScheduleSave);
    // Lots set on a row in another currency want its rate at once.
    connect(m_pModel, &CWatchlistModel::contentsChanged, this, &CWatchlistDoc::FetchMissingRates);
    m_pRefresher->SetRatePairsProvider([this] {
        auto pairs = m_pModel->NeededRatePairs();
        m_ratesAsked.insert(pairs.begin(), pairs.end());
        return pairs;
    });
    connect(m_pRefresher, &CWatchlistRefresher::rateFetched, this, &CWatchlistDoc::OnRateFetched);
    connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, this, &CWatchlistDoc::OnFolderChanged);
}

CWatchlistDoc::~CWatchlistDoc()
{
    if (m_bSavePending)
        SaveNow(true);
}

bool CWatchlistDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    SetTitle("Watchlist");
    WatchlistLoadResult loaded = LoadWatchlistFile(m_strFile);
    m_bSaveBlocked = loaded.saveBlocked;
    m_base = loaded.lists;
    m_lists = std::move(loaded.lists);
    m_stamp = StampWatchlistFile(m_strFile);
    WatchFolder();
    // The list shown at the end of the last run, else the first.
    const std::string remembered =
        CUserSettings().value(QString::fromLatin1(SettingsKey::kWatchlistCurrentList)).toString().toStdString();
    const WatchList* shown = FindWatchList(m_lists, remembered);
    if (!shown)
        shown = &m_lists.front();
    m_strCurrent = shown->id;
    {
        const QSignalBlocker blocker(m_pModel);
        m_pModel->SetRows(shown->rows);
        m_pModel->SetBaseCurrency(BaseCurrency());
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
    m_pWatcher->disconnect(this);
    if (m_bSavePending)
        SaveNow(true);
    CDocument::OnCloseDocument();
}

bool CWatchlistDoc::AddSecurity(const SecurityRecord& security)
{
    if (m_pModel->AddSecurity(security) < 0)
        return false;
    m_pRefresher->FetchOne(m_pModel->Rows().back().security);
    return true;
}

WatchLists CWatchlistDoc::Lists() const
{
    WatchLists lists = m_lists;
    if (WatchList* shown = FindWatchList(lists, m_strCurrent))
        shown->rows = m_pModel->Rows();
    return lists;
}

std::vector<std::pair<std::string, std::string>> CWatchlistDoc::ListNames() const
{
    std::vector<std::pair<std::string, std::string>> names;
    names.reserve(m_lists.size());
    for (const WatchList& list : m_lists)
        names.emplace_back(list.id, list.name);
    return names;
}

std::string CWatchlistDoc::CurrentListName() const
{
    const WatchList* shown = FindWatchList(m_lists, m_strCurrent);
    return shown ? shown->name : std::string();
}

void CWatchlistDoc::Show(const WatchList& list)
{
    m_strCurrent = list.id;
    m_pModel->SetRows(list.rows);
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kWatchlistCurrentList), QString::fromStdString(list.id));
    FetchMissingRates();
    RefreshShownRows();
    emit listsChanged();
}

void CWatchlistDoc::RefreshShownRows()
{
    // A cycle still running for the list shown before: these rows are
    // fetched one by one instead of waiting for the next period.
    if (m_pRefresher->RefreshAll())
        return;
    for (const SecurityRecord& security : m_pModel->Securities())
        m_pRefresher->FetchOne(security);
}

bool CWatchlistDoc::ShowList(const std::string& id)
{
    if (id == m_strCurrent)
        return FindWatchList(m_lists, id) != nullptr;
    const WatchList* target = FindWatchList(m_lists, id);
    if (!target)
        return false;
    // The rows leaving the table keep their quotes for when they are shown again.
    if (WatchList* shown = FindWatchList(m_lists, m_strCurrent))
        shown->rows = m_pModel->Rows();
    Show(*target);
    return true;
}

bool CWatchlistDoc::NewList(const std::string& name, std::string& error)
{
    error = WatchListNameProblem(m_lists, name);
    if (!error.empty())
        return false;
    const std::string id = NewWatchListId();
    m_lists.push_back(WatchList{id, TrimWhitespace(name), {}});
    ShowList(id);
    ScheduleSave();
    return true;
}

bool CWatchlistDoc::RenameList(const std::string& id, const std::string& name, std::string& error)
{
    WatchList* list = FindWatchList(m_lists, id);
    if (!list) {
        error = "There is no such list.";
        return false;
    }
    error = WatchListNameProblem(m_lists, name, id);
    if (!error.empty())
        return false;
    list->name = TrimWhitespace(name);
    ScheduleSave();
    emit listsChanged();
    return true;
}

bool CWatchlistDoc::DeleteList(const std::string& id)
{
    const auto it =
        std::find_if(m_lists.begin(), m_lists.end(), [&id](const WatchList& list) { return list.id == id; });
    if (it == m_lists.end() || m_lists.size() < 2)
        return false;
    m_lists.erase(it);
    if (id == m_strCurrent)
        Show(m_lists.front());
    else
        emit listsChanged();
    ScheduleSave();
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
    return SaveNow(false);
}

bool CWatchlistDoc::SaveNow(bool closing)
{
    m_bSavePending = false;
    if (m_bSaveBlocked)
        return false;
    WatchlistSyncResult synced = SyncWatchlistFile(m_strFile, m_base, Lists());
    if (!synced.message.empty())
        ShowInStatusBar(synced.message);
    if (synced.saveBlocked)
        m_bSaveBlocked = true;
    if (!synced.ok) {
        ShowInStatusBar("The watchlist could not be saved to " + m_strFile + ": " + synced.error);
        return false;
    }
    m_base = synced.lists;
    m_stamp = synced.stamp;
    if (closing)
        return true;
    WatchFolder();
    const bool sameLists = std::equal(m_lists.begin(), m_lists.end(), synced.lists.begin(), synced.lists.end(),
                                      [](const WatchList& a, const WatchList& b) {
                                          return a.id == b.id && a.name == b.name;
                                      });
    m_lists = std::move(synced.lists);
    const WatchList* shown = FindWatchList(m_lists, m_strCurrent);
    if (!shown) {
        // Deleted by another instance.
        Show(m_lists.front());
        return true;
    }
    // Rows another instance added are quoted at once, as added ones here are.
    for (const SecurityRecord& security : m_pModel->AdoptRows(shown->rows))
        m_pRefresher->FetchOne(security);
    if (!sameLists)
        emit listsChanged();
    return true;
}

void CWatchlistDoc::OnRowsFetched(const std::vector<CWatchlistRefresher::FetchedRow>& rows)
{
    for (const CWatchlistRefresher::FetchedRow& row : rows) {
        if (const std::string gone = CQuoteService::Instance().NoteFetch(row.security, row.result); !gone.empty())
            ShowInStatusBar(gone);
    }
    for (const std::string& alert : m_pModel->ApplyResults(rows))
        m_pNotifier->Notify("Quorelle alert", alert);
    // The lists not shown have their alerts too.
    bool elsewhereChanged = false;
    for (const CWatchlistRefresher::FetchedRow& row : rows) {
        for (const std::string& alert :
             ApplyResultElsewhere(m_lists, m_strCurrent, row.security, row.result, elsewhereChanged))
            m_pNotifier->Notify("Quorelle alert", alert);
    }
    if (elsewhereChanged)
        ScheduleSave();
    // A quote may name a currency other than its country's.
    FetchMissingRates();
}

std::string CWatchlistDoc::DefaultBaseCurrency()
{
    const std::string code = QLocale::system().currencySymbol(QLocale::CurrencyIsoCode).toStdString();
    return IsKnownCurrencyCode(code) ? code : std::string("USD");
}

std::string CWatchlistDoc::BaseCurrency()
{
    const std::string code =
        CUserSettings().value(QString::fromLatin1(SettingsKey::kPortfolioBaseCurrency)).toString().toStdString();
    return IsKnownCurrencyCode(code) ? code : DefaultBaseCurrency();
}

void CWatchlistDoc::StoreBaseCurrency(const std::string& code)
{
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kPortfolioBaseCurrency), QString::fromStdString(code));
}

void CWatchlistDoc::SetBaseCurrency(const std::string& code)
{
    if (!IsKnownCurrencyCode(code))
        return;
    StoreBaseCurrency(code);
    m_pModel->SetBaseCurrency(code);
    FetchMissingRates();
}

void CWatchlistDoc::FetchMissingRates()
{
    std::vector<std::pair<std::string, std::string>> wanted;
    for (const auto& pair : m_pModel->NeededRatePairs()) {
        if (!m_pModel->Rates().Rate(pair.first, pair.second) && m_ratesAsked.insert(pair).second)
            wanted.push_back(pair);
    }
    if (!wanted.empty())
        m_pRefresher->FetchRates(wanted);
}

void CWatchlistDoc::OnRateFetched(const std::string& from, const std::string& to, double rate,
                                  const std::string& error)
{
    m_ratesAsked.erase({from, to});
    if (rate > 0)
        m_pModel->SetRate(from, to, rate);
    else
        ShowInStatusBar("No " + from + " to " + to + " exchange rate: " + error);
}

void CWatchlistDoc::WatchFolder()
{
    const QString folder = QFileInfo(QString::fromStdString(m_strFile)).absolutePath();
    if (QFileInfo::exists(folder) && !m_pWatcher->directories().contains(folder))
        m_pWatcher->addPath(folder);
}

void CWatchlistDoc::OnFolderChanged()
{
    // Our own writes, the lock file and other files of the folder leave
    // the stamp as it is.
    if (m_bSaveBlocked || StampWatchlistFile(m_strFile) == m_stamp)
        return;
    Save();
}
