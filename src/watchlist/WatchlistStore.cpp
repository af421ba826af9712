#include "watchlist/WatchlistStore.h"

#include <algorithm>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
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
    WatchLists readable;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = "it can not be read (" + file.errorString().toStdString() + ")";
    } else {
        const QByteArray bytes = file.readAll();
        file.close();
        if (auto lists = WatchListsFromJson(bytes.toStdString(), problem, &readable)) {
            result.lists = std::move(*lists);
            return result;
        }
    }
    const bool salvaged = !readable.empty();
    if (salvaged)
        result.lists = std::move(readable);
    const QString bad = FreeBadName(path);
    if (QFile::rename(Q(path), bad)) {
        result.message = "The watchlist file " + path + " is damaged (" + problem + "). It was kept as " +
                         bad.toStdString() +
                         (salvaged ? " and the other lists are loaded." : " and the watchlist starts empty.");
    } else {
        result.saveBlocked = true;
        result.message = "The watchlist file " + path + " is damaged (" + problem +
                         ") and could not be moved aside. " +
                         (salvaged ? "The other lists are loaded; the watchlist"
                              : "The watchlist starts empty and") +
                         " is not saved until the file is moved away.";
    }
    return result;
}

bool SaveWatchlistFile(const std::string& path, const WatchLists& lists, std::string& error)
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
    const std::string text = WatchListsToJson(lists);
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

WatchlistFileStamp StampWatchlistFile(const std::string& path)
{
    WatchlistFileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.size = static_cast<std::int64_t>(info.st_size);
    return stamp;
}

namespace {
// Long enough for another instance's read, merge and write.
constexpr int kLockWaitMs = 10000;
// A lock whose owner is gone is taken over at once; one that names no owner
// (its process died between making and filling it) once it is this old.
constexpr int kStaleLockMs = 4000;
}  // namespace

WatchlistSyncResult SyncWatchlistFile(const std::string& path, const WatchLists& base, const WatchLists& ours)
{
    WatchlistSyncResult result;
    const QFileInfo info(Q(path));
    if (!QDir().mkpath(info.absolutePath())) {
        result.error = "can not create the folder " + info.absolutePath().toStdString();
        return result;
    }
    QLockFile lock(Q(path + ".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) {
        result.error = lock.error() == QLockFile::LockFailedError
                           ? "another Quorelle is writing it"
                           : "its lock file " + path + ".lock can not be made";
        return result;
    }
    const bool existed = QFileInfo::exists(Q(path));
    WatchlistLoadResult theirs = LoadWatchlistFile(path);
    result.message = std::move(theirs.message);
    if (theirs.saveBlocked) {
        result.saveBlocked = true;
        result.error = "the file is damaged and could not be moved aside";
        return result;
    }
    if (!existed || !result.message.empty()) {
        // No file to merge with (removed, or damaged and kept aside): its
        // lists are unknown, not deleted, so ours are written as they are.
        result.lists = ours;
    } else {
        result.lists = MergeWatchLists(base, ours, theirs.lists);
        if (result.lists.empty())
            result.lists.push_back(WatchList{NewWatchListId(), kFirstWatchListName, {}});
        // A save that changes nothing leaves the file alone.
        if (SameKeptLists(result.lists, theirs.lists)) {
            result.ok = true;
            result.stamp = StampWatchlistFile(path);
            return result;
        }
    }
    if (result.lists.empty())
        result.lists = OneWatchList();
    result.ok = SaveWatchlistFile(path, result.lists, result.error);
    result.stamp = StampWatchlistFile(path);
    return result;
}
