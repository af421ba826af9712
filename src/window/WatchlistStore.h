#pragma once

#include <string>
#include <vector>

#include "window/WatchlistCore.h"

// The watchlist's file: watchlist.json in the user's data folder
// (QStandardPaths::AppDataLocation), written whole through a temporary file
// that replaces it only when complete.

std::string DefaultWatchlistPath();

struct WatchlistLoadResult {
    std::vector<WatchRow> rows;
    // Empty when the file was read or is absent; otherwise what went wrong
    // and where the damaged file was kept, for the user.
    std::string message;
    // The damaged file could not be moved aside: saving would overwrite it.
    bool saveBlocked = false;
};

// Reads the file. A damaged file is renamed to "<path>.bad" (or
// "<path>.bad.2", ... when that exists) and the watchlist starts empty.
WatchlistLoadResult LoadWatchlistFile(const std::string& path);

// Writes the rows atomically; false with the reason in `error`.
bool SaveWatchlistFile(const std::string& path, const std::vector<WatchRow>& rows, std::string& error);
