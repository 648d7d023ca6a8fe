// Segment memory and its two checksums.
#include "sim/receivebuffer.h"

#include <algorithm>

namespace {

// Adds bytes p[0..n) that start at byte offset `offset` of the stream to the running sum.
uint32_t AddBytes(uint32_t sum, size_t offset, const uint8_t* p, size_t n)
{
    size_t i = 0;
    if ((offset & 1) && n) {
        sum += static_cast<uint32_t>(p[0]) << 24;  // high byte of a word begun earlier
        i = 1;
    }
    for (; i + 1 < n; i += 2) {
        uint32_t word = p[i] | (static_cast<uint32_t>(p[i + 1]) << 8);
        uint32_t index = static_cast<uint32_t>((offset + i) / 2);
        sum += (word << 16) + (index & 0xFFFF);
    }
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
    m_nDma = 0;
}

void CReceiveBuffer::Append(const uint8_t* p, size_t n)
{
    m_nDma = AddBytes(m_nDma, m_nReceived, p, n);
    m_nReceived += n;
    size_t room = m_nCapacity > m_Data.size() ? m_nCapacity - m_Data.size() : 0;
    m_Data.insert(m_Data.end(), p, p + std::min(n, room));
}
