#include "chart/PngEncoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include <QImage>

#include <zlib.h>

namespace {

void AppendBigEndian(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value >> 24);
    out += static_cast<char>(value >> 16);
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value);
}

void AppendChunk(std::string& out, const char* type, const unsigned char* data, std::size_t size)
{
    AppendBigEndian(out, static_cast<std::uint32_t>(size));
    const std::size_t start = out.size();
    out.append(type, 4);
    if (size != 0)
        out.append(reinterpret_cast<const char*>(data), size);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(size + 4));
    AppendBigEndian(out, static_cast<std::uint32_t>(crc));
}

// A code as it goes into the stream: its bits, first at the bottom.
struct Code {
    std::uint32_t code = 0;
    int bits = 0;
};

std::uint32_t Reverse(std::uint32_t code, int bits)
{
    std::uint32_t reversed = 0;
    for (int i = 0; i < bits; ++i)
        reversed |= ((code >> i) & 1u) << (bits - 1 - i);
    return reversed;
}

// The fixed Huffman codes of deflate, worked out once: each literal's, and
// each match length's together with its extra bits and distance 1 (one
// write per run piece).
struct FixedCodes {
    Code literal[288];
    Code match[259];

    FixedCodes()
    {
        // Huffman codes go out most significant bit first into a stream
        // filled from the bottom: reversed.
        for (int symbol = 0; symbol < 288; ++symbol) {
            std::uint32_t code = 0;
            int bits = 0;
            if (symbol < 144) {
                code = 0x30u + static_cast<std::uint32_t>(symbol);
                bits = 8;
            } else if (symbol < 256) {
                code = 0x190u + static_cast<std::uint32_t>(symbol - 144);
                bits = 9;
            } else if (symbol < 280) {
                code = static_cast<std::uint32_t>(symbol - 256);
                bits = 7;
            } else {
                code = 0xC0u + static_cast<std::uint32_t>(symbol - 280);
                bits = 8;
            }
            literal[symbol] = Code{Reverse(code, bits), bits};
        }
        static constexpr int kBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                        31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr int kExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (int length = 3; length <= 258; ++length) {
            int index = 28;
            while (kBase[index] > length)
                --index;
            const Code& symbol = literal[257 + index];
            const auto extra = static_cast<std::uint32_t>(length - kBase[index]);
            // The distance code 0 (distance 1) is five zero bits.
            match[length] = Code{symbol.code | extra << symbol.bits, symbol.bits + kExtra[index] + 5};
        }
    }
};

const FixedCodes& Codes()
{
    static const FixedCodes codes;
    return codes;
}

// A zlib stream of one deflate block with the fixed Huffman codes, whose
// only matches are runs of the previous byte (distance 1): no tables to
// build and no searching, so it keeps pace with drawing. Filtered chart
// rows are mostly long runs of zeros, which this packs to a few bits per
// 258 bytes. Data is added as it is made; the Adler-32 checksum of a run is
// worked out at once rather than byte by byte.
class RunDeflater {
public:
    // Appends the stream to `out`, with room for `expected` bytes made
    // ahead (more is made as needed).
    RunDeflater(std::string& out, std::size_t expected) : m_out(out), m_used(out.size())
    {
        m_out.resize(m_used + std::max<std::size_t>(expected, 64));
        m_out[m_used++] = static_cast<char>(0x78);  // deflate, 32 KB window
        m_out[m_used++] = static_cast<char>(0x01);  // fastest; header checksum
        PutBits(1, 1);  // the last block
        PutBits(1, 2);  // fixed Huffman codes
    }

    void Add(const unsigned char* data, std::size_t size)
    {
        // The literal path works on locals: the members would be stored and
        // read back for every byte.
        std::uint64_t bits = m_bits;
        int bitCount = m_bitCount;
        std::uint64_t s1 = m_s1;
        std::uint64_t s2 = m_s2;
        int previous = m_havePrevious ? m_previous : -1;
        std::size_t i = 0;
        while (i < size) {
            const unsigned char byte = data[i];
            // A run goes out as a match from three bytes on; a check of the
            // next two first spares the count for the many shorter repeats.
            if (byte == previous && i + 2 < size && data[i + 1] == byte && data[i + 2] == byte) {
                const std::size_t run = RunLength(data + i, std::min<std::size_t>(size - i, 258), byte);
                if (run >= 3) {
                    m_bits = bits;
                    m_bitCount = bitCount;
                    m_s1 = s1;
                    m_s2 = s2;
                    PutLength(static_cast<int>(run));
                    AdlerRun(byte, run);
                    bits = m_bits;
                    bitCount = m_bitCount;
                    s1 = m_s1;
                    s2 = m_s2;
                    i += run;
                    continue;
                }
            }
            const Code& code = m_codes.literal[byte];
            bits |= static_cast<std::uint64_t>(code.code) << bitCount;
            bitCount += code.bits;
            if (bitCount >= 32) {
                m_bits = bits;
                m_bitCount = bitCount;
                PutBits(0, 0);
                bits = m_bits;
                bitCount = m_bitCount;
            }
            s1 += byte;
            s2 += s1;
            previous = byte;
            ++i;
        }
        m_bits = bits;
        m_bitCount = bitCount;
        m_s1 = s1;
        m_s2 = s2;
        if (previous >= 0) {
            m_previous = static_cast<unsigned char>(previous);
            m_havePrevious = true;
        }
        NoteBytes(size);
    }

    // `count` bytes of one value, without them being made.
    void AddRun(unsigned char byte, std::size_t count)
    {
        if (count != 0 && (!m_havePrevious || m_previous != byte)) {
            PutByte(byte);
            NoteBytes(1);
            --count;
        }
        AdlerRun(byte, count);
        NoteBytes(count);
        while (count >= 3) {
            // Never leave one or two bytes for a last piece of the run.
            const std::size_t piece = count > 258 && count < 261 ? count - 3 : std::min<std::size_t>(count, 258);
            PutLength(static_cast<int>(piece));
            count -= piece;
        }
        while (count-- > 0)
            PutSymbol(byte);
    }

    // Ends the block and the stream.
    void Finish()
    {
        PutSymbol(256);
        if (m_bitCount > 0)
            PutBits(0, (8 - m_bitCount % 8) % 8);
        FlushBits();
        ReduceAdler();
        m_out.resize(m_used);
        const std::uint32_t adler = static_cast<std::uint32_t>(m_s2 << 16 | m_s1);
        AppendBigEndian(m_out, adler);
    }

private:
    // How many of the first `limit` bytes equal `byte` (at least the first
    // does), eight at a time.
    static std::size_t RunLength(const unsigned char* data, std::size_t limit, unsigned char byte)
    {
        const std::uint64_t pattern = 0x0101010101010101ull * byte;
        std::size_t run = 0;
        while (run + 8 <= limit) {
            std::uint64_t word;
            std::memcpy(&word, data + run, sizeof word);
            const std::uint64_t differ = word ^ pattern;
            if (differ != 0)
                return run + static_cast<std::size_t>(std::endian::native == std::endian::little
                                                          ? std::countr_zero(differ)
                                                          : std::countl_zero(differ)) /
                                 8;
            run += 8;
        }
        while (run < limit && data[run] == byte)
            ++run;
        return run;
    }

    void PutSymbol(int symbol) { PutBits(m_codes.literal[symbol].code, m_codes.literal[symbol].bits); }

    // One byte as a literal.
    void PutByte(unsigned char byte)
    {
        PutSymbol(byte);
        m_s1 += byte;
        m_s2 += m_s1;
        m_previous = byte;
        m_havePrevious = true;
    }

    // A match of `length` bytes at distance 1.
    void PutLength(int length) { PutBits(m_codes.match[length].code, m_codes.match[length].bits); }

    void PutBits(std::uint32_t value, int count)
    {
        m_bits |= static_cast<std::uint64_t>(value) << m_bitCount;
        m_bitCount += count;
        if (m_bitCount >= 32) {
            // Written into room made ahead, doubled as it fills.
            if (m_used + 4 > m_out.size())
                m_out.resize(2 * m_out.size());
            char* at = m_out.data() + m_used;
            at[0] = static_cast<char>(m_bits);
            at[1] = static_cast<char>(m_bits >> 8);
            at[2] = static_cast<char>(m_bits >> 16);
            at[3] = static_cast<char>(m_bits >> 24);
            m_used += 4;
            m_bits >>= 32;
            m_bitCount -= 32;
        }
    }

    void FlushBits()
    {
        while (m_bitCount >= 8) {
            if (m_used + 1 > m_out.size())
                m_out.resize(2 * m_out.size());
            m_out[m_used++] = static_cast<char>(m_bits & 0xff);
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }

    // The checksum of `count` bytes of one value, at once. A count at most
    // kBytesPerReduction leaves the sums far inside 64 bits.
    void AdlerRun(unsigned char byte, std::size_t count)
    {
        m_s2 += count * m_s1 + byte * (count * (count + 1) / 2);
        m_s1 += byte * count;
    }

    // The sums are reduced once they may near 2^63: reducing after every
    // piece costs more than coding it.
    void NoteBytes(std::size_t count)
    {
        m_unreduced += count;
        if (m_unreduced >= kBytesPerReduction) {
            ReduceAdler();
            m_unreduced = 0;
        }
    }

    void ReduceAdler()
    {
        m_s1 %= 65521;
        m_s2 %= 65521;
    }

    // From sums below 65521, 2^24 more bytes of at most 255 keep s2 below
    // 65521 + 2^24 * (65521 + 255 * 2^24) < 2^63. One call adds at most
    // three rows of the widest image (16,384 pixels), well below that.
    static constexpr std::size_t kBytesPerReduction = std::size_t{1} << 24;

    std::string& m_out;
    std::size_t m_used = 0;
    std::size_t m_unreduced = 0;
    std::uint64_t m_bits = 0;
    int m_bitCount = 0;
    const FixedCodes& m_codes = Codes();
    unsigned char m_previous = 0;
    bool m_havePrevious = false;
    std::uint64_t m_s1 = 1;
    std::uint64_t m_s2 = 0;
};

}  // namespace

std::string EncodePng(const QImage& image)
{
    if (image.isNull())
        return {};
    if (image.format() != QImage::Format_RGB32)
        return EncodePng(image.convertToFormat(QImage::Format_RGB32));
    const auto width = static_cast<std::size_t>(image.width());
    const auto height = static_cast<std::size_t>(image.height());
    // Pixels equal to the one above filter to zeros, which go to the
    // deflater as runs without being written out.
    std::vector<unsigned char> changed(3 * width);
    const std::vector<QRgb> blank(width, 0);  // above the first row: zeros
    std::string png("\x89PNG\r\n\x1a\n", 8);
    unsigned char header[13] = {};
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<unsigned char>(width >> (24 - 8 * i));
        header[4 + i] = static_cast<unsigned char>(height >> (24 - 8 * i));
    }
    header[8] = 8;  // bits per sample
    header[9] = 2;  // RGB
    AppendChunk(png, "IHDR", header, sizeof header);
    // The image data is deflated straight into its chunk, its length
    // filled in after. A chart packs to about a tenth of its pixels' bytes.
    const std::size_t lengthAt = png.size();
    AppendBigEndian(png, 0);
    png.append("IDAT", 4);
    RunDeflater deflater(png, width * height * 3 / 8);
    for (std::size_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
        const auto* above =
            y == 0 ? blank.data() : reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y - 1)));
        deflater.AddRun(2, 1);  // the row's filter: Up
        // A row like the one above (a third of a chart's) is one run.
        if (std::memcmp(row, above, width * sizeof(QRgb)) == 0) {
            deflater.AddRun(0, 3 * width);
            continue;
        }
        std::size_t x = 0;
        while (x < width) {
            const std::size_t same = x;
            // Eight pixels at a time: most of a chart's pixels are the one above.
            while (x + 8 <= width && std::memcmp(row + x, above + x, 8 * sizeof(QRgb)) == 0)
                x += 8;
            while (x + 2 <= width && std::memcmp(row + x, above + x, 2 * sizeof(QRgb)) == 0)
                x += 2;
            while (x < width && row[x] == above[x])
                ++x;
            deflater.AddRun(0, 3 * (x - same));
            std::size_t count = 0;
            for (; x < width && row[x] != above[x]; ++x) {
                changed[count++] = static_cast<unsigned char>(qRed(row[x]) - qRed(above[x]));
                changed[count++] = static_cast<unsigned char>(qGreen(row[x]) - qGreen(above[x]));
                changed[count++] = static_cast<unsigned char>(qBlue(row[x]) - qBlue(above[x]));
            }
            deflater.Add(changed.data(), count);
        }
    }

    deflater.Finish();
    const std::size_t length = png.size() - lengthAt - 8;
    for (int i = 0; i < 4; ++i)
        png[lengthAt + static_cast<std::size_t>(i)] = static_cast<char>(length >> (24 - 8 * i));
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(png.data() + lengthAt + 4), static_cast<uInt>(length + 4));
    AppendBigEndian(png, static_cast<std::uint32_t>(crc));
    AppendChunk(png, "IEND", nullptr, 0);
    return png;
}

