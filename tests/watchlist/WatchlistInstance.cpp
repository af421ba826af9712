// One running instance's watchlist, driven line by line from stdin, for the
// tests of instances that share the watchlist file. It keeps its lists and
// the file's lists as last read or written, as the watchlist document does,
// and saves through the store. Usage: watchlist_instance FILE. Commands,
// each answered by one line (rows are the first list's unless a list is named):
//   load               read the file            -> "ok <rows>"
//   add SYMBOL         add a row (US)           -> "ok"
//   remove SYMBOL      delete the row           -> "ok"
//   above SYMBOL X     set the row's alert      -> "ok"
//   save               merge and write          -> "ok <rows>" or "error <why>"
//   rows               the symbols              -> "rows A,B,C"
//   newlist NAME       add an empty list        -> "ok"
//   addto NAME SYMBOL  add a row to that list   -> "ok" or "error no list"
//   rename NAME NEW    rename a list            -> "ok" or "error no list"
//   dellist NAME       delete a list            -> "ok" or "error no list"
//   lists              every list               -> "lists A:IBM,GE;B:"
//   churn COUNT        add COUNT rows, then change one row's alert and save,
//                      again and again until killed -> "saved <n>" each time
//   quit
#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "watchlist/WatchlistStore.h"

namespace {
class Instance {
public:
    explicit Instance(std::string path) : m_path(std::move(path)) {}

    void Load()
    {
        m_lists = LoadWatchlistFile(m_path).lists;
        m_base = m_lists;
    }
    void Add(const std::string& symbol) { AddTo(m_lists.front(), symbol); }
    static void AddTo(WatchList& list, const std::string& symbol)
    {
        if (Find(list.rows, symbol) != list.rows.end())
            return;
        WatchRow row;
        row.security.country = "US";
        row.security.symbol = symbol;
        list.rows.push_back(row);
    }
    void Remove(const std::string& symbol)
    {
        if (const auto it = Find(Rows(), symbol); it != Rows().end())
            Rows().erase(it);
    }
    void SetAbove(const std::string& symbol, double above)
    {
        if (const auto it = Find(Rows(), symbol); it != Rows().end())
            it->alert.above = above;
    }
    void NewList(const std::string& name) { m_lists.push_back(WatchList{NewWatchListId(), name, {}}); }
    WatchList* Named(const std::string& name)
    {
        for (WatchList& list : m_lists) {
            if (list.name == name)
                return &list;
        }
        return nullptr;
    }
    void DeleteList(const WatchList* list) { m_lists.erase(m_lists.begin() + (list - m_lists.data())); }
    bool Save(std::string& error)
    {
        WatchlistSyncResult result = SyncWatchlistFile(m_path, m_base, m_lists);
        if (!result.ok) {
            error = result.error;
            return false;
        }
        m_lists = result.lists;
        m_base = result.lists;
        return true;
    }
    static std::string Symbols(const std::vector<WatchRow>& rows)
    {
        std::string text;
        for (const WatchRow& row : rows)
            text += (text.empty() ? "" : ",") + row.security.symbol;
        return text;
    }
    std::string Symbols() const { return Symbols(m_lists.front().rows); }
    std::string Lists() const
    {
        std::string text;
        for (const WatchList& list : m_lists)
            text += (text.empty() ? "" : ";") + list.name + ":" + Symbols(list.rows);
        return text;
    }
    size_t Size() const { return m_lists.front().rows.size(); }

private:
    std::vector<WatchRow>& Rows() { return m_lists.front().rows; }
    static std::vector<WatchRow>::iterator Find(std::vector<WatchRow>& rows, const std::string& symbol)
    {
        return std::find_if(rows.begin(), rows.end(),
                            [&symbol](const WatchRow& row) { return row.security.symbol == symbol; });
    }

    std::string m_path;
    WatchLists m_lists = OneWatchList();
    WatchLists m_base = OneWatchList();
};
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: watchlist_instance FILE\n";
        return 2;
    }
    Instance instance(argv[1]);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command, symbol;
        in >> command >> symbol;
        std::string error;
        if (command == "load") {
            instance.Load();
            std::cout << "ok " << instance.Size() << std::endl;
        } else if (command == "add") {
            instance.Add(symbol);
            std::cout << "ok" << std::endl;
        } else if (command == "remove") {
            instance.Remove(symbol);
            std::cout << "ok" << std::endl;
        } else if (command == "above") {
            double above = 0;
            in >> above;
            instance.SetAbove(symbol, above);
            std::cout << "ok" << std::endl;
        } else if (command == "save") {
            if (instance.Save(error))
                std::cout << "ok " << instance.Size() << std::endl;
            else
                std::cout << "error " << error << std::endl;
        } else if (command == "rows") {
            std::cout << "rows " << instance.Symbols() << std::endl;
        } else if (command == "lists") {
            std::cout << "lists " << instance.Lists() << std::endl;
        } else if (command == "newlist") {
            instance.NewList(symbol);
            std::cout << "ok" << std::endl;
        } else if (command == "addto" || command == "rename" || command == "dellist") {
            WatchList* list = instance.Named(symbol);
            std::string argument;
            in >> argument;
            if (!list)
                std::cout << "error no list" << std::endl;
            else if (command == "addto")
                Instance::AddTo(*list, argument);
            else if (command == "rename")
                list->name = argument;
            else
                instance.DeleteList(list);
            if (list)
                std::cout << "ok" << std::endl;
        } else if (command == "churn") {
            const int count = std::stoi(symbol);
            for (int i = 0; i < count; ++i)
                instance.Add("CHURN" + std::to_string(i));
            for (long n = 1;; ++n) {
                instance.SetAbove("CHURN" + std::to_string(n % count), static_cast<double>(n));
                if (!instance.Save(error)) {
                    std::cout << "error " << error << std::endl;
                    return 1;
                }
                std::cout << "saved " << n << std::endl;
            }
        } else if (command == "quit") {
            return 0;
        } else {
            std::cout << "error unknown command " << command << std::endl;
        }
    }
    return 0;
}
