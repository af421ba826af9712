#pragma once

#include "framework/CommandIds.h"

// Resource and command ids of Quorelle's own menus, toolbar, dialogs and
// strings, next to the framework's standard ids.

// Dialogs and strings.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDP_OLE_INIT_FAILED = 100;

// The main frame: menu, toolbar, accelerator table, icon and title string.
inline constexpr int IDR_MAINFRAME = 128;
// The quote document type: menu, icon and type strings.
inline constexpr int IDR_QuorelleTYPE = 129;
// The market-list document type: an icon only.
inline constexpr int IDR_LISTTYPE = 501;

// Market commands.
inline constexpr int ID_MARKETS_MUTUALFUNDS = 32774;
inline constexpr int ID_MARKETS_NASDAQ = 32777;
inline constexpr int ID_MARKETS_NYSE = 32779;
inline constexpr int ID_MARKETS_AMEX = 32780;
inline constexpr int ID_MARKETS_CVE = 32781;
inline constexpr int ID_MARKETS_TSX = 32782;
inline constexpr int ID_MARKETS_LSE = 32783;

// Find in the active list (handled by the market list view).
inline constexpr int ID_VIEW_FINDINLIST = 32786;
// Find a quote worldwide (handled by the main frame).
inline constexpr int ID_VIEW_FINDWORLDWIDE = 32797;
// The quote window's Properties dialog (handled by the quote view).
inline constexpr int ID_VIEW_PROPERTIES = 32799;

// The watchlist document type: an icon only (menu 128 while it is active).
inline constexpr int IDR_WATCHLISTTYPE = 502;
// The History window's document type (menu 128 while it is active).
inline constexpr int IDR_HISTORYTYPE = 503;
// The Tools menu. Quote Sources, Watchlist and Open Day File are the main
// frame's; the export commands are the quote view's, so they are enabled
// only while a quote window is active.
inline constexpr int ID_TOOLS_QUOTESOURCES = 32820;
// Tools -> Watchlist: opens (or activates) the watchlist window.
inline constexpr int ID_TOOLS_WATCHLIST = 32850;
// Tools -> Base Currency...: the currency of the watchlist's money columns.
inline constexpr int ID_TOOLS_BASE_CURRENCY = 32862;
inline constexpr int ID_TOOLS_OPEN_DAY_FILE = 32801;
inline constexpr int ID_TOOLS_EXPORT_CHART = 32802;
inline constexpr int ID_TOOLS_EXPORT_HISTORY = 32803;
// Tools -> History...: a History window for a symbol the user types (the main
// frame's); History of This Security: the active quote window's security.
inline constexpr int ID_TOOLS_HISTORY = 32860;
inline constexpr int ID_TOOLS_HISTORY_THIS = 32861;
