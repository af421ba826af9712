// One running instance's watchlist, driven line by line from stdin, for the
// tests of instances that share the watchlist file. It keeps its rows and
// the file's rows as last read or written, as the watchlist document does,
// and saves through the store. Usage: watchlist_instance FILE. Commands,
// each answered by one line:
//   load               read the file            -> "ok <rows>"
//   add SYMBOL         add a row (US)           -> "ok"
//   remove SYMBOL      delete the row           -> "ok"
//   above SYMBOL X     set the row's alert      -> "ok"
//   save               merge and write          -> "ok <rows>" or "error <why>"
//   rows               the symbols              -> "rows A,B,C"
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
        m_rows = LoadWatchlistFile(m_path).rows;
        m_base = m_rows;
    }
    void Add(const std::string& symbol)
    {
        if (Find(symbol) != m_rows.end())
            return;
        WatchRow row;
        row.security.country = "US";
        row.security.symbol = symbol;
        m_rows.push_back(row);
    }
    void Remove(const std::string& symbol)
    {
        if (const auto it = Find(symbol); it != m_rows.end())
            m_rows.erase(it);
    }
    void SetAbove(const std::string& symbol, double above)
    {
        if (const auto it = Find(symbol); it != m_rows.end())
            it->alert.above = above;
    }
    bool Save(std::string& error)
    {
        WatchlistSyncResult result = SyncWatchlistFile(m_path, m_base, m_rows);
        if (!result.ok) {
            error = result.error;
            return false;
        }
        m_rows = result.rows;
        m_base = result.rows;
        return true;
    }
    std::string Symbols() const
    {
        std::string text;
        for (const WatchRow& row : m_rows)
            text += (text.empty() ? "" : ",") + row.security.symbol;
        return text;
    }
    size_t Size() const { return m_rows.size(); }

private:
    std::vector<WatchRow>::iterator Find(const std::string& symbol)
    {
        return std::find_if(m_rows.begin(), m_rows.end(),
                            [&symbol](const WatchRow& row) { return row.security.symbol == symbol; });
    }

    std::string m_path;
    std::vector<WatchRow> m_rows;
    std::vector<WatchRow> m_base;
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
