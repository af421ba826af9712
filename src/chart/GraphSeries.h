#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chart/DrawingTypes.h"

// One series descriptor of a chart. Slot 0 is not a series: its name is the
// caption under the time axis. Each descriptor owns its name, pen and notes;
// any of them may be absent.
struct GraphSeries {
    int nMarkSize = 0;                                 // side of the point marks, pixels
    std::optional<std::string> pName;                  // legend name (slot 0: axis caption)
    std::optional<Pen> pPen;                           // legend sample; the line takes its colour
    std::optional<std::vector<std::string>> pNotes;    // lines drawn under the legend entry
};
