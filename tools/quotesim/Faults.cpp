#include "quotesim/Faults.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <vector>

namespace quotesim {

namespace {
constexpr std::string_view kEndpointNames[kEndpointCount] = {"all", "msn", "cnn", "chart", "csv"};
// In FaultKind's order.
constexpr std::string_view kFaultKindNames[] = {"429", "503", "challenge", "reset"};

std::vector<std::string_view> SplitCommas(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return parts;
        start = comma + 1;
    }
}

// A whole decimal number within [low, high].
std::optional<int> ParseInt(std::string_view text, int low, int high)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// Splits "key=value"; false when there is no '='.
bool SplitOption(std::string_view option, std::string_view& key, std::string_view& value)
{
    const std::size_t equals = option.find('=');
    if (equals == std::string_view::npos)
        return false;
    key = option.substr(0, equals);
    value = option.substr(equals + 1);
    return true;
}

std::string SmallPage(std::string_view title, std::string_view text)
{
    return "<!DOCTYPE html>\n<html><head><title>" + std::string(title) + "</title></head>\n<body><h1>" +
           std::string(title) + "</h1>\n<p>" + std::string(text) + "</p>\n</body></html>\n";
}
}  // namespace

std::optional<Endpoint> ParseEndpoint(std::string_view name)
{
    for (int i = 0; i < kEndpointCount; ++i)
        if (kEndpointNames[i] == name)
            return static_cast<Endpoint>(i);
    return std::nullopt;
}

std::string EndpointName(Endpoint endpoint)
{
    return std::string(kEndpointNames[static_cast<int>(endpoint)]);
}

std::optional<Fault> ParseFault(std::string_view text)
{
    const std::vector<std::string_view> parts = SplitCommas(text);
    Fault fault;
    const auto* kind = std::find(std::begin(kFaultKindNames), std::end(kFaultKindNames), parts[0]);
    if (kind == std::end(kFaultKindNames))
        return std::nullopt;
    fault.kind = static_cast<FaultKind>(kind - std::begin(kFaultKindNames));
    bool seenFor = false, seenNext = false, seenRetry = false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::string_view key, value;
        if (!SplitOption(parts[i], key, value))
            return std::nullopt;
        if (key == "for" && !seenFor) {
            const std::optional<Endpoint> endpoint = ParseEndpoint(value);
            if (!endpoint)
                return std::nullopt;
            fault.endpoint = *endpoint;
            seenFor = true;
        } else if (key == "next" && !seenNext) {
            const std::optional<int> count = ParseInt(value, 1, 1'000'000'000);
            if (!count)
                return std::nullopt;
            fault.count = *count;
            seenNext = true;
        } else if (key == "retry-after" && !seenRetry &&
                   (fault.kind == FaultKind::TooManyRequests || fault.kind == FaultKind::Unavailable)) {
            const std::optional<int> seconds = ParseInt(value, 0, 1'000'000'000);
            if (!seconds)
                return std::nullopt;
            fault.retryAfterSeconds = *seconds;
            seenRetry = true;
        } else {
            return std::nullopt;
        }
    }
    return fault;
}

std::string DescribeFault(const Fault& fault)
{
    std::string text(kFaultKindNames[static_cast<int>(fault.kind)]);
    text += ",for=" + EndpointName(fault.endpoint);
    if (fault.count != kAlways)
        text += ",next=" + std::to_string(fault.count);
    if (fault.retryAfterSeconds >= 0)
        text += ",retry-after=" + std::to_string(fault.retryAfterSeconds);
    return text;
}

std::optional<LatencySetting> ParseLatency(std::string_view text)
{
    const std::vector<std::string_view> parts = SplitCommas(text);
    if (parts.size() > 2)
        return std::nullopt;
    LatencySetting setting;
    const std::optional<int> milliseconds = ParseInt(parts[0], 0, 600'000);
    if (!milliseconds)
        return std::nullopt;
    setting.milliseconds = *milliseconds;
    if (parts.size() == 2) {
        std::string_view key, value;
        if (!SplitOption(parts[1], key, value) || key != "for")
            return std::nullopt;
        const std::optional<Endpoint> endpoint = ParseEndpoint(value);
        if (!endpoint)
            return std::nullopt;
        setting.endpoint = *endpoint;
    }
    return setting;
}

std::string TooManyRequestsPage()
{
    return SmallPage("429 Too Many Requests", "You have sent too many requests. Please try again later.");
}

std::string UnavailablePage()
{
    return SmallPage("503 Service Unavailable", "The service is temporarily unavailable. Please try again later.");
}

std::string ChallengePage()
{
    // What a service's bot screen sends a client it does not trust: a
    // normal-looking web page, status 200, and no data.
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
           "<title>One moment, please...</title>\n"
           "<meta name=\"robots\" content=\"noindex,nofollow\">\n"
           "<script>setTimeout(function(){location.reload();},5000);</script>\n"
           "</head>\n<body>\n<div class=\"check\">\n<h1>Checking your browser before accessing the site.</h1>\n"
           "<p>This process is automatic. Your browser will redirect to your requested content shortly.</p>\n"
           "<noscript><p>Please enable JavaScript and cookies to continue.</p></noscript>\n"
           "</div>\n</body></html>\n";
}

}  // namespace quotesim
