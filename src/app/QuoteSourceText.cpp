#include "app/QuoteSourceText.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// The order of the keys of a JSON text, object by object: QJsonObject keeps
// its keys sorted, so the order a document was written in is read here.
struct KeyOrder {
    // An object's keys in their order, and each one's value beside it (two
    // vectors: a pair holding this type while it is still incomplete is not
    // allowed, and clang refuses it).
    std::vector<QString> memberNames;
    std::vector<KeyOrder> memberValues;
    std::vector<KeyOrder> items;
    QString text;  // a string value

    const KeyOrder* Member(const QString& key) const
    {
        for (std::size_t i = 0; i < memberNames.size(); ++i)
            if (memberNames[i] == key)
                return &memberValues[i];
        return nullptr;
    }
};

// Reads just enough JSON to learn the key order; nothing on a syntax error.
class KeyOrderReader {
public:
    explicit KeyOrderReader(const std::string& text) : m_text(text) {}

    std::optional<KeyOrder> Read()
    {
        KeyOrder root;
        if (!Value(root, 0))
            return std::nullopt;
        return root;
    }

private:
    static constexpr int kMaxDepth = 64;

    void Space()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\n' ||
                                        m_text[m_at] == '\r'))
            ++m_at;
    }
    bool Take(char c)
    {
        Space();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool String(QString& out)
    {
        if (!Take('"'))
            return false;
        const size_t start = m_at - 1;
        while (m_at < m_text.size() && m_text[m_at] != '"')
            m_at += m_text[m_at] == '\\' ? 2 : 1;
        if (m_at >= m_text.size())
            return false;
        ++m_at;
        // The escapes are Qt's to decode.
        QByteArray quoted("[");
        quoted.append(m_text.data() + start, static_cast<qsizetype>(m_at - start));
        quoted.append(']');
        const QJsonDocument one = QJsonDocument::fromJson(quoted);
        out = one.array().at(0).toString();
        return one.isArray();
    }
    bool Value(KeyOrder& order, int depth)
    {
        if (depth > kMaxDepth)
            return false;
        Space();
        if (m_at >= m_text.size())
            return false;
        const char c = m_text[m_at];
        if (c == '{') {
            ++m_at;
            if (Take('}'))
                return true;
            do {
                QString key;
                if (!String(key) || !Take(':'))
                    return false;
                KeyOrder member;
                if (!Value(member, depth + 1))
                    return false;
                order.memberNames.push_back(std::move(key));
                order.memberValues.push_back(std::move(member));
            } while (Take(','));
            return Take('}');
        }
        if (c == '[') {
            ++m_at;
            if (Take(']'))
                return true;
            do {
                order.items.emplace_back();
                if (!Value(order.items.back(), depth + 1))
                    return false;
            } while (Take(','));
            return Take(']');
        }
        if (c == '"')
            return String(order.text);
        // A number or a literal.
        const size_t start = m_at;
        while (m_at < m_text.size() && std::string_view("{}[],: \t\r\n\"").find(m_text[m_at]) == std::string::npos)
            ++m_at;
        return m_at > start;
    }

    const std::string& m_text;
    size_t m_at = 0;
};

// The keys' places when no document gives one: the definition format's own
// order, field names as QuoteRecord lists them, anything else after.
int FallbackRank(const QString& key)
{
    static const std::vector<QString> keys = [] {
        std::vector<QString> list;
        for (const char* name :
             {"id", "name", "url", "base", "hostSetting", "format", "headers", "minInterval", "symbols", "case",
              "countries", "prefix", "suffix", "quoteTime", "kind", "pattern", "zone", "csv", "delimiter", "decimal",
              "header", "noValue", "fields", "before", "marker", "terminator", "count", "stripThousands",
              "longerThan", "alternative", "columns", "path", "series", "times", "prices", "errorPath"})
            list.push_back(QString::fromLatin1(name));
        for (const std::string& field : QuoteSourceFieldNames())
            list.push_back(QString::fromStdString(field));
        return list;
    }();
    const auto it = std::find(keys.begin(), keys.end(), key);
    return it == keys.end() ? static_cast<int>(keys.size()) : static_cast<int>(it - keys.begin());
}

QStringList OrderedKeys(const QJsonObject& object, const KeyOrder* written, bool sourceObject)
{
    QStringList keys;
    if (sourceObject) {
        for (const char* first : {"id", "name", "url"})
            if (object.contains(QLatin1String(first)))
                keys.append(QString::fromLatin1(first));
    }
    if (written) {
        for (const QString& key : written->memberNames)
            if (object.contains(key) && !keys.contains(key))
                keys.append(key);
    }
    QStringList rest;
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!keys.contains(it.key()))
            rest.append(it.key());
    // Sorted already; the stable sort keeps that among keys of one rank.
    std::stable_sort(rest.begin(), rest.end(),
                     [](const QString& a, const QString& b) { return FallbackRank(a) < FallbackRank(b); });
    return keys + rest;
}

QString Scalar(const QJsonValue& value)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

void Write(QString& out, const QJsonValue& value, const KeyOrder* written, int depth, bool sourceObject)
{
    const QString inner(4 * (depth + 1), QLatin1Char(' '));
    const QString outer(4 * depth, QLatin1Char(' '));
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        if (object.isEmpty()) {
            out += QStringLiteral("{}");
            return;
        }
        out += QStringLiteral("{\n");
        const QStringList keys = OrderedKeys(object, written, sourceObject);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            out += inner + Scalar(keys[i]) + QStringLiteral(": ");
            Write(out, object.value(keys[i]), written ? written->Member(keys[i]) : nullptr, depth + 1, false);
            out += i + 1 < keys.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
        }
        out += outer + QLatin1Char('}');
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        if (array.isEmpty()) {
            out += QStringLiteral("[]");
            return;
        }
        out += QStringLiteral("[\n");
        for (qsizetype i = 0; i < array.size(); ++i) {
            const KeyOrder* item =
                written && i < static_cast<qsizetype>(written->items.size()) ? &written->items[static_cast<size_t>(i)]
                                                                              : nullptr;
            out += inner;
            Write(out, array.at(i), item, depth + 1, false);
            out += i + 1 < array.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
        }
        out += outer + QLatin1Char(']');
    } else {
        out += Scalar(value);
    }
}

// The written order of the source with that id in the first document that
// has it.
std::optional<KeyOrder> WrittenOrder(const std::string& id, const std::vector<std::string>& documents)
{
    const QString wanted = QString::fromStdString(id);
    for (const std::string& document : documents) {
        std::optional<KeyOrder> root = KeyOrderReader(document).Read();
        const KeyOrder* sources = root ? root->Member(QStringLiteral("sources")) : nullptr;
        if (!sources)
            continue;
        for (const KeyOrder& source : sources->items) {
            const KeyOrder* sourceId = source.Member(QStringLiteral("id"));
            if (sourceId && sourceId->text == wanted)
                return source;
        }
    }
    return std::nullopt;
}
}  // namespace

std::string QuoteSourceDisplayText(const QuoteSourceDefinition& source, const std::vector<std::string>& documents)
{
    // The values are the saved form's, so the text reads back to the same
    // definition; only the order of keys is chosen here.
    const QJsonDocument saved = QJsonDocument::fromJson(QByteArray::fromStdString(QuoteSourcesToJson({source})));
    const QJsonValue object = saved.object().value(QStringLiteral("sources")).toArray().at(0);
    const std::optional<KeyOrder> written = WrittenOrder(source.id, documents);
    QString text = QStringLiteral("{\n    \"sources\": [\n        ");
    Write(text, object, written ? &*written : nullptr, 2, true);
    text += QStringLiteral("\n    ]\n}\n");
    return text.toStdString();
}
