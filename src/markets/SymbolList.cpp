#include "markets/SymbolList.h"

#include <array>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
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

// ---- Plain version, for lines too long for the mask versions ------------

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

// ---- Classifying bytes ----------------------------------------------------

// Bit i of `space` / `blank` / `lineFeed` / `nul` tells whether byte i of
// the 16 bytes is a space / blank / line feed / NUL. Reads all 16 bytes.
void Classify16Whole(const char* bytes, std::uint64_t& space, std::uint64_t& blank, std::uint64_t& lineFeed,
                     std::uint64_t& nul)
{
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i isSpace = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
    // Tab, LF, VT, FF and CR are the bytes 9 to 13.
    const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(9));
    const __m128i isControlBlank = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(4)), offset);
    space = static_cast<std::uint32_t>(_mm_movemask_epi8(isSpace));
    blank = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(isSpace, isControlBlank)));
    lineFeed = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
    nul = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
#else
    space = 0;
    blank = 0;
    lineFeed = 0;
    nul = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        space |= static_cast<std::uint64_t>(c == ' ') << i;
        blank |= static_cast<std::uint64_t>(kBlank[c]) << i;
        lineFeed |= static_cast<std::uint64_t>(c == '\n') << i;
        nul |= static_cast<std::uint64_t>(c == '\0') << i;
    }
#endif
}

void Classify16Whole(const char* bytes, std::uint64_t& space, std::uint64_t& blank)
{
    std::uint64_t lineFeed = 0;
    std::uint64_t nul = 0;
    Classify16Whole(bytes, space, blank, lineFeed, nul);
}

// The same for the first `count` (up to 16) bytes; bytes past `count` are
// neither space nor blank, and they are not read.
void Classify16(const char* bytes, std::size_t count, std::uint64_t& space, std::uint64_t& blank)
{
    if (count >= 16) {
        Classify16Whole(bytes, space, blank);
        return;
    }
    // NUL bytes are neither space nor blank.
    alignas(16) char padded[16] = {};
    std::memcpy(padded, bytes, count);
    Classify16Whole(padded, space, blank);
}

// Bit i of the result tells whether byte i of the 64 bytes is a line feed.
std::uint64_t LineFeeds64(const char* bytes)
{
    std::uint64_t lineFeeds = 0;
#if defined(__SSE2__)
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
        const auto lineFeed = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
        lineFeeds |= std::uint64_t{lineFeed} << (16 * part);
    }
#else
    for (int i = 0; i < 64; ++i)
        lineFeeds |= std::uint64_t{bytes[i] == '\n'} << i;
#endif
    return lineFeeds;
}

// Line feeds, NUL bytes, spaces and blanks of 64 bytes, bit i for byte i.
struct Block64 {
    std::uint64_t lineFeeds = 0;
    std::uint64_t nuls = 0;
    std::uint64_t spaces = 0;
    std::uint64_t blanks = 0;
};

Block64 ClassifyBlock(const char* bytes)
{
    Block64 block;
    for (int part = 0; part < 4; ++part) {
        std::uint64_t space = 0;
        std::uint64_t blank = 0;
        std::uint64_t lineFeed = 0;
        std::uint64_t nul = 0;
        Classify16Whole(bytes + 16 * part, space, blank, lineFeed, nul);
        block.spaces |= space << (16 * part);
        block.blanks |= blank << (16 * part);
        block.lineFeeds |= lineFeed << (16 * part);
        block.nuls |= nul << (16 * part);
    }
    return block;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with 32-byte registers, on processors that have them.
__attribute__((target("avx2"))) Block64 ClassifyBlockAvx2(const char* bytes)
{
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32));
    const __m256i space = _mm256_set1_epi8(' ');
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    const __m256i nul = _mm256_setzero_si256();
    // Tab, LF, VT, FF and CR are the bytes 9 to 13.
    const __m256i nine = _mm256_set1_epi8(9);
    const __m256i four = _mm256_set1_epi8(4);
    const __m256i lowOffset = _mm256_sub_epi8(low, nine);
    const __m256i highOffset = _mm256_sub_epi8(high, nine);
    const __m256i lowSpace = _mm256_cmpeq_epi8(low, space);
    const __m256i highSpace = _mm256_cmpeq_epi8(high, space);
    const __m256i lowBlank =
        _mm256_or_si256(lowSpace, _mm256_cmpeq_epi8(_mm256_min_epu8(lowOffset, four), lowOffset));
    const __m256i highBlank =
        _mm256_or_si256(highSpace, _mm256_cmpeq_epi8(_mm256_min_epu8(highOffset, four), highOffset));
    // Each mask is put together in a general register right away; left to
    // itself the compiler assembles the four in vector registers, slower.
    const auto join = [](int lowBits, int highBits) {
        std::uint64_t bits = static_cast<std::uint32_t>(lowBits) | std::uint64_t{static_cast<std::uint32_t>(highBits)} << 32;
        __asm__("" : "+r"(bits));
        return bits;
    };
    Block64 block;
    block.lineFeeds = join(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, lineFeed)),
                           _mm256_movemask_epi8(_mm256_cmpeq_epi8(high, lineFeed)));
    block.nuls = join(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, nul)), _mm256_movemask_epi8(_mm256_cmpeq_epi8(high, nul)));
    block.spaces = join(_mm256_movemask_epi8(lowSpace), _mm256_movemask_epi8(highSpace));
    block.blanks = join(_mm256_movemask_epi8(lowBlank), _mm256_movemask_epi8(highBlank));
    return block;
}

const bool kHaveAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();

Block64 ClassifyBlockFast(const char* bytes)
{
    return kHaveAvx2 ? ClassifyBlockAvx2(bytes) : ClassifyBlock(bytes);
}
#else
Block64 ClassifyBlockFast(const char* bytes)
{
    return ClassifyBlock(bytes);
}
#endif

// ---- Lines shorter than 64 or 128 bytes -----------------------------------
// The masks of such a line fit in one or two machine words held in
// registers. Inside a file the bytes are classified straight from the text,
// with the line feed that ends the line found by the same look.

__extension__ typedef unsigned __int128 Mask128;

// Position of the lowest set bit; `bits` is not 0.
std::size_t Lowest(std::uint64_t bits)
{
    return static_cast<std::size_t>(__builtin_ctzll(bits));
}
std::size_t Lowest(Mask128 bits)
{
    const auto low = static_cast<std::uint64_t>(bits);
    return low != 0 ? Lowest(low) : 64 + Lowest(static_cast<std::uint64_t>(bits >> 64));
}

// One past the position of the highest set bit; `bits` is not 0.
std::size_t PastHighest(std::uint64_t bits)
{
    return static_cast<std::size_t>(64 - __builtin_clzll(bits));
}
std::size_t PastHighest(Mask128 bits)
{
    const auto high = static_cast<std::uint64_t>(bits >> 64);
    return high != 0 ? 64 + PastHighest(high) : PastHighest(static_cast<std::uint64_t>(bits));
}

// The bits below `pos`, which is less than the mask's width.
template <class Mask>
Mask Below(std::size_t pos)
{
    return (Mask{1} << pos) - 1;
}

// The splitting rule for a line shorter than the mask's width, straight on
// the masks of its bytes (bits past the line are ignored). Every search here
// is known to find a byte, which keeps each one a single bit scan. The
// fields are written in place: a whole record copied out of a temporary
// would be read back before its parts are stored.
template <class Mask>
void SplitMaskedLine(std::string_view line, Mask spaces, Mask blanks, SymbolListFields& fields)
{
    const Mask inside = Below<Mask>(line.size());
    spaces &= inside;
    const Mask nonBlank = ~blanks & inside;
    const Mask runs = spaces & (spaces >> 1) & (spaces >> 2);
    // Positions are inside the line by construction.
    const auto view = [&](std::size_t begin, std::size_t end) { return std::string_view(line.data() + begin, end - begin); };

    fields.company = {};
    fields.symbol = {};
    fields.volume = {};
    fields.listed = {};
    if (nonBlank == 0)
        return;
    // Later searches run on trimmed remainders, which end here.
    const std::size_t end = PastHighest(nonBlank);
    if (runs == 0) {
        fields.listed = view(Lowest(nonBlank), end);
        return;
    }
    const std::size_t first = Lowest(runs);
    if (const Mask company = nonBlank & Below<Mask>(first); company != 0)
        fields.company = view(Lowest(company), PastHighest(company));
    if (first >= end)
        return;
    // `rest` always stands on a non-blank byte before `end`.
    std::size_t rest = Lowest(nonBlank & ~Below<Mask>(first));
    std::string_view* const later[] = {&fields.symbol, &fields.volume};
    for (std::string_view* field : later) {
        const Mask next = runs & ~Below<Mask>(rest);
        if (next == 0)
            break;
        const std::size_t run = Lowest(next);
        if (run >= end)
            break;
        *field = view(rest, PastHighest(nonBlank & Below<Mask>(run)));
        rest = Lowest(nonBlank & ~Below<Mask>(run));
    }
    fields.listed = view(rest, end);
}

// Classifies a line shorter than 128 bytes and splits it; `readable` bytes
// from its start may be read (at least its size), so whole 16-byte blocks
// are loaded where they fit.
SymbolListFields SplitNarrowLine(std::string_view line, std::size_t readable)
{
    const std::size_t size = line.size();
    Mask128 spaces = 0;
    Mask128 blanks = 0;
    for (std::size_t base = 0; base < size; base += 16) {
        std::uint64_t space = 0;
        std::uint64_t blank = 0;
        if (readable - base >= 16)
            Classify16Whole(line.data() + base, space, blank);
        else
            Classify16(line.data() + base, size - base < 16 ? size - base : 16, space, blank);
        spaces |= Mask128{space} << base;
        blanks |= Mask128{blank} << base;
    }
    SymbolListFields fields;
    SplitMaskedLine(line, spaces, blanks, fields);
    return fields;
}

// ---- Lines of up to 256 bytes ------------------------------------------------
// Lines classified once into bit masks (blank bytes, starts of three-space
// runs), every search and trim a bit scan:
//  - FindRun(from, to): start of the first run of three spaces in
//    [from, to), or npos. Runs never reach past the line, so a run that
//    starts before a trimmed end lies before it;
//  - SkipBlanks(from, to): first byte in [from, to) that is not blank, or to;
//  - TrimEnd(from, to): end of [from, to) without the blanks at its end.

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

// The splitting rule on a line whose masks are at hand.
template <class Bits>
SymbolListFields SplitWithBits(std::string_view line, const Bits& bits)
{
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
    return SplitSymbolListRow(line, line.size());
}

SymbolListFields SplitSymbolListRow(std::string_view line, std::size_t readable)
{
    if (line.size() < 128)
        return SplitNarrowLine(line, readable < line.size() ? line.size() : readable);
    if (line.size() <= LineBits::kMaxBytes)
        return SplitWithBits(line, LineBits(line));
    return SplitLongLine(line);
}

bool SymbolListRowScanner::Next(SymbolListFields& fields)
{
    while (m_pos < m_end) {
        const auto left = static_cast<std::size_t>(m_end - m_pos);
        const char* const line = m_pos;
        // Ordinary lines: one look at the next 64 or 128 bytes finds the
        // line feed (or a NUL byte, which ends the text) and classifies the
        // line at once.
        if (left >= 64) {
            const Block64 first = ClassifyBlockFast(line);
            if (const std::uint64_t stops = first.lineFeeds | first.nuls; stops != 0) {
                const std::size_t length = Lowest(stops);
                if (((first.nuls >> length) & 1) != 0)
                    return Finish();
                m_pos = line + length + 1;
                if (length <= kSymbolListShortLineBytes)
                    continue;
                SplitMaskedLine(std::string_view(line, length), first.spaces, first.blanks, fields);
                return true;
            }
            if (left >= 128) {
                const Block64 second = ClassifyBlockFast(line + 64);
                if (const std::uint64_t stops = second.lineFeeds | second.nuls; stops != 0) {
                    const std::size_t length = 64 + Lowest(stops);
                    if (((second.nuls >> (length - 64)) & 1) != 0)
                        return Finish();
                    m_pos = line + length + 1;
                    SplitMaskedLine(std::string_view(line, length), Mask128{first.spaces} | Mask128{second.spaces} << 64,
                                    Mask128{first.blanks} | Mask128{second.blanks} << 64, fields);
                    return true;
                }
            }
        }
        // Long lines, and lines near the end of the text. The piece after
        // the last line feed is not a line.
        const void* found = std::memchr(line, '\n', left);
        if (found == nullptr)
            return Finish();
        const auto length = static_cast<std::size_t>(static_cast<const char*>(found) - line);
        if (std::memchr(line, '\0', length) != nullptr)
            return Finish();
        m_pos = line + length + 1;
        if (length <= kSymbolListShortLineBytes)
            continue;
        fields = SplitSymbolListRow(std::string_view(line, length), left);
        return true;
    }
    return false;
}

bool SymbolListRowScanner::Finish()
{
    m_pos = m_end;
    return false;
}

std::size_t CountSymbolListRows(std::string_view text)
{
    std::size_t count = 0;
    const char* const begin = text.data();
    const std::size_t size = text.size();
    const char* lineStart = begin;
    const auto lineEnds = [&](const char* lineFeed) {
        if (static_cast<std::size_t>(lineFeed - lineStart) > kSymbolListShortLineBytes)
            ++count;
        lineStart = lineFeed + 1;
    };
    std::size_t offset = 0;
    for (; offset + 64 <= size; offset += 64) {
        for (std::uint64_t lineFeeds = LineFeeds64(begin + offset); lineFeeds != 0; lineFeeds &= lineFeeds - 1)
            lineEnds(begin + offset + Lowest(lineFeeds));
    }
    for (; offset < size; ++offset)
        if (begin[offset] == '\n')
            lineEnds(begin + offset);
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
