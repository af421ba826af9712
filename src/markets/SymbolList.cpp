#include "markets/SymbolList.h"

#include <array>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr std::size_t npos = std::string_view::npos;

// Space, tab, LF, VT, FF and CR: what trimming removes.
constexpr std::array<std::uint8_t, 256> MakeBlankTable()
{
    std::array<std::uint8_t, 256> table{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
        table[c] = 1;
    return table;
}
constexpr std::array<std::uint8_t, 256> kBlank = MakeBlankTable();

bool IsBlank(char c)
{
    return kBlank[static_cast<unsigned char>(c)] != 0;
}

// ---- Plain version, for lines too long for LineBits --------------------

std::string_view Trim(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::size_t FindThreeSpaces(std::string_view text)
{
    if (text.size() < 3)
        return npos;
    const char* const begin = text.data();
    const char* const lastStart = begin + text.size() - 3;
    const char* pos = begin;
    while (pos <= lastStart) {
        const void* found = std::memchr(pos, ' ', static_cast<std::size_t>(lastStart - pos) + 1);
        if (found == nullptr)
            return npos;
        const char* space = static_cast<const char*>(found);
        if (space[1] != ' ')
            pos = space + 2;
        else if (space[2] != ' ')
            pos = space + 3;
        else
            return static_cast<std::size_t>(space - begin);
    }
    return npos;
}

// Cuts the field in front of the first run of three spaces off the text;
// the text becomes the trimmed remainder.
std::string_view CutField(std::string_view& text)
{
    const std::size_t run = FindThreeSpaces(text);
    if (run == npos) {
        text = Trim(text);
        return {};
    }
    std::string_view field = Trim(text.substr(0, run));
    text = Trim(text.substr(run));
    return field;
}

SymbolListFields SplitLongLine(std::string_view line)
{
    SymbolListFields fields;
    std::string_view rest = line;
    fields.company = CutField(rest);
    fields.symbol = CutField(rest);
    fields.volume = CutField(rest);
    fields.listed = rest;
    return fields;
}

// ---- Bit-mask version for ordinary lines ---------------------------------
// Loading of big lists is dominated by splitting lines, so ordinary lines
// are classified once into bit masks (blank bytes, starts of three-space
// runs) and every search and trim becomes a bit scan.

class LineBits {
public:
    static constexpr std::size_t kMaxBytes = 256;

    explicit LineBits(std::string_view line)
    {
        std::array<std::uint64_t, kWords + 1> spaces{};
        const std::size_t size = line.size();
        for (std::size_t chunk = 0; chunk * 16 < size; ++chunk) {
            const std::size_t base = chunk * 16;
            std::uint64_t space = 0;
            std::uint64_t blank = 0;
            Classify16(line.data() + base, size - base < 16 ? size - base : 16, space, blank);
            spaces[base / 64] |= space << (base % 64);
            m_blanks[base / 64] |= blank << (base % 64);
        }
        for (std::size_t word = 0; word < kWords; ++word) {
            const std::uint64_t s = spaces[word];
            const std::uint64_t next = spaces[word + 1];
            m_runs[word] = s & ((s >> 1) | (next << 63)) & ((s >> 2) | (next << 62));
        }
    }

    // Start of the first run of three spaces in [from, to), or npos. A run
    // that starts before `to` lies inside the line.
    std::size_t FindRun(std::size_t from, std::size_t to) const
    {
        const std::size_t pos = FirstSet(m_runs, from, false);
        return pos < to ? pos : npos;
    }

    // First byte in [from, to) that is not blank, or `to`.
    std::size_t SkipBlanks(std::size_t from, std::size_t to) const
    {
        if (from >= to)
            return to;
        const std::size_t pos = FirstSet(m_blanks, from, true);
        return pos < to ? pos : to;
    }

    // End of [from, to) with the blanks at its end removed.
    std::size_t TrimEnd(std::size_t from, std::size_t to) const
    {
        while (to > from) {
            const std::size_t last = to - 1;
            const std::size_t word = last / 64;
            const std::size_t bit = last % 64;
            std::uint64_t nonBlank = ~m_blanks[word];
            if (bit < 63)
                nonBlank &= (std::uint64_t{1} << (bit + 1)) - 1;
            if (nonBlank != 0) {
                const std::size_t pos = word * 64 + 63 - static_cast<std::size_t>(std::countl_zero(nonBlank));
                return pos >= from ? pos + 1 : from;
            }
            to = word * 64;
        }
        return from;
    }

private:
    static constexpr std::size_t kWords = kMaxBytes / 64;

    // Bit i of `space` / `blank` tells whether byte i of the (up to) 16
    // bytes is a space / blank. Bytes past `count` are neither.
    static void Classify16(const char* bytes, std::size_t count, std::uint64_t& space, std::uint64_t& blank)
    {
#if defined(__SSE2__)
        alignas(16) char padded[16] = {};
        const char* source = bytes;
        if (count < 16) {
            std::memcpy(padded, bytes, count);
            source = padded;
        }
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        const __m128i isSpace = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
        // Tab, LF, VT, FF and CR are the bytes 9 to 13.
        const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(9));
        const __m128i isControlBlank = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(4)), offset);
        space = static_cast<std::uint32_t>(_mm_movemask_epi8(isSpace));
        blank = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(isSpace, isControlBlank)));
#else
        space = 0;
        blank = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            space |= static_cast<std::uint64_t>(c == ' ') << i;
            blank |= static_cast<std::uint64_t>(kBlank[c]) << i;
        }
#endif
    }

    // First position at or after `from` whose bit is set (or clear, when
    // inverted); kMaxBytes when there is none.
    static std::size_t FirstSet(const std::array<std::uint64_t, kWords + 1>& mask, std::size_t from, bool inverted)
    {
        for (std::size_t word = from / 64; word < kWords; ++word) {
            std::uint64_t bits = inverted ? ~mask[word] : mask[word];
            if (word == from / 64)
                bits &= ~std::uint64_t{0} << (from % 64);
            if (bits != 0)
                return word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
        }
        return kMaxBytes;
    }

    std::array<std::uint64_t, kWords + 1> m_blanks{};
    std::array<std::uint64_t, kWords + 1> m_runs{};
};

SymbolListFields SplitShortLine(std::string_view line)
{
    const LineBits bits(line);
    const std::size_t size = line.size();
    const auto view = [&](std::size_t begin, std::size_t end) { return line.substr(begin, end - begin); };

    SymbolListFields fields;
    // Later searches run on trimmed remainders, which end where the line
    // ends without its trailing blanks.
    const std::size_t end = bits.TrimEnd(0, size);
    std::size_t rest = 0;
    const std::size_t first = bits.FindRun(0, size);
    if (first == npos) {
        rest = bits.SkipBlanks(0, end);
    } else {
        const std::size_t begin = bits.SkipBlanks(0, first);
        fields.company = view(begin, bits.TrimEnd(begin, first));
        rest = first < end ? bits.SkipBlanks(first, end) : end;
    }
    // `rest` now starts with a non-blank byte (or is empty).
    std::string_view* const later[] = {&fields.symbol, &fields.volume};
    for (std::string_view* field : later) {
        const std::size_t run = bits.FindRun(rest, end);
        if (run == npos)
            break;
        *field = view(rest, bits.TrimEnd(rest, run));
        rest = bits.SkipBlanks(run, end);
    }
    fields.listed = view(rest, end);
    return fields;
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

SymbolListFields SplitSymbolListLine(std::string_view line)
{
    return line.size() <= LineBits::kMaxBytes ? SplitShortLine(line) : SplitLongLine(line);
}

std::size_t CountSymbolListRows(std::string_view text)
{
    std::size_t count = 0;
    ForEachSymbolListRowLine(text, [&](std::string_view) { ++count; });
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
