// ExtractField with arbitrary arguments.
// Input: count (decimal text) NUL before NUL marker NUL terminator NUL page.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "quote/PageDownloader.h"

namespace {
bool IsTrimBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    // CAtoi clamps, so the extremes of int are reachable too.
    const int count = CAtoi(input.TakeText());
    const std::string before = input.TakeText();
    const std::string marker = input.TakeText();
    const std::string terminator = input.TakeText();
    const std::string page = input.TakeRest();

    const std::string value = CPageDownloader::ExtractField(page, before, marker, terminator, count);

    // Without a round, or without the marker anywhere, there is nothing to cut.
    if (count < 1 || page.find(marker) == std::string::npos)
        FUZZ_CHECK(value.empty());
    // Decoding only ever shortens the cut.
    FUZZ_CHECK(value.size() <= page.size());
    // The value comes back trimmed.
    if (!value.empty()) {
        FUZZ_CHECK(!IsTrimBlank(value.front()));
        FUZZ_CHECK(!IsTrimBlank(value.back()));
    }
    return 0;
}
