#include "window/WatchlistStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "base/CText.h"

std::string DefaultWatchlistPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return (folder + QStringLiteral("/watchlist.json")).toStdString();
}

namespace {
QString Q(const std::string& path)
{
    return QString::fromStdString(path);
}

// The first of "<path>.bad", "<path>.bad.2", ... that does not exist yet:
// an earlier damaged file is never replaced.
QString FreeBadName(const std::string& path)
{
    QString name = Q(path + ".bad");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = Q(path + ".bad." + std::to_string(n));
    return name;
}
}  // namespace

WatchlistLoadResult LoadWatchlistFile(const std::string& path)
{
    WatchlistLoadResult result;
    QFile file(Q(path));
    if (!file.exists())
        return result;
    std::string problem;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = "it can not be read (" + file.errorString().toStdString() + ")";
    } else {
        const QByteArray bytes = file.readAll();
        file.close();
        if (auto rows = WatchlistFromJson(bytes.toStdString(), problem)) {
            result.rows = std::move(*rows);
            return result;
        }
    }
    const QString bad = FreeBadName(path);
    if (QFile::rename(Q(path), bad)) {
        result.message = "The watchlist file " + path + " is damaged (" + problem + "). It was kept as " +
                         bad.toStdString() + " and the watchlist starts empty.";
    } else {
        result.saveBlocked = true;
        result.message = "The watchlist file " + path + " is damaged (" + problem +
                         ") and could not be moved aside. The watchlist starts empty and is not saved "
                         "until the file is moved away.";
    }
    return result;
}

bool SaveWatchlistFile(const std::string& path, const std::vector<WatchRow>& rows, std::string& error)
{
    const QFileInfo info(Q(path));
    if (!QDir().mkpath(info.absolutePath())) {
        error = "can not create the folder " + info.absolutePath().toStdString();
        return false;
    }
    QSaveFile file(Q(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    const std::string text = WatchlistToJson(rows);
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}
