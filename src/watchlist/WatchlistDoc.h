#pragma once

#include <set>
#include <string>
#include <vector>

#include "framework/Document.h"
#include "quote/QuoteSourceRouter.h"
#include "watchlist/WatchlistCore.h"
#include "watchlist/WatchlistStore.h"
#include "watchlist/WatchlistRefresher.h"

class CAlertNotifier;
class CWatchlistModel;
class QFileSystemWatcher;

// The watchlist document: the user's named lists, the shown one's rows (the
// table model), the refresher that keeps them current, the notifier of
// alerts, and its file. The lists are read when the document is made and
// written, atomically, soon after every change and when it closes. There is
// one per application (the application makes sure of it), but other running
// instances may share the file: each save merges with what they wrote
// (SyncWatchlistFile), and when they write it this document merges at once,
// so their lists and rows appear here.
//
// The shown list is refreshed (its rows, and the rates its lots need), and
// with it the rows of the other lists that hold an alert rule, so that every
// list's alerts fire; the other rows keep the quotes they last had until
// their list is shown, which refreshes them at once.
class CWatchlistDoc : public CDocument {
    Q_OBJECT

public:
    CWatchlistDoc();
    ~CWatchlistDoc() override;

    CWatchlistModel& Model() const { return *m_pModel; }
    CWatchlistRefresher& Refresher() const { return *m_pRefresher; }
    CAlertNotifier& Notifier() const { return *m_pNotifier; }
    const std::string& FilePath() const { return m_strFile; }

    // Reads the file (a damaged one is reported and kept aside), then
    // refreshes every row and arms the periodic refresh
    // (Watchlist/RefreshMinutes, 1 by default).
    bool OnNewDocument() override;
    void OnCloseDocument() override;

    // Adds the security to the shown list (and fetches its quote at once);
    // false when it is already listed there or has no symbol.
    bool AddSecurity(const SecurityRecord& security);

    // Every list, in order, the shown one's rows as the table has them.
    WatchLists Lists() const;
    // The lists' ids and names, in order, without copying their rows.
    std::vector<std::pair<std::string, std::string>> ListNames() const;
    const std::string& CurrentListId() const { return m_strCurrent; }
    std::string CurrentListName() const;
    // Shows the list (kept as Watchlist/CurrentList for the next start) and
    // refreshes its rows at once; false for an unknown id.
    bool ShowList(const std::string& id);
    // A new empty list after the others, shown at once; false with the reason
    // (WatchListNameProblem) in `error`.
    bool NewList(const std::string& name, std::string& error);
    bool RenameList(const std::string& id, const std::string& name, std::string& error);
    // Deletes the list with its rows; the first remaining list is shown when
    // it was the shown one. The last list is never deleted (false).
    bool DeleteList(const std::string& id);
    // The refresh period in whole minutes (at least 1), kept in the
    // settings; the period restarts from now.
    void SetRefreshMinutes(int minutes);
    int RefreshMinutes() const;

    // Merges with the file and writes it now; false (reported in the status
    // bar) on failure.
    bool Save();

    // The currency of the money columns (Portfolio/BaseCurrency; by default
    // the system locale's, else USD). Setting it keeps it and asks for the
    // rates it needs; StoreBaseCurrency only keeps it, for when no watchlist
    // is open.
    void SetBaseCurrency(const std::string& code);
    static std::string BaseCurrency();
    static void StoreBaseCurrency(const std::string& code);
    static std::string DefaultBaseCurrency();

    // Says a text in the main window's status bar, when there is one.
    static void ShowInStatusBar(const std::string& text);

    // The file every watchlist document uses; tests point it elsewhere.
    static void SetFilePathOverride(const std::string& path);

signals:
    // A list was made, renamed, deleted or shown, here or by another instance.
    void listsChanged();

private:
    // Puts the list's rows in the table and refreshes them.
    void Show(const WatchList& list);
    void RefreshShownRows();
    void ScheduleSave();
    // Save(); a closing document only writes, it takes no rows over.
    bool SaveNow(bool closing);
    // The folder of the file changed: when the file is not as this
    // document last left it, another instance wrote it; merge with it.
    void OnFolderChanged();
    void WatchFolder();
    void OnRowsFetched(const std::vector<CWatchlistRefresher::FetchedRow>& rows);
    void OnRateFetched(const std::string& from, const std::string& to, double rate, const std::string& error);
    // Asks for the rates the rows need that are neither known nor asked for.
    void FetchMissingRates();

    CWatchlistModel* m_pModel;
    CWatchlistRefresher* m_pRefresher;
    CAlertNotifier* m_pNotifier;
    std::string m_strFile;
    // The lists; the shown one's rows are the model's, not these.
    WatchLists m_lists;
    std::string m_strCurrent;
    // The file's lists as this instance last read or wrote them: what tells
    // a list or row deleted here from one added by another instance.
    WatchLists m_base;
    // The file as this document last read or wrote it.
    WatchlistFileStamp m_stamp;
    // The file is replaced on every write, so its folder is watched.
    QFileSystemWatcher* m_pWatcher;
    // Rates asked for and not answered yet.
    std::set<std::pair<std::string, std::string>> m_ratesAsked;
    bool m_bSaveBlocked = false;
    bool m_bSavePending = false;
};
