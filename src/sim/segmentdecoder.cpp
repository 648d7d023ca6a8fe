// Segment decoding, written from the segment format alone so that it checks the builder.
#include "sim/segmentdecoder.h"

#include "sim/carriage.h"
#include "sim/pageimage.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

const uint16_t kHeader[CSegmentDecoder::kHeaderWords] = {0x7573, 0x6672, 0x6E69, 0x6574, 0x6E72,
                                                         0xAAAA, 0x5555, 0xAAAA, 0x5555};

uint16_t WordAt(const uint8_t* p, size_t i)
{
    return static_cast<uint16_t>(p[2 * i] | (p[2 * i + 1] << 8));
}

// Bits 4-7 and 8-11 trade places on the way out; the same swap brings back the packed word.
uint16_t UndoExchange(uint16_t w)
{
    return static_cast<uint16_t>((w & 0xF00F) | ((w & 0x00F0) << 4) | ((w & 0x0F00) >> 4));
}

}  // namespace

void CSegmentDecoder::SetJob(int columns, int pairCode)
{
    m_nColumns = columns;
    m_nPairCode = pairCode;
}

int CSegmentDecoder::Passes() const
{
    return m_Carriage.m_bFourPass ? 4 : 2;
}

int CSegmentDecoder::RowsPerPass() const
{
    return m_Carriage.m_nHeads * m_Carriage.m_nNozzles;
}

size_t CSegmentDecoder::SegmentWords() const
{
    return static_cast<size_t>(m_nColumns + 100) * static_cast<size_t>(m_Carriage.m_nSlots);
}

std::vector<uint16_t> CSegmentDecoder::Expand(const uint16_t* words, size_t n, size_t maxWords)
{
    std::vector<uint16_t> out;
    out.reserve(std::min(maxWords, std::max(n, size_t{kHeaderWords})));
    size_t i = 0;
    for (; i < n && i < kHeaderWords && out.size() < maxWords; ++i)
        out.push_back(words[i]);
    while (i < n && out.size() < maxWords) {
        uint16_t w = words[i++];
        if ((w == 0x0000 || w == 0xFFFF) && i < n) {
            size_t run = std::min<size_t>(words[i++], maxWords - out.size());
            out.insert(out.end(), run, w);
        } else {
            out.push_back(w);
        }
    }
    return out;
}

DecodeResult CSegmentDecoder::Decode(const uint8_t* bytes, size_t n, bool compressed, CPageImage& page,
                                     int firstPass) const
{
    DecodeResult r;
    const size_t expected = SegmentWords();
    std::vector<uint8_t> expanded;
    if (compressed) {
        std::vector<uint16_t> in(n / 2);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = WordAt(bytes, i);
        std::vector<uint16_t> out = Expand(in.data(), in.size(), expected + 1);
        expanded.resize(out.size() * 2);
        for (size_t i = 0; i < out.size(); ++i) {
            expanded[2 * i] = static_cast<uint8_t>(out[i]);
            expanded[2 * i + 1] = static_cast<uint8_t>(out[i] >> 8);
        }
        bytes = expanded.data();
        n = expanded.size();
    }
    const size_t words = n / 2;
    char text[160];
    for (size_t i = 0; i < kHeaderWords; ++i) {
        if (i >= words || WordAt(bytes, i) != kHeader[i]) {
            std::snprintf(text, sizeof text, "header word %zu is not %04X", i, kHeader[i]);
            r.ok = false;
            r.error = text;
            return r;
        }
    }
    if (words != expected || n % 2) {
        std::snprintf(text, sizeof text, "%zu bytes received, %zu expected", n, expected * 2);
        r.ok = false;
        r.error = text;
    }
    page.EnsureHeight(static_cast<int>(std::min<int64_t>((int64_t{firstPass} + Passes()) * RowsPerPass(), INT_MAX)));
    const size_t limit = std::min(words, expected);
    size_t i = kHeaderWords;
    for (; i < limit; ++i) {
        // Most of a segment is blank margin and blank paper: skip zeros four words at a time.
        if ((i & 3) == 0 && i + 4 <= limit) {
            uint64_t four;
            std::memcpy(&four, bytes + 2 * i, 8);
            if (four == 0) {
                i += 3;
                continue;
            }
        }
        uint16_t w = WordAt(bytes, i);
        if (w)
            DecodeWord(i - kHeaderWords, UndoExchange(w), page, firstPass, r);
    }
    return r;
}

void CSegmentDecoder::DecodeWord(size_t index, uint16_t v, CPageImage& page, int firstPass,
                                 DecodeResult& r) const
{
    const int slots = m_Carriage.m_nSlots;
    const int c = static_cast<int>(index / static_cast<size_t>(slots));
    const int s = static_cast<int>(index % static_cast<size_t>(slots));
    if (m_Carriage.m_bFourPass) {
        // Packed four-pass word: pass r's first columns of positions pair-1 and pair at bits {0,2,8,10}[r]
        // and the bit above, their second columns four bits higher.
        if (m_nPairCode < 1 || m_nPairCode > 3) {
            r.strayBits += std::popcount(static_cast<unsigned>(v));
            return;
        }
        static const int kPassBase[4] = {0, 2, 8, 10};
        for (int pass = 0; pass < 4; ++pass)
            for (int column = 0; column < 2; ++column)
                for (int b = 0; b < 2; ++b)
                    if ((v >> (kPassBase[pass] + 4 * column + b)) & 1)
                        PlaceDot(pass, m_nPairCode - 1 + b, column, c, s, page, firstPass, r);
    } else {
        // Packed two-pass word: pass r in byte r, first columns of positions 0..3 in its low nibble,
        // second columns in its high nibble.
        for (int pass = 0; pass < 2; ++pass)
            for (int column = 0; column < 2; ++column)
                for (int pos = 0; pos < 4; ++pos)
                    if ((v >> (8 * pass + 4 * column + pos)) & 1)
                        PlaceDot(pass, pos, column, c, s, page, firstPass, r);
    }
}

void CSegmentDecoder::PlaceDot(int pass, int pos, int column, int c, int slot, CPageImage& page, int firstPass,
                               DecodeResult& r) const
{
    const int head = m_Carriage.HeadAt(pos);
    const int nozzle = m_Carriage.NozzleOfSlot(column, slot);
    if (head < 0 || nozzle < 0 || nozzle >= m_Carriage.m_nNozzles) {
        ++r.strayBits;
        return;
    }
    // Offsets and skews are whatever config.ini holds: worked in 64 bits, a far-out head only misses the page.
    const int64_t shift = int64_t{m_Carriage.Skew(pos, nozzle)} + m_Carriage.Offset(pos, column);
    // Odd passes run right to left: their columns count back from the far end.
    const int64_t x = (pass % 2 == 0) ? c - shift : m_nColumns - shift - c;
    // Rows past the int range (a job of millions of segments) are beyond any page as well.
    const int64_t row = (int64_t{firstPass} + pass) * RowsPerPass() + head * m_Carriage.m_nNozzles + nozzle;
    if (x < 0 || x >= m_nColumns || row > INT_MAX) {
        ++r.strayBits;
        return;
    }
    if (page.Set(static_cast<int>(x), static_cast<int>(row)))
        ++r.dots;
}
