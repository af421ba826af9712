#include "app/ResourceTables.h"

#include <map>

#include "res/Resource.h"

namespace {
const std::map<int, std::string>& StringTable()
{
    static const std::map<int, std::string> table = {
        {IDR_MAINFRAME, "Quorelle"},
        {IDR_QuorelleTYPE, "\nQuorelle\nQuorelle\n\n\nQuorelle.Document\nQuorelle.Document"},
        {AFX_IDS_APP_TITLE, "Quorelle"},
        {AFX_IDS_IDLEMESSAGE, " "},
        {AFX_IDS_HELPMODEMESSAGE, "Select an object on which to get Help"},
        {ID_INDICATOR_CAPS, "CAP"},
        {ID_INDICATOR_NUM, "NUM"},
        {ID_INDICATOR_SCRL, "SCRL"},

        // Quorelle's own commands.
        {ID_MARKETS_MUTUALFUNDS, "Mutual Funds\nMutual Funds"},
        {ID_MARKETS_NASDAQ, "NASDAQ\nNASDAQ"},
        {ID_MARKETS_NYSE, "New York Stock Exchange\nNew York Stock Exchange"},
        {ID_MARKETS_AMEX, "American Stock Exchange\nAmerican Stock Exchange"},
        {ID_MARKETS_CVE, "Canadian Venture Exchange\nCanadian Venture Exchange"},
        {ID_MARKETS_TSX, "Toronto Stock Exchange\nToronto Stock Exchange"},
        {ID_MARKETS_LSE, "London Stock Exchange\nLondon Stock Exchange"},
        // "Qoute" is the command's established spelling, kept on purpose.
        {ID_VIEW_FINDINLIST, "Find Qoute in a List\nFind Qoute in a List"},
        {ID_VIEW_FINDWORLDWIDE, "Find Quote Worldwide\nFind Quote Worldwide"},
        {ID_VIEW_PROPERTIES, "Show Properties Dialog\nShow Properties Dialog"},
        {ID_TOOLS_QUOTESOURCES, "Choose, order and try the quote sources\nQuote Sources"},
        {ID_TOOLS_WATCHLIST, "Open the watchlist: many securities in one table, with price alerts\nWatchlist"},
        {ID_TOOLS_BASE_CURRENCY, "Choose the currency the watchlist's values and gains are shown in\nBase Currency"},
        {ID_TOOLS_OPEN_DAY_FILE, "Open a day file of quotes read-only\nOpen Day File"},
        {ID_TOOLS_EXPORT_CHART, "Save the chart as a PNG or SVG picture\nExport Chart"},
        {ID_TOOLS_EXPORT_HISTORY, "Save the quote history as CSV for a spreadsheet\nExport History"},
        {ID_TOOLS_HISTORY, "Chart a security's history over a day to a decade, or compare several\nHistory"},
        {ID_TOOLS_HISTORY_THIS, "Chart the history of the active quote window's security\nHistory of This Security"},

        // The framework's standard prompts.
        {ID_FILE_NEW, "Create a new document\nNew"},
        {ID_FILE_OPEN, "Open an existing document\nOpen"},
        {ID_FILE_CLOSE, "Close the active document\nClose"},
        {ID_FILE_SAVE, "Save the active document\nSave"},
        {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
        {ID_FILE_PRINT, "Print the active document\nPrint"},
        {ID_FILE_PRINT_DIRECT, "Print the active document using current options\nQuick Print"},
        {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
        {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
        {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
        {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
        {ID_EDIT_UNDO, "Undo the last action\nUndo"},
        {ID_WINDOW_NEW, "Open another window for the active document\nNew Window"},
        {ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
        {ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
        {ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
        {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {ID_HELP_FINDER, "List Help topics\nHelp Topics"},
        {ID_CONTEXT_HELP, "Display help for clicked buttons, menus and windows\nHelp"},
        {ID_HELP, "Display help for current task or command\nHelp"},
        {ID_DEFAULT_HELP, "Display help for current task or command\nHelp"},
        {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
        {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
        {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    };
    return table;
}

std::vector<MenuItemDef> MarketItems()
{
    return {
        {ID_MARKETS_NYSE, "New York Stock Exchange"},
        {ID_MARKETS_AMEX, "American Stock Exchange"},
        {ID_MARKETS_NASDAQ, "NASDAQ"},
        {ID_MARKETS_TSX, "Toronto Stock Exchange"},
        {ID_MARKETS_CVE, "Canadian Venture Exchange"},
        {ID_MARKETS_LSE, "London Stock Exchange"},
    };
}

// The Tools menu, shared by both menus and placed before Help: commands
// beyond the original program's. Its items are listed here alone so that
// new tools are added in one place.
PopupMenuDef ToolsPopup()
{
    return {"&Tools",
            {
                {ID_TOOLS_QUOTESOURCES, "&Quote Sources..."},
                {ID_TOOLS_WATCHLIST, "&Watchlist"},
                {ID_TOOLS_HISTORY, "Histor&y..."},
                {ID_TOOLS_HISTORY_THIS, "History of This &Security"},
                {ID_TOOLS_BASE_CURRENCY, "&Base Currency..."},
                {0, ""},
                {ID_TOOLS_OPEN_DAY_FILE, "&Open Day File..."},
                {ID_TOOLS_EXPORT_CHART, "Export &Chart..."},
                {ID_TOOLS_EXPORT_HISTORY, "Export &History..."},
            }};
}

// The Tools menu's commands, for the command table.
std::vector<int> ToolsCommandIds()
{
    std::vector<int> ids;
    for (const MenuItemDef& item : ToolsPopup().items) {
        if (item.id != 0)
            ids.push_back(item.id);
    }
    return ids;
}

PopupMenuDef HelpPopup()
{
    return {"&Help", {{ID_HELP_FINDER, "&Help Topics"}, {0, ""}, {ID_APP_ABOUT, "&About Quorelle..."}}};
}
}  // namespace

std::string LoadResourceString(int id)
{
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST)
        return "Open this document";
    auto it = StringTable().find(id);
    return it == StringTable().end() ? std::string() : it->second;
}

const std::vector<int>& CommandTableIds()
{
    static const std::vector<int> ids = [] {
        std::vector<int> list = {
            ID_MARKETS_MUTUALFUNDS, ID_MARKETS_NASDAQ, ID_MARKETS_NYSE, ID_MARKETS_AMEX, ID_MARKETS_CVE,
            ID_MARKETS_TSX, ID_MARKETS_LSE, ID_VIEW_FINDINLIST, ID_VIEW_FINDWORLDWIDE, ID_VIEW_PROPERTIES,
            ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_PRINT_SETUP, ID_FILE_PRINT,
            ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW,
        };
        for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_LAST; ++id)
            list.push_back(id);
        for (int id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_WINDOW_NEW, ID_WINDOW_ARRANGE,
                       ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_APP_ABOUT, ID_APP_EXIT, ID_HELP_FINDER,
                       ID_CONTEXT_HELP, ID_HELP, ID_DEFAULT_HELP, ID_NEXT_PANE, ID_PREV_PANE, ID_VIEW_TOOLBAR,
                       ID_VIEW_STATUS_BAR})
            list.push_back(id);
        for (int id : ToolsCommandIds())
            list.push_back(id);
        return list;
    }();
    return ids;
}

const MenuDef& MainFrameMenu()
{
    static const MenuDef menu = {
        {"&File", {{ID_FILE_MRU_FILE1, "Recent File"}, {0, ""}, {ID_FILE_CLOSE, "&Close"}, {ID_APP_EXIT, "E&xit"}}},
        {"Markets", MarketItems()},
        {"&View",
         {{ID_VIEW_TOOLBAR, "&Toolbar"},
          {ID_VIEW_STATUS_BAR, "&Status Bar"},
          {0, ""},
          {ID_VIEW_FINDINLIST, "Find Qoute in a List"},  // "Qoute" kept on purpose
          {ID_VIEW_FINDWORLDWIDE, "Find Quote Worldwide"},
          {ID_VIEW_PROPERTIES, "Properties"}}},
        {"&Window",
         {{ID_WINDOW_CASCADE, "&Cascade"}, {ID_WINDOW_TILE_HORZ, "&Tile"}, {ID_WINDOW_ARRANGE, "&Arrange Icons"}}},
        ToolsPopup(),
        HelpPopup(),
    };
    return menu;
}

const MenuDef& QuoteWindowMenu()
{
    static const MenuDef menu = {
        {"&File",
         {{ID_FILE_CLOSE, "&Close"},
          {0, ""},
          {ID_FILE_PRINT, "&Print...\tCtrl+P"},
          {ID_FILE_PRINT_PREVIEW, "Print Pre&view"},
          {ID_FILE_PRINT_SETUP, "P&rint Setup..."},
          {0, ""},
          {ID_FILE_MRU_FILE1, "Recent File"},
          {0, ""},
          {ID_APP_EXIT, "E&xit"}}},
        {"Markets", MarketItems()},
        {"&View", {{ID_VIEW_TOOLBAR, "&Toolbar"}, {ID_VIEW_STATUS_BAR, "&Status Bar"}, {0, ""},
                   {ID_VIEW_PROPERTIES, "Properties"}}},
        {"&Window",
         {{ID_WINDOW_NEW, "&New Window"},
          {ID_WINDOW_CASCADE, "&Cascade"},
          {ID_WINDOW_TILE_HORZ, "&Tile"},
          {ID_WINDOW_ARRANGE, "&Arrange Icons"}}},
        ToolsPopup(),
        HelpPopup(),
    };
    return menu;
}

const ToolBarDef& MainToolBar()
{
    static const ToolBarDef toolBar = {
        ID_VIEW_FINDWORLDWIDE, 0, ID_VIEW_PROPERTIES, 0, ID_VIEW_FINDINLIST, 0, ID_MARKETS_NYSE, 0,
        ID_MARKETS_AMEX, 0, ID_MARKETS_NASDAQ, 0, ID_MARKETS_TSX, 0, ID_MARKETS_CVE, 0, ID_MARKETS_LSE,
        // After the original nine: the Tools buttons.
        0, ID_TOOLS_WATCHLIST,
    };
    return toolBar;
}

const std::vector<AccelDef>& MainAccelerators()
{
    static const std::vector<AccelDef> table = {
        {ID_FILE_NEW, "Ctrl+N"},         {ID_FILE_OPEN, "Ctrl+O"},        {ID_FILE_SAVE, "Ctrl+S"},
        {ID_FILE_PRINT, "Ctrl+P"},       {ID_EDIT_UNDO, "Ctrl+Z"},        {ID_EDIT_CUT, "Ctrl+X"},
        {ID_EDIT_COPY, "Ctrl+C"},        {ID_EDIT_PASTE, "Ctrl+V"},       {ID_EDIT_UNDO, "Alt+Backspace"},
        {ID_EDIT_CUT, "Shift+Del"},      {ID_EDIT_COPY, "Ctrl+Ins"},      {ID_EDIT_PASTE, "Shift+Ins"},
        {ID_NEXT_PANE, "F6"},            {ID_PREV_PANE, "Shift+F6"},      {ID_CONTEXT_HELP, "Shift+F1"},
        {ID_HELP, "F1"},
    };
    return table;
}

const std::vector<int>& StatusBarIndicators()
{
    static const std::vector<int> indicators = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                                ID_INDICATOR_SCRL};
    return indicators;
}

std::string QuoteDocumentStrings()
{
    return LoadResourceString(IDR_QuorelleTYPE);
}
