#include "marketdata/SymbolList.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "base/CText.h"

namespace {
// The rule as written (SplitSymbolListLinePlain) over a memchr line scan is
// the reference. One SSE2 path stands beside it for lines shorter than 64
// bytes, nearly all lines of a real list: one look at 64 bytes finds the
// line feed and gives bit masks of the spaces and blanks, and the fields are
// cut by bit scans. The plain search and trims branch on every word gap and
// mispredict: loading the 10 MB bench list took 29 ms of CPU that way
// against 14 ms, where the target is five times reading and counting its
// lines (about 3 ms). The fuzzer and the tests compare the two paths.

constexpr std::size_t npos = std::string_view::npos;

// The line feed ending the line that starts at `pos`, or nullptr when the
// rest of the text is the piece after the last line feed.
const char* FindLineFeed(const char* pos, const char* end)
{
    return static_cast<const char*>(std::memchr(pos, '\n', static_cast<std::size_t>(end - pos)));
}

// Start of the first run of three spaces in `text`, or npos. A byte that is
// not a space rules out the runs that would cover it, so each candidate is
// tested from its third byte and a miss skips past the byte that failed.
// (string_view::find calls memchr for every single space, which costs about
// three times as much on lines of words separated by spaces.)
std::size_t FindThreeSpaces(std::string_view text)
{
    std::size_t pos = 0;
    while (pos + 3 <= text.size()) {
        if (text[pos + 2] != ' ')
            pos += 3;
        else if (text[pos + 1] != ' ')
            pos += 2;
        else if (text[pos] != ' ')
            pos += 1;
        else
            return pos;
    }
    return npos;
}

// Cuts the field in front of the first run of three spaces off `rest`,
// which becomes the trimmed remainder; without a run the field is empty.
std::string_view CutField(std::string_view& rest)
{
    const std::size_t run = FindThreeSpaces(rest);
    if (run == npos) {
        rest = TrimWhitespaceView(rest);
        return {};
    }
    const std::string_view field = TrimWhitespaceView(rest.substr(0, run));
    rest = TrimWhitespaceView(rest.substr(run));
    return field;
}

#if defined(__SSE2__)
#if defined(__x86_64__) && defined(__GNUC__)
// Legacy SSE instructions run at a fraction of their speed while the upper
// halves of the AVX registers are marked in use, and something in the Qt GUI
// start-up leaves them so (XGETBV(1) shows it right after QGuiApplication is
// constructed): a 10 MB list then loads in 34 ms instead of 15 ms. Clearing
// them before each row costs one instruction on processors that have AVX.
__attribute__((target("avx"))) void ClearUpperAvxHalvesWithAvx()
{
    _mm256_zeroupper();
}
const bool kHaveAvx = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
}();
void ClearUpperAvxHalves()
{
    if (kHaveAvx)
        ClearUpperAvxHalvesWithAvx();
}
#else
void ClearUpperAvxHalves() {}
#endif

// Lines shorter than this are split on masks of one machine word.
constexpr std::size_t kMaskedLineBytes = 64;

// Bit i of a mask tells whether byte i of 64 bytes is a space / one of
// space, tab, LF, VT, FF and CR (what trimming removes) / a line feed / NUL.
struct ByteMasks {
    std::uint64_t spaces = 0;
    std::uint64_t blanks = 0;
    std::uint64_t lineFeeds = 0;
    std::uint64_t nuls = 0;
};

ByteMasks ClassifyBytes(const char* bytes)
{
    ByteMasks masks;
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
        const __m128i isSpace = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
        // Tab, LF, VT, FF and CR are the bytes 9 to 13: v - 9 is at most 4.
        const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(9));
        const __m128i isControlBlank = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(4)), offset);
        const auto bits = [part](__m128i isByte) {
            return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(isByte))} << (16 * part);
        };
        masks.spaces |= bits(isSpace);
        masks.blanks |= bits(_mm_or_si128(isSpace, isControlBlank));
        masks.lineFeeds |= bits(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
        masks.nuls |= bits(_mm_cmpeq_epi8(v, _mm_setzero_si128()));
    }
    return masks;
}

// Position of the lowest set bit / one past the highest; `bits` is not 0.
std::size_t Lowest(std::uint64_t bits)
{
    return static_cast<std::size_t>(std::countr_zero(bits));
}
std::size_t PastHighest(std::uint64_t bits)
{
    return static_cast<std::size_t>(64 - std::countl_zero(bits));
}

// The bits below `pos`, which is less than 64.
std::uint64_t Below(std::size_t pos)
{
    return (std::uint64_t{1} << pos) - 1;
}

// The rule for a line shorter than 64 bytes, on the masks of its bytes (bits
// past the line are ignored). A run of three spaces that starts before the
// end of a trimmed remainder lies wholly inside it, so every search is one
// bit scan. The fields are written in place: a whole record returned from a
// temporary would be read back before its parts are stored, and stall.
void SplitMaskedLine(std::string_view line, std::uint64_t spaces, std::uint64_t blanks, SymbolListFields& fields)
{
    const std::uint64_t inside = Below(line.size());
    spaces &= inside;
    const std::uint64_t nonBlank = ~blanks & inside;
    const std::uint64_t runs = spaces & (spaces >> 1) & (spaces >> 2);
    const auto view = [&](std::size_t begin, std::size_t end) { return std::string_view(line.data() + begin, end - begin); };

    fields = {};
    if (nonBlank == 0)
        return;
    // Every search after the first runs on a trimmed remainder, which ends here.
    const std::size_t end = PastHighest(nonBlank);
    if (runs == 0) {
        fields.listed = view(Lowest(nonBlank), end);
        return;
    }
    const std::size_t first = Lowest(runs);
    if (const std::uint64_t company = nonBlank & Below(first); company != 0)
        fields.company = view(Lowest(company), PastHighest(company));
    if (first >= end)
        return;
    // `rest` always stands on a non-blank byte before `end`.
    std::size_t rest = Lowest(nonBlank & ~Below(first));
    for (std::string_view* field : {&fields.symbol, &fields.volume}) {
        const std::uint64_t next = runs & ~Below(rest);
        if (next == 0 || Lowest(next) >= end)
            break;
        const std::size_t run = Lowest(next);
        *field = view(rest, PastHighest(nonBlank & Below(run)));
        rest = Lowest(nonBlank & ~Below(run));
    }
    fields.listed = view(rest, end);
}
#endif

// Splits a line inside a larger text into the caller's record: `readable`
// bytes from the line's start may be read (at least the line), which lets a
// short line be loaded in whole blocks; the bytes past the line do not change
// the result (see SplitMaskedLine).
void SplitRowInto(std::string_view line, std::size_t readable, SymbolListFields& fields)
{
#if defined(__SSE2__)
    if (line.size() < kMaskedLineBytes) {
        ClearUpperAvxHalves();
        ByteMasks masks;
        if (readable >= kMaskedLineBytes) {
            masks = ClassifyBytes(line.data());
        } else {
            // Near the end of the text: the bytes past the line are not ours.
            alignas(16) char padded[kMaskedLineBytes] = {};
            std::memcpy(padded, line.data(), line.size());
            masks = ClassifyBytes(padded);
        }
        SplitMaskedLine(line, masks.spaces, masks.blanks, fields);
        return;
    }
#endif
    (void)readable;
    fields = SplitSymbolListLinePlain(line);
}
}  // namespace

std::string_view SymbolListText(std::string_view bytes)
{
    if (bytes.size() > kSymbolListMaxBytes)
        bytes = bytes.substr(0, kSymbolListMaxBytes);
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        bytes = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
    return bytes;
}

SymbolListFields SplitSymbolListLinePlain(std::string_view line)
{
    SymbolListFields fields;
    std::string_view rest = line;
    fields.company = CutField(rest);
    fields.symbol = CutField(rest);
    fields.volume = CutField(rest);
    fields.listed = rest;
    return fields;
}

SymbolListFields SplitSymbolListLine(std::string_view line)
{
    SymbolListFields fields;
    SplitRowInto(line, line.size(), fields);
    return fields;
}

bool SymbolListRowScanner::Next(SymbolListFields& fields)
{
    while (m_pos < m_end) {
        const char* const line = m_pos;
#if defined(__SSE2__)
        // Most lines end within 64 bytes: one look finds the line feed (or a
        // NUL, which ends the text) and classifies the line at once.
        if (m_end - line >= static_cast<std::ptrdiff_t>(kMaskedLineBytes)) {
            const ByteMasks masks = ClassifyBytes(line);
            if (const std::uint64_t stops = masks.lineFeeds | masks.nuls; stops != 0) {
                const std::size_t length = Lowest(stops);
                if (((masks.nuls >> length) & 1) != 0)
                    break;
                m_pos = line + length + 1;
                if (length <= kSymbolListShortLineBytes)
                    continue;
                ClearUpperAvxHalves();
                SplitMaskedLine(std::string_view(line, length), masks.spaces, masks.blanks, fields);
                return true;
            }
        }
#endif
        // Long lines, and lines near the end of the text. A NUL ends the
        // text: the line it falls in has no line feed.
        const char* const lineFeed = FindLineFeed(line, m_end);
        const auto length = lineFeed == nullptr ? 0 : static_cast<std::size_t>(lineFeed - line);
        if (lineFeed == nullptr || std::memchr(line, '\0', length) != nullptr)
            break;
        m_pos = lineFeed + 1;
        if (length > kSymbolListShortLineBytes) {
            SplitRowInto(std::string_view(line, length), static_cast<std::size_t>(m_end - line), fields);
            return true;
        }
    }
    m_pos = m_end;
    return false;
}

std::size_t CountSymbolListRows(std::string_view text)
{
    std::size_t count = 0;
    const char* pos = text.data();
    const char* const end = text.data() + text.size();
    while (pos < end) {
        const char* const lineFeed = FindLineFeed(pos, end);
        if (lineFeed == nullptr)
            break;
        if (static_cast<std::size_t>(lineFeed - pos) > kSymbolListShortLineBytes)
            ++count;
        pos = lineFeed + 1;
    }
    return count;
}

std::vector<SymbolListFields> SplitSymbolList(std::string_view bytes)
{
    const std::string_view text = SymbolListText(bytes);
    std::vector<SymbolListFields> rows;
    rows.reserve(CountSymbolListRows(text));
    ForEachSymbolListRow(text, [&](const SymbolListFields& fields) { rows.push_back(fields); });
    return rows;
}
