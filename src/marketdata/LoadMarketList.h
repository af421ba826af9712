#pragma once

#include <string>

#include "quote/SecurityRecord.h"

// Loads the symbol-list file "<marketCode>.TXT" of the current folder (the
// exact name first, then a name differing only in letter case) into `rows`,
// in file order, each row starting from `defaults`' ticker settings and the
// market's country. False after a message when the file cannot be opened or
// read, memory runs out, or a file with rows names an unknown market; a
// file without rows loads as an empty list whatever its code.
bool LoadMarketList(const std::string& marketCode, const SecurityRecord& defaults, SecurityArray& rows);
