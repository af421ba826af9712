#include "watchlist/WatchLists.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRandomGenerator>

#include "base/CText.h"

WatchLists OneWatchList(std::vector<WatchRow> rows)
{
    return {WatchList{kFirstWatchListId, kFirstWatchListName, std::move(rows)}};
}

std::string NewWatchListId()
{
    return FormatC("%016llx", static_cast<unsigned long long>(QRandomGenerator::system()->generate64()));
}

const WatchList* FindWatchList(const WatchLists& lists, const std::string& id)
{
    const auto it = std::find_if(lists.begin(), lists.end(), [&id](const WatchList& list) { return list.id == id; });
    return it == lists.end() ? nullptr : &*it;
}

WatchList* FindWatchList(WatchLists& lists, const std::string& id)
{
    const auto it = std::find_if(lists.begin(), lists.end(), [&id](const WatchList& list) { return list.id == id; });
    return it == lists.end() ? nullptr : &*it;
}

std::string WatchListNameProblem(const WatchLists& lists, const std::string& name, const std::string& renamedId)
{
    const std::string trimmed = TrimWhitespace(name);
    if (trimmed.empty())
        return "A list needs a name.";
    if (std::any_of(trimmed.begin(), trimmed.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return "A list's name is one line without tabs.";
    for (const WatchList& list : lists) {
        if (list.id != renamedId && EqualsIgnoringAsciiCase(list.name, trimmed))
            return "There is already a list named \"" + list.name + "\".";
    }
    return {};
}

bool SameKeptLists(const WatchLists& a, const WatchLists& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const WatchList& x, const WatchList& y) {
        return x.id == y.id && x.name == y.name &&
               std::equal(x.rows.begin(), x.rows.end(), y.rows.begin(), y.rows.end(), SameKeptRow);
    });
}

WatchLists MergeWatchLists(const WatchLists& base, const WatchLists& ours, const WatchLists& theirs)
{
    std::unordered_map<std::string, const WatchList*> known;
    std::unordered_map<std::string, const WatchList*> other;
    for (const WatchList& list : base)
        known.emplace(list.id, &list);
    for (const WatchList& list : theirs)
        other.emplace(list.id, &list);
    const auto find = [](const std::unordered_map<std::string, const WatchList*>& lists,
                         const std::string& id) -> const WatchList* {
        const auto it = lists.find(id);
        return it == lists.end() ? nullptr : it->second;
    };
    static const std::vector<WatchRow> kNoRows;
    std::unordered_set<std::string> taken;
    WatchLists merged;
    for (const WatchList& mine : ours) {
        if (!taken.insert(mine.id).second)
            continue;
        const WatchList* before = find(known, mine.id);
        const WatchList* elsewhere = find(other, mine.id);
        if (!elsewhere) {
            // Missing from the file: deleted there when we had read it, else
            // added here since.
            if (!before)
                merged.push_back(mine);
            continue;
        }
        WatchList list;
        list.id = mine.id;
        list.name = before && mine.name == before->name ? elsewhere->name : mine.name;
        list.rows = MergeWatchRows(before ? before->rows : kNoRows, mine.rows, elsewhere->rows);
        merged.push_back(std::move(list));
    }
    for (const WatchList& list : theirs) {
        // Listed when we last read the file and gone here: deleted here.
        if (find(known, list.id) || !taken.insert(list.id).second)
            continue;
        merged.push_back(list);
    }
    return merged;
}

namespace {
QString Q(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A list's id or name: a text that is not empty. Absent is allowed only
// where `fallback` says what it is.
bool ReadListText(const QJsonObject& object, const char* key, const char* fallback, std::string& value)
{
    const QJsonValue v = object.value(QLatin1String(key));
    if (v.isUndefined() && fallback) {
        value = fallback;
        return true;
    }
    if (!v.isString() || v.toString().isEmpty())
        return false;
    value = v.toString().toStdString();
    return true;
}

// One list's id, name and rows from its object; the first list's may lack
// an id and a name (a file of one list).
bool ReadList(const QJsonObject& object, bool first, WatchList& list, std::string& error)
{
    if (!ReadListText(object, "id", first ? kFirstWatchListId : nullptr, list.id)) {
        error = "no id";
        return false;
    }
    if (!ReadListText(object, "name", first ? kFirstWatchListName : nullptr, list.name)) {
        error = "no name";
        return false;
    }
    const QJsonValue rows = object.value(QStringLiteral("rows"));
    if (!rows.isArray()) {
        error = "no \"rows\" list";
        return false;
    }
    return WatchRowsFromJsonArray(rows.toArray(), list.rows, error);
}
}  // namespace

std::string WatchListsToJson(const WatchLists& lists, bool compact)
{
    const WatchLists none = OneWatchList();
    const WatchLists& written = lists.empty() ? none : lists;
    QJsonObject root;
    root.insert(QStringLiteral("version"), 2);
    root.insert(QStringLiteral("id"), Q(written.front().id));
    root.insert(QStringLiteral("name"), Q(written.front().name));
    root.insert(QStringLiteral("rows"), WatchRowsToJsonArray(written.front().rows));
    QJsonArray others;
    for (size_t i = 1; i < written.size(); ++i) {
        QJsonObject list;
        list.insert(QStringLiteral("id"), Q(written[i].id));
        list.insert(QStringLiteral("name"), Q(written[i].name));
        list.insert(QStringLiteral("rows"), WatchRowsToJsonArray(written[i].rows));
        others.append(list);
    }
    root.insert(QStringLiteral("lists"), others);
    return QJsonDocument(root).toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented).toStdString();
}

std::optional<WatchLists> WatchListsFromJson(const std::string& text, std::string& error, WatchLists* readable)
{
    if (readable)
        readable->clear();
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = FormatC("not valid JSON at byte %d: %s", static_cast<int>(parseError.offset),
                        parseError.errorString().toStdString().c_str());
        return std::nullopt;
    }
    if (!document.isObject()) {
        error = "no \"rows\" list";
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    WatchLists lists;
    std::string problem;
    std::unordered_set<std::string> ids;
    // Each list on its own: a damaged one is named (the first such) and
    // left out, the others are read.
    const auto read = [&](const QJsonValue& value, int number) {
        WatchList list;
        std::string why;
        if (!value.isObject())
            why = "not an object";
        else if (ReadList(value.toObject(), number == 1, list, why) && !ids.insert(list.id).second)
            why = "an id another list has too";
        if (why.empty()) {
            lists.push_back(std::move(list));
        } else if (problem.empty()) {
            problem = FormatC("list %d", number) + (list.name.empty() ? "" : " (" + list.name + ")") + ": " + why;
        }
    };
    if (!root.value(QStringLiteral("rows")).isArray())
        problem = "no \"rows\" list";
    else
        read(root, 1);
    const QJsonValue others = root.value(QStringLiteral("lists"));
    if (!others.isUndefined() && !others.isNull() && !others.isArray()) {
        if (problem.empty())
            problem = "\"lists\" is not a list";
    } else {
        const QJsonArray array = others.toArray();
        for (qsizetype i = 0; i < array.size(); ++i)
            read(array.at(i), static_cast<int>(i + 2));
    }
    if (!problem.empty()) {
        error = problem;
        if (readable)
            *readable = std::move(lists);
        return std::nullopt;
    }
    return lists;
}

std::vector<SecurityRecord> AlertedSecuritiesElsewhere(const WatchLists& lists, const std::string& shownId,
                                                       const std::vector<SecurityRecord>& shown)
{
    std::unordered_set<std::string> listed;
    for (const SecurityRecord& security : shown)
        listed.insert(WatchSecurityKey(security));
    std::vector<SecurityRecord> wanted;
    for (const WatchList& list : lists) {
        if (list.id == shownId)
            continue;
        for (const WatchRow& row : list.rows)
            if (!row.alert.Empty() && listed.insert(WatchSecurityKey(row.security)).second)
                wanted.push_back(row.security);
    }
    return wanted;
}

std::vector<std::string> ApplyResultElsewhere(WatchLists& lists, const std::string& shownId,
                                              const SecurityRecord& security, const QuoteFetchResult& result,
                                              bool& stateChanged)
{
    std::vector<std::string> crossings;
    if (!result.ok())
        return crossings;
    const WatchQuote quote = WatchQuoteFrom(*result.quote, result.sourceId);
    for (WatchList& list : lists) {
        if (list.id == shownId)
            continue;
        for (WatchRow& row : list.rows) {
            if (row.alert.Empty() || !SameSecurity(row.security, security))
                continue;
            const AlertState before = row.alertState;
            row.quote = quote;
            row.failed = false;
            row.failure.clear();
            for (const AlertCrossing& crossing : EvaluateAlerts(row.alert, row.alertState, quote))
                crossings.push_back(DescribeCrossing(row.security, crossing));
            stateChanged = stateChanged || !(row.alertState == before);
        }
    }
    return crossings;
}
