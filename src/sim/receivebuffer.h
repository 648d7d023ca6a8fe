// The plotter's segment memory: what arrives on the data pipe, with the DMA checksum over every byte
// received and the DRAM checksum over the bytes actually stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CReceiveBuffer {
public:
    // The checksum the link agrees on: sum of word[i] * 65536 + (i mod 65536) over the little-endian
    // words, modulo 2^32; a trailing odd byte counts as the low byte of one more word.
    static uint32_t Checksum(const uint8_t* p, size_t n);

    // Bytes beyond the capacity are received (and counted by the DMA checksum) but not stored.
    void SetCapacity(size_t bytes) { m_nCapacity = bytes; }
    // Without keeping, the bytes that would be stored are summed (the DRAM checksum) but not copied:
    // a dry run that only needs the verdicts.
    void SetKeep(bool keep) { m_bKeep = keep; }
    void Reset();
    void Append(const uint8_t* p, size_t n);

    size_t ReceivedBytes() const { return m_nReceived; }
    const std::vector<uint8_t>& Stored() const { return m_Data; }
    uint32_t DmaChecksum() const { return m_nDma; }
    uint32_t DramChecksum() const { return m_nDram; }

private:
    std::vector<uint8_t> m_Data;
    size_t m_nCapacity = 64 * 1024 * 1024;
    bool m_bKeep = true;
    size_t m_nReceived = 0;
    size_t m_nStored = 0;
    uint32_t m_nDma = 0;
    uint32_t m_nDram = 0;
};
