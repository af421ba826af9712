#pragma once

#include <string>

// Where a market command reads its symbol list `fileName` (NYSE.TXT, ...):
// the working folder first, then the user's lists (the application's data
// folder, lists/), then the sample lists installed with the application
// (quorelle/lists/ in the data folders). In each folder the exact name wins,
// then the first name, in sorted order, that differs from it only in ASCII
// letter case. Returns the path to open, relative for the working folder, or
// an empty string when no folder has a readable regular file of that name.
std::string MarketListLocation(const std::string& fileName);
