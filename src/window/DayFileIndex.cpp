#include "window/DayFileIndex.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include <QStandardPaths>
#include <QString>

#include "base/CText.h"
#include "base/PosixFile.h"

namespace {

// Far beyond any index: what is longer is not one and is not read.
constexpr std::size_t kMaxIndexBytes = 4 * 1024 * 1024;
constexpr std::int64_t kKeptSeconds = 7 * 24 * 3600;

bool HasSeparator(const std::string& text)
{
    return text.find_first_of("\t\n\r") != std::string::npos || text.find('\0') != std::string::npos;
}

}  // namespace

bool SameOwner(const DayFileOwner& a, const DayFileOwner& b)
{
    return EqualsIgnoringAsciiCase(a.country, b.country) && EqualsIgnoringAsciiCase(a.symbol, b.symbol);
}

std::string DefaultDayFileIndexPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return (folder + QStringLiteral("/day-files.index")).toStdString();
}

std::string DayFileIndexKey(const std::string& dayFilePath)
{
    // A file that exists (as a resumed one does) resolves in one walk of
    // its path, to what weakly_canonical gives for it, with a fraction of
    // the system calls: a quote window asks when it opens.
    if (const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(dayFilePath.c_str(), nullptr),
                                                                   &std::free);
        resolved)
        return resolved.get();
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(dayFilePath, error);
    if (error)
        return std::filesystem::absolute(dayFilePath, error).lexically_normal().string();
    return resolved.string();
}

DayFileIndex DayFileIndex::Load(const std::string& indexPath)
{
    DayFileIndex index;
    index.m_path = indexPath;
    // Opened and asked its kind and size once: every quote window reads the
    // index when it opens.
    std::size_t size = 0;
    const FileDescriptor file = OpenRegularFile(indexPath, &size);
    if (!file.IsOpen())
        return index;
    // Room for the file as it is (and some it may grow by meanwhile): making
    // (and clearing) the whole limit's room each time cost more than the
    // reading.
    const std::size_t room = std::min(size + 4096, kMaxIndexBytes);
    std::string text(room, '\0');
    std::size_t total = 0;
    if (!ReadUpTo(file.Get(), text.data(), room, total))
        return index;
    if (total == room && room < kMaxIndexBytes) {
        // It grew beyond that: read on, up to the limit.
        text.resize(kMaxIndexBytes);
        std::size_t more = 0;
        if (!ReadUpTo(file.Get(), text.data() + total, kMaxIndexBytes - total, more))
            return index;
        total += more;
    }
    if (total == kMaxIndexBytes)
        return index;
    text.resize(total);

    // recorded <tab> country <tab> symbol <tab> key, one line each.
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t feed = text.find('\n', pos);
        if (feed == std::string::npos)
            break;  // a line cut short by a damaged write carries nothing
        const std::string_view line = std::string_view(text).substr(pos, feed - pos);
        pos = feed + 1;
        const std::size_t t1 = line.find('\t');
        const std::size_t t2 = t1 == std::string_view::npos ? t1 : line.find('\t', t1 + 1);
        const std::size_t t3 = t2 == std::string_view::npos ? t2 : line.find('\t', t2 + 1);
        if (t3 == std::string_view::npos || t3 + 1 >= line.size() || line[t3 + 1] != '/')
            continue;
        Entry entry;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + t1, entry.recorded);
        if (ec != std::errc() || end != line.data() + t1)
            continue;
        entry.owner.country.assign(line.substr(t1 + 1, t2 - t1 - 1));
        entry.owner.symbol.assign(line.substr(t2 + 1, t3 - t2 - 1));
        entry.key.assign(line.substr(t3 + 1));
        index.m_entries.push_back(std::move(entry));
    }
    return index;
}

std::optional<DayFileOwner> DayFileIndex::OwnerOf(const std::string& dayFilePath) const
{
    // An empty index knows no owner: the path need not be walked.
    if (m_entries.empty())
        return std::nullopt;
    const std::string key = DayFileIndexKey(dayFilePath);
    // The latest line of a file counts.
    for (auto at = m_entries.rbegin(); at != m_entries.rend(); ++at)
        if (at->key == key)
            return at->owner;
    return std::nullopt;
}

bool DayFileIndex::Record(const std::string& dayFilePath, const DayFileOwner& owner, std::int64_t now)
{
    const std::string key = DayFileIndexKey(dayFilePath);
    if (HasSeparator(owner.country) || HasSeparator(owner.symbol) || HasSeparator(key) || m_path.empty())
        return false;
    std::vector<Entry> kept;
    kept.reserve(m_entries.size() + 1);
    for (Entry& entry : m_entries)
        if (entry.key != key && entry.recorded >= now - kKeptSeconds)
            kept.push_back(std::move(entry));
    kept.push_back(Entry{now, owner, key});
    m_entries = std::move(kept);

    std::string text;
    for (const Entry& entry : m_entries)
        text += std::to_string(entry.recorded) + '\t' + entry.owner.country + '\t' + entry.owner.symbol + '\t' +
                entry.key + '\n';
    const std::filesystem::path path(m_path);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    return WriteFileAtomically(path.parent_path().string(), path.filename().string(), text);
}
