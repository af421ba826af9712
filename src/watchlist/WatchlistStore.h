#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "watchlist/WatchLists.h"

// The watchlist's file: watchlist.json in the user's data folder
// (QStandardPaths::AppDataLocation), holding every list (WatchListsToJson),
// written whole through a temporary file that replaces it only when
// complete. Several running instances share it: each merges its lists with
// the file's under a lock file ("<path>.lock") instead of writing its own
// over the others'.

std::string DefaultWatchlistPath();

struct WatchlistLoadResult {
    // Never empty: an absent file reads as one empty list.
    WatchLists lists = OneWatchList();
    // Empty when the file was read or is absent; otherwise what went wrong
    // and where the damaged file was kept, for the user.
    std::string message;
    // The damaged file could not be moved aside: saving would overwrite it.
    bool saveBlocked = false;
};

// Reads the file. A damaged file is renamed to "<path>.bad" (or
// "<path>.bad.2", ... when that exists); the lists it held whole are read
// (the message names the one that is not), else the watchlist starts empty.
// A file is never written by reading it.
WatchlistLoadResult LoadWatchlistFile(const std::string& path);

// Writes the lists atomically; false with the reason in `error`.
bool SaveWatchlistFile(const std::string& path, const WatchLists& lists, std::string& error);

// What tells one version of the file from another: a save replaces the
// file, so the inode changes with every write.
struct WatchlistFileStamp {
    bool exists = false;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t size = 0;

    bool operator==(const WatchlistFileStamp&) const = default;
};
WatchlistFileStamp StampWatchlistFile(const std::string& path);

struct WatchlistSyncResult {
    bool ok = false;
    // The merged lists, now in the file (when ok); never empty.
    WatchLists lists;
    // Why it failed, when not ok.
    std::string error;
    // The file was damaged and kept aside (as LoadWatchlistFile says), or
    // could not be moved aside (then saveBlocked, and nothing was written).
    std::string message;
    bool saveBlocked = false;
    // The file as this sync left it, taken under the lock.
    WatchlistFileStamp stamp;
};

// Merges `ours` with the file as it is now (MergeWatchLists, with `base`
// the lists as this instance last read or wrote them) and writes the result
// when it differs from the file, all under the lock file, so that two
// instances saving at once each see the other's lists and rows. When the
// merge leaves no list (each side deleted what the other kept) an empty one
// named kFirstWatchListName takes their place. A lock left by a process
// that died is taken over.
WatchlistSyncResult SyncWatchlistFile(const std::string& path, const WatchLists& base, const WatchLists& ours);
