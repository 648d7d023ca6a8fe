// Segment memory and its two checksums.
#include "sim/receivebuffer.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Sum of j mod 65536 over j = 0 .. count-1, modulo 2^32.
uint32_t IndexSumTo(uint64_t count)
{
    const uint64_t blocks = count / 65536;
    const uint64_t rest = count % 65536;
    return static_cast<uint32_t>(blocks * (65535ull * 65536ull / 2) + (rest ? rest * (rest - 1) / 2 : 0));
}

// Sum modulo 2^16 of `words` little-endian words at q. Eight at a time where the compiler has vectors of
// them: a segment is megabytes, and a dry run verifies hundreds.
uint16_t WordSum(const uint8_t* q, size_t words)
{
    uint16_t sum = 0;
    size_t k = 0;
#if defined(__GNUC__)
    if constexpr (std::endian::native == std::endian::little) {
        using Lanes = uint16_t __attribute__((vector_size(16)));
        Lanes lanes = {};
        for (; k + 8 <= words; k += 8) {
            Lanes v;
            std::memcpy(&v, q + 2 * k, sizeof v);
            lanes += v;
        }
        for (int l = 0; l < 8; ++l)
            sum = static_cast<uint16_t>(sum + lanes[l]);
    }
#endif
    for (; k < words; ++k)
        sum = static_cast<uint16_t>(sum + (q[2 * k] | (q[2 * k + 1] << 8)));
    return sum;
}

// Adds bytes p[0..n) that start at byte offset `offset` of the stream to the running sum. Only the low
// 16 bits of the word sum survive the shift, so the words are summed first and the index terms in closed form.
uint32_t AddBytes(uint32_t sum, size_t offset, const uint8_t* p, size_t n)
{
    size_t i = 0;
    if ((offset & 1) && n) {
        sum += static_cast<uint32_t>(p[0]) << 24;  // high byte of a word begun earlier
        i = 1;
    }
    const size_t words = (n - i) / 2;
    const uint32_t wordSum = WordSum(p + i, words);
    const uint64_t firstIndex = (offset + i) / 2;
    sum += (wordSum << 16) + (IndexSumTo(firstIndex + words) - IndexSumTo(firstIndex));
    i += 2 * words;
    if (i < n) {
        uint32_t index = static_cast<uint32_t>((offset + i) / 2);
        sum += (static_cast<uint32_t>(p[i]) << 16) + (index & 0xFFFF);
    }
    return sum;
}

}  // namespace

uint32_t CReceiveBuffer::Checksum(const uint8_t* p, size_t n)
{
    return AddBytes(0, 0, p, n);
}

void CReceiveBuffer::Reset()
{
    m_Data.clear();
    m_nReceived = 0;
    m_nStored = 0;
    m_nDma = 0;
    m_nDram = 0;
}

void CReceiveBuffer::Append(const uint8_t* p, size_t n)
{
    const size_t room = m_nCapacity > m_nStored ? m_nCapacity - m_nStored : 0;
    const size_t kept = std::min(n, room);
    const uint32_t dma = AddBytes(m_nDma, m_nReceived, p, n);
    // What is stored is what was received, up to the capacity: the same sum unless some is cut off.
    m_nDram = kept == n && m_nStored == m_nReceived ? m_nDram + (dma - m_nDma) : AddBytes(m_nDram, m_nStored, p, kept);
    m_nDma = dma;
    m_nReceived += n;
    m_nStored += kept;
    if (m_bKeep)
        m_Data.insert(m_Data.end(), p, p + kept);
}
