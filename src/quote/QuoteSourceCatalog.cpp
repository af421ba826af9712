#include "quote/QuoteSourceCatalog.h"

#include <algorithm>
#include <utility>

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

namespace {

std::string Describe(const QFileDevice& file)
{
    return file.errorString().toStdString();
}

}  // namespace

std::vector<QuoteSourceDefinition> MergeQuoteSources(std::vector<QuoteSourceDefinition> builtins,
                                                     const std::vector<QuoteSourceDefinition>& user)
{
    for (const QuoteSourceDefinition& source : user) {
        const auto same = std::find_if(builtins.begin(), builtins.end(),
                                       [&source](const QuoteSourceDefinition& known) { return known.id == source.id; });
        if (same != builtins.end())
            *same = source;
        else
            builtins.push_back(source);
    }
    return builtins;
}

QuoteSourceCatalog LoadQuoteSourceCatalog(const std::string& userFile)
{
    QuoteSourceList builtins = ParseQuoteSources(BuiltinQuoteSourcesJson(), "built-in quote sources");
    QuoteSourceCatalog catalog{std::move(builtins.sources), std::move(builtins.error)};
    if (!catalog.error.empty() || userFile.empty())
        return catalog;

    const QString path = QString::fromStdString(userFile);
    if (!QFile::exists(path))
        return catalog;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        catalog.error = userFile + ": cannot be read: " + Describe(file);
        return catalog;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        catalog.error = userFile + ": cannot be read: " + Describe(file);
        return catalog;
    }
    const QuoteSourceList user = ParseQuoteSources(bytes.toStdString(), userFile);
    if (!user.error.empty())
        catalog.error = user.error;
    else
        catalog.sources = MergeQuoteSources(std::move(catalog.sources), user.sources);
    return catalog;
}

std::string SaveQuoteSources(const std::string& path, const std::vector<QuoteSourceDefinition>& sources)
{
    const QString target = QString::fromStdString(path);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return path + ": cannot be written: " + Describe(file);
    const QByteArray bytes = QByteArray::fromStdString(QuoteSourcesToJson(sources));
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return path + ": cannot be written: " + Describe(file);
    }
    // The backup is a copy, so the old file stays in place until the new one
    // replaces it in one rename.
    if (QFile::exists(target)) {
        const QString backup = target + QStringLiteral(".bak");
        if (QFile::exists(backup) && !QFile::remove(backup)) {
            file.cancelWriting();
            return path + ": the old backup " + backup.toStdString() + " cannot be replaced";
        }
        if (!QFile::copy(target, backup)) {
            file.cancelWriting();
            return path + ": cannot be backed up to " + backup.toStdString();
        }
    }
    if (!file.commit())
        return path + ": cannot be written: " + Describe(file);
    return {};
}
