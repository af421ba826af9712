#include "quote/PageDownloader.h"

#include <string_view>
#include <utility>

#include "base/CText.h"
#include "quote/FindText.h"

namespace {

// Replaces every non-overlapping occurrence in one left-to-right pass; the
// inserted text is not searched again.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    std::string result;
    size_t start = 0;
    size_t found = text.find(from);
    if (found == std::string::npos)
        return;
    result.reserve(text.size());
    while (found != std::string::npos) {
        result.append(text, start, found - start);
        result.append(to);
        start = found + from.size();
        found = text.find(from, start);
    }
    result.append(text, start, std::string::npos);
    text = std::move(result);
}

// The decoding steps, applied one after the other in this order: later steps
// see what earlier ones inserted ("&#38;#160;" ends as a space).
const std::pair<std::string_view, std::string_view> kDecodeSteps[] = {
    {"  ", " "},
    {"\n", " "},
    {"&#34;", "\""},
    {"&#33;", "!"},
    {"&#36;", "$"},
    {"&#37;", "%"},
    {"&#38;", "&"},
    {"&#45;", "-"},
    {"&#46;", "."},
    {"&#47;", "/"},
    {"&#60;", "<"},
    {"&#62;", ">"},
    {"&#160;", " "},
    {"&#247;", "-"},
    {"&deg;", "\xB0"},  // the degree sign of the Windows Latin-1 code page
};

}  // namespace

std::string CPageDownloader::ExtractField(const std::string& page, const std::string& before,
                                          const std::string& marker, const std::string& terminator,
                                          int count)
{
    // Without one round there is no cut at all.
    if (count < 1)
        return {};

    size_t position = 0;
    size_t markerAt = 0;
    size_t terminatorAt = 0;
    for (int round = 0; round < count; ++round) {
        if (!before.empty()) {
            position = FindText(page, before, position);
            if (position == std::string::npos)
                return {};
        }
        markerAt = FindText(page, marker, position);
        if (markerAt == std::string::npos)
            return {};
        // From the marker's first byte, so a terminator inside the marker counts.
        terminatorAt = FindText(page, terminator, markerAt);
        if (terminatorAt == std::string::npos)
            return {};
        // A round that ends where it began would repeat itself unchanged.
        if (terminatorAt == position)
            break;
        position = terminatorAt;
    }

    const size_t valueAt = markerAt + marker.size();
    std::string value = terminatorAt > valueAt ? page.substr(valueAt, terminatorAt - valueAt) : std::string();
    for (const auto& [from, to] : kDecodeSteps)
        ReplaceAll(value, from, to);
    return TrimWhitespace(value);
}
