#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "quote/SecurityRecord.h"

// The columns of a list window, in display order.
enum ListColumn : int {
    kColumnCompany = 0,
    kColumnSymbol = 1,
    kColumnVolume = 2,
    kColumnListed = 3,
};
inline constexpr int kListColumnCount = 4;

// The text a row shows in a column (company for an unknown column).
const std::string& ListColumnText(const SecurityRecord& row, int column);

// The sort key of a VOLUME text: the integer at its start as the C library's
// atoi reads it in the C locale (leading white space, an optional sign, then
// digits up to the first other byte; 0 without digits; clamped to int). So
// "1,200" is 1 and "abc" is 0.
int VolumeSortKey(std::string_view text);

// The order in which a list window shows its rows: a permutation of row
// indexes. The rows themselves are never moved; they must stay unchanged
// while the order exists, since the cached sort keys point into them.
//
// Sorting is stable: rows with equal keys keep the order they were shown in.
// VOLUME sorts by VolumeSortKey, every other column by its text compared as
// unsigned bytes (upper case before lower case, a text before any longer
// text that starts with it).
class ListViewOrder {
public:
    // Called with 100 * j / n before row j is taken in, once per distinct value.
    using Progress = std::function<void(int percent)>;

    explicit ListViewOrder(const SecurityArray& rows);

    // Shows every row in row order, reporting progress while the rows'
    // sort keys for the first sort are prepared.
    void Fill(const Progress& progress = {});
    // Shows no row.
    void Clear();
    // Reorders the shown rows by the column; an unknown column is ignored.
    void Sort(int column, bool descending);

    std::size_t size() const { return m_order.size(); }
    bool empty() const { return m_order.empty(); }
    // Index into the rows of the row shown at the position.
    std::size_t RowAt(std::size_t position) const { return m_order[position]; }
    const std::vector<std::uint32_t>& Order() const { return m_order; }

private:
    // A text key: its first sixteen bytes as two big-endian numbers decide
    // most comparisons without touching the text; the rest is compared in
    // the column's text pool, where the texts lie close together.
    struct TextKey {
        std::uint64_t head;
        std::uint64_t tail;
        std::uint32_t offset;
        std::uint32_t size;
        std::uint32_t row;
    };
    // The texts of one column in row order, one after the other, and their keys.
    struct TextColumn {
        std::string pool;
        std::vector<TextKey> keys;
        bool ready = false;
    };
    struct VolumeKey {
        int key;
        std::uint32_t row;
    };

    static void AddText(TextColumn& column, const std::string& text, std::uint32_t row);
    const TextColumn& Texts(int column);
    const std::vector<int>& VolumeKeys();
    // Stable sort of the shown rows by makeKey(row), ordered by less.
    template <class MakeKey, class Less>
    void SortBy(MakeKey makeKey, Less less, bool descending);

    const SecurityArray& m_rows;
    std::vector<std::uint32_t> m_order;
    // Keys in row order, made once per column when first needed.
    TextColumn m_texts[kListColumnCount];
    std::vector<int> m_volumeKeys;
    bool m_bVolumeKeysReady = false;
};
