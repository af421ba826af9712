#pragma once

#include <string>

#include "quote/SecurityRecord.h"

// Replaces `nearest` with the rows whose company or symbol contains the text
// (ASCII letters compared without case) and returns their count; shows a
// message when there is none. `rows` may be `nearest` itself.
int FindInList(const std::string& text, const SecurityArray& rows, SecurityArray& nearest);
