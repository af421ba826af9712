#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Identity of one security plus the ticker settings of its window.
struct SecurityRecord {
    bool writeToFile = false;
    bool easternTime = false;
    std::int32_t refreshMinutes = 0;
    std::string country;
    std::string symbol;
    std::string company;
    std::string volumeText;
    std::string listed;

    bool operator==(const SecurityRecord&) const = default;
};

// Rows of a list window and the nearest-quotes matches; owns its records.
using SecurityArray = std::vector<SecurityRecord>;
