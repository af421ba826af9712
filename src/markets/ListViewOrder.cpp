#include "markets/ListViewOrder.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {
bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}  // namespace

const std::string& ListColumnText(const SecurityRecord& row, int column)
{
    switch (column) {
    case kColumnSymbol: return row.symbol;
    case kColumnVolume: return row.volumeText;
    case kColumnListed: return row.listed;
    default: return row.company;
    }
}

int VolumeSortKey(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The magnitude saturates just past int's range; the sign clamps it.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kLimit)
            magnitude = kLimit;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

ListViewOrder::ListViewOrder(const SecurityArray& rows) : m_rows(rows) {}

namespace {
// Eight bytes from the position as a big-endian number. Missing bytes count
// as 0, below every byte, so a shorter text never gets a larger number than
// a longer one that starts with it; equal numbers fall back to the texts.
std::uint64_t PackBytes(const std::string& text, std::size_t from)
{
    std::uint64_t packed = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        packed = (packed << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return packed;
}
}  // namespace

void ListViewOrder::AddText(TextColumn& column, const std::string& text, std::uint32_t row)
{
    column.keys.push_back({PackBytes(text, 0), PackBytes(text, 8), static_cast<std::uint32_t>(column.pool.size()),
                           static_cast<std::uint32_t>(text.size()), row});
    column.pool += text;
}

void ListViewOrder::Fill(const Progress& progress)
{
    const std::size_t n = m_rows.size();
    m_order.clear();
    m_order.reserve(n);
    // The first sort is by company name; its keys and the volume keys are
    // prepared here, so that the fill is the one pass over the rows.
    TextColumn& companies = m_texts[kColumnCompany];
    companies.pool.clear();
    companies.keys.clear();
    companies.keys.reserve(n);
    m_volumeKeys.clear();
    m_volumeKeys.reserve(n);
    int shown = -1;
    for (std::size_t j = 0; j < n; ++j) {
        const SecurityRecord& row = m_rows[j];
        const auto index = static_cast<std::uint32_t>(j);
        m_order.push_back(index);
        AddText(companies, row.company, index);
        m_volumeKeys.push_back(VolumeSortKey(row.volumeText));
        const auto percent = static_cast<int>(100 * static_cast<unsigned long long>(j) / n);
        if (percent != shown) {
            shown = percent;
            if (progress)
                progress(percent);
        }
    }
    companies.ready = true;
    m_bVolumeKeysReady = true;
}

void ListViewOrder::Clear()
{
    m_order.clear();
}

const ListViewOrder::TextColumn& ListViewOrder::Texts(int column)
{
    TextColumn& texts = m_texts[column];
    if (!texts.ready) {
        texts.pool.clear();
        texts.keys.clear();
        texts.keys.reserve(m_rows.size());
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            AddText(texts, ListColumnText(m_rows[row], column), static_cast<std::uint32_t>(row));
        texts.ready = true;
    }
    return texts;
}

const std::vector<int>& ListViewOrder::VolumeKeys()
{
    if (!m_bVolumeKeysReady || m_volumeKeys.size() != m_rows.size()) {
        m_volumeKeys.clear();
        m_volumeKeys.reserve(m_rows.size());
        for (const SecurityRecord& row : m_rows)
            m_volumeKeys.push_back(VolumeSortKey(row.volumeText));
        m_bVolumeKeysReady = true;
    }
    return m_volumeKeys;
}

template <class MakeKey, class Less>
void ListViewOrder::SortBy(MakeKey makeKey, Less less, bool descending)
{
    using Key = decltype(makeKey(std::uint32_t{}));
    // Sorted in the shown order, so that equal keys keep it.
    std::vector<Key> shown;
    shown.reserve(m_order.size());
    for (std::uint32_t row : m_order)
        shown.push_back(makeKey(row));
    if (descending)
        std::stable_sort(shown.begin(), shown.end(), [less](const Key& a, const Key& b) { return less(b, a); });
    else
        std::stable_sort(shown.begin(), shown.end(), less);
    for (std::size_t position = 0; position < shown.size(); ++position)
        m_order[position] = shown[position].row;
}

void ListViewOrder::Sort(int column, bool descending)
{
    if (column < 0 || column >= kListColumnCount || m_order.size() < 2)
        return;
    if (column == kColumnVolume) {
        const std::vector<int>& volumes = VolumeKeys();
        SortBy([&volumes](std::uint32_t row) { return VolumeKey{volumes[row], row}; },
               [](const VolumeKey& a, const VolumeKey& b) { return a.key < b.key; }, descending);
        return;
    }
    const TextColumn& texts = Texts(column);
    const char* const pool = texts.pool.data();
    SortBy(
        [&texts](std::uint32_t row) { return texts.keys[row]; },
        [pool](const TextKey& a, const TextKey& b) {
            if (a.head != b.head)
                return a.head < b.head;
            if (a.tail != b.tail)
                return a.tail < b.tail;
            // std::string_view compares as unsigned bytes.
            return std::string_view(pool + a.offset, a.size) < std::string_view(pool + b.offset, b.size);
        },
        descending);
}
