#include "window/DayFileSession.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

#include "base/CText.h"
#include "base/PosixFile.h"

namespace {

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + "/" + name;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

DayFileOwner OwnerOf(const SecurityRecord& security)
{
    return DayFileOwner{security.country, security.symbol};
}

std::string OwnerText(const DayFileOwner& owner)
{
    return owner.country.empty() ? owner.symbol : owner.country + ":" + owner.symbol;
}

}  // namespace

std::string CountryDayFileName(const std::string& symbol, const std::string& country, std::time_t now)
{
    std::string name = QuoteLogFileName(symbol, now);
    std::string tag = "@";
    tag += ToLowerAscii(country.empty() ? std::string("none") : country);
    name.insert(name.size() - 4, tag);
    return name;
}

DayFileSession::DayFileSession(std::string indexPath) : m_indexPath(std::move(indexPath)) {}

DayFileSession::Choice DayFileSession::Choose(const SecurityRecord& security, const std::string& folder,
                                              std::time_t now, bool closing) const
{
    const std::string name = QuoteLogFileName(security.symbol, now);
    if (!Exists(JoinPath(folder, name))) {
        Choice choice;
        choice.name = name;
        return choice;
    }
    return ChooseBeside(security, folder, name, now, closing);
}

DayFileSession::Choice DayFileSession::ChooseBeside(const SecurityRecord& security, const std::string& folder,
                                                    const std::string& name, std::time_t now, bool closing) const
{
    Choice choice;
    choice.name = name;
    const std::optional<DayFileOwner> owner = DayFileIndex::Load(m_indexPath).OwnerOf(JoinPath(folder, name));
    if (!owner || SameOwner(*owner, OwnerOf(security)))
        return choice;
    const std::string beside = CountryDayFileName(security.symbol, security.country, now);
    choice.plain = false;
    choice.note = FormatC(closing ? "The day file \"%s\" belongs to %s: the quotes of %s were written to \"%s\"."
                                  : "The day file \"%s\" belongs to %s: the quotes of %s go to \"%s\".",
                          choice.name.c_str(), OwnerText(*owner).c_str(), OwnerText(OwnerOf(security)).c_str(),
                          beside.c_str());
    choice.name = beside;
    return choice;
}

bool DayFileSession::Resume(const SecurityRecord& security, std::time_t now, Resumed& resumed, std::string& note)
{
    note.clear();
    if (security.symbol.empty())
        return false;
    // The zone read once: the file's date, its rows' times and the day kept
    // all follow it.
    tzset();
    const DayTime today = LocalDayTime(now);
    std::string path;
    std::string text;
    if (!ReadChosenFile(security, today, now, path, text, note))
        return false;  // no file yet: the day starts with this window
    resumed.path = path;
    m_resumedDay = today;
    resumed.file = ParseRowsOfDay(std::move(text), m_resumedDay);
    // Kept to tell the resumed rows from the window's own at the close; no
    // row refers to the text any more.
    m_resumedText = std::move(resumed.file.text);
    resumed.file.text.clear();
    // Resolved at the close, where it is compared: a window that opens
    // should not walk its path twice.
    m_resumedPath = path;
    return true;
}

bool DayFileSession::ReadChosenFile(const SecurityRecord& security, const DayTime& today, std::time_t now,
                                    std::string& path, std::string& text, std::string& note) const
{
    // The usual file in the usual folder opened first: once it is open, the
    // folder can be entered and the file exists, which spares asking both
    // apart, and it is read from what is open.
    const std::string name = QuoteLogFileName(security.symbol, today);
    path = JoinPath(kQuoteLogFolder, name);
    std::size_t size = 0;
    const FileDescriptor file = OpenRegularFile(path, &size);
    if (file.IsOpen()) {
        const Choice choice = ChooseBeside(security, kQuoteLogFolder, name, now, false);
        note = choice.note;
        if (choice.plain)
            return ReadDayFileText(file.Get(), size, text);
        path = JoinPath(kQuoteLogFolder, choice.name);
        return ReadDayFileText(path, text);
    }
    // No such file (or something else of that name): each step on its own.
    const std::string folder = ExistingQuoteLogDirectory();
    const Choice choice = Choose(security, folder, now, false);
    note = choice.note;
    path = JoinPath(folder, choice.name);
    return ReadDayFileText(path, text);
}

std::vector<std::string> DayFileSession::ResumedRows(const std::string& path) const
{
    std::vector<std::string> rows;
    // Equal paths name one file without resolving either.
    if (m_resumedPath.empty() || (path != m_resumedPath && DayFileIndexKey(path) != DayFileIndexKey(m_resumedPath)))
        return rows;
    const DayFile again = ParseRowsOfDay(m_resumedText, m_resumedDay);
    rows.reserve(again.quotes.size());
    for (const QuoteRecord& quote : again.quotes)
        rows.push_back(FormatQuoteLogRow(quote));
    return rows;
}

bool DayFileSession::WriteOnClose(const SecurityRecord& security, const std::vector<QuoteRecord>& history,
                                  std::time_t now, std::string& note)
{
    const std::string folder = QuoteLogDirectory();
    const Choice choice = Choose(security, folder, now, true);
    note = choice.note;
    const std::string path = JoinPath(folder, choice.name);
    std::string sideFile;
    if (!WriteDayFileUnion(folder, choice.name, history, ResumedRows(path), &sideFile))
        return false;
    // A file it could not merge into is not claimed: it may be another's.
    if (choice.plain && sideFile.empty() && !security.symbol.empty()) {
        // Read and replaced by one process at a time, so no owner is lost.
        const std::string indexFolder = std::filesystem::path(m_indexPath).parent_path().string();
        std::error_code error;
        std::filesystem::create_directories(indexFolder, error);
        const FolderLock lock(indexFolder);
        DayFileIndex::Load(m_indexPath).Record(path, OwnerOf(security), static_cast<std::int64_t>(now));
    }
    return true;
}
