// Hand-made segments for plotter tests: the header and blank data words of a given geometry.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

inline const uint16_t kSegmentHeader[9] = {0x7573, 0x6672, 0x6E69, 0x6574, 0x6E72, 0xAAAA, 0x5555, 0xAAAA, 0x5555};

inline std::vector<uint16_t> BlankSegment(int columns, int slots = 154)
{
    std::vector<uint16_t> w(static_cast<size_t>(columns + 100) * static_cast<size_t>(slots), 0);
    std::copy(kSegmentHeader, kSegmentHeader + 9, w.begin());
    return w;
}

inline std::vector<uint8_t> SegmentBytes(const std::vector<uint16_t>& words)
{
    std::vector<uint8_t> b;
    b.reserve(words.size() * 2);
    for (uint16_t w : words) {
        b.push_back(static_cast<uint8_t>(w));
        b.push_back(static_cast<uint8_t>(w >> 8));
    }
    return b;
}
