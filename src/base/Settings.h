#pragma once

#include <QSettings>

// Every name under which Quorelle keeps per-user settings, declared once.

// The organisation and application names: the settings live in
// <config>/Dorvane/Quorelle.conf.
inline constexpr char kOrganizationName[] = "Dorvane";
inline constexpr char kApplicationName[] = "Quorelle";

namespace SettingsKey {
// The recent-file list: entries "File1" ... "File<n>", most recent first.
inline constexpr char kRecentFileSection[] = "Recent File List";
inline constexpr char kRecentFileEntryFormat[] = "File%1";
// The group of the quote hosts, and the hosts of the two page layouts.
inline constexpr char kQuoteHostsGroup[] = "QuoteHosts";
inline constexpr char kMsnMoneyHost[] = "QuoteHosts/MsnMoney";
inline constexpr char kCnnMoneyHost[] = "QuoteHosts/CnnMoney";
// QuoteHosts/<source id> overrides a quote source's base the same way.
// The enabled quote sources, ids in the order they are tried, by commas.
inline constexpr char kEnabledQuoteSources[] = "QuoteSources/Enabled";
// The watchlist: whether its window was open when the program ended (it is
// reopened at the next start), and its refresh period in whole minutes.
inline constexpr char kWatchlistOpen[] = "Watchlist/Open";
inline constexpr char kWatchlistRefreshMinutes[] = "Watchlist/RefreshMinutes";
// The currency the watchlist's money columns are in (an ISO code), and the
// watchlist's columns the user hid (titles separated by commas).
inline constexpr char kPortfolioBaseCurrency[] = "Portfolio/BaseCurrency";
inline constexpr char kWatchlistHiddenColumns[] = "Watchlist/HiddenColumns";
// The id of the watchlist's list shown at the end of the last run.
inline constexpr char kWatchlistCurrentList[] = "Watchlist/CurrentList";
}  // namespace SettingsKey

// Quorelle's per-user settings (the native format, user scope). Open one
// where it is used and let it go: each opening reads what is stored now.
class CUserSettings : public QSettings {
public:
    CUserSettings() : QSettings(QString::fromLatin1(kOrganizationName), QString::fromLatin1(kApplicationName)) {}
};
