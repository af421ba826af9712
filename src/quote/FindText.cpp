#include "quote/FindText.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Whether the needle, whose first and last byte already match, matches at `at`.
bool MiddleMatches(const char* at, std::string_view needle)
{
    return std::memcmp(at + 1, needle.data() + 1, needle.size() - 2) == 0;
}

// Scans the candidate starts [pos, last] in whole blocks while a block's
// last start is still at most `last`; returns a match, or npos with `pos`
// left at the first start not yet looked at. The inner loops make no calls,
// so the broadcast bytes stay in registers; candidates are checked after.
std::size_t ScanBlocks(const char* text, std::size_t& pos, std::size_t last, std::string_view needle)
{
#if defined(__SSE2__)
    const std::size_t tail = needle.size() - 1;
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i lastByte = _mm_set1_epi8(needle.back());
    const auto fits = [&](const char* at) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + tail));
        return static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, lastByte))));
    };
    std::size_t at = pos;
    while (at <= last && last - at >= 31) {
        std::uint32_t candidates = 0;
        for (; at <= last && last - at >= 31; at += 32) {
            candidates = fits(text + at) | fits(text + at + 16) << 16;
            if (candidates != 0)
                break;
        }
        for (; candidates != 0; candidates &= candidates - 1) {
            const auto offset = static_cast<std::size_t>(__builtin_ctz(candidates));
            if (MiddleMatches(text + at + offset, needle))
                return at + offset;
        }
        if (at <= last && last - at >= 31)
            at += 32;
    }
    pos = at;
#else
    (void)text;
    (void)last;
    (void)needle;
#endif
    return npos;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with 32-byte registers, 64 starts per step.
__attribute__((target("avx2"))) std::size_t ScanBlocksAvx2(const char* text, std::size_t& pos, std::size_t last,
                                                            std::string_view needle)
{
    const std::size_t tail = needle.size() - 1;
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i lastByte = _mm256_set1_epi8(needle.back());
    std::size_t at = pos;
    while (at <= last && last - at >= 63) {
        std::uint64_t candidates = 0;
        for (; at <= last && last - at >= 63; at += 64) {
            const char* block = text + at;
            const __m256i starts0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
            const __m256i ends0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + tail));
            const __m256i starts1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32));
            const __m256i ends1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32 + tail));
            const auto low = static_cast<std::uint32_t>(_mm256_movemask_epi8(
                _mm256_and_si256(_mm256_cmpeq_epi8(starts0, first), _mm256_cmpeq_epi8(ends0, lastByte))));
            const auto high = static_cast<std::uint32_t>(_mm256_movemask_epi8(
                _mm256_and_si256(_mm256_cmpeq_epi8(starts1, first), _mm256_cmpeq_epi8(ends1, lastByte))));
            candidates = low | std::uint64_t{high} << 32;
            if (candidates != 0)
                break;
        }
        for (; candidates != 0; candidates &= candidates - 1) {
            const auto offset = static_cast<std::size_t>(__builtin_ctzll(candidates));
            if (MiddleMatches(text + at + offset, needle))
                return at + offset;
        }
        if (at <= last && last - at >= 63)
            at += 64;
    }
    pos = at;
    return npos;
}

const bool kHaveAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

}  // namespace

std::size_t FindText(std::string_view haystack, std::string_view needle, std::size_t from)
{
    const std::size_t size = haystack.size();
    if (needle.empty())
        return from <= size ? from : npos;
    if (from >= size || size - from < needle.size())
        return npos;
    const char* const text = haystack.data();
    if (needle.size() == 1) {
        const void* found = std::memchr(text + from, needle.front(), size - from);
        return found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - text) : npos;
    }

    // Candidate starts run from `from` to `last`; a block of k candidates
    // reads up to its last start plus the needle's length.
    const std::size_t last = size - needle.size();
    std::size_t pos = from;
#if defined(__x86_64__) && defined(__GNUC__)
    const std::size_t found = kHaveAvx2 ? ScanBlocksAvx2(text, pos, last, needle) : ScanBlocks(text, pos, last, needle);
#else
    const std::size_t found = ScanBlocks(text, pos, last, needle);
#endif
    if (found != npos)
        return found;
    for (; pos <= last; ++pos)
        if (text[pos] == needle.front() && text[pos + needle.size() - 1] == needle.back() &&
            MiddleMatches(text + pos, needle))
            return pos;
    return npos;
}
