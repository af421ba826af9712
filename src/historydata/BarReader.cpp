#include "historydata/BarReader.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QTimeZone>

#include "base/CText.h"
#include "quote/ExchangeZones.h"
#include "quote/JsonPath.h"

namespace {

bool LooksLikeWebPage(const std::string& body)
{
    const auto first = std::find_if(body.begin(), body.end(), [](char c) { return !std::isspace(static_cast<unsigned char>(c)); });
    return first != body.end() && *first == '<';
}

// A text time: a date (daily) or a date and time on the exchange's clock.
std::optional<std::int64_t> TextTime(const std::string& text, const std::string& pattern, bool intraday,
                                     const std::string& zone)
{
    const QString cell = QString::fromStdString(TrimWhitespace(text));
    if (pattern == "epoch-seconds") {
        bool number = false;
        const qlonglong seconds = cell.toLongLong(&number);
        if (!number)
            return std::nullopt;
        return intraday ? seconds : DayInZone(seconds, zone);
    }
    const QDateTime at = QDateTime::fromString(cell, QString::fromStdString(pattern));
    if (!at.isValid()) {
        const QDate date = QDate::fromString(cell, QString::fromStdString(pattern));
        if (!date.isValid())
            return std::nullopt;
        if (!intraday)
            return DayNumber(date.year(), date.month(), date.day());
        return QDateTime(date, QTime(0, 0), ZoneOf(zone)).toSecsSinceEpoch();
    }
    const QDate date = at.date();
    if (!intraday)
        return DayNumber(date.year(), date.month(), date.day());
    const QTimeZone timeZone = ZoneOf(zone);
    return QDateTime(date, at.time(), timeZone.isValid() ? timeZone : QTimeZone::utc()).toSecsSinceEpoch();
}

std::optional<std::int64_t> JsonTime(const QJsonValue& value, const std::string& pattern, bool intraday,
                                     const std::string& zone)
{
    if (value.isDouble()) {
        const double seconds = value.toDouble();
        if (!std::isfinite(seconds) || std::fabs(seconds) > 1e13)
            return std::nullopt;
        const auto instant = static_cast<std::int64_t>(seconds);
        return intraday ? instant : DayInZone(instant, zone);
    }
    if (value.isString())
        return TextTime(value.toString().toStdString(), pattern, intraday, zone);
    return std::nullopt;
}

std::optional<double> JsonNumber(const QJsonValue& value)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

// Sorts, drops duplicates (the later one wins) and fills what is missing.
void Finish(HistorySeries& series)
{
    std::stable_sort(series.bars.begin(), series.bars.end(),
                     [](const HistoryBar& a, const HistoryBar& b) { return a.time < b.time; });
    std::vector<HistoryBar> unique;
    unique.reserve(series.bars.size());
    for (const HistoryBar& bar : series.bars) {
        if (!unique.empty() && unique.back().time == bar.time)
            unique.back() = bar;
        else
            unique.push_back(bar);
    }
    series.bars = std::move(unique);
    std::sort(series.events.begin(), series.events.end(), [](const HistoryEvent& a, const HistoryEvent& b) {
        return a.time < b.time || (a.time == b.time && a.kind < b.kind);
    });
}

HistoryBar MakeBar(std::int64_t time, double close, std::optional<double> open, std::optional<double> high,
                   std::optional<double> low, std::optional<double> volume, std::optional<double> adjClose)
{
    HistoryBar bar;
    bar.time = time;
    bar.close = close;
    bar.open = open.value_or(close);
    bar.high = std::max({high.value_or(close), bar.open, close});
    bar.low = std::min({low.value_or(close), bar.open, close});
    bar.volume = volume && *volume >= 0 && *volume < 9e18 ? static_cast<long long>(std::llround(*volume)) : 0;
    bar.adjClose = adjClose.value_or(0);
    return bar;
}

HistoryAnswer ReadJson(const HistoryRule& rule, const QuoteSourceDefinition& source, const std::string& body,
                       bool intraday, std::string zone)
{
    HistoryAnswer answer;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        answer.status = HistoryAnswer::Status::BadAnswer;
        answer.error = "the answer is not JSON: " + parseError.errorString().toStdString();
        return answer;
    }
    const QJsonValue root = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    if (!source.quoteTime.exchangeZonePath.empty()) {
        const QJsonValue named = FollowJsonPath(root, source.quoteTime.exchangeZonePath);
        if (named.isString() && IsKnownZone(named.toString().toStdString()))
            zone = named.toString().toStdString();
    }
    answer.series.intraday = intraday;
    answer.series.zone = zone;
    const QJsonArray times = FollowJsonPath(root, rule.time).toArray();
    const auto arrayAt = [&root](const std::string& path) {
        return path.empty() ? QJsonArray() : FollowJsonPath(root, path).toArray();
    };
    const QJsonArray opens = arrayAt(rule.open), highs = arrayAt(rule.high), lows = arrayAt(rule.low),
                     closes = arrayAt(rule.close), volumes = arrayAt(rule.volume), adjusted = arrayAt(rule.adjclose);
    const auto numberAt = [](const QJsonArray& array, qsizetype i) {
        return i < array.size() ? JsonNumber(array.at(i)) : std::nullopt;
    };
    for (qsizetype i = 0; i < times.size(); ++i) {
        const std::optional<std::int64_t> time = JsonTime(times.at(i), rule.dates, intraday, zone);
        const std::optional<double> close = numberAt(closes, i);
        if (!time || !close || *close <= 0)
            continue;
        answer.series.bars.push_back(MakeBar(*time, *close, numberAt(opens, i), numberAt(highs, i), numberAt(lows, i),
                                             numberAt(volumes, i), numberAt(adjusted, i)));
    }
    const auto readEvents = [&](const std::string& path, HistoryEvent::Kind kind) {
        if (path.empty())
            return;
        const QJsonObject events = FollowJsonPath(root, path).toObject();
        for (auto it = events.begin(); it != events.end(); ++it) {
            const QJsonObject event = it.value().toObject();
            const std::optional<std::int64_t> time = JsonTime(event.value(QLatin1String("date")), rule.dates, intraday, zone);
            double value = 0;
            if (kind == HistoryEvent::Kind::Split) {
                const double numerator = event.value(QLatin1String("numerator")).toDouble();
                const double denominator = event.value(QLatin1String("denominator")).toDouble();
                if (numerator > 0 && denominator > 0 && std::isfinite(numerator / denominator))
                    value = numerator / denominator;
            } else {
                value = event.value(QLatin1String("amount")).toDouble();
            }
            if (time && value > 0 && std::isfinite(value))
                answer.series.events.push_back({*time, kind, value});
        }
    };
    readEvents(rule.splitsPath, HistoryEvent::Kind::Split);
    readEvents(rule.dividendsPath, HistoryEvent::Kind::Dividend);
    if (answer.series.bars.empty()) {
        answer.status = HistoryAnswer::Status::NoData;
        const QJsonValue error = source.errorPath.empty() ? QJsonValue() : FollowJsonPath(root, source.errorPath);
        answer.error = error.isString() ? "the source says: " + error.toString().toStdString()
                                        : "the answer holds no bars";
    } else {
        answer.status = HistoryAnswer::Status::Bars;
    }
    return answer;
}

// One CSV record per line, RFC 4180 quoting (a quoted cell may hold line breaks).
std::vector<std::vector<std::string>> CsvRecords(std::string_view text, char delimiter)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string cell;
    bool quoted = false, any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == delimiter) {
            record.push_back(std::move(cell));
            cell.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            if (any || !cell.empty()) {
                record.push_back(std::move(cell));
                records.push_back(std::move(record));
            }
            record.clear();
            cell.clear();
            any = false;
        } else {
            cell += c;
            any = true;
        }
    }
    if (any || !cell.empty()) {
        record.push_back(std::move(cell));
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<double> CsvNumber(const std::string& cell, const CsvOptions& options)
{
    const std::string trimmed = TrimWhitespace(cell);
    if (std::find(options.noValue.begin(), options.noValue.end(), trimmed) != options.noValue.end())
        return std::nullopt;
    std::string text;
    const char thousands = options.decimal == ',' ? '.' : ',';
    for (char c : trimmed) {
        if (c == thousands || c == ' ')
            continue;
        text += c == options.decimal ? '.' : c;
    }
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+' ||
                          text[0] == '.'))
        return std::nullopt;
    const double value = CAtof(text);
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

HistoryAnswer ReadCsv(const HistoryRule& rule, const QuoteSourceDefinition& source, const std::string& body,
                      bool intraday, const std::string& zone)
{
    HistoryAnswer answer;
    answer.series.intraday = intraday;
    answer.series.zone = zone;
    const auto records = CsvRecords(body, source.csv.delimiter);
    if (records.empty()) {
        answer.error = "the answer holds no bars";
        return answer;
    }
    const std::vector<std::string>& header = records.front();
    const auto column = [&header](const std::string& name) -> int {
        if (name.empty())
            return -1;
        for (size_t i = 0; i < header.size(); ++i)
            if (EqualsIgnoringAsciiCase(TrimWhitespace(header[i]), name))
                return static_cast<int>(i);
        return -1;
    };
    const int timeColumn = column(rule.time), closeColumn = column(rule.close);
    if (timeColumn < 0 || closeColumn < 0) {
        // A header without the columns: an unknown symbol's "No data", or something else entirely.
        answer.status = records.size() == 1 && header.size() == 1 ? HistoryAnswer::Status::NoData
                                                                   : HistoryAnswer::Status::BadAnswer;
        answer.error = answer.status == HistoryAnswer::Status::NoData
                           ? "the source says: " + TrimWhitespace(header.front())
                           : "the answer has no \"" + (timeColumn < 0 ? rule.time : rule.close) + "\" column";
        return answer;
    }
    const int openColumn = column(rule.open), highColumn = column(rule.high), lowColumn = column(rule.low),
              volumeColumn = column(rule.volume), adjColumn = column(rule.adjclose);
    for (size_t r = 1; r < records.size(); ++r) {
        const std::vector<std::string>& record = records[r];
        const auto cell = [&](int index) -> std::optional<double> {
            if (index < 0 || static_cast<size_t>(index) >= record.size())
                return std::nullopt;
            return CsvNumber(record[static_cast<size_t>(index)], source.csv);
        };
        if (static_cast<size_t>(std::max(timeColumn, closeColumn)) >= record.size())
            continue;
        const std::optional<std::int64_t> time =
            TextTime(record[static_cast<size_t>(timeColumn)], rule.dates, intraday, zone);
        const std::optional<double> close = cell(closeColumn);
        if (!time || !close || *close <= 0)
            continue;
        answer.series.bars.push_back(
            MakeBar(*time, *close, cell(openColumn), cell(highColumn), cell(lowColumn), cell(volumeColumn), cell(adjColumn)));
    }
    answer.status = answer.series.bars.empty() ? HistoryAnswer::Status::NoData : HistoryAnswer::Status::Bars;
    if (answer.series.bars.empty())
        answer.error = "the answer holds no bars";
    return answer;
}

}  // namespace

void ApplySplits(HistorySeries& series)
{
    auto& bars = series.bars;
    for (const HistoryEvent& event : series.events) {
        if (event.kind != HistoryEvent::Kind::Split || event.value <= 0 || event.value == 1)
            continue;
        const auto after = std::lower_bound(bars.begin(), bars.end(), event.time,
                                            [](const HistoryBar& bar, std::int64_t time) { return bar.time < time; });
        if (after == bars.begin() || after == bars.end())
            continue;
        // A source that already adjusted its prices shows no jump across the
        // split: adjust only when the jump is nearer the split's ratio than none.
        const double jump = std::log(std::prev(after)->close / after->close);
        if (std::fabs(jump - std::log(event.value)) >= std::fabs(jump))
            continue;
        for (auto bar = bars.begin(); bar != after; ++bar) {
            for (double* price : {&bar->open, &bar->high, &bar->low, &bar->close})
                *price /= event.value;
            bar->volume = static_cast<long long>(std::llround(static_cast<double>(bar->volume) * event.value));
        }
    }
}

HistoryAnswer ReadHistoryAnswer(const QuoteSourceDefinition& source, const std::string& body, bool intraday,
                                const std::string& zone)
{
    HistoryAnswer answer;
    const HistoryRule& rule = source.history;
    if (!rule.Present()) {
        answer.status = HistoryAnswer::Status::BadAnswer;
        answer.error = "the source gives no history";
        return answer;
    }
    if (TrimWhitespace(body).empty() || LooksLikeWebPage(body)) {
        answer.status = HistoryAnswer::Status::BadAnswer;
        answer.error = TrimWhitespace(body).empty() ? "the answer is empty"
                                                    : "the source answered with a web page instead of bars";
        return answer;
    }
    answer = source.format == QuoteSourceFormat::Csv ? ReadCsv(rule, source, body, intraday, zone)
                                                     : ReadJson(rule, source, body, intraday, zone);
    Finish(answer.series);
    ApplySplits(answer.series);
    return answer;
}
